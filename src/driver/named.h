#pragma once
// Controls by the names the design gives them: for scripts and tests, which
// speak those names. The program's own code holds its controls through the
// typed pointers its layout tables bind.
#include <QString>

class QWidget;

// The control of that name in a window ("Picture1" is a family window's
// canvas), nullptr when there is none.
QWidget* namedControl(const QWidget* window, const QString& name);
// The text of a label, box, button, panel or list of that name; "" when
// there is no such control.
QString namedText(const QWidget* window, const QString& name);
