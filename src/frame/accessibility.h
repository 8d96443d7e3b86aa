#pragma once
// What assistive technology (a screen reader, a switch device) learns of the
// windows: the role of a top-level window, a Press action for the labels and
// pictures that act as buttons, sliders that say their boxes' numbers, and
// news (results, steps along a curve, the picture's new description) spoken
// wherever the focus is.
#include <QAccessible>
#include <QString>
#include <QStringList>
#include <functional>
#include <utility>
#include <vector>

class QLineEdit;
class QScrollBar;
class QWidget;

namespace a11y {

// Installs the program's accessibility factory once (later calls do nothing).
// A widget with the property "a11yPress" set reports the button role (or the
// link role when the property is "link") and a Press action that calls its
// activate() slot; the property "a11yRole" (a QAccessible::Role) overrides
// the role of any other widget.
void install();

// Makes w, a plain top-level widget, a window named by its title to a
// screen reader instead of an anonymous pane. Call before the title is set:
// the toolkit keeps the first answer it gets. (Being parentless is no sign:
// a message box makes its buttons before it gives them a parent.)
void markWindow(QWidget* w);
// Makes w a picture named `name` to a screen reader, reached by Tab (a click
// on it still leaves the focus where it was: the tools use it).
void markPicture(QWidget* w, const QString& name);

// The name a caption gives the box after it: "a=" gives "a", "当 X=" gives
// "当 X". Empty when the caption says nothing.
QString captionName(const QString& caption);

// A slider and the box it moves: the slider reports the box's number as its
// value (and is named after the box when it has no name); `text` gives the
// box's text for a slider position (the position itself when empty).
struct SliderBox {
    QScrollBar* slider = nullptr;
    QLineEdit* box = nullptr;
    std::function<QString(int)> text;
};
void linkSliders(const std::vector<SliderBox>& links);

// Says `text` (as it is read aloud: numfmt::spoken) to assistive technology
// as news of w's window: a
// result a button filled in, a step along a curve, the picture's new
// description. Whatever the focus, a screen reader speaks it once. While a
// NewsBatch of that window is open the news is kept and said with the rest
// of the batch when it closes.
void announce(QWidget* w, const QString& text);

// Test builds watch the news through setObserver: the object that said it
// (a notification whose name is the news) and the news.
using Observer = std::function<void(QWidget* said, const QString& news)>;
void setObserver(Observer observer);

// The news of one action of the user (a button's handler and what it
// changed) said as one piece, so that no part cuts off another. Batches do
// not nest: an inner one leaves its news to the outer.
class NewsBatch {
public:
    explicit NewsBatch(QWidget* window);
    ~NewsBatch();
    NewsBatch(const NewsBatch&) = delete;
    NewsBatch& operator=(const NewsBatch&) = delete;
    // Forgets what was gathered so far: nothing of it is said (a frame of
    // an animation, whose player says what matters itself).
    void drop();
    struct Batch;

private:
    Batch* batch_ = nullptr;
};

// Widgets that assistive technology can act on and that have no name: the
// check the tests run over every window ("Form1: QLineEdit Text1(0)").
QStringList unnamedControls(QWidget* window);

}  // namespace a11y
