#pragma once
// The script driver: runs the commands of a script against the real windows
// with scripted message boxes, save dialog, clipboard, printer and opener,
// and writes one JSON object per line. It lives in a library of its own that
// only the script tool, the tests and the benchmark link; the program never does.
//
// This file holds the runner; the commands themselves are the table in
// commands.cpp.
#include <QString>
#include <functional>

#include "driver/json.h"
#include "driver/script_clock.h"
#include "driver/scripted_platform.h"

class QWidget;
class FamilyWindow;

class ScriptDriver {
public:
    // out receives each output line (without the line feed).
    explicit ScriptDriver(std::function<void(const QString&)> out);
    ~ScriptDriver();

    // Runs one command line.
    void run(const QString& line);
    // Runs every line of a script.
    void runScript(const QString& script);

    QWidget* currentWindow() const;
    FamilyWindow* currentFamily() const;
    // A control of the current window, or nullptr.
    QWidget* findControl(const QString& name) const;
    // A shown top-level window by its object name or its family's key, or nullptr.
    QWidget* windowNamed(const QString& name) const;
    ScriptedPlatform& scripted() { return platform_; }
    ScriptClock& clock() { return clock_; }

    // Limits for untrusted scripts: the longest `wait` (milliseconds of the
    // script clock), and whether file names must be plain names (no folders,
    // nothing outside) inside filesFolder (the working folder when empty).
    qint64 maxWaitMs = 600000;
    bool confineFiles = false;
    QString filesFolder;
    // Whether `crash` may end the process (a fuzzer runs many scripts in one).
    bool mayCrash = true;

    // For the commands.
    void emitLine(const QString& s) { out_(s); }
    void error(const QString& what);
    // Later commands act on w.
    void makeCurrent(QWidget* w);
    // Whether a script may write to that file; reports an error when it may
    // not. A confined name is turned into its place in filesFolder.
    bool allowPath(QString& path);
    QString hovered;  // the control under the pointer

private:
    std::function<void(const QString&)> out_;
    ScriptedPlatform platform_;
    ScriptClock clock_;
    QString current_;  // object name of the current window
};
