#include "frame/accessibility.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMetaObject>
#include <QPointer>
#include <QScrollBar>
#include <QWidget>
#include <QHash>
#include <cmath>
#include <limits>

#include "numfmt/numfmt.h"

namespace a11y {

namespace {

// A label or picture that acts as a button: named by its text, else by its
// tooltip, and pressed through its activate() slot. The press is queued, so
// that a screen reader asking for it is answered before any question box the
// press opens waits for the pupil.
class PressableInterface : public QAccessibleWidget {
public:
    PressableInterface(QWidget* w, QAccessible::Role role) : QAccessibleWidget(w, role) {}

    QString text(QAccessible::Text t) const override {
        QString s = QAccessibleWidget::text(t);
        if (t == QAccessible::Name && s.isEmpty()) {
            if (auto* l = qobject_cast<QLabel*>(widget())) s = l->text();
            if (s.isEmpty()) s = widget()->toolTip();
        }
        return s;
    }

    QStringList actionNames() const override {
        QStringList names = QAccessibleWidget::actionNames();
        names.prepend(pressAction());
        return names;
    }

    void doAction(const QString& action) override {
        if (action == pressAction() && widget()->isEnabled())
            QMetaObject::invokeMethod(widget(), "activate", Qt::QueuedConnection);
        else QAccessibleWidget::doAction(action);
    }
};

// What a slider's box shows for a position of the slider.
using SliderText = std::function<QString(int)>;
QHash<const QObject*, std::pair<QPointer<QLineEdit>, SliderText>>& sliderBoxes() {
    static QHash<const QObject*, std::pair<QPointer<QLineEdit>, SliderText>> boxes;
    return boxes;
}

// A slider that moves a box reports the box's number as its value: the
// pupil hears "2" where the box says 2, not the slider's own position (which
// stays where it was when a value is typed).
class SliderInterface : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit SliderInterface(QScrollBar* s) : QAccessibleWidget(s, QAccessible::ScrollBar) {}

    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::ValueInterface) return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value) return currentValue().toString();
        return QAccessibleWidget::text(t);
    }

    QVariant currentValue() const override {
        const auto [box, said] = link();
        bool ok = false;
        const double v = box ? box->text().trimmed().toDouble(&ok) : 0.0;
        return ok ? v : at(slider()->value());
    }
    void setCurrentValue(const QVariant& value) override {
        // The position whose text is nearest the value asked for.
        const double want = value.toDouble();
        QScrollBar* s = slider();
        int best = s->value();
        double gap = std::numeric_limits<double>::infinity();
        int guard = 0;
        for (int p = s->minimum(); p <= s->maximum() && guard < 100000; ++p, ++guard) {
            const double d = std::abs(at(p) - want);
            if (d < gap) {
                gap = d;
                best = p;
            }
        }
        s->setValue(best);
    }
    QVariant maximumValue() const override { return std::max(at(slider()->minimum()), at(slider()->maximum())); }
    QVariant minimumValue() const override { return std::min(at(slider()->minimum()), at(slider()->maximum())); }
    QVariant minimumStepSize() const override {
        return std::abs(at(slider()->minimum() + 1) - at(slider()->minimum()));
    }

private:
    QScrollBar* slider() const { return static_cast<QScrollBar*>(widget()); }
    std::pair<QLineEdit*, SliderText> link() const {
        const auto it = sliderBoxes().constFind(widget());
        if (it == sliderBoxes().constEnd()) return {nullptr, {}};
        return {it->first.data(), it->second};
    }
    double at(int position) const {
        const SliderText said = link().second;
        bool ok = false;
        const double v = said ? said(position).trimmed().toDouble(&ok) : 0.0;
        return ok ? v : double(position);
    }
};

QAccessibleInterface* factory(const QString&, QObject* o) {
    if (!o || !o->isWidgetType()) return nullptr;
    auto* w = static_cast<QWidget*>(o);
    const QVariant press = w->property("a11yPress");
    if (press.isValid())
        return new PressableInterface(
            w, press.toString() == QLatin1String("link") ? QAccessible::Link : QAccessible::Button);
    if (auto* s = qobject_cast<QScrollBar*>(w); s && sliderBoxes().contains(s)) return new SliderInterface(s);
    const QVariant role = w->property("a11yRole");
    if (role.isValid()) return new QAccessibleWidget(w, QAccessible::Role(role.toInt()));
    // A drop-down box's list is made when first needed (its opening, or a
    // screen reader asking for the box's children) and carries the box's
    // name, given here before the toolkit describes it.
    if (auto* list = qobject_cast<QAbstractItemView*>(w); list && list->accessibleName().isEmpty()) {
        for (QWidget* up = list->parentWidget(); up; up = up->parentWidget()) {
            if (auto* box = qobject_cast<QComboBox*>(up)) {
                // (Not box->view(): the list may be asked about while the
                // box is still making it.)
                list->setAccessibleName(box->accessibleName());
                break;
            }
        }
    }
    return nullptr;
}

// What a screen reader speaks wherever the focus is: an object of the
// notification role that becomes showing (a name or description change is
// spoken only of the focused object, and the toolkit's bridge sends such
// changes without their text). Each window keeps one such object, invisible
// and out of the way of the mouse and the keys; a piece of news is its name,
// and showing it again says it.
QWidget* newsBoard(QWidget* window) {
    auto* board = qobject_cast<QWidget*>(window->property("a11yNewsBoard").value<QObject*>());
    if (board) return board;
    board = new QWidget(window);
    board->setProperty("a11yRole", int(QAccessible::Notification));
    board->setAttribute(Qt::WA_TransparentForMouseEvents);
    board->setFocusPolicy(Qt::NoFocus);
    board->setGeometry(0, 0, 1, 1);
    board->hide();
    window->setProperty("a11yNewsBoard", QVariant::fromValue<QObject*>(board));
    return board;
}

Observer& observer() {
    static Observer o;
    return o;
}

void tell(QWidget* window, const QString& said) {
    QWidget* board = newsBoard(window);
    board->hide();
    board->setAccessibleName(said);
    board->show();
    if (observer()) observer()(board, said);
}

}  // namespace

struct NewsBatch::Batch {
    QPointer<QWidget> window;
    QStringList news;
};

namespace {

NewsBatch::Batch*& openBatch() {
    static NewsBatch::Batch* b = nullptr;
    return b;
}

}  // namespace

void markWindow(QWidget* w) {
    install();
    w->setProperty("a11yRole", int(QAccessible::Window));
    // A screen reader already listening had the window described as it was
    // made, before its role was set: that description goes. Otherwise there
    // is none yet (asking would make one only to throw it away).
    if (!QAccessible::isActive()) return;
    if (QAccessibleInterface* made = QAccessible::queryAccessibleInterface(w))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
}

void markPicture(QWidget* w, const QString& name) {
    install();
    w->setProperty("a11yRole", int(QAccessible::Graphic));
    w->setAccessibleName(name);
    w->setFocusPolicy(Qt::TabFocus);
}

void install() {
    static bool done = false;
    if (done) return;
    done = true;
    QAccessible::installFactory(factory);
}

QString captionName(const QString& caption) {
    QString s = caption.simplified();
    while (!s.isEmpty() && QStringLiteral("=＝:：,，").contains(s.back())) s.chop(1);
    s = s.trimmed();
    return s;
}

void linkSliders(const std::vector<SliderBox>& links) {
    for (const SliderBox& link : links) {
        if (!link.slider || !link.box) continue;
        // Two sliders may feed one box; a slider keeps the first box it feeds.
        if (!sliderBoxes().contains(link.slider)) {
            sliderBoxes().insert(link.slider, {link.box, link.text});
            QObject::connect(link.slider, &QObject::destroyed,
                             [s = static_cast<QObject*>(link.slider)] { sliderBoxes().remove(s); });
            // The interface made while the slider was built is a plain one.
            if (QAccessibleInterface* made = QAccessible::queryAccessibleInterface(link.slider))
                QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
        }
        if (link.slider->accessibleName().isEmpty() && !link.box->accessibleName().isEmpty())
            link.slider->setAccessibleName(link.box->accessibleName() + QStringLiteral(" 滑块"));
    }
}

void announce(QWidget* w, const QString& text) {
    const QString said = numfmt::spoken(text);
    if (!w || said.isEmpty()) return;
    QWidget* window = w->window();
    if (!window) return;
    if (NewsBatch::Batch* batch = openBatch(); batch && batch->window == window) {
        if (!batch->news.contains(said)) batch->news << said;
        return;
    }
    tell(window, said);
}

void setObserver(Observer o) { observer() = std::move(o); }

NewsBatch::NewsBatch(QWidget* window) {
    NewsBatch::Batch*& open = openBatch();
    if (open || !window) return;
    batch_ = new Batch{window->window(), {}};
    open = batch_;
}

void NewsBatch::drop() {
    if (batch_) batch_->news.clear();
}

NewsBatch::~NewsBatch() {
    if (!batch_) return;
    openBatch() = nullptr;
    // A piece that another one already holds (the label of the curve within
    // the picture's description) is said once, within the other.
    QStringList said;
    for (const QString& piece : batch_->news) {
        bool held = false;
        for (const QString& other : batch_->news)
            if (other != piece && other.contains(piece)) held = true;
        if (!held) said << piece;
    }
    if (batch_->window && !said.isEmpty()) tell(batch_->window, said.join(QStringLiteral("；")));
    delete batch_;
}

QStringList unnamedControls(QWidget* window) {
    QStringList bad;
    QList<QWidget*> all = window->findChildren<QWidget*>();
    all.prepend(window);
    for (QWidget* w : all) {
        // A drop-down list's popup is a window of its own.
        if (w->window() != window) continue;
        QAccessibleInterface* i = QAccessible::queryAccessibleInterface(w);
        if (!i) continue;
        const QAccessible::Role r = i->role();
        const bool interactive = w->focusPolicy() != Qt::NoFocus || r == QAccessible::Button ||
                                 r == QAccessible::CheckBox || r == QAccessible::RadioButton ||
                                 r == QAccessible::ComboBox || r == QAccessible::EditableText ||
                                 r == QAccessible::ScrollBar || r == QAccessible::Slider || r == QAccessible::Link ||
                                 r == QAccessible::Window;
        if (interactive && i->text(QAccessible::Name).trimmed().isEmpty())
            bad << QStringLiteral("%1: %2 %3")
                       .arg(window->objectName(), QLatin1String(w->metaObject()->className()), w->objectName());
    }
    return bad;
}

}  // namespace a11y
