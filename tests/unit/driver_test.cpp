// The script driver itself: checked scripts fail on what they mean to catch,
// typing is keystrokes, the script clock owns the program's timers, and an
// untrusted script cannot write outside its folder.
#include <QApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "driver/check.h"
#include "driver/driver.h"
#include "frame/family_manager.h"
#include "frame/family_window.h"

namespace {

QJsonValue json(const char* text) { return QJsonDocument::fromJson(QByteArray(text)).object(); }

// A window of the test's own with a named timer, as the navigation bar has.
struct TimerWindow {
    QWidget window;
    QTimer* timer = new QTimer(&window);
    int ticks = 0;
    TimerWindow() {
        window.setObjectName(QStringLiteral("Formtimer"));
        timer->setObjectName(QStringLiteral("Timer1"));
        timer->setInterval(100);
        QObject::connect(timer, &QTimer::timeout, [this] { ++ticks; });
        window.show();
    }
};

}  // namespace

class DriverTest : public QObject {
    Q_OBJECT
private slots:
    void subsetMatching() {
        QString why;
        // Extra fields in the output are fine; nested objects are subsets too.
        QVERIFY(jsonSubset(json(R"({"get":"A","text":"x"})"), json(R"({"get":"A","text":"x","focus":true})")));
        QVERIFY(jsonSubset(json(R"({"msgbox":{"title":"T"}})"),
                           json(R"({"msgbox":{"title":"T","text":"long"},"answer":"OK"})")));
        QVERIFY(jsonSubset(json("{}"), json(R"({"count":3})")));
        // A missing field, another value, another type, another array.
        QVERIFY(!jsonSubset(json(R"({"focus":true})"), json(R"({"get":"A"})"), &why));
        QCOMPARE(why, QStringLiteral("focus: missing, expected true"));
        QVERIFY(!jsonSubset(json(R"({"msgbox":{"title":"T"}})"), json(R"({"msgbox":{"title":"U"}})"), &why));
        QCOMPARE(why, QStringLiteral("msgbox.title: expected \"T\", got \"U\""));
        QVERIFY(!jsonSubset(json(R"({"count":1})"), json(R"({"count":"1"})"), &why));
        QVERIFY(!jsonSubset(json(R"({"rgb":[0,0,0]})"), json(R"({"rgb":[0,0]})"), &why));
        QVERIFY(!jsonSubset(json(R"({"rgb":[0,0,0]})"), json(R"({"rgb":[0,0,1]})"), &why));
        QCOMPARE(why, QStringLiteral("rgb[2]: expected 0, got 1"));
    }

    void checkedScriptsFailOnWrongExpectations() {
        const QString good = QStringLiteral("open linear\nget Text1(0)\n> {\"text\":\"2\"}\n");
        CheckResult r = checkScript(good, QStringLiteral("good.script"));
        QVERIFY2(r.ok, qPrintable(r.report.join(QLatin1Char('\n'))));
        QCOMPARE(r.transcript.size(), 1);

        // A wrong value names the script's line and the field.
        r = checkScript(QStringLiteral("open linear\nget Text1(0)\n> {\"text\":\"3\"}\n"), QStringLiteral("w.script"));
        QVERIFY(!r.ok);
        QCOMPARE(r.report.size(), 1);
        QVERIFY2(
            r.report.at(0).startsWith(QStringLiteral("w.script:3: `get Text1(0)`: text: expected \"3\", got \"2\"")),
            qPrintable(r.report.at(0)));

        // Output nothing expects (here an error for a mistyped name) fails.
        r = checkScript(QStringLiteral("open linear\nclick Comand1(0)\n"), QStringLiteral("e.script"));
        QVERIFY(!r.ok);
        QVERIFY(r.report.at(0).contains(QStringLiteral("no control Comand1(0)")));

        // An error where a result was expected says so.
        r = checkScript(QStringLiteral("open linear\nget Text9\n> {\"text\":\"2\"}\n"), QStringLiteral("g.script"));
        QVERIFY(!r.ok);
        QVERIFY2(r.report.at(0).startsWith(QStringLiteral("g.script:3: `get Text9` failed: no control Text9")),
                 qPrintable(r.report.at(0)));

        // An expectation the command does not print fails.
        r = checkScript(QStringLiteral("open linear\n> {\"windows\":[]}\n"), QStringLiteral("m.script"));
        QVERIFY(!r.ok);
        QVERIFY(r.report.at(0).contains(QStringLiteral("printed nothing")));

        // Expectations belong to a command, and must be JSON objects.
        QVERIFY(!checkScript(QStringLiteral("> {}\nopen linear\n"), QStringLiteral("x")).ok);
        QVERIFY(!checkScript(QStringLiteral("windows\n> [1]\n"), QStringLiteral("x")).ok);
        QVERIFY(!checkScript(QStringLiteral("windows\n> {\"windows\":\n"), QStringLiteral("x")).ok);
    }

    void lookUpStaysInTheCurrentWindow() {
        QStringList out;
        ScriptDriver d([&](const QString& s) { out << s; });
        d.run(QStringLiteral("start"));
        d.run(QStringLiteral("open linear"));
        QVERIFY(d.findControl(QStringLiteral("Text1(0)")));
        QVERIFY(!d.findControl(QStringLiteral("Labmenu(0)")));
        d.run(QStringLiteral("window Formtop"));
        QVERIFY(d.findControl(QStringLiteral("Labmenu(0)")));
        QVERIFY(!d.findControl(QStringLiteral("Text1(0)")));
        QVERIFY(out.isEmpty());
    }

    void typingIsKeystrokes() {
        QStringList out;
        ScriptDriver d([&](const QString& s) { out << s; });
        d.run(QStringLiteral("open linear"));
        auto* box = d.currentWindow()->findChild<QLineEdit*>(QStringLiteral("Tx1"));
        QVERIFY(box);
        QStringList edits;
        connect(box, &QLineEdit::textEdited, this, [&](const QString& t) { edits << t; });
        int keys = 0;
        struct KeyCounter : QObject {
            int* n;
            explicit KeyCounter(int* c) : n(c) {}
            bool eventFilter(QObject*, QEvent* e) override {
                if (e->type() == QEvent::KeyPress) ++*n;
                return false;
            }
        } counter(&keys);
        box->installEventFilter(&counter);

        d.run(QStringLiteral("type Tx1 -1.5"));
        QCOMPARE(box->text(), QStringLiteral("-1.5"));
        // One edit per keystroke; the first one types over the old text.
        QCOMPARE(edits, (QStringList{"-", "-1", "-1.", "-1.5"}));
        QCOMPARE(keys, 4);
        QCOMPARE(d.currentWindow()->focusWidget(), box);

        // Blanks and characters that no key writes end up in the box too.
        edits.clear();
        d.run(QStringLiteral("type Tx1  a\tb "));
        QCOMPARE(box->text(), QStringLiteral(" a\tb "));
        QCOMPARE(edits.size(), 5);

        // Emptying the box is one edit (the selection deleted).
        edits.clear();
        d.run(QStringLiteral("type Tx1 "));
        QCOMPARE(box->text(), QString());
        QCOMPARE(edits, QStringList{QString()});

        // A long text is pasted whole.
        edits.clear();
        keys = 0;
        const QString longText = QString(5000, QLatin1Char('0')) + QLatin1Char('7');
        d.run(QStringLiteral("type Tx1 ") + longText);
        QCOMPARE(box->text(), longText);
        QCOMPARE(keys, 0);
        QCOMPARE(edits.size(), 1);
        QVERIFY(out.isEmpty());
    }

    void scriptClockOwnsNamedTimers() {
        ScriptDriver d([](const QString&) {});
        TimerWindow w;
        QTimer unnamed(&w.window);
        int unnamedTicks = 0;
        connect(&unnamed, &QTimer::timeout, this, [&] { ++unnamedTicks; });
        w.timer->start();
        unnamed.start(10);
        // Real time does not tick a named timer; it still ticks Qt's own.
        QTest::qWait(150);
        QCOMPARE(w.ticks, 0);
        QVERIFY(unnamedTicks > 0);
        unnamed.stop();
        unnamedTicks = 0;

        d.run(QStringLiteral("wait 99"));
        QCOMPARE(w.ticks, 0);
        d.run(QStringLiteral("wait 1"));
        QCOMPARE(w.ticks, 1);
        d.run(QStringLiteral("wait 250"));
        QCOMPARE(w.ticks, 3);
        // A restart begins a fresh interval.
        w.timer->start();
        d.run(QStringLiteral("wait 50"));
        d.run(QStringLiteral("wait 49"));
        QCOMPARE(w.ticks, 3);
        d.run(QStringLiteral("wait 1"));
        QCOMPARE(w.ticks, 4);
        // A single shot fires once; a stopped timer never.
        w.timer->setSingleShot(true);
        w.timer->start();
        d.run(QStringLiteral("wait 1000"));
        QCOMPARE(w.ticks, 5);
        QVERIFY(!w.timer->isActive());
        d.run(QStringLiteral("wait 1000"));
        QCOMPARE(w.ticks, 5);
        QCOMPARE(unnamedTicks, 0);
    }

    void waitIsBounded() {
        QStringList out;
        ScriptDriver d([&](const QString& s) { out << s; });
        d.maxWaitMs = 1000;
        TimerWindow w;
        w.timer->setInterval(0);  // would tick for ever on a real clock
        w.timer->start();
        d.run(QStringLiteral("wait 1000"));
        // A timer of interval 0 ticks once a millisecond of the script clock.
        QCOMPARE(w.ticks, 1000);
        d.run(QStringLiteral("wait 1001"));
        d.run(QStringLiteral("wait -1"));
        d.run(QStringLiteral("wait soon"));
        QCOMPARE(out, (QStringList{R"({"error":"wait longer than 1000 ms"})", R"({"error":"bad time -1"})",
                                   R"({"error":"bad time soon"})"}));
    }

    void confinedScriptsWriteOnlyPlainNames() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QStringList out;
        QVERIFY(!QFile::exists(QStringLiteral("plain.png")));
        {
            ScriptDriver d([&](const QString& s) { out << s; });
            d.confineFiles = true;
            d.filesFolder = dir.path();
            d.run(QStringLiteral("open linear"));
            for (const char* bad : {"canvas ../up.png", "canvas /tmp/abs.png", "canvas sub/x.png", "canvas .hidden.png",
                                    "printto ../x.pdf", "savename /tmp/x.bmp"})
                d.run(QString::fromLatin1(bad));
            QCOMPARE(out.size(), 6);
            for (const QString& line : out)
                QVERIFY2(line.startsWith(QStringLiteral("{\"error\":\"not a plain")), qPrintable(line));
            out.clear();
            d.run(QStringLiteral("canvas plain.png"));
            QVERIFY(out.isEmpty());
        }
        // The plain name lands in the folder, not in the working folder.
        QVERIFY(QFile::exists(dir.filePath(QStringLiteral("plain.png"))));
        QVERIFY(!QFile::exists(QStringLiteral("plain.png")));
        QVERIFY(!QFile::exists(QStringLiteral("/tmp/abs.png")));
    }

    void floatingItemsAnswerByName() {
        QStringList out;
        ScriptDriver d([&](const QString& s) { out << s; });
        d.run(QStringLiteral("open linear"));
        // The eraser square is 9 x 9 pixels; its world corners follow from
        // its top-left corner and the canvas scale.
        d.run(QStringLiteral("click Option6sh"));
        d.run(QStringLiteral("move none 1 1"));
        d.run(QStringLiteral("get Shape1"));
        QCOMPARE(out.size(), 1);
        const QJsonObject o = QJsonDocument::fromJson(out.at(0).toUtf8()).object();
        QCOMPARE(o.value(QStringLiteral("visible")).toBool(), true);
        QCOMPARE(o.value(QStringLiteral("x1")).toDouble(), 1.0);
        QCOMPARE(o.value(QStringLiteral("y1")).toDouble(), 1.0);
        FamilyWindow* f = d.currentFamily();
        QVERIFY(f);
        const QPointF px = f->canvas().toPixel(1, 1);
        QCOMPARE(
            f->canvas().toPixel(o.value(QStringLiteral("x2")).toDouble(), o.value(QStringLiteral("y2")).toDouble()),
            px + QPointF(9, 9));
    }

    void cleanup() {
        FamilyManager::instance().closeAll();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

QTEST_MAIN(DriverTest)
#include "driver_test.moc"
