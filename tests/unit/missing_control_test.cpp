// A control named in a layout table but missing from the window must end a
// checked script whatever the build type: the test command also runs this
// test in the release build, where the default only warns.
#include <QLineEdit>
#include <QProcess>
#include <QtTest>

#include "driver/check.h"
#include "driver/driver.h"
#include "frame/controls.h"
#include "platform/console.h"

namespace {

// The mistakes a window's table can hold: a panel it does not have, and a
// control bound to a pointer of another type.
void buildWithWrongPanel() {
    QWidget w;
    w.setObjectName(QStringLiteral("Form99"));
    buildControls(&w, {label(QStringLiteral("Label1"), 0, 0, 10, 10).in(QStringLiteral("Frame9"))});
}

void buildWithWrongType() {
    QWidget w;
    w.setObjectName(QStringLiteral("Form99"));
    QLineEdit* box = nullptr;
    buildControls(&w, {label(QStringLiteral("Labfc"), 0, 0, 10, 10).bind(&box)});
}

// Child modes: run a checked script whose set-up meets the mistake, or meet
// it with the build's default handler.
int child(const QByteArray& mode) {
    const bool checked = mode.startsWith("checked-");
    if (!checked) setMissingControlHandler(nullptr);
    void (*mistake)() = mode.endsWith("panel") ? buildWithWrongPanel : buildWithWrongType;
    if (checked) {
        const CheckResult r = checkScript(QStringLiteral("windows\n> {\"windows\":[]}\n"), QStringLiteral("child"),
                                          [mistake](ScriptDriver&) { mistake(); });
        return r.ok ? 0 : 1;
    }
    mistake();
    return 0;
}

struct Run {
    bool crashed = false;
    int code = 0;
    QString err;
};

Run runChild(const QString& mode) {
    QProcess p;
    p.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--child"), mode});
    Run r;
    if (!p.waitForFinished(120000)) {
        p.kill();
        p.waitForFinished();
        r.err = QStringLiteral("(did not finish)");
        return r;
    }
    r.crashed = p.exitStatus() == QProcess::CrashExit;
    r.code = p.exitCode();
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

}  // namespace

class MissingControlTest : public QObject {
    Q_OBJECT
private slots:
    void aWrongNameEndsACheckedScript_data() {
        QTest::addColumn<QString>("mistake");
        QTest::addColumn<QString>("message");
        QTest::newRow("panel") << "panel"
                               << "Form99 has no control named \"Frame9\"";
        QTest::newRow("type") << "type"
                              << "Form99 has no control named \"Labfc (bound to another type)\"";
    }
    void aWrongNameEndsACheckedScript() {
        QFETCH(QString, mistake);
        QFETCH(QString, message);
        const Run r = runChild(QStringLiteral("checked-") + mistake);
        QVERIFY2(r.crashed || r.code != 0, qPrintable(r.err));
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
    }

    // Outside a test run a release build only warns and goes on; a debug
    // build stops. What the checked run does above is its own doing.
    void theDefaultDependsOnTheBuild() {
        const Run r = runChild(QStringLiteral("plain-panel"));
        QVERIFY2(r.err.contains(QStringLiteral("Form99 has no control named \"Frame9\"")), qPrintable(r.err));
#ifdef QT_NO_DEBUG
        QVERIFY2(!r.crashed && r.code == 0, qPrintable(r.err));
#else
        QVERIFY2(r.crashed || r.code != 0, qPrintable(r.err));
#endif
    }
};

int main(int argc, char** argv) {
    if (argc == 3 && qstrcmp(argv[1], "--child") == 0) {
        sendMessagesToStandardError();  // the parent reads the child's complaint there
        QApplication app(argc, argv);
        return child(argv[2]);
    }
    QApplication app(argc, argv);
    MissingControlTest t;
    return QTest::qExec(&t, argc, argv);
}

#include "missing_control_test.moc"
