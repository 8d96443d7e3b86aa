#pragma once
// What the program decides before it opens a window: the command-line options
// it answers by itself, and where its help document lies.
#include <QString>
#include <QStringList>

namespace startup {

struct Options {
    enum class Action { Run, Version, Help, Error };
    Action action = Action::Run;
    QString error;  // the offending argument's message when action is Error
    QString file;   // a plot file to open at start, if one was named
};

// Reads the arguments after the program's name. --version and --help are the
// program's own; the toolkit's options (-platform NAME, -style NAME, -reverse,
// ... with one dash or two) pass on to it; one argument without a dash is a
// plot file to open; anything else is an error, so a mistyped option never
// starts the program with a window the user did not ask for.
Options parseArguments(const QStringList& arguments);

// "Vesmar 3.01" for the given version.
QString versionText(const QString& version);
// The usage text printed by --help and, on stderr, after an unknown option.
QString usageText(const QString& programName);

// The help document for a click on the tutorial link: "readme/index.htm" in
// the working directory when it is there (the program has always looked
// there), otherwise the installed copy beside the executable (readme/, as the
// Windows release installs it) or in ../share/vesmar/readme from the
// executable's folder (absolute), or the source tree's copy in
// ../resources/readme when the executable is in a build folder of the tree.
// When none exists, the relative name, which the help window reports as missing.
QString helpDocument(const QString& workingDir, const QString& executableDir);

}  // namespace startup
