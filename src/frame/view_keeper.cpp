#include "frame/view_keeper.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRect>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTimer>
#include <algorithm>

#include "frame/controls.h"
#include "frame/family_window.h"
#include "frame/recovery.h"
#include "render/canvas_widget.h"

ViewKeeper::ViewKeeper(FamilyWindow& window) : QObject(&window), w_(window) {
    // Window-wide keys. A text box takes Ctrl+Z and the redo keys for its
    // own typing before they reach these (Qt asks the focused box first).
    undo_ = new QAction(QStringLiteral("撤销"), this);
    undo_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    undo_->setEnabled(false);
    redo_ = new QAction(QStringLiteral("重做"), this);
    redo_->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    redo_->setEnabled(false);
    w_.addAction(undo_);
    w_.addAction(redo_);
    connect(undo_, &QAction::triggered, this, &ViewKeeper::undo);
    connect(redo_, &QAction::triggered, this, &ViewKeeper::redo);

    // A child of the window itself: the script clock steps the named
    // timers of widgets.
    recoveryTimer_ = new QTimer(&w_);
    recoveryTimer_->setObjectName(QStringLiteral("Timerrecovery"));
    recoveryTimer_->setSingleShot(true);
    recoveryTimer_->setInterval(recovery::kDelayMs);
    connect(recoveryTimer_, &QTimer::timeout, this, &ViewKeeper::writeRecoveryNow);
}

void ViewKeeper::addButtons(const QRect& undoAt, const QRect& redoAt) {
    QPushButton *undoButton = nullptr, *redoButton = nullptr;
    buildControls(&w_, {
                           button("Undosh", undoAt.x(), undoAt.y(), undoAt.width(), undoAt.height(), "撤销")
                               .font("宋体", 9)
                               .tooltip("撤销上一步作图（Ctrl+Z）")
                               .off()
                               .notKept()
                               .bind(&undoButton),
                           button("Redosh", redoAt.x(), redoAt.y(), redoAt.width(), redoAt.height(), "重做")
                               .font("宋体", 9)
                               .tooltip("重做撤销的一步（Ctrl+Y 或 Ctrl+Shift+Z）")
                               .off()
                               .notKept()
                               .bind(&redoButton),
                       });
    auto show = [](QPushButton* b, QAction* action, const QString& name) {
        if (!b) return;
        b->setAccessibleName(name);
        b->setEnabled(action->isEnabled());
        QObject::connect(b, &QAbstractButton::clicked, action, &QAction::trigger);
        QObject::connect(action, &QAction::enabledChanged, b, &QWidget::setEnabled);
    };
    show(undoButton, undo_, QStringLiteral("撤销"));
    show(redoButton, redo_, QStringLiteral("重做"));
}

void ViewKeeper::watchTyping() {
    for (QWidget* w : kept(false))
        if (auto* box = qobject_cast<QLineEdit*>(w)) connect(box, &QLineEdit::textEdited, this, &ViewKeeper::changed);
}

void ViewKeeper::restart() {
    history_.reset(take());
    recordedRevision_ = w_.canvas().revision();
    updateActions();
}

std::vector<QWidget*> ViewKeeper::kept(bool tools) const {
    // As the layout tables mark them. The tools' own controls and the
    // pointer readout are not part of what was drawn: undo leaves them as
    // the user set them, a file brings them back.
    std::vector<QWidget*> out;
    for (const BuiltControl& c : builtControls(&w_))
        if (c.widget && (c.keep == Keep::View || (tools && c.keep == Keep::Tool))) out.push_back(c.widget);
    return out;
}

namespace {
bool explicitlyHidden(const QWidget* w) {
    return w->testAttribute(Qt::WA_WState_ExplicitShowHide) && w->testAttribute(Qt::WA_WState_Hidden);
}
}  // namespace

View ViewKeeper::take() const {
    View v;
    for (QWidget* w : kept(true)) {
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
    v.family = w_.traits_.key;
    v.numbers = w_.keptNumbers();
    v.gridOn = w_.gridOn_;
    v.overlayOn = w_.overlayOn_;
    v.overlayCount = w_.overlayCount_;
    v.canvas = w_.canvas_->state();
    v.overlay = w_.picture2_;
    w_.curves_.toView(v);
    return v;
}

void ViewKeeper::put(const View& v, bool tools) {
    for (QWidget* w : kept(tools)) {
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
    w_.setKeptNumbers(v.numbers);
    w_.gridOn_ = v.gridOn;
    w_.overlayOn_ = v.overlayOn;
    w_.overlayCount_ = std::clamp(v.overlayCount, 0, 32767);
    w_.picture2_ = v.overlay;
    w_.curves_.fromView(v);
    w_.tools_->pictureReplaced();
    w_.canvas_->setState(v.canvas);
    // A screen reader hears what the picture now shows.
    w_.updateCanvasDescription();
    recordedRevision_ = w_.canvas().revision();
}

void ViewKeeper::open(const View& v) {
    put(v, true);
    history_.record(take());
    recordedRevision_ = w_.canvas().revision();
    updateActions();
    changed();
}

void ViewKeeper::checkpoint() {
    if (w_.busy() || history_.empty()) return;
    // A step changes the picture or the mode it is drawn in; a look-up
    // result alone is no step.
    const View& last = history_.current();
    if (w_.canvas().revision() != recordedRevision_ || last.overlayOn != w_.overlayOn() || last.gridOn != w_.gridOn() ||
        last.overlayCount != w_.overlayCount()) {
        history_.record(take());
        recordedRevision_ = w_.canvas().revision();
    } else {
        history_.replaceCurrent(take());
    }
    updateActions();
    changed();
}

// Not in the middle of a handler (a message box is up) or of a drag.
void ViewKeeper::undo() {
    if (!w_.busy()) step(history_.undo());
}

void ViewKeeper::redo() {
    if (!w_.busy()) step(history_.redo());
}

void ViewKeeper::step(const View* v) {
    if (!v) return;
    put(*v);
    updateActions();
    changed();
}

void ViewKeeper::updateActions() {
    undo_->setEnabled(history_.canUndo());
    redo_->setEnabled(history_.canRedo());
}

void ViewKeeper::changed() {
    // At most the timer's interval after the first change: later changes
    // ride along rather than putting the write off.
    if (!recoveryTimer_->isActive()) recoveryTimer_->start();
}

void ViewKeeper::writeRecoveryNow() {
    recoveryTimer_->stop();
    recovery::write(take());
}
