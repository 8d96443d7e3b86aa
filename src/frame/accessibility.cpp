#include "frame/accessibility.h"

#include <QAbstractButton>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMetaObject>
#include <QScrollBar>
#include <QWidget>
#include <limits>

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

QAccessibleInterface* factory(const QString&, QObject* o) {
    if (!o || !o->isWidgetType()) return nullptr;
    auto* w = static_cast<QWidget*>(o);
    const QVariant press = w->property("a11yPress");
    if (press.isValid())
        return new PressableInterface(
            w, press.toString() == QLatin1String("link") ? QAccessible::Link : QAccessible::Button);
    const QVariant role = w->property("a11yRole");
    if (role.isValid()) return new QAccessibleWidget(w, QAccessible::Role(role.toInt()));
    // A plain top-level window (the bar, a plot window, the help, the
    // viewer) is a window to a screen reader, not an anonymous pane.
    if (w->isWindow() && w->windowType() == Qt::Window && !qobject_cast<QDialog*>(w) &&
        !qobject_cast<QMainWindow*>(w) && QLatin1String(w->metaObject()->className()) != QLatin1String("QWidget"))
        return new QAccessibleWidget(w, QAccessible::Window);
    return nullptr;
}

Observer& observer() {
    static Observer o;
    return o;
}

bool sameRow(const QRect& a, const QRect& b) {
    return a.center().y() >= b.top() - 2 && a.center().y() <= b.bottom() + 2;
}

QWidget* captionFor(QWidget* box) {
    QWidget* parent = box->parentWidget();
    if (!parent) return nullptr;
    const QRect g = box->geometry();
    QLabel* best = nullptr;
    int bestGap = std::numeric_limits<int>::max();
    // The caption before the box on its row, else the one right above it.
    for (int pass = 0; pass < 2 && !best; ++pass) {
        for (QLabel* l : parent->findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
            if (l->text().trimmed().isEmpty() || !l->pixmap().isNull()) continue;
            const QRect lg = l->geometry();
            int gap;
            if (pass == 0) {
                if (!sameRow(g, lg) || lg.left() >= g.left()) continue;
                gap = g.left() - lg.right();
                if (gap > 48) continue;
            } else {
                if (lg.bottom() > g.top() + 2 || lg.right() < g.left() || lg.left() > g.right()) continue;
                gap = g.top() - lg.bottom();
                if (gap > 24) continue;
            }
            if (gap < bestGap) {
                bestGap = gap;
                best = l;
            }
        }
    }
    return best;
}

}  // namespace

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

void nameControls(QWidget* window, const std::vector<std::pair<QScrollBar*, QLineEdit*>>& links) {
    QList<QWidget*> boxes;
    for (QWidget* w : window->findChildren<QWidget*>())
        if (qobject_cast<QLineEdit*>(w) || qobject_cast<QComboBox*>(w)) boxes << w;
    for (QWidget* box : boxes) {
        if (!box->accessibleName().isEmpty() || qobject_cast<QComboBox*>(box->parentWidget())) continue;
        if (QWidget* c = captionFor(box)) {
            const QString n = captionName(static_cast<QLabel*>(c)->text());
            if (!n.isEmpty()) box->setAccessibleName(QStringLiteral("参数 ") + n);
        }
    }
    for (const auto& [slider, box] : links)
        if (slider && box && slider->accessibleName().isEmpty() && !box->accessibleName().isEmpty())
            slider->setAccessibleName(box->accessibleName() + QStringLiteral(" 滑块"));
    // Any other slider is named after the box on its left that it feeds.
    for (QScrollBar* s : window->findChildren<QScrollBar*>()) {
        if (!s->accessibleName().isEmpty() || !s->parentWidget()) continue;
        const QRect g = s->geometry();
        QWidget* best = nullptr;
        for (QLineEdit* e : s->parentWidget()->findChildren<QLineEdit*>(Qt::FindDirectChildrenOnly)) {
            const QRect eg = e->geometry();
            if (!sameRow(g, eg) || eg.right() > g.left() || g.left() - eg.right() > 48) continue;
            if (!best || eg.right() > best->geometry().right()) best = e;
        }
        if (best && !best->accessibleName().isEmpty())
            s->setAccessibleName(best->accessibleName() + QStringLiteral(" 滑块"));
    }
}

void announce(QWidget* w, const QString& text) {
    if (!w) return;
    if (auto* e = qobject_cast<QLineEdit*>(w)) {
        QAccessibleTextUpdateEvent ev(e, 0, QString(), text);
        QAccessible::updateAccessibility(&ev);
        QAccessibleValueChangeEvent v(e, text);
        QAccessible::updateAccessibility(&v);
    } else if (!w->accessibleDescription().isEmpty() && w->accessibleDescription() == text) {
        // A picture's news is its description.
        QAccessibleEvent ev(w, QAccessible::DescriptionChanged);
        QAccessible::updateAccessibility(&ev);
    } else {
        QAccessibleEvent ev(w, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&ev);
    }
    if (observer()) observer()(w, text);
}

void setObserver(Observer o) { observer() = std::move(o); }

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
