#include "frame/family_window.h"

#include <algorithm>

#include <QAbstractButton>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QSignalBlocker>
#include <QTimer>

#include "frame/accessibility.h"
#include "frame/curve_facts.h"
#include "numfmt/numfmt.h"
#include "render/canvas_widget.h"
#include "frame/frame_texts.h"
#include "frame/plot_actions.h"
#include "frame/recovery.h"

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
    // The picture is a node of its own for a screen reader, reached by Tab
    // (a click on it still leaves the focus where it was: the tools use it).
    a11y::install();
    canvasWidget_->setProperty("a11yRole", int(QAccessible::Graphic));
    canvasWidget_->setAccessibleName(QStringLiteral("函数图像"));
    canvasWidget_->setFocusPolicy(Qt::TabFocus);
    // Picture2 never shows; it only holds the overlay snapshot (white until the first one).
}

FamilyWindow::~FamilyWindow() {
    // Qt deletes the children (canvas, controls, tools) after this, when the
    // window is only a QWidget any more: nothing they signal on the way out
    // may reach the frame's handlers.
    for (QObject* child : findChildren<QObject*>()) child->blockSignals(true);
    canvasWidget_->removeEventFilter(this);
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
    checkBound();
    onClick(frame_.redraw, [this] { redrawClicked(); });
    onClick(frame_.overlay, [this] { overlayClicked(); });
    onClick(frame_.commit, [this] { commitClicked(); });
    onClick(frame_.grid, [this] { gridClicked(); });
    onClick(frame_.yLookup.button, [this] { lookupY(); });
    onClick(frame_.xLookup.button, [this] { lookupX(); });
    if (frame_.commit) frame_.commit->setVisible(false);
    if (frame_.feature) frame_.feature->setEnabled(false);
    for (const SliderLink& link : frame_.sliders) {
        if (link.slider)
            connect(link.slider, &QScrollBar::valueChanged, this, [this, link](int v) { sliderChanged(link, v); });
    }
    // The keys of the focused picture go to the tools.
    canvasWidget_->installEventFilter(this);
    // Canvas events go to the tools in the order they were added.
    connect(canvasWidget_, &CanvasWidget::pressed, this, [this](Qt::MouseButton b, double x, double y) {
        for (CanvasTool* t : tools_) t->press(b, x, y);
    });
    connect(canvasWidget_, &CanvasWidget::moved, this, [this](Qt::MouseButtons b, double x, double y) {
        for (CanvasTool* t : tools_) t->move(b, x, y);
    });
    connect(canvasWidget_, &CanvasWidget::released, this, [this](Qt::MouseButton b, double x, double y) {
        for (CanvasTool* t : tools_) t->release(b, x, y);
    });
    connect(canvasWidget_, &CanvasWidget::doubleClicked, this, [this] {
        for (CanvasTool* t : tools_) t->doubleClick();
    });

    // Undo and redo sit in the freehand panel's free row, between the
    // colour list and the eraser.
    const QPoint fh = traits_.freehandPos;
    buildControls(this, {
                            button("Undosh", fh.x() + 96, fh.y() + 35, 36, 13, "撤销")
                                .font("宋体", 9)
                                .tooltip("撤销上一步作图（Ctrl+Z）")
                                .off()
                                .bind(&undoButton_),
                            button("Redosh", fh.x() + 133, fh.y() + 35, 36, 13, "重做")
                                .font("宋体", 9)
                                .tooltip("重做撤销的一步（Ctrl+Y 或 Ctrl+Shift+Z）")
                                .off()
                                .bind(&redoButton_),
                        });
    if (undoButton_) {
        undoButton_->setAccessibleName(QStringLiteral("撤销"));
        connect(undoButton_, &QPushButton::clicked, this, &FamilyWindow::undo);
    }
    if (redoButton_) {
        redoButton_->setAccessibleName(QStringLiteral("重做"));
        connect(redoButton_, &QPushButton::clicked, this, &FamilyWindow::redo);
    }
    // Window-wide keys. A text box takes Ctrl+Z and the redo keys for its
    // own typing before they reach these (Qt asks the focused box first).
    auto keys = [this](const QKeySequence& k, void (FamilyWindow::*slot)()) {
        auto* sc = new QShortcut(k, this);
        connect(sc, &QShortcut::activated, this, slot);
    };
    keys(QKeySequence(Qt::CTRL | Qt::Key_Z), &FamilyWindow::undo);
    keys(QKeySequence(Qt::CTRL | Qt::Key_Y), &FamilyWindow::redo);
    keys(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), &FamilyWindow::redo);
    auto* open = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_O), this);
    connect(open, &QShortcut::activated, this, [this] { plotactions::openByDialog(this); });
    auto* save = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_S), this);
    connect(save, &QShortcut::activated, this, [this] { plotactions::saveByDialog(this); });

    recoveryTimer_ = new QTimer(this);
    recoveryTimer_->setObjectName(QStringLiteral("Timerrecovery"));
    recoveryTimer_->setSingleShot(true);
    recoveryTimer_->setInterval(recovery::kDelayMs);
    connect(recoveryTimer_, &QTimer::timeout, this, &FamilyWindow::writeRecoveryNow);
}

void FamilyWindow::toolsInstalled() {
    // Typing is a change the recovery file keeps, though not a step.
    for (QLineEdit* box : findChildren<QLineEdit*>())
        if (keptInView(box, false)) connect(box, &QLineEdit::textEdited, this, &FamilyWindow::changedSinceRecovery);
    history_.reset(takeView());
    recordedRevision_ = canvas_->revision();

    // Names for a screen reader: every box after its caption, every slider
    // after the box it feeds.
    std::vector<std::pair<QScrollBar*, QLineEdit*>> links;
    for (const SliderLink& link : frame_.sliders) links.emplace_back(link.slider, link.text);
    a11y::nameControls(this, links);
    // The picture comes last when Tab goes round the window, so the focus
    // still starts in the first box.
    // (Qt moves a widget only behind one that takes the focus itself.)
    QWidget* last = nullptr;
    QWidget* w = canvasWidget_->nextInFocusChain();
    for (int guard = 0; guard < 10000 && w != canvasWidget_; ++guard, w = w->nextInFocusChain())
        if (w != this && w != canvasWidget_->textBox() && (w->focusPolicy() & Qt::TabFocus)) last = w;
    if (last) QWidget::setTabOrder(last, canvasWidget_);
    updateCanvasDescription();
}

// ---------------------------------------------------------------- controls

void FamilyWindow::setControlText(QWidget* w, const QString& t) {
    if (auto* e = qobject_cast<QLineEdit*>(w)) e->setText(t);
    else if (auto* l = qobject_cast<QLabel*>(w)) l->setText(t);
    else if (auto* b = qobject_cast<QAbstractButton*>(w)) b->setText(t);
    else if (auto* g = qobject_cast<QGroupBox*>(w)) g->setTitle(t);
}

float FamilyWindow::number(const QLineEdit* box) { return numfmt::valueSingle(box ? box->text() : QString()); }

void FamilyWindow::onClick(QAbstractButton* b, std::function<void()> handler) {
    if (!b) return reportMissingControl(objectName(), QStringLiteral("a button given a click handler (unbound)"));
    connect(b, &QAbstractButton::clicked, this, [this, h = std::move(handler)] { runHandler(h); });
}

void FamilyWindow::checkBound() {
    auto need = [this](const void* w, const char* what) {
        if (!w) reportMissingControl(objectName(), QString::fromLatin1(what) + QStringLiteral(" (unbound)"));
    };
    need(frame_.redraw, "the redraw button");
    need(frame_.overlay, "the overlay button");
    need(frame_.commit, "the commit button");
    need(frame_.grid, "the grid button");
    need(frame_.hideAxes, "Checkhide");
    need(frame_.showExpression, "Check1");
    need(frame_.current, "the label of the current function");
    need(frame_.yLookup.button, "cay");
    need(frame_.xLookup.button, "cax");
    if (movesFocus(traits_.cycle)) need(frame_.firstParam, "the first parameter box");
    if (traits_.emptiesResults) {
        need(frame_.yLookup.result, "Ty1");
        need(frame_.xLookup.result, "Tx2");
    }
    for (const SliderLink& link : frame_.sliders) {
        need(link.slider, "a slider");
        need(link.text, "a slider's box");
    }
    for (const auto* list : {&frame_.redrawEmpties, &frame_.overlayEmpties})
        for (const auto& entry : *list) need(entry.first, "a label to empty");
}

bool FamilyWindow::axesHidden() const { return frame_.hideAxes && frame_.hideAxes->isChecked(); }

bool FamilyWindow::expressionShown() const { return frame_.showExpression && frame_.showExpression->isChecked(); }

MsgReply FamilyWindow::message(const QString& t, const QString& title, MsgButtons buttons, MsgIcon icon) {
    // A scroll-bar arrow held down would go on stepping behind the box, out
    // to the end of its range: the box ends the movement as a release would.
    MsgReply reply = MsgReply::OK;
    runHandler([&] {
        for (const SliderLink& link : frame_.sliders)
            if (link.slider) stopSliderRepeat(link.slider);
        reply = platform().messageBox(this, t, title, buttons, icon);
    });
    return reply;
}

// ---------------------------------------------------------------- handlers in turn

void FamilyWindow::runHandler(const std::function<void()>& handler) {
    // What a button writes into a label or box is said aloud once the
    // handler is done: the texts before it are kept to see what changed.
    std::vector<std::pair<QPointer<QWidget>, QString>> before;
    if (handlerDepth_ == 0) before = shownTexts();
    ++handlerDepth_;
    handler();
    --handlerDepth_;
    if (handlerDepth_ == 0) {
        runWaitingSliderChanges();
        announceChanges(before);
        updateCanvasDescription();
        checkpoint();
    }
}

std::vector<std::pair<QPointer<QWidget>, QString>> FamilyWindow::shownTexts() const {
    std::vector<std::pair<QPointer<QWidget>, QString>> out;
    for (QWidget* w : findChildren<QWidget*>()) {
        if (w == canvasWidget_->textBox()) continue;
        if (auto* l = qobject_cast<QLabel*>(w); l && l->pixmap().isNull()) out.emplace_back(w, l->text());
        else if (auto* e = qobject_cast<QLineEdit*>(w)) out.emplace_back(w, e->text());
    }
    return out;
}

void FamilyWindow::announceChanges(const std::vector<std::pair<QPointer<QWidget>, QString>>& before) {
    for (const auto& [w, old] : before) {
        if (!w || !w->isVisible()) continue;
        QString now;
        if (auto* l = qobject_cast<QLabel*>(w.data())) now = l->text();
        else if (auto* e = qobject_cast<QLineEdit*>(w.data())) now = e->text();
        // An emptied result says nothing; the picture's description covers it.
        if (now != old && !now.trimmed().isEmpty()) a11y::announce(w, now);
    }
}

void FamilyWindow::runWaitingSliderChanges() {
    // Each waiting slider runs once, with its latest position. A change can
    // only wait while a box is open, so this ends as soon as the boxes stop;
    // the bound keeps a platform that answers every box with more steps from
    // holding the window for ever (what is left waits for the next handler).
    for (int round = 0; round < 64 && !waitingSliders_.empty(); ++round) {
        QScrollBar* slider = waitingSliders_.front();
        waitingSliders_.erase(waitingSliders_.begin());
        for (const SliderLink& link : frame_.sliders) {
            if (link.slider != slider) continue;
            ++handlerDepth_;
            applySliderChange(link, slider->value());
            --handlerDepth_;
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
    for (CanvasTool* t : tools_) t->plotStarting();
    canvas_->startCollecting();
    drawCurve();
    DrawnCurve drawn{frame_.current ? frame_.current->text().trimmed() : QString(), canvas_->takeCollected()};
    // What was just drawn, as the window's own label and features give it
    // (a curve drawn again over its marks is still one curve).
    QStringList features = curveFeatures();
    // Crossings and turns are read off the order of the drawn points, which
    // needs a drawn line: a cloud of separate dots (the conics plot their
    // upper and lower halves in turn) has none, and its window says what
    // its curve is.
    size_t points = 0;
    for (const auto& run : drawn.runs) points += run.size();
    const bool cloud = points < 2 * drawn.runs.size();
    if (!cloud) features << curvefacts::features(drawn.runs);
    // The trace and the sound walk along the curve: the dots linked into
    // lines, a closed curve into one loop.
    else drawn.runs = curvefacts::chain(drawn.runs);
    if (!features.isEmpty())
        drawn.text += QStringLiteral("（") + features.join(QStringLiteral("，")) + QStringLiteral("）");
    // Nothing on the picture (a refused value, a curve wholly outside): no curve.
    if (drawn.runs.empty()) return;
    // A curve drawn again over its marks (the vertex, the axis) is still one curve.
    if (!curves_.empty() && curves_.back().text == drawn.text) curves_.back() = std::move(drawn);
    else curves_.push_back(std::move(drawn));
    for (CanvasTool* t : tools_) t->pictureReplaced();
}

// ---------------------------------------------------------------- what the picture shows

void FamilyWindow::clearCanvas() {
    canvas_->clear();
    curves_.clear();
    annotations_ = 0;
}

void FamilyWindow::takeSnapshot() {
    picture2_ = canvas_->picture();
    snapshotCurves_ = curves_;
    snapshotAnnotations_ = annotations_;
}

void FamilyWindow::restoreSnapshot() {
    canvas_->setBackground(picture2_);
    curves_ = snapshotCurves_;
    annotations_ = snapshotAnnotations_;
}

void FamilyWindow::noteAnnotation() {
    if (annotations_ < 1000000) ++annotations_;
    updateCanvasDescription();
}

QString FamilyWindow::canvasDescription() const {
    QString d;
    // A long overlay session keeps only the last curves in words.
    constexpr size_t kSaid = 8;
    if (curves_.empty()) {
        d = QStringLiteral("还没有画出曲线。");
    } else if (curves_.size() == 1) {
        d = curves_.front().text + QStringLiteral("。");
    } else {
        d = QStringLiteral("共 %1 条曲线").arg(curves_.size());
        const size_t from = curves_.size() > kSaid ? curves_.size() - kSaid : 0;
        if (from > 0) d += QStringLiteral("，最后 %1 条").arg(kSaid);
        d += QStringLiteral("：");
        for (size_t i = from; i < curves_.size(); ++i)
            d += QStringLiteral("第 %1 条，").arg(i + 1) + curves_[i].text + (i + 1 < curves_.size() ? "；" : "。");
    }
    d += axesHidden() ? QStringLiteral("坐标系已隐藏。") : QStringLiteral("显示坐标轴。");
    if (gridOn_) d += QStringLiteral("显示网格。");
    if (annotations_ > 0) d += QStringLiteral("手绘标注 %1 处。").arg(annotations_);
    return d;
}

void FamilyWindow::updateCanvasDescription() {
    const QString d = canvasDescription();
    if (canvasWidget_->accessibleDescription() == d) return;
    canvasWidget_->setAccessibleDescription(d);
    a11y::announce(canvasWidget_, d);
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
    setControlText(link.text, link.format ? link.format(value) : QString::number(value));
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
        if (!focusWidget() || focusWidget() == canvasWidget_) {
            QWidget* w = nextInFocusChain();
            for (int guard = 0; guard < 10000 && w != this; ++guard, w = w->nextInFocusChain()) {
                const bool takes = (w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(this) && w->isEnabled();
                if (takes && w != canvasWidget_ && w != canvasWidget_->textBox()) {
                    w->setFocus(Qt::OtherFocusReason);
                    break;
                }
            }
        }
        axesDrawnOnce_ = true;
        drawAxes();
        canvasWidget_->update();
        // The first axes are where the history starts, not a step of it.
        history_.reset(takeView());
        recordedRevision_ = canvas_->revision();
    }
}

bool FamilyWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == canvasWidget_ && event->type() == QEvent::KeyPress && canvasWidget_->hasFocus()) {
        auto* k = static_cast<QKeyEvent*>(event);
        for (CanvasTool* t : tools_)
            if (t->key(k->key(), k->modifiers())) return true;
    }
    if (watched == canvasWidget_ && event->type() == QEvent::FocusOut)
        for (CanvasTool* t : tools_) t->focusLost();
    return QWidget::eventFilter(watched, event);
}

void FamilyWindow::closeEvent(QCloseEvent* e) {
    emit closed(this);
    QWidget::closeEvent(e);
}
// ---------------------------------------------------------------- views and history

bool FamilyWindow::keptInView(const QWidget* w, bool tools) const {
    const QString name = w->objectName();
    if (name.isEmpty() || name.startsWith(QLatin1String("qt_"))) return false;
    // The undo buttons follow the history.
    if (w == undoButton_ || w == redoButton_) return false;
    // The canvas and what floats on it are the picture's. The tools' own
    // controls and the pointer readout are not part of what was drawn: undo
    // leaves them as the user set them, a file brings them back.
    for (const QWidget* p = w; p && p != this; p = p->parentWidget()) {
        if (p == canvasWidget_) return false;
        if (!tools)
            for (const CanvasTool* t : tools_)
                if (t->ownsControl(p)) return false;
    }
    return true;
}

namespace {
bool explicitlyHidden(const QWidget* w) {
    return w->testAttribute(Qt::WA_WState_ExplicitShowHide) && w->testAttribute(Qt::WA_WState_Hidden);
}
}  // namespace

namespace {
// The curves as a shared list: the one handed out last while they are the
// same (point for point), a new one when they changed.
SharedCurves share(SharedCurves& last, const std::vector<DrawnCurve>& now) {
    if (!last || !std::equal(last->begin(), last->end(), now.begin(), now.end(), sameCurve))
        last = std::make_shared<const std::vector<DrawnCurve>>(now);
    return last;
}
}  // namespace

View FamilyWindow::takeView() const {
    View v;
    v.family = traits_.key;
    for (QWidget* w : findChildren<QWidget*>()) {
        if (!keptInView(w, true)) continue;
        ControlValue c;
        c.enabled = !w->testAttribute(Qt::WA_ForceDisabled);
        c.visible = !explicitlyHidden(w);
        if (auto* e = qobject_cast<QLineEdit*>(w)) c.text = e->text();
        else if (auto* s = qobject_cast<QScrollBar*>(w)) c.value = s->value();
        else if (auto* b = qobject_cast<QAbstractButton*>(w)) {
            c.text = b->text();
            c.checked = b->isChecked();
        } else if (auto* l = qobject_cast<QLabel*>(w)) c.text = l->text();
        else if (auto* g = qobject_cast<QGroupBox*>(w)) c.text = g->title();
        else if (auto* box = qobject_cast<QComboBox*>(w)) c.value = box->currentIndex();
        v.controls[w->objectName()] = c;
    }
    v.numbers = keptNumbers();
    v.gridOn = gridOn_;
    v.overlayOn = overlayOn_;
    v.overlayCount = overlayCount_;
    v.canvas = canvas_->state();
    v.overlay = picture2_;
    v.curves = share(sharedCurves_, curves_);
    v.overlayCurves = share(sharedSnapshotCurves_, snapshotCurves_);
    v.annotations = annotations_;
    v.overlayAnnotations = snapshotAnnotations_;
    return v;
}

void FamilyWindow::putView(const View& v, bool tools) {
    for (QWidget* w : findChildren<QWidget*>()) {
        if (!keptInView(w, tools)) continue;
        const auto it = v.controls.find(w->objectName());
        if (it == v.controls.end()) continue;
        const ControlValue& c = it->second;
        // The colour list recolours its swatch as it changes.
        if (auto* box = qobject_cast<QComboBox*>(w)) {
            if (c.value >= 0 && c.value < box->count()) box->setCurrentIndex(c.value);
            continue;
        }
        // The values come back as they were; no handler runs for them.
        const QSignalBlocker quiet(w);
        if (auto* e = qobject_cast<QLineEdit*>(w)) e->setText(c.text);
        else if (auto* s = qobject_cast<QScrollBar*>(w)) s->setValue(c.value);
        else if (auto* b = qobject_cast<QAbstractButton*>(w)) {
            b->setText(c.text);
            if (b->isCheckable()) b->setChecked(c.checked);
        } else if (auto* l = qobject_cast<QLabel*>(w)) l->setText(c.text);
        else if (auto* g = qobject_cast<QGroupBox*>(w)) g->setTitle(c.text);
        if (c.enabled == w->testAttribute(Qt::WA_ForceDisabled)) w->setEnabled(c.enabled);
        if (c.visible == explicitlyHidden(w)) w->setVisible(c.visible);
    }
    setKeptNumbers(v.numbers);
    gridOn_ = v.gridOn;
    overlayOn_ = v.overlayOn;
    overlayCount_ = std::clamp(v.overlayCount, 0, 32767);
    picture2_ = v.overlay;
    curves_ = v.curves ? *v.curves : std::vector<DrawnCurve>();
    snapshotCurves_ = v.overlayCurves ? *v.overlayCurves : std::vector<DrawnCurve>();
    annotations_ = std::clamp(v.annotations, 0, 1000000);
    snapshotAnnotations_ = std::clamp(v.overlayAnnotations, 0, 1000000);
    for (CanvasTool* t : tools_) t->pictureReplaced();
    canvas_->setState(v.canvas);
    recordedRevision_ = canvas_->revision();
    // A screen reader hears what the picture now shows.
    updateCanvasDescription();
}

void FamilyWindow::openView(const View& v) {
    putView(v, true);
    history_.record(takeView());
    recordedRevision_ = canvas_->revision();
    updateUndoButtons();
    changedSinceRecovery();
}

void FamilyWindow::checkpoint() {
    if (handlerDepth_ > 0 || history_.empty()) return;
    // A step changes the picture or the mode it is drawn in; a look-up
    // result alone is no step.
    const View& last = history_.current();
    if (canvas_->revision() != recordedRevision_ || last.overlayOn != overlayOn_ || last.gridOn != gridOn_ ||
        last.overlayCount != overlayCount_) {
        history_.record(takeView());
        recordedRevision_ = canvas_->revision();
    } else {
        history_.replaceCurrent(takeView());
    }
    updateUndoButtons();
    changedSinceRecovery();
}

void FamilyWindow::undo() {
    // Not in the middle of a handler (a message box is up) or of a drag.
    if (handlerDepth_ > 0 || toolBusy()) return;
    if (const View* v = history_.undo()) {
        putView(*v);
        updateUndoButtons();
        changedSinceRecovery();
    }
}

void FamilyWindow::redo() {
    if (handlerDepth_ > 0 || toolBusy()) return;
    if (const View* v = history_.redo()) {
        putView(*v);
        updateUndoButtons();
        changedSinceRecovery();
    }
}

bool FamilyWindow::toolBusy() const {
    return std::any_of(tools_.begin(), tools_.end(), [](const CanvasTool* t) { return t->busy(); });
}

void FamilyWindow::updateUndoButtons() {
    if (undoButton_) undoButton_->setEnabled(history_.canUndo());
    if (redoButton_) redoButton_->setEnabled(history_.canRedo());
}

void FamilyWindow::changedSinceRecovery() {
    // At most the timer's interval after the first change: later changes
    // ride along rather than putting the write off.
    if (recoveryTimer_ && !recoveryTimer_->isActive()) recoveryTimer_->start();
}

void FamilyWindow::writeRecoveryNow() {
    if (recoveryTimer_) recoveryTimer_->stop();
    recovery::write(takeView());
}
