#include "frame/controls.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <algorithm>
#include <vector>

#include "platform/platform.h"

#include "frame/accessibility.h"
#include "frame/control_looks.h"

namespace {

// A parameter slider. It takes the keyboard focus on a click and by Tab:
// the arrow keys step it by its small change, Page Up and Page Down by its
// large change (down, as a page down the bar, is towards the maximum), each
// a change like an arrow click.
class SliderBar : public QScrollBar {
public:
    explicit SliderBar(QWidget* parent) : QScrollBar(Qt::Horizontal, parent) { setFocusPolicy(Qt::StrongFocus); }

protected:
    void keyPressEvent(QKeyEvent* e) override {
        // A scroll bar reads Left and Right as a vertical bar reads Up and
        // Down; on a horizontal bar Right must go right.
        if (e->key() == Qt::Key_Left || e->key() == Qt::Key_Right) {
            triggerAction(e->key() == Qt::Key_Right ? SliderSingleStepAdd : SliderSingleStepSub);
            e->accept();
            return;
        }
        QScrollBar::keyPressEvent(e);
    }

    void paintEvent(QPaintEvent* e) override {
        QScrollBar::paintEvent(e);
        // The style draws no focus mark on a scroll bar; a frame in the
        // highlight colour, one pixel of the window's own size (so two device
        // pixels at 200 %), shows which slider the arrow keys move.
        if (!hasFocus()) return;
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing, false);
        const QColor c = palette().color(QPalette::Highlight);
        const QRect r = rect();
        p.fillRect(QRect(r.left(), r.top(), r.width(), 1), c);
        p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), c);
        p.fillRect(QRect(r.left(), r.top(), 1, r.height()), c);
        p.fillRect(QRect(r.right(), r.top(), 1, r.height()), c);
    }

public:
    void stopRepeat() {
        setRepeatAction(SliderNoAction);
        // The press that started the repeat never gets its release (a box
        // took the mouse), so the bar forgets it; the next press starts afresh.
        if (isSliderDown()) setSliderDown(false);
    }
};

// A push button that Enter and Return press, as Space does: in a window
// that is not a dialog Qt leaves those keys to the window.
class PushButton : public QPushButton {
public:
    using QPushButton::QPushButton;

protected:
    void keyPressEvent(QKeyEvent* e) override {
        const bool enter = e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
        if (enter && !e->isAutoRepeat() && (e->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            e->accept();
            click();
            return;
        }
        QPushButton::keyPressEvent(e);
    }
};

}  // namespace

namespace {
void defaultMissingControl(const QString& window, const QString& name) {
#ifdef QT_NO_DEBUG
    qWarning("%s has no control named \"%s\"", qUtf8Printable(window), qUtf8Printable(name));
#else
    qFatal("%s has no control named \"%s\"", qUtf8Printable(window), qUtf8Printable(name));
#endif
}
void fatalMissingControl(const QString& window, const QString& name) {
    qFatal("%s has no control named \"%s\"", qUtf8Printable(window), qUtf8Printable(name));
}
MissingControlHandler missingHandler = defaultMissingControl;
}  // namespace

MissingControlHandler setMissingControlHandler(MissingControlHandler handler) {
    MissingControlHandler old = missingHandler;
    missingHandler = handler ? handler : defaultMissingControl;
    return old;
}

void reportMissingControl(const QString& window, const QString& name) { missingHandler(window, name); }

void makeMissingControlsFatal() { missingHandler = fatalMissingControl; }

void stopSliderRepeat(QScrollBar* slider) {
    if (auto* s = dynamic_cast<SliderBar*>(slider)) s->stopRepeat();
}

namespace {
// The option buttons standing directly in one frame (or in the window) are
// one choice. Qt's automatic exclusivity counts every option button beneath
// the frame, nested frames too, so a chosen option there lets a click untick
// the chosen option here; an explicit group per frame keeps one chosen.
// (The frame's one group is its only direct QButtonGroup child.)
QButtonGroup* optionGroup(QWidget* frame) {
    auto* g = frame->findChild<QButtonGroup*>(QString(), Qt::FindDirectChildrenOnly);
    if (!g) {
        g = new QButtonGroup(frame);
        g->setObjectName(QStringLiteral("optionGroup"));
        g->setExclusive(true);
    }
    return g;
}
}  // namespace

namespace {
// The window's list of what buildControls made on it, a child of the window.
class ControlRegistry : public QObject {
public:
    explicit ControlRegistry(QWidget* window) : QObject(window) {}
    std::vector<BuiltControl> controls;
};

ControlRegistry* registryOf(const QWidget* window, bool make) {
    for (QObject* o : window->children())
        if (auto* r = dynamic_cast<ControlRegistry*>(o)) return r;
    return make ? new ControlRegistry(const_cast<QWidget*>(window)) : nullptr;
}
}  // namespace

const std::vector<BuiltControl>& builtControls(const QWidget* window) {
    static const std::vector<BuiltControl> none;
    const ControlRegistry* r = registryOf(window, false);
    return r ? r->controls : none;
}

void buildControls(QWidget* window, std::initializer_list<Ctl> table) {
    buildControls(window, table.begin(), table.end());
}

void buildControls(QWidget* window, const Ctl* begin, const Ctl* end) {
    // A control goes into a panel of the same table, never one found by name
    // among the window's children.
    std::vector<std::pair<QString, QWidget*>> panels;
    ControlRegistry* registry = registryOf(window, true);
    // A box is named for a screen reader after the caption in the row before
    // it ("a=" gives "参数 a") unless its own row says what to call it. (A
    // slider is named after the box it moves, which the window links.)
    QString caption;
    for (const Ctl* row = begin; row != end; ++row) {
        const Ctl& c = *row;
        QWidget* parent = c.parentPanel ? c.parentPanel : window;
        if (!c.parent.isEmpty()) {
            auto it = std::find_if(panels.begin(), panels.end(), [&](const auto& p) { return p.first == c.parent; });
            if (it != panels.end()) parent = it->second;
            else reportMissingControl(window->objectName(), c.parent);
        }
        QWidget* w = nullptr;
        switch (c.kind) {
        case CtlKind::Label: {
            // A note ("说明：…") wraps with air between its lines.
            auto* l = looks::isNote(c.text) ? looks::newNoteLabel(c.text, parent) : new QLabel(c.text, parent);
            l->setWordWrap(true);
            l->setAlignment(c.center ? Qt::AlignHCenter | Qt::AlignTop : Qt::AlignLeft | Qt::AlignTop);
            l->setTextFormat(Qt::PlainText);
            w = l;
            break;
        }
        case CtlKind::Text: {
            auto* e = new QLineEdit(c.text, parent);
            e->setMaxLength(65535);
            w = e;
            break;
        }
        case CtlKind::Button: w = new PushButton(c.text, parent); break;
        case CtlKind::Check: {
            auto* b = looks::newCheckBox(c.text, parent);
            // Check boxes use the smaller 9-point face unless the table says otherwise.
            if (c.face.isEmpty() && c.pt <= 0) b->setFont(uiFont(QStringLiteral("宋体"), 9));
            b->setChecked(c.checked);
            w = b;
            break;
        }
        case CtlKind::Radio: {
            auto* b = new QRadioButton(c.text, parent);
            if (c.face.isEmpty() && c.pt <= 0) b->setFont(uiFont(QStringLiteral("宋体"), 9));
            b->setChecked(c.checked);
            optionGroup(parent)->addButton(b);
            w = b;
            break;
        }
        case CtlKind::Frame: w = looks::newPanel(c.text, parent); break;
        case CtlKind::Combo: w = new QComboBox(parent); break;
        case CtlKind::Bar: {
            auto* f = new QFrame(parent);
            f->setFrameShape(QFrame::NoFrame);
            f->setAutoFillBackground(true);
            QPalette pal = f->palette();
            pal.setColor(QPalette::Window, c.fg.isValid() ? c.fg : QColor(0, 0, 0));
            f->setPalette(pal);
            w = f;
            break;
        }
        case CtlKind::Slider: {
            auto* s = new SliderBar(parent);
            s->setRange(c.min, c.max);
            s->setSingleStep(c.small);
            s->setPageStep(c.large);
            s->setValue(c.value);
            // A change is reported once, when a movement ends, never while
            // the thumb is dragged.
            s->setTracking(false);
            w = s;
            break;
        }
        }
        w->setObjectName(c.name);
        if (c.kind == CtlKind::Frame) panels.emplace_back(c.name, w);
        registry->controls.push_back({w, c.keep});
        if (c.assign && !c.assign(w))
            reportMissingControl(window->objectName(), c.name + QStringLiteral(" (bound to another type)"));
        w->setGeometry(c.x, c.y, c.w, c.h);
        if (!c.face.isEmpty() || c.pt > 0) {
            QFont base = parent->font();
            QFont f = uiFont(c.face.isEmpty() ? base.family() : c.face,
                             c.pt > 0 ? c.pt : base.pixelSize() * 72.0 / 96.0, c.bold);
            w->setFont(f);
        } else if (c.bold) {
            QFont f = w->font();
            f.setBold(true);
            w->setFont(f);
        }
        if (c.kind != CtlKind::Bar && (c.fg.isValid() || c.bg.isValid())) {
            QPalette pal = w->palette();
            if (c.fg.isValid()) {
                pal.setColor(QPalette::WindowText, c.fg);
                pal.setColor(QPalette::ButtonText, c.fg);
                pal.setColor(QPalette::Text, c.fg);
            }
            if (c.bg.isValid()) {
                pal.setColor(QPalette::Button, c.bg);
                pal.setColor(QPalette::Window, c.bg);
                if (c.kind == CtlKind::Label) w->setAutoFillBackground(true);
            }
            w->setPalette(pal);
        }
        if (c.kind == CtlKind::Button && c.bg.isValid()) looks::colourButton(static_cast<QPushButton*>(w), c.bg);
        if (!c.tip.isEmpty()) w->setToolTip(c.tip);
        if (!c.said.isEmpty()) {
            w->setAccessibleName(c.said);
        } else if ((c.kind == CtlKind::Text || c.kind == CtlKind::Combo) && !a11y::captionName(caption).isEmpty()) {
            w->setAccessibleName(QStringLiteral("参数 ") + a11y::captionName(caption));
        }
        caption = c.kind == CtlKind::Label ? c.text : QString();
        if (c.disabled) w->setEnabled(false);
        if (c.hidden) w->setVisible(false);
    }
}

void setControlText(QWidget* w, const QString& t) {
    if (auto* e = qobject_cast<QLineEdit*>(w)) e->setText(t);
    else if (auto* l = qobject_cast<QLabel*>(w)) l->setText(t);
    else if (auto* b = qobject_cast<QAbstractButton*>(w)) b->setText(t);
    else if (auto* g = qobject_cast<QGroupBox*>(w)) g->setTitle(t);
}
