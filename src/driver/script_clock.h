#pragma once
// The program's own timers (named QTimer children of its windows) run on a
// clock the script advances with `wait`, so a script sees the same ticks on
// a loaded machine as on an idle one.
#include <QObject>
#include <QPointer>
#include <QProperty>
#include <map>
#include <memory>

class QTimer;

class ScriptClock : public QObject {
public:
    ScriptClock();
    ~ScriptClock() override;
    // Advances the clock by ms, firing every due timeout in order; stops
    // after maxTicks timeouts.
    void advance(qint64 ms, int maxTicks);
    static bool isSteppable(const QObject* o);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Entry {
        QPointer<QTimer> timer;
        qint64 due = 0;
        QPropertyNotifier watch;  // a (re)start begins a fresh interval
    };
    void refresh();
    std::map<const QTimer*, std::unique_ptr<Entry>> timers_;
    qint64 now_ = 0;
};

// Lets posted events (deferred deletes, repaints, layout) run, as the event
// loop would between two things the user does.
void settle();
