#include "driver/user_input.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QHash>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>
#include <optional>

namespace {

void sendKey(QWidget* w, int code, const QString& text, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QPointer<QWidget> guard = w;
    QKeyEvent press(QEvent::KeyPress, code, mods, text);
    QApplication::sendEvent(w, &press);
    if (!guard) return;
    QKeyEvent release(QEvent::KeyRelease, code, mods, text);
    QApplication::sendEvent(w, &release);
}

struct Stroke {
    int code = 0;
    Qt::KeyboardModifiers mods;
    QString text;
};

// The text a key writes when it is pressed with these modifiers: a
// character for a printable key without Ctrl, Alt or Meta.
QString keyText(int code, Qt::KeyboardModifiers mods) {
    if (mods & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return {};
    switch (code) {
    case Qt::Key_Return: return QStringLiteral("\r");
    case Qt::Key_Tab: return QStringLiteral("\t");
    case Qt::Key_Backspace: return QStringLiteral("\b");
    case Qt::Key_Escape: return QStringLiteral("\x1b");
    default: break;
    }
    if (code >= 0x20 && code < 0x7f) {
        const QChar c(code);
        return QString(mods & Qt::ShiftModifier ? c.toUpper() : c.toLower());
    }
    return {};
}

// A key as a script names it: one of the named keys, one character, or a
// combination in Qt's portable key text ("Ctrl+Z", "Ctrl+Shift+Z",
// "Shift+Right"). Nothing for a text that names no single key.
std::optional<Stroke> readStroke(const QString& k) {
    static const QHash<QString, int> named = {
        {QStringLiteral("Enter"), Qt::Key_Return},      {QStringLiteral("Tab"), Qt::Key_Tab},
        {QStringLiteral("Backtab"), Qt::Key_Backtab},   {QStringLiteral("Left"), Qt::Key_Left},
        {QStringLiteral("Right"), Qt::Key_Right},       {QStringLiteral("Up"), Qt::Key_Up},
        {QStringLiteral("Down"), Qt::Key_Down},         {QStringLiteral("PageUp"), Qt::Key_PageUp},
        {QStringLiteral("PageDown"), Qt::Key_PageDown}, {QStringLiteral("Home"), Qt::Key_Home},
        {QStringLiteral("End"), Qt::Key_End},           {QStringLiteral("Backspace"), Qt::Key_Backspace},
        {QStringLiteral("Delete"), Qt::Key_Delete},     {QStringLiteral("Escape"), Qt::Key_Escape},
        {QStringLiteral("Space"), Qt::Key_Space},
    };
    Stroke s;
    if (k.isEmpty()) {
        s.code = Qt::Key_Space;
        s.text = QStringLiteral(" ");
        return s;
    }
    if (auto it = named.find(k); it != named.end()) {
        s.code = *it;
        s.text = keyText(s.code, {});
        return s;
    }
    // One character (a pair of surrogates is one): the key that writes it.
    if (k.size() == 1 || (k.size() == 2 && k.at(0).isHighSurrogate())) {
        s.text = k;
        s.code = k.at(0).unicode() < 0x80 ? k.at(0).toUpper().unicode() : int(Qt::Key_unknown);
        return s;
    }
    const QKeySequence seq = QKeySequence::fromString(k, QKeySequence::PortableText);
    if (seq.count() != 1) return std::nullopt;
    const QKeyCombination combo = seq[0];
    s.code = combo.key();
    s.mods = combo.keyboardModifiers();
    if (s.code == 0 || s.code == Qt::Key_unknown) return std::nullopt;
    // The main keyboard's Enter, as the named key means it; Shift+Tab
    // arrives as Backtab, as the desktop sends it.
    if (s.code == Qt::Key_Enter) s.code = Qt::Key_Return;
    if (s.code == Qt::Key_Tab && (s.mods & Qt::ShiftModifier)) s.code = Qt::Key_Backtab;
    s.text = keyText(s.code, s.mods);
    return s;
}

}  // namespace

// Qt's own (exported for its test library): offers a key to the shortcut
// map as the desktop's key events are offered, and records the modifiers
// as held.
Q_GUI_EXPORT bool qt_sendShortcutOverrideEvent(QObject* o, ulong timestamp, int k, Qt::KeyboardModifiers mods,
                                               const QString& text, bool autorep, ushort count);

namespace {

// One key pressed and released in w's window while w has the focus, the way
// the desktop delivers it: the application first offers a key press to the
// focused control as a ShortcutOverride, which it may claim for itself (a
// text box keeps Ctrl+Z for its own undo); otherwise a shortcut of the
// active window takes it; otherwise the control receives it.
void strikeKey(QWidget* w, const Stroke& s) {
    QPointer<QWidget> guard = w;
    // Shortcuts answer only in the active window: keys pressed in a window
    // are pressed while it is in front.
    QWidget* top = w->window();
    if (QApplication::activeWindow() != top) {
        top->activateWindow();
        QApplication::processEvents();
        if (!guard) return;
    }
    sendKey(w, s.code, s.text, s.mods);
    // The modifiers are let go: the toolkit's idea of the held keys must not
    // keep Ctrl down for the mouse and keys that follow.
    if (s.mods != Qt::NoModifier) {
        QObject nobody;
        qt_sendShortcutOverrideEvent(&nobody, 0, Qt::Key_unknown, Qt::NoModifier, QString(), false, 1);
    }
}

}  // namespace

void clickControl(QWidget* target) {
    QPointer<QWidget> w = target;
    if (!w->isEnabled() || !w->isVisibleTo(w->window())) return;
    // A click gives the focus to a control that takes it, as the mouse would.
    if (w->focusPolicy() & Qt::ClickFocus) w->setFocus(Qt::MouseFocusReason);
    if (auto* b = qobject_cast<QAbstractButton*>(w.data())) {
        b->click();
        return;
    }
    // Labels and images: a real press and release at their centre. The press
    // may close the window the control lives in.
    const QPointF c(w->width() / 2.0, w->height() / 2.0);
    const QPointF g = w->mapToGlobal(c);
    QMouseEvent press(QEvent::MouseButtonPress, c, g, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    if (!w) return;
    QMouseEvent release(QEvent::MouseButtonRelease, c, g, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &release);
}

QString pressKey(QWidget* w, const QString& k) {
    const std::optional<Stroke> stroke = readStroke(k);
    if (!stroke) return QStringLiteral("bad key ") + k;
    // Keys sent to a window go to the control that has its focus.
    if (w->isWindow()) {
        if (!w->isVisible()) return {};
        if (QWidget* f = w->focusWidget()) w = f;
    } else {
        // Keys reach only a control the user can give the keyboard focus to.
        if (w->focusPolicy() == Qt::NoFocus) return QStringLiteral("%1 takes no keyboard focus").arg(w->objectName());
        if (!w->isEnabled() || !w->isVisibleTo(w->window())) return {};
        if (w->window()->focusWidget() != w) w->setFocus(Qt::OtherFocusReason);
    }
    strikeKey(w, *stroke);
    return {};
}

QString typeInto(QWidget* w, const QString& text) {
    QLineEdit* e = qobject_cast<QLineEdit*>(w);
    if (auto* c = qobject_cast<QComboBox*>(w); c && c->isEditable()) e = c->lineEdit();
    if (!e) return QStringLiteral("no text box ") + w->objectName();
    // A user cannot type into a box that is greyed out or not shown.
    if (!e->isEnabled() || !e->isVisibleTo(e->window())) return {};
    QPointer<QLineEdit> box = e;
    // The user clicks into the box, selects what is there and types over it:
    // every keystroke is an edit, as on the desktop.
    box->setFocus(Qt::MouseFocusReason);
    box->selectAll();
    if (text.isEmpty()) {
        sendKey(box, Qt::Key_Backspace, QString());
        return {};
    }
    // A long text arrives as a paste does: one edit, not a keystroke per
    // character (the box re-lays out its whole text on every keystroke).
    constexpr int kLongestTyped = 256;
    if (text.size() > kLongestTyped) {
        box->insert(text);
        return {};
    }
    for (int i = 0; i < text.size() && box;) {
        const int n = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString ch = text.mid(i, n);
        i += n;
        const char32_t u = ch.toUcs4().value(0);
        if (!QChar::isPrint(u)) {
            // What no key writes (a tab, a control character) is pasted.
            box->insert(ch);
            continue;
        }
        const int code = u < 0x80 ? QChar(u).toUpper().unicode() : int(Qt::Key_unknown);
        sendKey(box, code, ch);
    }
    return {};
}
