#pragma once
// What the widget tests share: their main(), and a script-driver session
// that fails the test on an error line and on a window that does not open.
#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QRadioButton>
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

    // Runs the lines in order, stopping at the first that fails (which has
    // failed the test already): QVERIFY(session.run({...})).
    bool run(std::initializer_list<const char*> script) {
        for (const char* line : script)
            if (!run(QString::fromUtf8(line))) return false;
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

    // A straight line with the line tool, from a to b (world units).
    bool line(QPointF a, QPointF b) {
        return run(QStringLiteral("click Option1sh")) &&
               run(QStringLiteral("press left %1 %2").arg(a.x()).arg(a.y())) &&
               run(QStringLiteral("release left %1 %2").arg(b.x()).arg(b.y()));
    }
    // A free stroke with the pen through the points, the tool chosen first
    // unless the caller already has it.
    bool stroke(const std::vector<QPointF>& points, bool choosePen = true) {
        if (points.empty() || (choosePen && !run(QStringLiteral("click Option3sh")))) return false;
        auto at = [](const char* what, QPointF p) {
            return QStringLiteral("%1 left %2 %3").arg(QLatin1String(what)).arg(p.x()).arg(p.y());
        };
        if (!run(at("press", points.front()))) return false;
        for (size_t i = 1; i < points.size(); ++i)
            if (!run(at("move", points[i]))) return false;
        return run(at("release", points.back()));
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

// Clicks the window's button of that name; a button that is not there fails the test.
inline void click(FamilyWindow* w, const QString& name) {
    auto* b = qobject_cast<QAbstractButton*>(namedControl(w, name));
    QVERIFY2(b, qPrintable(name));
    b->click();
}

// A family's window opened as the bar opens it, with its curve drawn by its
// redraw button (the linear window's is the first of an array). A window
// without one is a failed set-up: the test run ends.
inline FamilyWindow* openPlotted(const QString& key) {
    FamilyWindow* w = openFamily(key);
    QWidget* redraw = namedControl(w, QStringLiteral("Command1"));
    if (!redraw) redraw = namedControl(w, QStringLiteral("Command1(0)"));
    auto* b = qobject_cast<QAbstractButton*>(redraw);
    if (!b) qFatal("the %s window has no redraw button", qPrintable(key));
    b->click();
    return w;
}

// The freehand panel's tool (its option button) and colour.
inline void chooseTool(FamilyWindow* w, const char* option) { w->findChild<QRadioButton*>(option)->setChecked(true); }
inline void chooseColor(FamilyWindow* w, const QString& item) {
    auto* c = w->findChild<QComboBox*>(QStringLiteral("Combo1sh"));
    c->setCurrentIndex(c->findText(item));
}
