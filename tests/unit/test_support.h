#pragma once
// What the widget tests share: their main(), and a script-driver session
// that fails the test on an error line and on a window that does not open.
#include <QApplication>
#include <QtTest>
#include <memory>

#include "driver/driver.h"
#include "driver/named.h"
#include "frame/family_manager.h"
#include "frame/family_window.h"
#include "platform/platform.h"

// main() of a test that opens windows: the application as the program sets it
// up, and kept alive when a test closes its last window.
#define VESMAR_WINDOW_TEST_MAIN(TestClass)    \
    int main(int argc, char** argv) {         \
        QApplication app(argc, argv);         \
        setupApplication(app);                \
        app.setQuitOnLastWindowClosed(false); \
        TestClass t;                          \
        return QTest::qExec(&t, argc, argv);  \
    }

// A script driver whose output a test reads. Make one in init() and call
// end() in cleanup(): windows are closed before the driver (and the platform
// it installed) goes.
class DriverSession {
public:
    DriverSession() : driver_(std::make_unique<ScriptDriver>([this](const QString& s) { lines_ << s; })) {}
    ~DriverSession() { end(); }
    DriverSession(const DriverSession&) = delete;
    DriverSession& operator=(const DriverSession&) = delete;

    void end() {
        if (!driver_) return;
        FamilyManager::instance().closeAll();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        driver_.reset();
        lines_.clear();
    }

    // Runs one line; an error line fails the current test. Returns whether it
    // ran cleanly, so a caller can stop at the first failure.
    bool run(const QString& line) {
        lines_.clear();
        driver_->run(line);
        for (const QString& l : lines_)
            if (l.startsWith(QLatin1String("{\"error\""))) {
                QTest::qFail(qPrintable(line + QStringLiteral(": ") + l), __FILE__, __LINE__);
                return false;
            }
        return true;
    }

    // Opens a family through the driver. A window that does not open is a
    // failed set-up, never a pass: the test run ends.
    FamilyWindow* open(const QString& family) {
        run(QStringLiteral("open ") + family);
        FamilyWindow* w = driver_->currentFamily();
        if (!w || !QTest::qWaitForWindowExposed(w)) qFatal("the %s window did not open", qPrintable(family));
        return w;
    }

    ScriptDriver& driver() { return *driver_; }
    // The lines the last run() printed (everything since the last run()).
    const QStringList& lines() const { return lines_; }
    QString output() const { return lines_.join(QLatin1Char('\n')); }

private:
    QStringList lines_;
    std::unique_ptr<ScriptDriver> driver_;
};

// Opens a family's window as the navigation bar does. A family that does not
// open is a failed set-up: the test run ends.
inline FamilyWindow* openFamily(const QString& key) {
    const FamilyEntry* e = familyByKey(key);
    FamilyWindow* w = e ? FamilyManager::instance().open(*e) : nullptr;
    if (!w) qFatal("the %s window did not open", qPrintable(key));
    return w;
}
