#pragma once
// 听图像: the last curve drawn played as sound, from its button or Alt+T.
#include <QByteArray>
#include <QObject>

class FamilyWindow;

// The last curve of the window's picture as a WAV file; empty when nothing
// is drawn.
QByteArray curveSound(const FamilyWindow& window);

// A child of its window.
class HearTool : public QObject {
public:
    explicit HearTool(FamilyWindow& window);
    void hear();

private:
    FamilyWindow& w_;
};
