#pragma once
// The two window kinds of the trigonometric families: the wave
// Y = A·f(wX + p) (sine, cosine) and the branches Y = g(wX + p) (tangent,
// cotangent). Each family file describes its function and captions and
// hands the description to one of these.
#include <QPoint>
#include <QString>

class FamilyWindow;

struct WaveKind {
    int number;
    QString key, title, fileName;
    QString generalForm;     // Label17
    QString current;         // "当前正弦函数:"
    QString name;            // " Sin" / " cos"
    QString lookupXCaption;  // Frame1(1)
    bool cosine;
};

struct SlopeKind {
    int number;
    QString key, title, fileName;
    QString generalForm;
    QString current;  // "当前正切函数:"
    QString name;     // "tg" / "ctg"
    bool cotangent;
    QPoint readoutPos;
};

FamilyWindow* newWaveWindow(const WaveKind& kind);
FamilyWindow* newSlopeWindow(const SlopeKind& kind);
