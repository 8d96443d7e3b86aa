#pragma once
// Opening and saving plot files from the windows: the dialogs, the questions
// and the messages around the file format of plot_file.h.
#include <QKeySequence>
#include <QString>

class QWidget;
class FamilyWindow;

namespace plotactions {

// Asks for a plot file and opens it.
void openByDialog(QWidget* parent);
// Opens the file in its family's window, closing the others as the
// navigation bar does. A file that cannot be opened is named in a message
// and changes nothing. True when it opened.
bool openPath(QWidget* parent, const QString& path);
// Asks for a name and saves the current family window's view; asks before
// replacing a file.
void saveByDialog(QWidget* parent);
// The keys that open and save plot files, and the window-wide shortcuts for
// them that the navigation bar and every family window have.
QKeySequence openKeys();
QKeySequence saveKeys();
void addFileKeys(QWidget* window);
// The dialog's title and the name it offers.
QString saveTitle();
QString openTitle();

}  // namespace plotactions
