#pragma once
// A window's fixed layout written as data: one Ctl per control, in creation
// order (a panel before the controls inside it). build() turns the table into
// widgets named exactly as the table says ("Text1(0)", "HScroll1", "cay" ...).
// The names are what scripts and the design call the controls; the program's
// own code reaches a control through the typed pointer the table binds it to
// (textBox("Text1(0)", ...).bind(&ui_.a)), so a misspelt or swapped control is
// a compile error or a failed bind, never a silent no-op.
#include <QColor>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <initializer_list>
#include <vector>

class QWidget;
class QScrollBar;

enum class CtlKind { Label, Text, Button, Slider, Check, Radio, Frame, Combo, Bar };

// What a window's view (undo, plot files, the recovery file) keeps of a
// control: declared in its row, never guessed from its name.
enum class Keep {
    View,  // what it shows is part of the view (the default)
    Tool,  // a tool's own: a plot file brings it back, undo leaves it as set
    No,    // never: it follows something else (undo and redo follow the history)
};

struct Ctl {
    CtlKind kind;
    QString name;
    int x = 0, y = 0, w = 0, h = 0;
    QString text;
    QString parent;                  // a Frame's name in the same table, or empty for the window
    QWidget* parentPanel = nullptr;  // or a panel made before (a look-up panel)
    QString face;                    // font face, empty for the window's font
    double pt = 0;                   // font size in points, 0 for the window's size
    bool bold = false;
    QColor fg, bg;  // invalid = default
    QString tip;
    QString said;  // what a screen reader calls it, where its caption does not say
    int min = 0, max = 0, value = 0, small = 1, large = 2;  // sliders
    bool checked = false, hidden = false, disabled = false;
    bool center = false;  // centred label text
    Keep keep = Keep::View;
    // Stores the created widget in the bound pointer; false when the widget
    // is not of the pointer's type.
    std::function<bool(QWidget*)> assign;

    // clang-format off
    Ctl& in(const QString& p) { parent = p; return *this; }
    Ctl& in(QWidget* p) { parentPanel = p; return *this; }
    Ctl& font(const QString& f, double size, bool b = false) { face = f; pt = size; bold = b; return *this; }
    Ctl& size(double size) { pt = size; return *this; }
    Ctl& color(int r, int g, int b) { fg = QColor(r, g, b); return *this; }
    Ctl& back(int r, int g, int b) { bg = QColor(r, g, b); return *this; }
    Ctl& tooltip(const QString& t) { tip = t; return *this; }
    Ctl& spoken(const QString& name) { said = name; return *this; }
    Ctl& on() { checked = true; return *this; }
    Ctl& hide() { hidden = true; return *this; }
    Ctl& off() { disabled = true; return *this; }
    Ctl& centered() { center = true; return *this; }
    Ctl& toolOwned() { keep = Keep::Tool; return *this; }
    Ctl& notKept() { keep = Keep::No; return *this; }
    template <class W> Ctl& bind(W** slot) {
        assign = [slot](QWidget* w) { *slot = qobject_cast<W*>(w); return *slot != nullptr; };
        return *this;
    }
    // clang-format on
};

// clang-format off
inline Ctl label(const QString& n, int x, int y, int w, int h, const QString& t = {}) { return {CtlKind::Label, n, x, y, w, h, t}; }
inline Ctl textBox(const QString& n, int x, int y, int w, int h, const QString& t = {}) { return {CtlKind::Text, n, x, y, w, h, t}; }
inline Ctl button(const QString& n, int x, int y, int w, int h, const QString& t) { return {CtlKind::Button, n, x, y, w, h, t}; }
inline Ctl check(const QString& n, int x, int y, int w, int h, const QString& t) { return {CtlKind::Check, n, x, y, w, h, t}; }
inline Ctl radio(const QString& n, int x, int y, int w, int h, const QString& t) { return {CtlKind::Radio, n, x, y, w, h, t}; }
inline Ctl panel(const QString& n, int x, int y, int w, int h, const QString& t) { return {CtlKind::Frame, n, x, y, w, h, t}; }
inline Ctl combo(const QString& n, int x, int y, int w, int h) { return {CtlKind::Combo, n, x, y, w, h}; }
// A fraction bar or other thin line drawn as a control.
inline Ctl bar(const QString& n, int x, int y, int w, int h) { return {CtlKind::Bar, n, x, y, w, h}; }
inline Ctl slider(const QString& n, int x, int y, int w, int h, int min, int max, int value, int small = 1, int large = 2) {
    Ctl c{CtlKind::Slider, n, x, y, w, h};
    c.min = min; c.max = max; c.value = value; c.small = small; c.large = large;
    return c;
}
// clang-format on

// Creates the controls of the table on `window`; a control `in` a panel goes
// into the panel of that name made earlier in the same table.
void buildControls(QWidget* window, std::initializer_list<Ctl> table);
void buildControls(QWidget* window, const Ctl* begin, const Ctl* end);

// The controls buildControls made on a window, in the order made, with what
// a view keeps of each.
struct BuiltControl {
    QPointer<QWidget> widget;
    Keep keep = Keep::View;
};
const std::vector<BuiltControl>& builtControls(const QWidget* window);

// A control named in a layout table that the window does not have (a panel
// to put a control in), a control bound to a pointer of another type, or a
// control the frame needs that the window never bound is a mistake in the
// program, reported here: by default it ends a debug build and only warns in
// a release build, where the action goes on without that control. Every
// test run (the driver's check mode, the unit tests) makes it fatal whatever
// the build type with makeMissingControlsFatal().
using MissingControlHandler = void (*)(const QString& window, const QString& name);
// Installs a handler (nullptr: the default) and returns the previous one.
MissingControlHandler setMissingControlHandler(MissingControlHandler handler);
void reportMissingControl(const QString& window, const QString& name);
// The text of a label, box, button or panel.
void setControlText(QWidget* w, const QString& text);
void makeMissingControlsFatal();

// Ends a slider's auto-repeat (an arrow or the trough held down), as
// releasing the mouse would.
void stopSliderRepeat(QScrollBar* slider);
