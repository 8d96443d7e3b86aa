#include "driver/user_input.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QHash>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>

namespace {

void sendKey(QWidget* w, int code, const QString& text, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QPointer<QWidget> guard = w;
    QKeyEvent press(QEvent::KeyPress, code, mods, text);
    QApplication::sendEvent(w, &press);
    if (!guard) return;
    QKeyEvent release(QEvent::KeyRelease, code, mods, text);
    QApplication::sendEvent(w, &release);
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
    int code;
    QString t;
    if (auto it = named.find(k); it != named.end()) {
        code = *it;
        if (code == Qt::Key_Return) t = QStringLiteral("\r");
        else if (code == Qt::Key_Tab) t = QStringLiteral("\t");
        else if (code == Qt::Key_Space) t = QStringLiteral(" ");
        else if (code == Qt::Key_Backspace) t = QStringLiteral("\b");
        else if (code == Qt::Key_Escape) t = QStringLiteral("\x1b");
    } else if (!k.isEmpty()) {
        t = k.left(k.at(0).isHighSurrogate() ? 2 : 1);
        code = t.at(0).unicode() < 0x80 ? t.at(0).toUpper().unicode() : int(Qt::Key_unknown);
    } else {
        code = Qt::Key_Space;
        t = QStringLiteral(" ");
    }
    // Keys reach only a control the user can give the keyboard focus to.
    if (w->focusPolicy() == Qt::NoFocus) return QStringLiteral("%1 takes no keyboard focus").arg(w->objectName());
    if (!w->isEnabled() || !w->isVisibleTo(w->window())) return {};
    if (w->window()->focusWidget() != w) w->setFocus(Qt::OtherFocusReason);
    sendKey(w, code, t);
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
