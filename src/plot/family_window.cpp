#include "plot/family_window.h"

#include <algorithm>

#include <QAbstractButton>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

#include "numfmt/numfmt.h"
#include "plot/canvas_widget.h"
#include "plot/frame_texts.h"
#include "plot/freehand.h"
#include "plot/output.h"
#include "plot/pointer.h"

namespace {
const QColor kBlack(0, 0, 0);
const QColor kGridBlue(10, 10, 200);
const QColor kGridAxes(200, 10, 10);

// What each redraw cycle does beyond the common steps.
bool movesFocus(RedrawCycle c) { return c != RedrawCycle::Plain; }
bool overlayEmptiesResults(RedrawCycle c) { return c != RedrawCycle::Plain; }
bool commitEmptiesResults(RedrawCycle c) { return c == RedrawCycle::Linear; }
bool countsCommits(RedrawCycle c) { return c == RedrawCycle::Linear; }
}  // namespace

FamilyWindow::FamilyWindow(FamilyTraits traits, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      traits_(std::move(traits)) {
    setObjectName(QStringLiteral("Form%1").arg(traits_.number));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(traits_.title);
    setFont(uiFont(QStringLiteral("宋体"), 10.5));
    setGeometry(36, 174, 794, 543);
    setFixedSize(794, 543);
    canvas_ = new Canvas(this);
    canvasWidget_ = new CanvasWidget(canvas_, this);
    canvasWidget_->setGeometry(384, 40, 400, 400);
    // Picture2 never shows; it only holds the overlay snapshot (white until the first one).
}

FamilyWindow::~FamilyWindow() {
    // Qt deletes the children (canvas, controls, tools) after this, when the
    // window is only a QWidget any more: nothing they signal on the way out
    // may reach the frame's handlers.
    for (QObject* child : findChildren<QObject*>()) child->blockSignals(true);
}

void FamilyWindow::build(std::initializer_list<Ctl> table) { buildControls(this, table); }

void FamilyWindow::finish() {
    onClick(traits_.redrawButton, [this] { redrawClicked(); });
    onClick(traits_.overlayButton, [this] { overlayClicked(); });
    onClick(traits_.commitButton, [this] { commitClicked(); });
    onClick(traits_.gridButton, [this] { gridClicked(); });
    onClick(QStringLiteral("cay"), [this] { lookupY(); });
    onClick(QStringLiteral("cax"), [this] { lookupX(); });
    setVisibleControl(traits_.commitButton, false);
    if (!traits_.featureButton.isEmpty()) setEnabledControl(traits_.featureButton, false);
    for (const SliderLink& link : traits_.sliders) {
        if (auto* s = findChild<QScrollBar*>(link.slider)) {
            connect(s, &QScrollBar::valueChanged, this, [this, link](int v) { sliderChanged(link, v); });
        }
    }
    pointer_ = new PointerTool(*this);
    freehand_ = new FreehandTools(*this);
    output_ = new OutputTools(*this);
    // Canvas events run readout, tools and crosshair in this order.
    connect(canvasWidget_, &CanvasWidget::pressed, this,
            [this](Qt::MouseButton b, double x, double y) { freehand_->press(b, x, y); });
    connect(canvasWidget_, &CanvasWidget::moved, this, [this](Qt::MouseButtons b, double x, double y) {
        pointer_->readout(x, y);
        freehand_->move(b, x, y);
        pointer_->follow(x, y);
    });
    connect(canvasWidget_, &CanvasWidget::released, this,
            [this](Qt::MouseButton b, double x, double y) { freehand_->release(b, x, y); });
    connect(canvasWidget_, &CanvasWidget::doubleClicked, this, [this] { pointer_->toggleCrosshair(); });
}

// ---------------------------------------------------------------- controls

QWidget* FamilyWindow::control(const QString& name) const {
    if (name.isEmpty()) return nullptr;
    if (name == QLatin1String("Picture1")) return canvasWidget_;
    return findChild<QWidget*>(name);
}

QWidget* FamilyWindow::required(const QString& name) const {
    QWidget* w = control(name);
    if (!w) reportMissingControl(objectName(), name);
    return w;
}

QString FamilyWindow::text(const QString& name) const {
    QWidget* w = required(name);
    if (auto* e = qobject_cast<QLineEdit*>(w)) return e->text();
    if (auto* l = qobject_cast<QLabel*>(w)) return l->text();
    if (auto* b = qobject_cast<QAbstractButton*>(w)) return b->text();
    if (auto* g = qobject_cast<QGroupBox*>(w)) return g->title();
    if (auto* c = qobject_cast<QComboBox*>(w)) return c->currentText();
    return {};
}

void FamilyWindow::setText(const QString& name, const QString& t) {
    QWidget* w = required(name);
    if (auto* e = qobject_cast<QLineEdit*>(w)) e->setText(t);
    else if (auto* l = qobject_cast<QLabel*>(w)) l->setText(t);
    else if (auto* b = qobject_cast<QAbstractButton*>(w)) b->setText(t);
    else if (auto* g = qobject_cast<QGroupBox*>(w)) g->setTitle(t);
}

float FamilyWindow::number(const QString& name) const { return numfmt::valueSingle(text(name)); }
double FamilyWindow::numberDouble(const QString& name) const { return numfmt::value(text(name)); }

void FamilyWindow::focusOn(const QString& name) {
    if (QWidget* w = required(name)) w->setFocus(Qt::OtherFocusReason);
}

void FamilyWindow::setEnabledControl(const QString& name, bool on) {
    if (QWidget* w = required(name)) w->setEnabled(on);
}

void FamilyWindow::setVisibleControl(const QString& name, bool on) {
    if (QWidget* w = required(name)) w->setVisible(on);
}

void FamilyWindow::onClick(const QString& name, std::function<void()> handler) {
    auto* b = qobject_cast<QAbstractButton*>(required(name));
    if (!b && control(name)) reportMissingControl(objectName(), name + QStringLiteral(" (a button)"));
    if (b) connect(b, &QAbstractButton::clicked, this, [this, h = std::move(handler)] { runHandler(h); });
}

bool FamilyWindow::axesHidden() const {
    auto* c = findChild<QCheckBox*>(QStringLiteral("Checkhide"));
    return c && c->isChecked();
}

bool FamilyWindow::expressionShown() const {
    auto* c = findChild<QCheckBox*>(QStringLiteral("Check1"));
    return c && c->isChecked();
}

MsgReply FamilyWindow::message(const QString& t, const QString& title, MsgButtons buttons, MsgIcon icon) {
    // A scroll-bar arrow held down would go on stepping behind the box, out
    // to the end of its range: the box ends the movement as a release would.
    MsgReply reply = MsgReply::OK;
    runHandler([&] {
        for (const SliderLink& link : traits_.sliders)
            if (auto* s = findChild<QScrollBar*>(link.slider)) stopSliderRepeat(s);
        reply = platform().messageBox(this, t, title, buttons, icon);
    });
    return reply;
}

// ---------------------------------------------------------------- handlers in turn

void FamilyWindow::runHandler(const std::function<void()>& handler) {
    ++handlerDepth_;
    handler();
    --handlerDepth_;
    if (handlerDepth_ == 0) runWaitingSliderChanges();
}

void FamilyWindow::runWaitingSliderChanges() {
    // Each waiting slider runs once, with its latest position. A change can
    // only wait while a box is open, so this ends as soon as the boxes stop;
    // the bound keeps a platform that answers every box with more steps from
    // holding the window for ever (what is left waits for the next handler).
    for (int round = 0; round < 64 && !waitingSliders_.empty(); ++round) {
        const QString name = waitingSliders_.front();
        waitingSliders_.erase(waitingSliders_.begin());
        for (const SliderLink& link : traits_.sliders) {
            if (link.slider != name) continue;
            if (auto* s = findChild<QScrollBar*>(name)) {
                ++handlerDepth_;
                applySliderChange(link, s->value());
                --handlerDepth_;
            }
            break;
        }
    }
}

void FamilyWindow::tooLargeMessage() { message(frametext::tooLarge()); }

// ---------------------------------------------------------------- drawing

void FamilyWindow::drawAxes() {
    Canvas& c = *canvas_;
    if (traits_.axesSetBlack) c.setForeColor(kBlack);
    c.line(-10, 0, 10, 0);
    c.line(0, -10, 0, 10);
    c.line(9.8, -0.2, 10, 0);
    c.line(9.8, 0.2, 10, 0);
    c.line(-0.2, 9.8, 0, 10);
    c.line(0.2, 9.8, 0, 10);
    c.setFontName(QStringLiteral("times new roman"));
    c.setFontSize(12);
    std::vector<QLineF> ticks;
    ticks.reserve(42);
    for (int n = -10; n <= 10; ++n) {
        ticks.emplace_back(n, 0, n, 0.2);
        ticks.emplace_back(0, n, 0.2, n);
    }
    c.lines(ticks);
    drawAxisMarks();
    c.currentX = -0.9;
    c.currentY = 10.5;
    c.print(QStringLiteral("Y"));
    c.currentX = 10;
    c.currentY = -0.2;
    c.print(QStringLiteral("X"));
    c.currentX = -0.8;
    c.currentY = -0.1;
    c.print(QStringLiteral("0"));
}

void FamilyWindow::drawGrid() {
    Canvas& c = *canvas_;
    const QColor keep = c.foreColor();
    c.setForeColor(kGridBlue);
    std::vector<QLineF> grid;
    grid.reserve(42);
    for (int i = -10; i <= 10; ++i) {
        grid.emplace_back(i, -10, i, 10);
        grid.emplace_back(-10, i, 10, i);
    }
    c.lines(grid);
    c.setForeColor(keep);
    if (traits_.gridFont10) c.setFontSize(10);
    for (int n = -10; n <= 10; ++n) {
        c.currentX = n - 0.2;
        c.currentY = -10.2;
        c.printNumber(float(n));
        c.currentX = -10.9;
        c.currentY = n + 0.2;
        c.printNumber(float(n));
        // The red axes are drawn again on every pass, over the numbers: the
        // picture depends on that order.
        c.line(-10, 0, 10, 0, kGridAxes);
        c.line(0, -10, 0, 10, kGridAxes);
    }
}

void FamilyWindow::plotCurve() {
    if (freehand_) freehand_->hideMarkers();
    drawCurve();
}

void FamilyWindow::drawOverlayCurve() {
    emptyLabels(traits_.overlayEmpties);
    if (!axesHidden()) drawAxes();
    canvas_->setForeColor(commitDraw_ ? kBlack : traits_.previewColor);
    plotCurve();
}

// ---------------------------------------------------------------- handlers

void FamilyWindow::emptyResults() {
    for (const QString& r : traits_.lookupResults) setText(r, QString());
}

void FamilyWindow::gridCaptionOff() {
    setText(traits_.gridButton, QStringLiteral("显示网格"));
    gridOn_ = false;
}

void FamilyWindow::featureOff() {
    if (!traits_.featureButton.isEmpty()) setEnabledControl(traits_.featureButton, false);
    if (!traits_.featureLabel.isEmpty()) setText(traits_.featureLabel, QStringLiteral("  "));
}

void FamilyWindow::emptyLabels(const std::vector<std::pair<QString, QString>>& list) {
    for (const auto& [name, t] : list) setText(name, t);
}

void FamilyWindow::redrawClicked() {
    runHandler([this] { redraw(); });
}

void FamilyWindow::redraw() {
    canvas_->removeBackground();
    canvas_->clear();
    emptyLabels(traits_.redrawEmpties);
    if (!axesHidden()) drawAxes();
    plotCurve();
    keepFirstCurve();
    emptyResults();
    gridCaptionOff();
    featureOff();
    overlayOn_ = false;
    overlayCount_ = 0;
    if (movesFocus(traits_.cycle)) focusOn(traits_.firstParam);
}

void FamilyWindow::sliderChanged(const SliderLink& link, int value) {
    if (handlerDepth_ > 0) {
        if (std::find(waitingSliders_.begin(), waitingSliders_.end(), link.slider) == waitingSliders_.end())
            waitingSliders_.push_back(link.slider);
        return;
    }
    runHandler([&] { applySliderChange(link, value); });
}

void FamilyWindow::applySliderChange(const SliderLink& link, int value) {
    setText(link.text, link.format ? link.format(value) : QString::number(value));
    const bool linear = traits_.cycle == RedrawCycle::Linear;
    if (overlayOn_) {
        canvas_->setBackground(picture2_);
        drawOverlayCurve();
    } else if (linear) {
        canvas_->removeBackground();
        canvas_->clear();
        if (!axesHidden()) drawAxes();
        plotCurve();
    } else {
        redrawClicked();
        return;
    }
    if (linear) {
        emptyResults();
        gridCaptionOff();
        featureOff();
    }
}

void FamilyWindow::overlayClicked() {
    runHandler([this] { toggleOverlay(); });
}

void FamilyWindow::toggleOverlay() {
    if (overlayEmptiesResults(traits_.cycle)) emptyResults();
    if (!overlayOn_) {
        setText(traits_.overlayButton, QStringLiteral("结束覆盖"));
        overlayOn_ = true;
        picture2_ = canvas_->picture();
        setEnabledControl(traits_.redrawButton, false);
        setVisibleControl(traits_.commitButton, true);
        drawOverlayCurve();
        keepFirstCurve();
    } else {
        setText(traits_.overlayButton, QStringLiteral("覆盖作图"));
        overlayOn_ = false;
        setEnabledControl(traits_.redrawButton, true);
        setVisibleControl(traits_.commitButton, false);
        canvas_->setForeColor(kBlack);
        if (countsCommits(traits_.cycle) && !traits_.featureButton.isEmpty())
            setEnabledControl(traits_.featureButton, false);
        overlayCount_ = 0;
    }
    if (movesFocus(traits_.cycle)) focusOn(traits_.firstParam);
}

void FamilyWindow::commitClicked() {
    runHandler([this] { commit(); });
}

void FamilyWindow::commit() {
    commitDraw_ = true;
    if (commitEmptiesResults(traits_.cycle)) emptyResults();
    if (countsCommits(traits_.cycle)) {
        if (overlayCount_ < 32767) ++overlayCount_;
        if (!traits_.featureButton.isEmpty()) setEnabledControl(traits_.featureButton, true);
    }
    drawOverlayCurve();
    picture2_ = canvas_->picture();
    commitDraw_ = false;
}

void FamilyWindow::gridClicked() {
    runHandler([this] { toggleGrid(); });
}

void FamilyWindow::toggleGrid() {
    if (!gridOn_) {
        drawGrid();
        gridOn_ = true;
        setText(traits_.gridButton, QStringLiteral("去掉网格"));
        if (traits_.gridDisablesFeature) featureOff();
        return;
    }
    // The grid goes by rebuilding the picture, never by erasing lines.
    if (overlayOn_) {
        canvas_->setBackground(picture2_);
        drawOverlayCurve();
    } else if (traits_.gridOffRedraws) {
        redrawClicked();
        return;
    } else {
        canvas_->clear();
        if (!axesHidden()) drawAxes();
        plotCurve();
    }
    gridCaptionOff();
}

void FamilyWindow::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    // The first showing draws the plain axes on the empty canvas.
    if (!axesDrawnOnce_) {
        axesDrawnOnce_ = true;
        drawAxes();
        canvasWidget_->update();
    }
}

void FamilyWindow::closeEvent(QCloseEvent* e) {
    emit closed(this);
    QWidget::closeEvent(e);
}
