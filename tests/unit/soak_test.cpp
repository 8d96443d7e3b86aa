// Thousands of random actions on every plot window: random texts (huge, tiny,
// negative, exponent forms, garbage, empty) into every box, every button,
// every slider, mouse events on the canvas. Nothing may crash or close the
// window; the slowest action is reported (how fast is the benchmark's to say).
#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QtTest>

#include "driver/driver.h"
#include "render/canvas_widget.h"
#include "frame/family_manager.h"
#include "frame/family_window.h"
#include "test_support.h"

namespace {

const QStringList kTexts = {"",       "0",     "1",     "-1",     "2",       "0.5",       "-0.5",    "3.14159", "10",
                            "-10",    "100",   "1E+30", "-1E+30", "1E+38",   "-1E+38",    "3.4E+38", "1E+39",   "1E-30",
                            "-1E-30", "1E-45", "1E-6",  "1D5",    "&HFFFF",  "&O7",       "abc",     "1e",      "--5",
                            "+",      ".",     " ",     "\t7\n",  "9999999", "1.5e-3xyz", "二",      "0.0001",  "65535",
                            "-32768", "7/3",   "NaN",   "inf",    "-0",      "1E+308",    "5"};

QString randomText(QRandomGenerator& rng) {
    const int pick = rng.bounded(100);
    if (pick < 85) return kTexts.at(rng.bounded(kTexts.size()));
    if (pick < 95)
        return QString::number(rng.bounded(2001) - 1000) + QStringLiteral(".") + QString::number(rng.bounded(1000));
    return QString(rng.bounded(1, 20000), QChar(u'9'));  // a long paste
}

}  // namespace

class SoakTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        driver_ = std::make_unique<ScriptDriver>([](const QString&) {});
        // Message boxes get a random reply; the save dialog is cancelled.
    }
    void cleanupTestCase() { driver_.reset(); }

    void randomActions_data() {
        QTest::addColumn<QString>("family");
        for (const FamilyEntry& e : familyTable()) QTest::newRow(e.key.toUtf8().constData()) << e.key;
    }

    void randomActions() {
        QFETCH(QString, family);
        const int actions = qEnvironmentVariableIntValue("VESMAR_SOAK_ACTIONS") > 0
                                ? qEnvironmentVariableIntValue("VESMAR_SOAK_ACTIONS")
                                : 2000;
        FamilyWindow* w = openFamily(family);
        QVERIFY(w);
        QRandomGenerator rng(20261208u + uint(qHash(family)));
        const auto edits = w->findChildren<QLineEdit*>();
        QList<QAbstractButton*> buttons;
        for (QAbstractButton* b : w->findChildren<QAbstractButton*>()) {
            // The full-screen viewer and the save/print buttons are exercised elsewhere;
            // here they would only open windows.
            const QString n = b->objectName();
            if (n == QLatin1String("Commandquanpin")) continue;
            buttons << b;
        }
        const auto sliders = w->findChildren<QScrollBar*>();
        const auto combos = w->findChildren<QComboBox*>();
        qint64 worst = 0;
        QString worstAction;
        for (int i = 0; i < actions; ++i) {
            QElapsedTimer t;
            t.start();
            QString what;
            const int kind = rng.bounded(100);
            if (kind < 35 && !edits.isEmpty()) {
                QLineEdit* e = edits.at(rng.bounded(edits.size()));
                const QString s = randomText(rng);
                what = QStringLiteral("type %1 %2").arg(e->objectName(), s.left(30));
                e->setText(s);
            } else if (kind < 65 && !buttons.isEmpty()) {
                QAbstractButton* b = buttons.at(rng.bounded(buttons.size()));
                what = QStringLiteral("click ") + b->objectName();
                driver_->scripted().answers.push_back(rng.bounded(2) ? QStringLiteral("OK") : QStringLiteral("Cancel"));
                if (b->isEnabled() && b->isVisibleTo(w)) b->click();
                driver_->scripted().answers.clear();
            } else if (kind < 85 && !sliders.isEmpty()) {
                QScrollBar* s = sliders.at(rng.bounded(sliders.size()));
                const int v = s->minimum() + rng.bounded(s->maximum() - s->minimum() + 1);
                what = QStringLiteral("slide %1 %2").arg(s->objectName()).arg(v);
                s->setValue(v);
            } else if (kind < 88 && !combos.isEmpty()) {
                QComboBox* c = combos.at(rng.bounded(combos.size()));
                if (c->count() > 0) c->setCurrentIndex(rng.bounded(c->count()));
                what = QStringLiteral("choose");
            } else {
                CanvasWidget* cw = w->canvasWidget();
                const double x = rng.bounded(2600) / 100.0 - 13, y = rng.bounded(2600) / 100.0 - 13;
                const int m = rng.bounded(5);
                what = QStringLiteral("mouse %1 %2 %3").arg(m).arg(x).arg(y);
                if (m == 0) cw->mousePress(rng.bounded(3) ? Qt::LeftButton : Qt::RightButton, x, y);
                else if (m == 1) cw->mouseMove(rng.bounded(2) ? Qt::LeftButton : Qt::NoButton, x, y);
                else if (m == 2) cw->mouseRelease(Qt::LeftButton, x, y);
                else if (m == 3) cw->mouseDoubleClick();
                else if (auto* tw = cw->findChild<QLineEdit*>()) {
                    QKeyEvent k(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
                    QApplication::sendEvent(tw, &k);
                }
            }
            QCoreApplication::processEvents();
            if (t.elapsed() > worst) {
                worst = t.elapsed();
                worstAction = what;
            }
            QVERIFY2(w->isVisible(), qPrintable(QStringLiteral("window gone after ") + what));
        }
        qInfo("%s: %d actions, slowest %lld ms (%s)", qPrintable(family), actions, worst, qPrintable(worstAction));
        w->close();
        QCoreApplication::processEvents();
    }

private:
    std::unique_ptr<ScriptDriver> driver_;
};

VESMAR_WINDOW_TEST_MAIN(SoakTest)
#include "soak_test.moc"
