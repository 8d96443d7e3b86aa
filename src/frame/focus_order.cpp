#include "frame/focus_order.h"

#include <QWidget>
#include <algorithm>

namespace focusorder {

namespace {
bool skipped(const QWidget* w, std::initializer_list<const QWidget*> skip) {
    return std::find(skip.begin(), skip.end(), w) != skip.end();
}
// A window's Tab chain is a ring; the guard only bounds a broken one.
constexpr int kGuard = 10000;
}  // namespace

void putLast(QWidget* window, QWidget* picture, std::initializer_list<const QWidget*> skip) {
    // Qt moves a widget only behind one that takes the focus itself.
    QWidget* last = nullptr;
    QWidget* w = picture->nextInFocusChain();
    for (int guard = 0; guard < kGuard && w != picture; ++guard, w = w->nextInFocusChain())
        if (w != window && !skipped(w, skip) && (w->focusPolicy() & Qt::TabFocus)) last = w;
    if (last) QWidget::setTabOrder(last, picture);
}

void focusFirst(QWidget* window, std::initializer_list<const QWidget*> skip) {
    QWidget* focused = window->focusWidget();
    if (focused && !skipped(focused, skip)) return;
    QWidget* w = window->nextInFocusChain();
    for (int guard = 0; guard < kGuard && w != window; ++guard, w = w->nextInFocusChain()) {
        const bool takes = (w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(window) && w->isEnabled();
        if (takes && !skipped(w, skip)) {
            w->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
}

}  // namespace focusorder
