#include "driver/script_clock.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <algorithm>

void settle() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

ScriptClock::ScriptClock() { QCoreApplication::instance()->installEventFilter(this); }

ScriptClock::~ScriptClock() {
    if (QCoreApplication* app = QCoreApplication::instance()) app->removeEventFilter(this);
}

bool ScriptClock::isSteppable(const QObject* o) {
    // The program names its own timers after their controls; Qt's internal
    // timers (cursor blink, double-click, tool tips) have no name and keep
    // the real clock.
    auto* t = qobject_cast<const QTimer*>(o);
    return t && !t->objectName().isEmpty() && t->parent() && t->parent()->isWidgetType();
}

bool ScriptClock::eventFilter(QObject* watched, QEvent* event) {
    // Real time never reaches the program's timers while a script runs: they
    // tick only when the script waits.
    return event->type() == QEvent::Timer && isSteppable(watched);
}

void ScriptClock::refresh() {
    for (auto it = timers_.begin(); it != timers_.end();) {
        if (it->second->timer && it->second->timer->isActive()) ++it;
        else it = timers_.erase(it);
    }
    for (QWidget* w : QApplication::topLevelWidgets()) {
        for (QTimer* t : w->findChildren<QTimer*>()) {
            if (!isSteppable(t) || !t->isActive() || timers_.count(t)) continue;
            auto e = std::make_unique<Entry>();
            Entry* raw = e.get();
            raw->timer = t;
            raw->due = now_ + std::max(t->interval(), 1);
            // Qt may hand a restarted timer its old id again, so a restart is
            // seen through the timer's active property, which every start sets.
            raw->watch = t->bindableActive().addNotifier([this, raw] {
                if (raw->timer && raw->timer->isActive()) raw->due = now_ + std::max(raw->timer->interval(), 1);
            });
            timers_.emplace(t, std::move(e));
        }
    }
}

void ScriptClock::advance(qint64 ms, int maxTicks) {
    const qint64 end = now_ + std::max<qint64>(ms, 0);
    for (int ticks = 0; ticks < maxTicks; ++ticks) {
        refresh();
        Entry* due = nullptr;
        for (auto& [timer, e] : timers_)
            if (e->due <= end && (!due || e->due < due->due)) due = e.get();
        if (!due) break;
        now_ = due->due;
        QPointer<QTimer> t = due->timer;
        due->due += std::max(t->interval(), 1);
        if (t->isSingleShot()) t->stop();
        QMetaObject::invokeMethod(t, "timeout", Qt::DirectConnection);
        settle();
    }
    now_ = end;
    refresh();
}
