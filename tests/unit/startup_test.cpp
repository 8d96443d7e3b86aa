// What the program answers before it opens a window: its command-line options
// and where it finds its help document and its sound back-end, in the source
// tree and installed.
#include <QDir>
#include <QFile>
#include <QPluginLoader>
#include <QTemporaryDir>
#include <QtTest>

#include "platform/audio_backend.h"
#include "platform/audio_out.h"
#include "platform/startup.h"

using startup::Options;

namespace {

bool touch(const QString& path) {
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) return false;
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write("<html></html>") > 0;
}

}  // namespace

class StartupTest : public QObject {
    Q_OBJECT
private slots:
    void options_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("action");
        const int run = int(Options::Action::Run), version = int(Options::Action::Version),
                  help = int(Options::Action::Help), error = int(Options::Action::Error);
        // clang-format off
        QTest::newRow("none") << QStringList{} << run;
        QTest::newRow("version") << QStringList{"--version"} << version;
        QTest::newRow("help") << QStringList{"--help"} << help;
        QTest::newRow("short help") << QStringList{"-h"} << help;
        QTest::newRow("version wins over what follows") << QStringList{"--version", "--bogus"} << version;
        QTest::newRow("unknown option") << QStringList{"--unknown-option"} << error;
        QTest::newRow("unknown single dash") << QStringList{"-x"} << error;
        QTest::newRow("a plot file") << QStringList{"plan.vesmar"} << run;
        QTest::newRow("two files") << QStringList{"a.vesmar", "b.vesmar"} << error;
        QTest::newRow("unknown before version") << QStringList{"--bogus", "--version"} << error;
        QTest::newRow("single-dash version is not ours") << QStringList{"-version"} << error;
        QTest::newRow("toolkit platform") << QStringList{"-platform", "offscreen"} << run;
        QTest::newRow("toolkit platform, two dashes") << QStringList{"--platform", "offscreen"} << run;
        QTest::newRow("toolkit value after =") << QStringList{"-style=fusion"} << run;
        QTest::newRow("toolkit flag") << QStringList{"-reverse"} << run;
        QTest::newRow("toolkit flag takes no value") << QStringList{"-reverse=1"} << error;
        QTest::newRow("toolkit option without its value") << QStringList{"-platform"} << error;
        // The value of a toolkit option is never read as an option itself.
        QTest::newRow("value looks like ours") << QStringList{"-qwindowtitle", "--help"} << run;
        QTest::newRow("then an unknown one") << QStringList{"-style", "fusion", "--nope"} << error;
        QTest::newRow("empty argument") << QStringList{""} << error;
        // clang-format on
    }
    void options() {
        QFETCH(QStringList, args);
        QFETCH(int, action);
        const Options o = startup::parseArguments(args);
        QCOMPARE(int(o.action), action);
        QCOMPARE(o.error.isEmpty(), action != int(Options::Action::Error));
    }

    void messagesNameWhatWentWrong() {
        QCOMPARE(startup::parseArguments({"--unknown-option"}).error,
                 QStringLiteral("unknown option --unknown-option"));
        QCOMPARE(startup::parseArguments({"one", "extra"}).error, QStringLiteral("unexpected argument extra"));
        QCOMPARE(startup::parseArguments({"-platform", "offscreen", "plan.vesmar"}).file,
                 QStringLiteral("plan.vesmar"));
        QCOMPARE(startup::versionText("3.01"), QStringLiteral("Vesmar 3.01"));
        const QString usage = startup::usageText("vesmar");
        QVERIFY(usage.startsWith("Usage: vesmar "));
        QVERIFY(usage.contains("--version") && usage.contains("--help"));
    }

    // The source tree: readme/ in the working directory, as the run script
    // starts it. Installed: <prefix>/bin/vesmar and <prefix>/share/vesmar/readme.
    void helpDocument() {
        QTemporaryDir root;
        QVERIFY(root.isValid());
        const QString work = root.filePath("work");
        const QString prefix = root.filePath("usr");
        const QString bin = prefix + "/bin";
        const QString elsewhere = root.filePath("home");
        QVERIFY(QDir().mkpath(work) && QDir().mkpath(bin) && QDir().mkpath(elsewhere));

        // Neither: the relative name, which opens nothing.
        QCOMPARE(startup::helpDocument(elsewhere, bin), QStringLiteral("readme/index.htm"));

        // Installed only: found from any working directory, as an absolute path.
        QVERIFY(touch(prefix + "/share/vesmar/readme/index.htm"));
        const QString installed = QDir::cleanPath(QDir(prefix).absoluteFilePath("share/vesmar/readme/index.htm"));
        QCOMPARE(startup::helpDocument(elsewhere, bin), installed);
        QCOMPARE(startup::helpDocument(work, bin), installed);

        // The working directory comes first.
        QVERIFY(touch(work + "/readme/index.htm"));
        QCOMPARE(startup::helpDocument(work, bin), QStringLiteral("readme/index.htm"));
        QCOMPARE(startup::helpDocument(elsewhere, bin), installed);

        // A folder of that name is not a document.
        QVERIFY(QDir().mkpath(elsewhere + "/readme/index.htm"));
        QCOMPARE(startup::helpDocument(elsewhere, bin), installed);

        // No executable folder known: only the working directory counts.
        QCOMPARE(startup::helpDocument(elsewhere, QString()), QStringLiteral("readme/index.htm"));
        QVERIFY(QFile::remove(prefix + "/share/vesmar/readme/index.htm"));
        QCOMPARE(startup::helpDocument(elsewhere, bin), QStringLiteral("readme/index.htm"));

        // build/vesmar started from the source tree's root, whose document is
        // in resources/readme: found beside the build folder.
        const QString tree = root.filePath("src-tree");
        QVERIFY(QDir().mkpath(tree + "/build") && touch(tree + "/resources/readme/index.htm"));
        QCOMPARE(startup::helpDocument(tree, tree + "/build"),
                 QDir::cleanPath(QDir(tree).absoluteFilePath("resources/readme/index.htm")));
        QCOMPARE(startup::helpDocument(tree, bin), QStringLiteral("readme/index.htm"));

        // The Windows layout: the document beside the program, found first.
        QVERIFY(touch(bin + "/readme/index.htm"));
        QVERIFY(touch(prefix + "/share/vesmar/readme/index.htm"));
        QCOMPARE(startup::helpDocument(elsewhere, bin),
                 QDir::cleanPath(QDir(bin).absoluteFilePath("readme/index.htm")));
    }

    // Run by the install check on the unpacked package: the installed program
    // finds the installed document from a working directory without one.
    void installedCopy() {
        const QString root = qEnvironmentVariable("VESMAR_INSTALLED_ROOT");
        if (root.isEmpty()) QSKIP("the install check sets VESMAR_INSTALLED_ROOT to an unpacked package");
        const QString bin = root + "/usr/bin";
        QVERIFY2(QFileInfo(bin + "/vesmar").isExecutable(), qPrintable(bin + "/vesmar is not installed"));
        QVERIFY(!QFileInfo::exists(QDir::current().filePath("readme/index.htm")));
        const QString found = startup::helpDocument(QDir::currentPath(), bin);
        QCOMPARE(found, QDir::cleanPath(QDir(root).absoluteFilePath("usr/share/vesmar/readme/index.htm")));
        QFile doc(found);
        QVERIFY(doc.open(QIODevice::ReadOnly));
        QVERIFY(doc.readAll().contains("<html"));
    }

    // The sound back-end module is looked for beside the program (a build
    // tree) before the installed layout; no module, no file.
    void soundModuleBesideTheProgram() {
#ifdef Q_OS_WIN
        QSKIP("the Windows build plays through the system's own player, without a module");
#endif
        QTemporaryDir root;
        QVERIFY(root.isValid());
        const QString bin = root.filePath("bin");
        QVERIFY(QDir().mkpath(bin));
        QCOMPARE(audio::backendFile(bin), QString());
        QVERIFY(QDir().mkpath(bin + "/vesmar-audio.so"));  // a folder of that name is no module
        QCOMPARE(audio::backendFile(bin), QString());
        QVERIFY(QDir(bin).rmdir("vesmar-audio.so") && touch(bin + "/vesmar-audio.so"));
        QCOMPARE(audio::backendFile(bin), QDir::cleanPath(bin + "/vesmar-audio.so"));
    }

    // Run by the install check on the unpacked package: the installed program
    // finds the installed sound back-end, and it loads as the back-end.
    void installedSoundModule() {
        const QString root = qEnvironmentVariable("VESMAR_INSTALLED_ROOT");
        if (root.isEmpty()) QSKIP("the install check sets VESMAR_INSTALLED_ROOT to an unpacked package");
        const QString found = audio::backendFile(root + "/usr/bin");
        QVERIFY2(found.startsWith(QDir::cleanPath(QDir(root).absoluteFilePath("usr/lib/"))) &&
                     found.endsWith("/vesmar/vesmar-audio.so"),
                 qPrintable(found));
        QPluginLoader loader(found);
        QVERIFY2(qobject_cast<AudioBackend*>(loader.instance()), qPrintable(loader.errorString()));
    }
};

QTEST_GUILESS_MAIN(StartupTest)
#include "startup_test.moc"
