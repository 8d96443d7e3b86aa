#pragma once
// The driver's commands: a table (commands.cpp) with one row per command,
// naming it, saying what it needs before it runs, and pointing at its
// handler. The runner (ScriptDriver::run) checks the need, reports a failed
// check as the command's error and calls the handler only when it passed.
#include <QString>

class FamilyWindow;
class QWidget;
class ScriptDriver;

enum class Needs {
    Nothing,
    Family,   // the current window is a family window ("no family window")
    Control,  // word 1 names a control of the current window ("no control NAME")
    TextBox,  // the same, reported as "no text box NAME"
    Slider,   // word 1 names a slider ("no slider NAME")
    List,     // word 1 names a drop-down list ("no list NAME")
};

// One command line as its handler sees it. Words are separated by one
// blank; word 0 is the command. A TEXT argument is the rest of the line
// verbatim, blanks included.
struct Command {
    ScriptDriver& driver;
    QString line;
    FamilyWindow* family = nullptr;  // the current family window (Needs::Family)
    QWidget* control = nullptr;      // the control word 1 names (Needs::Control and after)

    QString word(int n) const { return line.section(QLatin1Char(' '), n, n); }
    QString rest(int n) const;
    void error(const QString& what) const;
    // The numbers at words from and from + 1 as a point of the world; reports
    // "bad coordinates" when they are not two finite numbers.
    bool world(int from, double& x, double& y) const;
};

struct CommandRow {
    const char* name;
    Needs needs;
    void (*run)(const Command& c);
};

// The row of a command, or nullptr for an unknown one.
const CommandRow* findCommand(const QString& name);
// Checks what a command needs, fills in c.family or c.control, and reports
// the command's error when the check fails.
bool meetNeeds(Command& c, Needs needs);

// The exit status of a script that ends with `crash`.
constexpr int kCrashStatus = 3;
