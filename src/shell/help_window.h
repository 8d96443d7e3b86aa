#pragma once
// The help window Formhelp: the program's name and version and three links
// (the tutorial, the web page, the contact address).
#include <QWidget>

class ClickLabel;

class HelpWindow : public QWidget {
    Q_OBJECT
public:
    HelpWindow();

    // Shows the window in the middle of the screen, or brings it forward.
    void showCentred();
    // The links' look when the pointer is over the window itself.
    void rest();

protected:
    void mouseMoveEvent(QMouseEvent* e) override;

private:
    ClickLabel* mail_ = nullptr;
    ClickLabel* web_ = nullptr;
    ClickLabel* tutorial_ = nullptr;
};
