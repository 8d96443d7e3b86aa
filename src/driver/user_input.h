#pragma once
// What the user's mouse and keyboard do to a control, as events the control
// receives the way it would on the desktop. Each returns an error text for
// the script, or an empty text.
#include <QString>

class QWidget;

// A click: a button is pressed, anything else gets a press and release at
// its centre. Greyed-out and hidden controls ignore it.
void clickControl(QWidget* w);
// One key, named ("Enter", "Tab", "Left", ...) or a character.
QString pressKey(QWidget* w, const QString& key);
// Selects a text box's contents and types over them, keystroke by keystroke.
QString typeInto(QWidget* w, const QString& text);
