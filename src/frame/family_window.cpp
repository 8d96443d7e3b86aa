#include "frame/family_window.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

#include "frame/accessibility.h"
#include "frame/axes.h"
#include "frame/focus_order.h"
#include "frame/frame_texts.h"
#include "frame/handler_runner.h"
#include "frame/plot_actions.h"
#include "frame/view_keeper.h"
#include "numfmt/numfmt.h"
#include "render/canvas_widget.h"

namespace {
const QColor kBlack(0, 0, 0);

}  // namespace

FamilyWindow::FamilyWindow(FamilyTraits traits, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      traits_(std::move(traits)) {
    a11y::markWindow(this);
    setObjectName(QStringLiteral("Form%1").arg(traits_.number));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(traits_.title);
    setFont(uiFont(QStringLiteral("宋体"), 10.5));
    setGeometry(36, 174, 794, 543);
    setFixedSize(794, 543);
    canvas_ = new Canvas(this);
    canvasWidget_ = new CanvasWidget(canvas_, this);
    canvasWidget_->setGeometry(384, 40, 400, 400);
    a11y::markPicture(canvasWidget_, QStringLiteral("函数图像"));
    tools_ = new ToolChain(canvasWidget_);
    runner_ = std::make_unique<HandlerRunner>(
        *this, canvasWidget_->textBox(),
        [this](QScrollBar* slider) {
            for (const SliderLink& link : frame_.sliders)
                if (link.slider == slider) return applySliderChange(link, slider->value());
        },
        [this] {
            updateCanvasDescription();
            views_->checkpoint();
        });
    views_ = new ViewKeeper(*this);
    // Picture2 never shows; it only holds the overlay snapshot (white until the first one).
}

FamilyWindow::~FamilyWindow() {
    // Qt deletes the children (canvas, controls, tools) after this, when the
    // window is only a QWidget any more: nothing they signal on the way out
    // may reach the frame's handlers.
    for (QObject* child : findChildren<QObject*>()) child->blockSignals(true);
    // Nor what the picture hears on its way out.
    canvasWidget_->removeEventFilter(tools_);
}

void FamilyWindow::build(std::initializer_list<Ctl> table) { buildControls(this, table); }

void FamilyWindow::frameButtons(int x, int y, int w, int h, const FrameButtonNames& names) {
    build({
        button(names.redraw, x, y, w, h, "刷新作图").bind(&frame_.redraw),
        button(names.overlay, x, y + 32, w, h, "覆盖作图").back(192, 255, 192).bind(&frame_.overlay),
        button(names.commit, x, y + 64, w, h, "确定覆盖").back(192, 255, 192).hide().bind(&frame_.commit),
        button(names.grid, x, y + 96, w, h, "显示网格").bind(&frame_.grid),
    });
}

void FamilyWindow::finish() {
    checkBound(frame_, objectName(), movesFocus(traits_.cycle), traits_.emptiesResults);
    onClick(frame_.redraw, [this] { redrawClicked(); });
    onClick(frame_.overlay, [this] { overlayClicked(); });
    onClick(frame_.commit, [this] { commitClicked(); });
    onClick(frame_.grid, [this] { gridClicked(); });
    onClick(frame_.yLookup.button, [this] { lookupY(); });
    onClick(frame_.xLookup.button, [this] { lookupX(); });
    if (frame_.commit) frame_.commit->setVisible(false);
    if (frame_.feature) frame_.feature->setEnabled(false);
    std::vector<QScrollBar*> sliders;
    for (const SliderLink& link : frame_.sliders) {
        if (link.slider)
            connect(link.slider, &QScrollBar::valueChanged, this, [this, link](int v) { sliderChanged(link, v); });
        sliders.push_back(link.slider);
    }
    runner_->setSliders(std::move(sliders));
    // Undo and redo lead the row of the frame's small buttons.
    views_->addButtons(smallButtonSlot(0), smallButtonSlot(1));
    plotactions::addFileKeys(this);
}

void FamilyWindow::toolsInstalled() {
    views_->watchTyping();
    views_->restart();

    // A screen reader hears a slider's box as its value.
    std::vector<a11y::SliderBox> links;
    for (const SliderLink& link : frame_.sliders) links.push_back({link.slider, link.text, link.format});
    a11y::linkSliders(links);
    // The picture comes last when Tab goes round the window, so the focus
    // still starts in the first box.
    focusorder::putLast(this, canvasWidget_, {canvasWidget_->textBox()});
    updateCanvasDescription();
}

// ---------------------------------------------------------------- controls

float FamilyWindow::number(const QLineEdit* box) { return numfmt::valueSingle(box ? box->text() : QString()); }

void FamilyWindow::onClick(QAbstractButton* b, std::function<void()> handler) {
    if (!b) return reportMissingControl(objectName(), QStringLiteral("a button given a click handler (unbound)"));
    connect(b, &QAbstractButton::clicked, this, [this, h = std::move(handler)] { runHandler(h); });
}

bool FamilyWindow::axesHidden() const { return frame_.hideAxes && frame_.hideAxes->isChecked(); }

bool FamilyWindow::expressionShown() const { return frame_.showExpression && frame_.showExpression->isChecked(); }

MsgReply FamilyWindow::message(const QString& t, const QString& title, MsgButtons buttons, MsgIcon icon) {
    return runner_->message(t, buttons, [&] { return platform().messageBox(this, t, title, buttons, icon); });
}

void FamilyWindow::holdMessages(QStringList* into) { runner_->holdMessages(into); }

// ---------------------------------------------------------------- handlers in turn

void FamilyWindow::runHandler(const std::function<void()>& handler) { runner_->run(handler); }

bool FamilyWindow::busy() const { return runner_->running() || tools_->busy(); }

void FamilyWindow::tooLargeMessage() { message(frametext::tooLarge()); }

// ---------------------------------------------------------------- drawing

void FamilyWindow::drawAxes() {
    axes::draw(*canvas_, traits_.axesSetBlack, [this] { drawAxisMarks(); });
}

void FamilyWindow::drawGrid() { axes::grid(*canvas_, traits_.gridFont10); }

void FamilyWindow::plotCurve() {
    tools_->plotStarting();
    canvas_->startCollecting();
    drawCurve();
    // What was just drawn, as the window's own label and features give it.
    if (!curves_.add(curveName(), canvas_->takeCollected(), curveFeatures())) return;
    tools_->pictureReplaced();
}

QString FamilyWindow::curveName() const { return frame_.current ? frame_.current->text().trimmed() : QString(); }

// ---------------------------------------------------------------- what the picture shows

void FamilyWindow::clearCanvas() {
    canvas_->clear();
    curves_.clear();
}

void FamilyWindow::takeSnapshot() {
    picture2_ = canvas_->picture();
    curves_.takeSnapshot();
}

void FamilyWindow::restoreSnapshot() {
    canvas_->setBackground(picture2_);
    curves_.restoreSnapshot();
}

void FamilyWindow::noteAnnotation() {
    curves_.noteAnnotation();
    updateCanvasDescription();
}

QString FamilyWindow::canvasDescription() const { return curves_.description(axesHidden(), gridOn_); }

void FamilyWindow::updateCanvasDescription() {
    const QString d = canvasDescription();
    if (canvasWidget_->accessibleDescription() == d) return;
    canvasWidget_->setAccessibleDescription(d);
    // A picture redrawn many times over by a tool (whose messages are held
    // meanwhile) is not said each time: the tool says when it stops.
    if (!runner_->holdingMessages()) a11y::announce(canvasWidget_, d);
}

void FamilyWindow::drawOverlayCurve() {
    emptyLabels(frame_.overlayEmpties);
    if (!axesHidden()) drawAxes();
    canvas_->setForeColor(commitDraw_ ? kBlack : traits_.previewColor);
    plotCurve();
}

// ---------------------------------------------------------------- handlers

void FamilyWindow::emptyResults() {
    if (!traits_.emptiesResults) return;
    for (QLineEdit* r : {frame_.yLookup.result, frame_.yLookup.result2, frame_.xLookup.result, frame_.xLookup.result2})
        if (r) r->setText(QString());
}

void FamilyWindow::gridCaptionOff() {
    setControlText(frame_.grid, QStringLiteral("显示网格"));
    gridOn_ = false;
}

void FamilyWindow::featureOff() {
    if (frame_.feature) frame_.feature->setEnabled(false);
    if (frame_.featureLabel) frame_.featureLabel->setText(QStringLiteral("  "));
}

void FamilyWindow::emptyLabels(const std::vector<std::pair<QWidget*, QString>>& list) {
    for (const auto& [w, t] : list) setControlText(w, t);
}

void FamilyWindow::redrawClicked() {
    runHandler([this] { redraw(); });
}

void FamilyWindow::redraw() {
    if (!curveReady()) return;
    canvas_->removeBackground();
    clearCanvas();
    emptyLabels(frame_.redrawEmpties);
    if (!axesHidden()) drawAxes();
    plotCurve();
    keepFirstCurve();
    emptyResults();
    gridCaptionOff();
    featureOff();
    overlayOn_ = false;
    overlayCount_ = 0;
    if (movesFocus(traits_.cycle) && frame_.firstParam) frame_.firstParam->setFocus(Qt::OtherFocusReason);
    a11y::announce(canvasWidget_, canvasDescription());
}

void FamilyWindow::sliderChanged(const SliderLink& link, int value) {
    if (runner_->wait(link.slider)) return;
    runHandler([&] { applySliderChange(link, value); });
}

void FamilyWindow::applySliderChange(const SliderLink& link, int value) {
    setControlText(link.text, link.format ? link.format(value) : QString::number(value));
    if (!curveReady()) return;
    const bool linear = traits_.cycle == RedrawCycle::Linear;
    if (overlayOn_) {
        restoreSnapshot();
        drawOverlayCurve();
    } else if (linear) {
        canvas_->removeBackground();
        clearCanvas();
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
        if (!curveReady()) return;
        setControlText(frame_.overlay, QStringLiteral("结束覆盖"));
        overlayOn_ = true;
        takeSnapshot();
        if (frame_.redraw) frame_.redraw->setEnabled(false);
        if (frame_.commit) frame_.commit->setVisible(true);
        drawOverlayCurve();
        keepFirstCurve();
    } else {
        setControlText(frame_.overlay, QStringLiteral("覆盖作图"));
        overlayOn_ = false;
        if (frame_.redraw) frame_.redraw->setEnabled(true);
        if (frame_.commit) frame_.commit->setVisible(false);
        canvas_->setForeColor(kBlack);
        if (countsCommits(traits_.cycle) && frame_.feature) frame_.feature->setEnabled(false);
        overlayCount_ = 0;
    }
    if (movesFocus(traits_.cycle) && frame_.firstParam) frame_.firstParam->setFocus(Qt::OtherFocusReason);
}

void FamilyWindow::commitClicked() {
    runHandler([this] { commit(); });
}

void FamilyWindow::commit() {
    if (!curveReady()) return;
    commitDraw_ = true;
    if (commitEmptiesResults(traits_.cycle)) emptyResults();
    if (countsCommits(traits_.cycle)) {
        if (overlayCount_ < 32767) ++overlayCount_;
        if (frame_.feature) frame_.feature->setEnabled(true);
    }
    drawOverlayCurve();
    takeSnapshot();
    commitDraw_ = false;
}

void FamilyWindow::gridClicked() {
    runHandler([this] { toggleGrid(); });
}

void FamilyWindow::toggleGrid() {
    if (!gridOn_) {
        drawGrid();
        gridOn_ = true;
        setControlText(frame_.grid, QStringLiteral("去掉网格"));
        if (traits_.gridDisablesFeature) featureOff();
        return;
    }
    // The grid goes by rebuilding the picture, never by erasing lines.
    if (!curveReady()) return;
    if (overlayOn_) {
        restoreSnapshot();
        drawOverlayCurve();
    } else if (traits_.gridOffRedraws) {
        redrawClicked();
        return;
    } else {
        clearCanvas();
        if (!axesHidden()) drawAxes();
        plotCurve();
    }
    gridCaptionOff();
}

void FamilyWindow::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    // The first showing draws the plain axes on the empty canvas.
    if (!axesDrawnOnce_) {
        // The window starts in its first control, never in the picture
        // (which Tab reaches last).
        focusorder::focusFirst(this, {canvasWidget_, canvasWidget_->textBox()});
        axesDrawnOnce_ = true;
        drawAxes();
        canvasWidget_->update();
        // The first axes are where the history starts, not a step of it.
        views_->restart();
    }
}

void FamilyWindow::closeEvent(QCloseEvent* e) {
    emit closed(this);
    QWidget::closeEvent(e);
}
