#pragma once
// What assistive technology (a screen reader, a switch device) learns of the
// windows: the role of a top-level window, a Press action for the labels and
// pictures that act as buttons, a name for every box and slider taken from
// the caption beside it, and announcements of results a button fills in.
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
// Top-level windows report the window role with their title; a widget with
// the property "a11yPress" set reports the button role (or the link role
// when the property is "link") and a Press action that calls its
// activate() slot; the property "a11yRole" (a QAccessible::Role) overrides
// the role of any other widget.
void install();

// A name for a box or slider from the caption that stands before it:
// "a=" gives "参数 a", "当 X=" gives "X". Empty when the caption says nothing.
QString captionName(const QString& caption);

// Names every box, drop-down list and slider of the window that has no
// accessible name yet after the caption on its left in the same row (or
// directly above it), as "参数 a"; a slider that moves a named box is named
// after it ("参数 a 滑块").
void nameControls(QWidget* window, const std::vector<std::pair<QScrollBar*, QLineEdit*>>& links = {});

// Tells assistive technology that w's value (a box) or name (a label) is
// now `text`. Test builds watch these through setObserver.
void announce(QWidget* w, const QString& text);
using Observer = std::function<void(QWidget* w, const QString& text)>;
void setObserver(Observer observer);

// Widgets that assistive technology can act on and that have no name: the
// check the tests run over every window ("Form1: QLineEdit Text1(0)").
QStringList unnamedControls(QWidget* window);

}  // namespace a11y
