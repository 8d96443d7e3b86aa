#pragma once
class QWidget;
// Starts the program as a user does: the navigation bar with the default
// family window. Returns the navigation bar (nullptr while it does not exist).
QWidget* startProgram();
// Registers the program's pictures (safe to call more than once).
void initShellResources();
