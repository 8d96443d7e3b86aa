#include "families/conics/conic_common.h"

#include <QButtonGroup>
#include <QRadioButton>
#include <cmath>

#include "numfmt/numfmt.h"
#include "plot/canvas.h"

using numfmt::text;

namespace conic {

double rootOfNonNegative(double v) { return v > 0 ? std::sqrt(v) : 0.0; }

QString fociText(float c, bool onX) {
    if (onX)
        return QStringLiteral("焦点坐标：F1(") + text(-c) + QStringLiteral(",0),F2:(") + text(c) + QStringLiteral(",0)");
    return QStringLiteral("焦点坐标：F1(0,") + text(-c) + QStringLiteral("),F2:(0,") + text(c) + QStringLiteral(")");
}

QString directrixText(float d, bool onX) {
    const QString axis = onX ? QStringLiteral("x=") : QStringLiteral("y=");
    return QStringLiteral("准线方程是：") + axis + text(d) + QStringLiteral("和") + axis.left(1) +
           QStringLiteral("=－") + text(d);
}

bool allFinite(std::initializer_list<double> values) {
    for (double v : values)
        if (!numfmt::finiteSingle(v)) return false;
    return true;
}

}  // namespace conic

namespace {
const QColor kBlack(0, 0, 0);
const QColor kGreen(0, 255, 0);
}  // namespace

FamilyTraits ConicWindow::conicTraits(int number, const QString& key, const QString& title,
                                      const QString& fileName) {
    FamilyTraits t;
    t.number = number;
    t.key = key;
    t.title = title;
    t.fileName = fileName;
    t.headingLabel = QStringLiteral("Labfc");
    t.lookupResults = {QStringLiteral("Ty1"), QStringLiteral("ty3"), QStringLiteral("Tx2"), QStringLiteral("Tx3")};
    t.axesSetBlack = false;
    t.gridFont10 = false;
    t.gridDisablesFeature = false;
    return t;
}

void ConicWindow::buildLookupPanel(const LookupPanel& p) {
    const int i = p.forY ? 0 : 1;
    const QString frame = QStringLiteral("Frame1(%1)").arg(i);
    const QString idx = QStringLiteral("(%1)").arg(i);
    const QString input = p.forY ? QStringLiteral("Tx1") : QStringLiteral("Ty2");
    const QString r1 = p.forY ? QStringLiteral("Ty1") : QStringLiteral("Tx2");
    const QString r2 = p.forY ? QStringLiteral("ty3") : QStringLiteral("Tx3");
    const QString n1 = p.forY ? QStringLiteral("y1=") : QStringLiteral("X1=");
    const QString n2 = p.forY ? QStringLiteral("y2=") : QStringLiteral("X2=");
    build({
        panel(frame, p.x, p.y, p.w, p.h, p.forY ? QStringLiteral("速查y值") : QStringLiteral("速查x值")),
        label(QStringLiteral("Label10") + idx, 8, 24, 41, 17, p.forY ? QStringLiteral("当 X=") : QStringLiteral("当 y=")).in(frame),
        textBox(input, p.inputX, 24, p.inputW, p.inputH, QStringLiteral("0")).in(frame),
        label(QStringLiteral("Label11") + idx, p.whenX, 24, 33, 17, QStringLiteral("时，")).in(frame),
        button(p.forY ? QStringLiteral("cay") : QStringLiteral("cax"), 168, 24, p.buttonW, p.buttonH, QStringLiteral("计算得")).in(frame),
        label(QStringLiteral("Label12") + idx, 224, 24, 30, 17, n1).in(frame),
        textBox(r1, 256, 24, p.result1W, p.result1H).in(frame),
        label(QStringLiteral("Label13") + idx, 224, 48, 30, 17, n2).in(frame),
        textBox(r2, 256, 48, p.result2W, p.result2H).in(frame),
        label(QStringLiteral("Label16") + idx, 24, p.captionY, 81, 17, QStringLiteral("此时方程为：")).in(frame).font(QStringLiteral("宋体"), 9),
        label(p.forY ? QStringLiteral("Labfc3") : QStringLiteral("Labfc2"), p.eqX, p.eqY, p.eqW, p.eqH).in(frame).color(192, 0, 0),
    });
}

void ConicWindow::pairOptions() {
    auto* group = new QButtonGroup(this);
    group->setExclusive(true);
    for (const char* n : {"Option1", "Option2"})
        if (auto* b = findChild<QRadioButton*>(QString::fromLatin1(n))) group->addButton(b);
}

bool ConicWindow::focusOnX() const {
    auto* o = findChild<QRadioButton*>(QStringLiteral("Option1"));
    return !o || o->isChecked();
}

void ConicWindow::emptyLookups() {
    for (const char* n : {"Ty1", "ty3", "Tx2", "Tx3"}) setText(QString::fromLatin1(n), QString());
}

void ConicWindow::showPair(const QString& first, const QString& second, float v1, float v2) {
    setText(first, numfmt::signedText(v1));
    setText(second, numfmt::signedText(v2));
}

bool ConicWindow::tooLarge(std::initializer_list<double> values) {
    if (conic::allFinite(values)) return false;
    tooLargeMessage();
    return true;
}

void ConicWindow::dots(const std::vector<QPointF>& pts) { canvas().points(pts); }

void ConicWindow::expressionText(float x, float row, const QString& t, QColor red) {
    Canvas& c = canvas();
    c.currentX = x;
    c.currentY = row;
    c.setForeColor(red);
    if (expressionShown()) c.print(t);
    c.setForeColor(kBlack);
}

void ConicWindow::markFoci(float c, bool onX) {
    Canvas& cv = canvas();
    setText(QStringLiteral("Label6"), conic::fociText(c, onX));
    cv.setForeColor(kGreen);
    if (onX) {
        cv.point(-c, 0);
        cv.currentX = -c;
        cv.currentY = -0.1;
        cv.print(QStringLiteral("F1"));
        cv.point(c, 0);
        cv.currentX = c;
        cv.currentY = -0.1;
        cv.print(QStringLiteral("F2"));
    } else {
        cv.point(0, -c);
        cv.currentX = 0.2;
        cv.currentY = 0.2 - double(c);
        cv.print(QStringLiteral("F1"));
        cv.point(0, c);
        cv.currentX = 0.2;
        cv.currentY = double(c) + 0.2;
        cv.print(QStringLiteral("F2"));
    }
    cv.setForeColor(kBlack);
}

void ConicWindow::drawDirectrices(float d, float a, float b, bool onX) {
    Canvas& cv = canvas();
    setText(QStringLiteral("Label2"), conic::directrixText(d, onX));
    cv.setForeColor(kGreen);
    if (onX) {
        cv.line(d, b, d, -b);
        cv.currentX = double(d) + 0.2;
        cv.currentY = b;
        cv.print(QStringLiteral("l1"));
        cv.line(-d, b, -d, -b);
        cv.currentX = 0.2 - double(d);
        cv.currentY = b;
        cv.print(QStringLiteral("l2"));
    } else {
        cv.line(a, d, -a, d);
        cv.currentX = a;
        cv.currentY = double(d) + 0.2;
        cv.print(QStringLiteral("l1"));
        cv.line(a, -d, -a, -d);
        cv.currentX = a;
        cv.currentY = 0.2 - double(d);
        cv.print(QStringLiteral("l2"));
    }
    cv.setForeColor(kBlack);
}

bool ConicWindow::rebuildPicture() {
    plotOk_ = true;
    if (overlayOn()) {
        canvas().setBackground(picture2());
        drawOverlayCurve();
    } else {
        redrawClicked();
    }
    return plotOk_;
}
