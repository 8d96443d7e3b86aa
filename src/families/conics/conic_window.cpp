#include "families/conics/conic_window.h"

#include <QButtonGroup>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <cmath>

#include "numfmt/numfmt.h"
#include "render/canvas.h"

namespace {
const QColor kBlack(0, 0, 0);
const QColor kGreen(0, 255, 0);
}  // namespace

FamilyTraits ConicWindow::conicTraits(int number, const QString& key, const QString& title, const QString& fileName) {
    FamilyTraits t;
    t.number = number;
    t.key = key;
    t.title = title;
    t.fileName = fileName;
    t.axesSetBlack = false;
    t.gridFont10 = false;
    t.gridDisablesFeature = false;
    return t;
}

LookupPanel ConicWindow::lookupPanel(bool forY, int x, int y, int h) {
    LookupPanel p;
    p.forY = forY;
    p.frame = {x, y, 353, h};
    p.input = {forY ? 56 : 48, 24, 73, 18};
    p.when = {forY ? 136 : 128, 24, 33, 17};
    p.button = {168, 24, 49, 25};
    p.caption = {224, 24, 30, 17};
    p.result = {256, 24, 81, 18};
    p.caption2 = {224, 48, 30, 17};
    p.result2 = {256, 48, 81, 18};
    p.eqCaption = {24, 72, 81, 17};
    p.equation = {104, 72, forY ? 241 : 217, 17};
    p.smallCaption = true;
    p.indexed = true;
    return p;
}

void ConicWindow::pairOptions() {
    auto* group = new QButtonGroup(this);
    group->setExclusive(true);
    for (QRadioButton* b : {option1_, option2_})
        if (b) group->addButton(b);
}

bool ConicWindow::focusOnX() const { return !option1_ || option1_->isChecked(); }

void ConicWindow::emptyLookups() {
    for (const LookupControls* p : {&frame_.yLookup, &frame_.xLookup}) {
        p->result->setText(QString());
        p->result2->setText(QString());
    }
}

void ConicWindow::showPair(const LookupControls& panel, float v1, float v2) {
    panel.result->setText(numfmt::signedText(v1));
    panel.result2->setText(numfmt::signedText(v2));
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
    fociLabel_->setText(conic::fociText(c, onX));
    cv.setForeColor(kGreen);
    // Each name stands below a focus on the X axis, beside it on the Y axis.
    const auto [f1, f2] = conic::foci(c, onX);
    const QPointF nameOffset = onX ? QPointF(0, -0.1) : QPointF(0.2, 0.2);
    for (const auto& [f, name] : {std::pair(f1, QStringLiteral("F1")), std::pair(f2, QStringLiteral("F2"))}) {
        cv.point(f.x(), f.y());
        cv.currentX = f.x() + nameOffset.x();
        cv.currentY = f.y() + nameOffset.y();
        cv.print(name);
    }
    cv.setForeColor(kBlack);
}

void ConicWindow::drawDirectrices(float d, float a, float b, bool onX) {
    Canvas& cv = canvas();
    directrixLabel_->setText(conic::directrixText(d, onX));
    cv.setForeColor(kGreen);
    // Each name stands at the first end of its line, 0.2 to the right on the
    // X axis, 0.2 above on the Y axis.
    const auto [l1, l2] = conic::directrices(d, a, b, onX);
    const QPointF nameOffset = onX ? QPointF(0.2, 0) : QPointF(0, 0.2);
    for (const auto& [l, name] : {std::pair(l1, QStringLiteral("l1")), std::pair(l2, QStringLiteral("l2"))}) {
        cv.line(l.x1(), l.y1(), l.x2(), l.y2());
        cv.currentX = l.x1() + nameOffset.x();
        cv.currentY = l.y1() + nameOffset.y();
        cv.print(name);
    }
    cv.setForeColor(kBlack);
}

bool ConicWindow::rebuildPicture() {
    plotOk_ = true;
    if (overlayOn()) {
        restoreSnapshot();
        drawOverlayCurve();
    } else {
        redrawClicked();
    }
    return plotOk_;
}
