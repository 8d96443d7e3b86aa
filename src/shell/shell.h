#pragma once
#include <QString>
class QWidget;
// Starts the program as a user does: the navigation bar with the default
// family window; then the question about work a crash left behind, if any;
// then the plot file named on the command line, if any. Returns the
// navigation bar.
QWidget* startProgram(const QString& file = QString());
// Registers the program's pictures (safe to call more than once).
void initShellResources();
// The program's icon, at every size rendered for it.
class QIcon;
QIcon programIcon();

class QCoreApplication;
// Loads Qt's own Chinese texts, so the standard dialogs (the save dialog, a
// text box's context menu) speak Chinese whatever the system's language.
// False when the translations are not installed.
bool installChineseQtTexts(QCoreApplication& app);

class QWidget;
namespace shell {
// The links of the help window and the navigation bar.
enum class Link { Tutorial, Web, Mail };
// What the user is told when the desktop cannot open a link: what failed and
// the file or address, so it can be opened by hand.
QString linkFailedMessage(Link kind, const QString& target);
// Opens the link through the platform; a failure is shown in a message box
// over `parent`. A relative document path is taken from the working
// directory. True when it opened.
bool openLink(QWidget* parent, Link kind, const QString& target);

// The top of a family window's client area: where it is designed to be, or
// lower when the window's title bar (familyTitleHeight high) would otherwise
// reach up into the navigation bar's frame, whose bottom row is barFrameBottom.
int familyClientTop(int designedTop, int barFrameBottom, int familyTitleHeight);
}  // namespace shell
