#pragma once
// What `get` prints about a control or a window: its text, state, place,
// font and, where it asks for them, its colours.
#include <QString>
#include <optional>

class QWidget;
class FamilyWindow;

QString controlReport(const QString& name, QWidget* w);
// The lines and shapes that float over a family's canvas are not widgets;
// they answer by their names with their world end points or corners.
// Nothing when name is none of them.
std::optional<QString> floatingReport(FamilyWindow* f, const QString& name);
