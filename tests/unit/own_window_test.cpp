// The window of the teacher's own function: what it draws for a typed
// expression (compared with pixels computed here from the same function
// written in C++), its look-ups and features, and a bad expression that
// leaves the picture alone.
#include <QLabel>
#include <QLineEdit>
#include <QtTest>
#include <cmath>
#include <functional>

#include "driver/named.h"
#include "families/own/own.h"
#include "render/canvas.h"
#include "test_support.h"

namespace {

bool dark(const QImage& img, QPoint p) { return img.rect().contains(p) && qGray(img.pixel(p)) < 140; }

// Whether any pixel within `reach` pixels of p is dark.
bool darkNear(const QImage& img, QPointF p, int reach = 1) {
    const QPoint c(int(std::floor(p.x())), int(std::floor(p.y())));
    for (int dy = -reach; dy <= reach; ++dy)
        for (int dx = -reach; dx <= reach; ++dx)
            if (dark(img, c + QPoint(dx, dy))) return true;
    return false;
}

// Dark pixels inside the world rectangle [x1, x2] x [y1, y2].
int darkIn(const QImage& img, double x1, double x2, double y1, double y2) {
    const QPointF a = Canvas::mapToPixel(x1, y2), b = Canvas::mapToPixel(x2, y1);
    int n = 0;
    for (int py = int(std::ceil(a.y())); py <= int(std::floor(b.y())); ++py)
        for (int px = int(std::ceil(a.x())); px <= int(std::floor(b.x())); ++px) n += dark(img, QPoint(px, py));
    return n;
}

}  // namespace

class OwnWindowTest : public QObject {
    Q_OBJECT
private slots:
    void init() { session_ = std::make_unique<DriverSession>(); }
    void cleanup() { session_.reset(); }

    void texts() {
        QCOMPARE(own::body(QStringLiteral(" y = x^2 ")), QStringLiteral("x^2"));
        QCOMPARE(own::body(QStringLiteral("Y＝|x|")), QStringLiteral("|x|"));
        // A "y" that is not followed by "=" is not a prefix.
        QCOMPARE(own::body(QStringLiteral("yx")), QStringLiteral("yx"));
        QCOMPARE(own::xList({}), QStringLiteral("无"));
        QCOMPARE(own::xList({-1, 3}), QStringLiteral("-1，3"));
        std::vector<double> many;
        for (int i = 0; i < 25; ++i) many.push_back(i);
        const QString listed = own::xList(many);
        QVERIFY2(listed.endsWith(QStringLiteral("，19 等 25 个")), qPrintable(listed));
        QCOMPARE(own::pointList({{-1, -2}, {1, 2}}), QStringLiteral("(-1,-2)，(1,2)"));
    }

    // The picture of each expression against pixels computed here: every
    // column where f is defined and inside the picture has the curve within
    // a pixel; the gaps named stay white (no line joining two branches).
    void pictures_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<std::function<double(double)>>("f");
        // A world rectangle that must stay white: beside a pole, no wider
        // than the pixel column the pole is in (the 2-pixel pen of the
        // steep branches reaches the next one).
        QTest::addColumn<QRectF>("gap");
        QTest::newRow("1/x") << "1/x"
                             << ""
                             << "" << std::function<double(double)>([](double x) { return 1 / x; })
                             << QRectF(QPointF(-0.04, -8), QPointF(0.04, 8));
        const double h = M_PI / 2;
        QTest::newRow("tan x") << "tan x"
                               << ""
                               << "" << std::function<double(double)>([](double x) { return std::tan(x); })
                               << QRectF(QPointF(h - 0.04, -7), QPointF(h + 0.04, 7));
        QTest::newRow("|x|") << "|x| - 3"
                             << ""
                             << "" << std::function<double(double)>([](double x) { return std::abs(x) - 3; })
                             << QRectF(QPointF(-0.5, -2), QPointF(0.5, 8));
        QTest::newRow("cube root") << "x^(1/3)"
                                   << ""
                                   << "" << std::function<double(double)>([](double x) { return std::cbrt(x); })
                                   << QRectF(QPointF(-9, 3), QPointF(9, 9));
        // Only on [-1, 2]: nothing left of -1 or right of 2.
        QTest::newRow("interval") << "x²"
                                  << "-1"
                                  << "2" << std::function<double(double)>([](double x) { return x * x; })
                                  << QRectF(QPointF(2.15, -9), QPointF(10, 9));
    }
    void pictures() {
        QFETCH(QString, typed);
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(std::function<double(double)>, f);
        QFETCH(QRectF, gap);
        FamilyWindow* w = session_->open(QStringLiteral("own"));
        // Neither the axes nor the expression's text on the picture.
        QVERIFY(session_->run({"click Checkhide", "click Check1"}));
        QVERIFY(session_->run(QStringLiteral("type Exprtext ") + typed));
        QVERIFY(session_->run(QStringLiteral("type Domfrom ") + from));
        QVERIFY(session_->run(QStringLiteral("type Domto ") + to));
        QVERIFY(session_->run(QStringLiteral("click Command1")));
        QVERIFY2(!session_->output().contains(QStringLiteral("msgbox")), qPrintable(session_->output()));
        const QImage img = w->canvas().image();
        const double lo = from.isEmpty() ? -11 : from.toDouble(), hi = to.isEmpty() ? 11 : to.toDouble();
        int checked = 0;
        for (int px = 2; px < Canvas::kSize - 2; ++px) {
            const double x = Canvas::mapToWorld(px + 0.5, 0).x();
            if (x < lo || x > hi) continue;
            const double y = f(x);
            if (!std::isfinite(y) || std::abs(y) > 10.5) continue;
            // Columns right beside a pole: the curve leaves the picture there.
            if (std::abs(f(x - 0.03) - f(x + 0.03)) > 2) continue;
            QVERIFY2(darkNear(img, Canvas::mapToPixel(x, y)), qPrintable(QStringLiteral("x = %1").arg(x)));
            ++checked;
        }
        QVERIFY(checked > 40);
        QCOMPARE(darkIn(img, gap.left(), gap.right(), gap.top(), gap.bottom()), 0);
    }

    // The look-ups and features of y = x² - 2x - 3 and of y = x + 1/x.
    void numbers() {
        session_->open(QStringLiteral("own"));
        auto get = [this](const char* name) {
            session_->run(QStringLiteral("get ") + QLatin1String(name));
            const QString out = session_->output();
            const int at = out.indexOf(QStringLiteral("\"text\":\""));
            return at < 0 ? QString() : out.mid(at + 8, out.indexOf(QLatin1Char('"'), at + 8) - at - 8);
        };
        QVERIFY(session_->run({"type Exprtext y=x²-2x-3", "click Command1", "type Tx1 2", "click cay"}));
        QCOMPARE(get("Ty1"), QStringLiteral("-3"));
        QVERIFY(session_->run({"type Ty2 0", "click cax"}));
        QCOMPARE(get("Tx2"), QStringLiteral("-1，3"));
        // Touching: the vertex's own height has one solution.
        QVERIFY(session_->run({"type Ty2 -4", "click cax"}));
        QCOMPARE(get("Tx2"), QStringLiteral("1"));
        QVERIFY(session_->run({"type Ty2 -5", "click cax"}));
        QCOMPARE(get("Tx2"), QStringLiteral("无实数解"));
        QVERIFY(session_->run({"click Command2", "click Command4", "click Command6"}));
        QCOMPARE(get("Label5(0)"), QStringLiteral("-1，3"));
        QCOMPARE(get("Label5(2)"), QStringLiteral("(1,-4)"));
        QCOMPARE(get("Label5(3)"), QStringLiteral("(0,-3)"));

        // 对勾函数: a maximum at (-1, -2), a minimum at (1, 2), no zero and
        // nothing at x = 0.
        QVERIFY(session_->run({"type Exprtext x + 1/x", "click Command1", "click Command2", "click Command3",
                               "click Command4", "click Command6"}));
        QCOMPARE(get("Label5(0)"), QStringLiteral("无"));
        QCOMPARE(get("Label5(1)"), QStringLiteral("(-1,-2)"));
        QCOMPARE(get("Label5(2)"), QStringLiteral("(1,2)"));
        QVERIFY(get("Label5(3)").startsWith(QStringLiteral("无")));

        // The interval bounds the search: x² = 1 on [0, 2] only at 1.
        QVERIFY(session_->run(
            {"type Exprtext x^2", "type Domfrom 0", "type Domto 2", "click Command1", "type Ty2 1", "click cax"}));
        QCOMPARE(get("Tx2"), QStringLiteral("1"));
        // A constant: every x solves it.
        QVERIFY(session_->run(
            {"type Exprtext 2", "type Domfrom", "type Domto", "click Command1", "type Ty2 2", "click cax"}));
        QCOMPARE(get("Tx2"), QStringLiteral("区间内的任意 x"));
        // A look-up box without a number says what it wants and leaves the
        // result as it was.
        QVERIFY(session_->run({"type Tx1 1", "click cay"}));
        QCOMPARE(get("Ty1"), QStringLiteral("2"));
        QVERIFY(session_->run({"type Tx1 abc", "click cay"}));
        QVERIFY(session_->output().contains(QStringLiteral("请在“当 X=”后面输入一个数")));
        QCOMPARE(get("Ty1"), QStringLiteral("2"));
        QVERIFY(session_->run({"type Ty2 x+", "click cax"}));
        QVERIFY(session_->output().contains(QStringLiteral("请在“当 y=”后面输入一个数")));
        QCOMPARE(get("Tx2"), QStringLiteral("区间内的任意 x"));
    }

    // A bad expression or interval: a message, the place marked, and the
    // picture and the current label as they were.
    void badInputKeepsThePicture() {
        FamilyWindow* w = session_->open(QStringLiteral("own"));
        QVERIFY(session_->run({"type Exprtext x^2", "click Command1"}));
        const QImage before = w->canvas().image();
        auto* current = qobject_cast<QLabel*>(namedControl(w, QStringLiteral("Label2(0)")));
        QVERIFY(current);
        const QString label = current->text();
        QVERIFY(label.contains(QStringLiteral("x^2")));
        for (const char* line : {"type Exprtext 2*(x+1", "type Exprtext x^2 + foo", "type Exprtext "}) {
            QVERIFY(session_->run(QString::fromUtf8(line)));
            QVERIFY(session_->run(QStringLiteral("click Command1")));
            QVERIFY2(session_->output().contains(QStringLiteral("msgbox")), line);
            QCOMPARE(w->canvas().image(), before);
            QCOMPARE(current->text(), label);
        }
        // The problem's place is selected in the box.
        QVERIFY(session_->run({"type Exprtext x + 1 +", "click Command1"}));
        auto* box = qobject_cast<QLineEdit*>(namedControl(w, QStringLiteral("Exprtext")));
        QVERIFY(box->hasFocus());
        QVERIFY(box->cursorPosition() >= 6);
        // Interval ends that are not numbers, or the wrong way round.
        for (const char* line : {"type Domfrom abc", "type Domfrom 3\ntype Domto 1", "type Domfrom x"}) {
            QVERIFY(session_->run({"type Exprtext x^2", "type Domto"}));
            for (const QString& l : QString::fromUtf8(line).split(QLatin1Char('\n'))) QVERIFY(session_->run(l));
            QVERIFY(session_->run(QStringLiteral("click Command1")));
            QVERIFY2(session_->output().contains(QStringLiteral("区间")), line);
            QCOMPARE(w->canvas().image(), before);
        }
        // A slider moved while the box holds a bad expression draws nothing either.
        QVERIFY(session_->run({"type Domfrom", "type Domto", "type Exprtext a*(x"}));
        QVERIFY(session_->run(QStringLiteral("slide HScroll1 20")));
        QCOMPARE(w->canvas().image(), before);
    }

    // The description a screen reader gives reads the expression in words.
    void description() {
        FamilyWindow* w = session_->open(QStringLiteral("own"));
        QVERIFY(session_->run({"type Exprtext y=|x²-2x-3|", "click Command1"}));
        const QString d = w->canvasDescription();
        QVERIFY2(d.contains(QStringLiteral("x 的平方 减 2x 减 3 的绝对值")), qPrintable(d));
    }

private:
    std::unique_ptr<DriverSession> session_;
};

VESMAR_WINDOW_TEST_MAIN(OwnWindowTest)
#include "own_window_test.moc"
