// The exponential and logarithm windows: the sample positions of the dotted
// plots, the overflow limits, the look-up values and texts, and the
// natural-base shortcut.
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QtTest>
#include <cmath>

#include "driver/named.h"
#include "driver/driver.h"
#include "families/algebraic/exp_log.h"
#include "numfmt/numfmt.h"
#include "frame/family_window.h"

FamilyWindow* createExponential();
FamilyWindow* createLogarithm();

using namespace explog;

namespace {
double maxX(const Dots& d) {
    double m = -1e9;
    for (const QPointF& p : d.points) m = std::max(m, p.x());
    return m;
}
double minX(const Dots& d) {
    double m = 1e9;
    for (const QPointF& p : d.points) m = std::min(m, p.x());
    return m;
}
// The dot nearest to abscissa x.
QPointF near(const Dots& d, double x) {
    QPointF best(1e9, 1e9);
    for (const QPointF& p : d.points)
        if (std::abs(p.x() - x) < std::abs(best.x() - x)) best = p;
    return best;
}
}  // namespace

class ExpLogTest : public QObject {
    Q_OBJECT
private slots:
    void sampleAbscissas() {
        // Adding 0.005 in single precision drifts: the exponential loop gives
        // 4000 samples and never reaches 10 itself.
        const auto xs = abscissas(-10.f);
        QCOMPARE(int(xs.size()), 4000);
        QCOMPARE(xs.front(), -10.f);
        QVERIFY(std::abs(xs.back() - 9.995f) < 1e-3f);
        QVERIFY(xs.back() != 10.f);
        const auto ls = abscissas(0.01f);
        QCOMPARE(ls.front(), 0.01f);
        QVERIFY(ls.back() <= 10.f && ls.back() > 9.99f);
        QVERIFY(std::abs(int(ls.size()) - 1998) <= 1);
    }

    void exponentialCurve() {
        const Dots two = exponentialDots(2.f);
        QVERIFY(!two.overflow);
        // From the left edge (about 0.001) rising until Y passes 10.2 near X = 3.35.
        QCOMPARE(minX(two), -10.0);
        QVERIFY(std::abs(near(two, -10).y() - 0.0009765625) < 1e-9);
        QVERIFY(std::abs(maxX(two) - 3.35) < 0.01);
        QVERIFY(std::abs(near(two, 1).y() - 2) < 0.01);
        for (const QPointF& p : two.points) QVERIFY(p.y() > -10.2 && p.y() < 10.2);
        // A base below 1 mirrors it: falling, through (1, 0.5).
        const Dots half = exponentialDots(0.5f);
        QVERIFY(std::abs(minX(half) + 3.35) < 0.01);
        QVERIFY(std::abs(near(half, 1).y() - 0.5) < 0.01);
        QVERIFY(std::abs(maxX(half) - 9.995) < 1e-3);
    }

    void exponentialOverflow() {
        // 7000^10 still fits a single, 8000^10 does not: the dots up to the
        // overflow are kept, the loop stops there.
        QVERIFY(!exponentialDots(7000.f).overflow);
        const Dots big = exponentialDots(8000.f);
        QVERIFY(big.overflow);
        QVERIFY(!big.points.empty());
        QVERIFY(maxX(big) < 1);
        // A tiny base overflows at X = -10 already: nothing drawn.
        const Dots tiny = exponentialDots(0.0001f);
        QVERIFY(tiny.overflow);
        QVERIFY(tiny.points.empty());
        QVERIFY(!exponentialDots(0.00015f).overflow);
        // A huge base underflows to 0 on the left (no error) and overflows soon
        // after X = 0.
        const Dots huge = exponentialDots(1e30f);
        QVERIFY(huge.overflow);
        QVERIFY(std::abs(near(huge, -5).y()) < 1e-30);
    }

    void logarithmCurve() {
        const Dots ten = logarithmDots(10.f);
        QVERIFY(!ten.overflow);
        QCOMPARE(near(ten, 0.01).x(), double(0.01f));
        QVERIFY(std::abs(near(ten, 0.01).y() + 2) < 1e-5);
        QVERIFY(std::abs(near(ten, 1).y()) < 0.01);
        QVERIFY(std::abs(near(ten, 9.995).y() - 1) < 0.001);
        const Dots half = logarithmDots(0.5f);
        QVERIFY(std::abs(near(half, 0.01).y() - 6.64) < 0.01);
        QVERIFY(std::abs(near(half, 2).y() + 1) < 0.01);
        // Close to 1 the curve is steep: only 0.6 < X < 1.64 stays inside.
        const Dots steep = logarithmDots(1.05f);
        QVERIFY(std::abs(minX(steep) - 0.61) < 0.02);
        QVERIFY(std::abs(maxX(steep) - 1.64) < 0.02);
        // The nearest base to 1 a single can hold still draws without overflow.
        QVERIFY(!logarithmDots(std::nextafter(1.f, 2.f)).overflow);
    }

    // What the driver scenarios cannot see: the edges of single precision,
    // the base check for NaN, and where the exponential text goes.
    void limits() {
        QVERIFY(power(10.f, 38.f).has_value());
        QVERIFY(!power(10.f, 39.f));
        QCOMPARE(power(10.f, -50.f).value(), 0.f);  // underflow is no error
        QVERIFY(!logarithm(0.f, 10.f));
        QCOMPARE(logarithm(100.f, 10.f).value(), 2.f);
        QVERIFY(!validBase(1.f));
        QVERIFY(!validBase(0.f));
        QVERIFY(!validBase(std::nanf("")));
        QCOMPARE(numfmt::valueSingle(tenthBaseText(3)), 0.3f);
        QCOMPARE(exponentialTextY(0.5f), 0.5);
        QCOMPARE(exponentialTextY(10.f), 10.0);
        QCOMPARE(exponentialTextY(20.f), 9.0);
    }

    // The shortcut label enters the natural base and lights up under the
    // pointer until the pointer reaches the bare window surface.
    void naturalBaseShortcut() {
        QStringList boxes;
        ScriptedPlatform scripted([&](const QString& line) { boxes << line; });
        setPlatform(&scripted);
        std::unique_ptr<FamilyWindow> w(createLogarithm());
        w->setAttribute(Qt::WA_DeleteOnClose, false);
        w->show();
        auto* label = w->findChild<QLabel*>(QStringLiteral("Label3"));
        auto* box = w->findChild<QLineEdit*>(QStringLiteral("Text1"));
        QVERIFY(label && box);
        QCOMPARE(box->text(), QStringLiteral("10"));
        const QColor surface = w->palette().color(QPalette::Window);

        QMouseEvent over(QEvent::MouseMove, QPointF(5, 5), label->mapToGlobal(QPointF(5, 5)), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(label, &over);
        QVERIFY(label->font().bold() && label->font().italic());
        QCOMPARE(label->palette().color(QPalette::Window), QColor(255, 255, 255));

        QTest::mouseClick(label, Qt::LeftButton);
        QCOMPARE(box->text(), QStringLiteral("2.71828"));

        QMouseEvent away(QEvent::MouseMove, QPointF(2, 2), w->mapToGlobal(QPointF(2, 2)), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(w.get(), &away);
        QVERIFY(!label->font().bold() && !label->font().italic());
        QCOMPARE(label->palette().color(QPalette::Window), surface);

        // Entering the base draws nothing: the label changes only at a redraw.
        QCOMPARE(w->findChild<QLabel*>(QStringLiteral("Labfc"))->text(), QStringLiteral("当前函数的解析式为："));
        QVERIFY(boxes.isEmpty());
        w.reset();
        setPlatform(nullptr);
    }

    // Whatever is typed, the windows answer with a message or a drawing and
    // never with a crash, a hang or a garbage text.
    void anyTextIsSafe() {
        QStringList boxes;
        ScriptedPlatform scripted([&](const QString& line) { boxes << line; });
        setPlatform(&scripted);
        const QStringList inputs = {"",       "abc",   "0",       "1",      "-2",      "1E+30",      "1E+38", "1E+39",
                                    "-1E+39", "1E-45", "3.4E+38", "&HFFFF", ".000001", "0.99999999", "7000",  "8000"};
        for (auto* make : {&createExponential, &createLogarithm}) {
            std::unique_ptr<FamilyWindow> w(make());
            w->setAttribute(Qt::WA_DeleteOnClose, false);
            w->show();
            for (const QString& a : inputs) {
                for (const QString& v : inputs) {
                    setControlText(namedControl(w.get(), "Text1"), a);
                    setControlText(namedControl(w.get(), "Tx1"), v);
                    setControlText(namedControl(w.get(), "Ty2"), v);
                    w->redrawClicked();
                    QMetaObject::invokeMethod(w->findChild<QWidget*>("cay"), "click");
                    QMetaObject::invokeMethod(w->findChild<QWidget*>("cax"), "click");
                    for (const QString& r : {namedText(w.get(), "Ty1"), namedText(w.get(), "Tx2")}) {
                        QVERIFY2(!r.contains("inf") && !r.contains("nan"), qPrintable(a + " / " + v + ": " + r));
                    }
                }
            }
        }
        QVERIFY(!boxes.isEmpty());
        setPlatform(nullptr);
    }
};

QTEST_MAIN(ExpLogTest)
#include "exp_log_test.moc"
