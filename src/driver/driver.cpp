#include "driver/driver.h"
#include "driver/named.h"

#include <QApplication>
#include <QWidget>

#include "driver/commands.h"
#include "frame/recovery.h"
#include "frame/family_manager.h"
#include "frame/family_window.h"
#include "shell/shell.h"

ScriptDriver::ScriptDriver(std::function<void(const QString&)> out)
    : out_(std::move(out)), platform_([this](const QString& s) { out_(s); }) {
    setPlatform(&platform_);
}

ScriptDriver::~ScriptDriver() {
    // The script has ended: whatever the windows say while they are torn
    // down (the navigation bar's exit question) is not part of its output.
    out_ = [](const QString&) {};
    // Replies the script queued but never used do not answer the exit
    // question: the windows close as the end of the program closes them.
    platform_.answers.clear();
    FamilyManager::instance().closeAll();
    for (QWidget* w : QApplication::topLevelWidgets()) w->close();
    settle();
    // The end of a script is a normal end of the program.
    recovery::discard();
    setPlatform(nullptr);
}

void ScriptDriver::error(const QString& what) { emitLine(QStringLiteral("{\"error\":%1}").arg(jsonString(what))); }

void ScriptDriver::makeCurrent(QWidget* w) { current_ = w->objectName(); }

static QWidget* topLevelNamed(const QString& name) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->objectName() == name) return w;
    return nullptr;
}

QWidget* ScriptDriver::windowNamed(const QString& name) const {
    if (const FamilyEntry* e = familyByKey(name)) return topLevelNamed(QStringLiteral("Form%1").arg(e->number));
    return topLevelNamed(name);
}

QWidget* ScriptDriver::currentWindow() const {
    if (QWidget* w = topLevelNamed(current_)) return w;
    // The current window has closed: the one in front takes its place.
    if (FamilyWindow* f = FamilyManager::instance().current(); f && f->isVisible()) return f;
    if (QWidget* w = topLevelNamed(QStringLiteral("Formtop"))) return w;
    return nullptr;
}

FamilyWindow* ScriptDriver::currentFamily() const { return qobject_cast<FamilyWindow*>(currentWindow()); }

QWidget* ScriptDriver::findControl(const QString& name) const {
    // Only the current window: a name that another window also uses (every
    // window has a Label1) must not reach that window behind the user's back.
    QWidget* win = currentWindow();
    if (!win || name.isEmpty()) return nullptr;
    if (win->objectName() == name) return win;
    return namedControl(win, name);
}

bool ScriptDriver::allowPath(QString& path) {
    if (!confineFiles) return true;
    if (!path.isEmpty() && !path.contains(QLatin1Char('/')) && !path.contains(QLatin1Char('\\')) &&
        !path.startsWith(QLatin1Char('.')) && !path.contains(QChar(0))) {
        if (!filesFolder.isEmpty()) path = filesFolder + QLatin1Char('/') + path;
        return true;
    }
    error(QStringLiteral("not a plain file name: ") + path);
    return false;
}

void ScriptDriver::runScript(const QString& script) {
    const QStringList lines = script.split(QLatin1Char('\n'));
    for (QString line : lines) {
        if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
        run(line);
    }
}

void ScriptDriver::run(const QString& line) {
    // Comments, and the expectations a checked script keeps beside its commands.
    if (line.isEmpty() || line.startsWith(QLatin1Char('#')) || line.startsWith(QLatin1Char('>'))) return;
    Command c{*this, line};
    const QString name = c.word(0);
    if (const CommandRow* row = findCommand(name)) {
        if (meetNeeds(c, row->needs)) row->run(c);
    } else {
        error(QStringLiteral("unknown command ") + name);
    }
    settle();
    // A script sees the recovery file as a user would a moment later: written.
    recovery::flush();
}
