#pragma once
// Where the keyboard focus goes round a window: the picture last, so that
// Tab starts in the first box; the window opening in its first control.
#include <initializer_list>

class QWidget;

namespace focusorder {

// Moves `picture` behind the last widget of the window's Tab chain (other
// than those in `skip`).
void putLast(QWidget* window, QWidget* picture, std::initializer_list<const QWidget*> skip);
// Gives the focus to the first visible, enabled control of the window that
// Tab reaches, other than those in `skip`, unless one already has it.
void focusFirst(QWidget* window, std::initializer_list<const QWidget*> skip);

}  // namespace focusorder
