#include <QApplication>
#include <QFileInfo>
#include <QTimer>
#include <QWidget>
#include <cstdio>

#include "platform/console.h"
#include "platform/audio_out.h"
#include "platform/platform.h"
#include "platform/power_cut.h"
#include "platform/startup.h"
#include "frame/recovery.h"
#include "shell/shell.h"

#ifndef VESMAR_VERSION
#error "VESMAR_VERSION comes from the project version in CMakeLists.txt"
#endif

namespace {

// --version, --help and a wrong option are answered before the toolkit starts,
// so they work without a display and never open a window.
int answerCommandLine(int argc, char** argv) {
    QStringList args;
    for (int i = 1; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
    const QString program = argc > 0 ? QFileInfo(QString::fromLocal8Bit(argv[0])).fileName() : QStringLiteral("vesmar");
    const startup::Options o = startup::parseArguments(args);
    if (o.action == startup::Options::Action::Run) return -1;
    useParentConsole();
    switch (o.action) {
    case startup::Options::Action::Run: return -1;
    case startup::Options::Action::Version:
        std::fputs(qPrintable(startup::versionText(QStringLiteral(VESMAR_VERSION)) + QLatin1Char('\n')), stdout);
        return 0;
    case startup::Options::Action::Help:
        std::fputs(startup::usageText(program).toLocal8Bit().constData(), stdout);
        return 0;
    case startup::Options::Action::Error:
        std::fputs((program + QStringLiteral(": ") + o.error + QLatin1Char('\n') + startup::usageText(program))
                       .toLocal8Bit()
                       .constData(),
                   stderr);
        return 2;
    }
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    if (const int code = answerCommandLine(argc, argv); code >= 0) return code;

    sendMessagesToStandardError();
    int code = 0;
    {
        QApplication app(argc, argv);
        // The desktop entry's name: docks and task bars link the windows to the
        // launcher by it (the Wayland application id; WM_CLASS on X11 is the
        // executable's name, which the entry names in StartupWMClass).
        QGuiApplication::setDesktopFileName(QStringLiteral("org.example.vesmar"));
        setupApplication(app);
        // The program's own message boxes carry their own button texts; Qt's
        // standard dialogs (the file and print dialogs, which only a user's
        // action opens) take theirs from Qt's translations, loaded once the
        // first windows are up rather than before them.
        QTimer::singleShot(0, &app, [&app] { installChineseQtTexts(app); });
        // The program ends with the navigation bar, whatever else is still open.
        QStringList args;
        for (int i = 1; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
        QObject::connect(startProgram(startup::parseArguments(args).file), &QObject::destroyed, &app,
                         [] { QCoreApplication::quit(); });
        // A normal end, the exit confirmed or the desktop logging out, leaves
        // nothing to recover; a crash leaves the last autosaved view.
        QObject::connect(&app, &QCoreApplication::aboutToQuit, [] { recovery::discard(); });
        code = app.exec();
    }
    // Past the sound system's racy teardown (see audio::used).
    if (audio::used()) endAbruptly(code);
    return code;
}
