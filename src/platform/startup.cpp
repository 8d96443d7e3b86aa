#include "platform/startup.h"

#include <QDir>
#include <QFileInfo>

namespace startup {

namespace {

// The toolkit's own options that take a value in the next argument.
const QStringList kToolkitWithValue = {
    QStringLiteral("platform"),
    QStringLiteral("platformpluginpath"),
    QStringLiteral("platformtheme"),
    QStringLiteral("plugin"),
    QStringLiteral("qwindowgeometry"),
    QStringLiteral("qwindowtitle"),
    QStringLiteral("qwindowicon"),
    QStringLiteral("style"),
    QStringLiteral("stylesheet"),
    QStringLiteral("session"),
    QStringLiteral("display"),
    QStringLiteral("geometry"),
    QStringLiteral("name"),
    QStringLiteral("title"),
};
// ... and those that stand alone.
const QStringList kToolkitFlags = {
    QStringLiteral("reverse"), QStringLiteral("widgetcount"), QStringLiteral("nograb"),
    QStringLiteral("dograb"),  QStringLiteral("sync"),
};

const QString kTutorial = QStringLiteral("readme/index.htm");

}  // namespace

Options parseArguments(const QStringList& arguments) {
    Options o;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments.at(i);
        if (a == QLatin1String("--version")) {
            o.action = Options::Action::Version;
            return o;
        }
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            o.action = Options::Action::Help;
            return o;
        }
        QString name = a;
        if (name.startsWith(QLatin1String("--"))) name.remove(0, 2);
        else if (name.startsWith(QLatin1Char('-'))) name.remove(0, 1);
        else name.clear();
        // "-style=fusion" is also how the toolkit takes a value.
        const qsizetype eq = name.indexOf(QLatin1Char('='));
        const QString key = eq >= 0 ? name.left(eq) : name;
        if (!key.isEmpty() && kToolkitFlags.contains(key) && eq < 0) continue;
        if (!key.isEmpty() && kToolkitWithValue.contains(key)) {
            if (eq >= 0) continue;
            if (i + 1 < arguments.size()) {
                ++i;
                continue;
            }
            o.action = Options::Action::Error;
            o.error = QStringLiteral("option %1 needs a value").arg(a);
            return o;
        }
        // One plot file to open; "-" starts an option, never a file.
        if (!a.startsWith(QLatin1Char('-')) && !a.isEmpty() && o.file.isEmpty()) {
            o.file = a;
            continue;
        }
        o.action = Options::Action::Error;
        o.error = a.startsWith(QLatin1Char('-')) ? QStringLiteral("unknown option %1").arg(a)
                                                 : QStringLiteral("unexpected argument %1").arg(a);
        return o;
    }
    return o;
}

QString versionText(const QString& version) { return QStringLiteral("Vesmar ") + version; }

QString usageText(const QString& programName) {
    return QStringLiteral(
               "Usage: %1 [--help] [--version] [toolkit options such as -platform NAME] [FILE.vesmar]\n"
               "Vesmar函数分析作图器: a graph plotter for school mathematics.\n"
               "Without options it opens the navigation bar and the quadratic function window;\n"
               "with a plot file it opens that file's window instead.\n"
               "\n"
               "  -h, --help   show this text and exit\n"
               "  --version    print the version and exit\n")
        .arg(programName);
}

QString helpDocument(const QString& workingDir, const QString& executableDir) {
    if (QFileInfo(QDir(workingDir).filePath(kTutorial)).isFile()) return kTutorial;
    if (!executableDir.isEmpty()) {
        // Installed on Windows (and unpacked from the portable archive) the
        // document sits beside the program; on Linux under share/; from a
        // build folder in the source tree (build/vesmar started from the
        // tree's root) it is in the tree's resources.
        for (const QString& place :
             {kTutorial, QStringLiteral("../share/vesmar/") + kTutorial, QStringLiteral("../resources/") + kTutorial}) {
            const QFileInfo found(QDir(executableDir).filePath(place));
            if (found.isFile()) return QDir::cleanPath(found.absoluteFilePath());
        }
    }
    return kTutorial;
}

}  // namespace startup
