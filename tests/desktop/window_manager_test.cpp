// The program under a real window manager (openbox on a private X server):
// what the user does with the title bars must not strand a window.
#include <QLabel>
#include <QtTest>

#include "desktop_common.h"
#include "platform/platform.h"
#include "frame/family_manager.h"
#include "frame/family_window.h"
#include "frame/recovery.h"
#include "platform/folders.h"
#include "shell/shell.h"

using namespace desktop;

namespace {

QString output(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(10000)) return QString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

QString wmState(WId id) { return output("xprop", {"-id", QString::number(id), "_NET_WM_STATE"}); }

// Polls `done` while serving this process's events; false after about ten seconds.
bool waitFor(const std::function<bool()>& done) {
    for (int i = 0; i < 200; ++i) {
        if (done()) return true;
        QTest::qWait(50);
    }
    return done();
}

}  // namespace

class WindowManagerTest : public QObject {
    Q_OBJECT
    QProcess wm_;

private slots:
    void initTestCase() {
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
        QVERIFY(QProcess::execute("xdotool", {"version"}) == 0);
        wm_.start("openbox", {"--sm-disable"});
        QVERIFY2(wm_.waitForStarted(10000), "openbox did not start");
        // The window manager announces itself on the root window.
        QVERIFY2(waitFor([] {
                     return output("xprop", {"-root", "_NET_SUPPORTING_WM_CHECK"}).contains(QLatin1String("window id"));
                 }),
                 "openbox did not take over the screen");
        // The program starts as after a clean exit: a recovery file left by an
        // earlier run would ask its question, and nobody here answers it.
        QVERIFY2(qEnvironmentVariableIsSet(folders::kHomeVariable), "the test must run in a home of its own");
        QFile::remove(recovery::filePath());
        QFile::remove(recovery::backupPath());
        QVERIFY(!QFile::exists(recovery::filePath()) && !QFile::exists(recovery::backupPath()));
        setupApplication(*qobject_cast<QApplication*>(qApp));
        initShellResources();
    }
    void cleanupTestCase() {
        FamilyManager::instance().closeAll();
        wm_.terminate();
        wm_.waitForFinished(5000);
    }

    // Minimised with the window manager, the family window comes back when
    // its label on the navigation bar is clicked: restored, raised, active.
    void minimisedFamilyComesBackFromTheBar() {
        QWidget* bar = startProgram();
        QVERIFY(bar && QTest::qWaitForWindowExposed(bar));
        FamilyWindow* w = FamilyManager::instance().current();
        QVERIFY(w && QTest::qWaitForWindowExposed(w));
        const WId id = w->windowHandle()->winId();
        QVERIFY(waitFor([&] { return output("xdotool", {"getactivewindow"}).trimmed() == QString::number(id); }));

        QVERIFY(QProcess::execute("xdotool", {"windowminimize", "--sync", QString::number(id)}) == 0);
        QVERIFY2(waitFor([&] { return wmState(id).contains(QLatin1String("_NET_WM_STATE_HIDDEN")); }),
                 qPrintable(wmState(id)));
        QVERIFY(waitFor([&] { return w->isMinimized(); }));

        auto* label = bar->findChild<QLabel*>(QStringLiteral("Labmenu(1)"));
        QVERIFY(label);
        QCOMPARE(label->text(), QStringLiteral("二次函数"));
        const QPoint at = label->mapToGlobal(label->rect().center());
        QVERIFY(QProcess::execute("xdotool", {"mousemove", "--sync", QString::number(at.x()), QString::number(at.y()),
                                              "click", "1"}) == 0);

        QVERIFY2(waitFor([&] { return !wmState(id).contains(QLatin1String("_NET_WM_STATE_HIDDEN")); }),
                 qPrintable(wmState(id)));
        QVERIFY(waitFor([&] { return output("xdotool", {"getactivewindow"}).trimmed() == QString::number(id); }));
        QVERIFY(waitFor([&] { return !w->isMinimized() && w->isActiveWindow(); }));
        // The same window, with what the student had on it.
        QCOMPARE(FamilyManager::instance().current(), w);
    }
};

QTEST_MAIN(WindowManagerTest)
#include "window_manager_test.moc"
