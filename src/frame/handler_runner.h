#pragma once
// Runs a window's handlers one at a time. What a handler writes into a label
// or box is said aloud once it is done; a slider change that arrives while a
// handler runs (from the event loop of a message box the handler opened,
// where a held scroll-bar arrow or key keeps stepping) waits, and runs after
// the handler with the slider's value then: the box's answer applies to the
// values it was asked about.
#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>
#include <utility>
#include <vector>

#include "platform/platform.h"

class QScrollBar;
class QWidget;

class HandlerRunner {
public:
    // window: whose labels and boxes are watched (`silent` never is);
    // applyWaiting: runs a waiting slider's change; settle: runs after every
    // outermost handler, once the waiting changes have run.
    HandlerRunner(QWidget& window, QWidget* silent, std::function<void(QScrollBar*)> applyWaiting,
                  std::function<void()> settle);

    void run(const std::function<void()>& handler);
    bool running() const { return depth_ > 0; }
    // A slider changed while a handler runs: its change waits (once, with
    // the latest value). False when no handler runs.
    bool wait(QScrollBar* slider);

    // The sliders a message box stops: an arrow held down would go on
    // stepping behind the box, out to the end of the range.
    void setSliders(std::vector<QScrollBar*> sliders) { sliders_ = std::move(sliders); }
    // Shows a box (`box`) as a handler of its own. While a list is given to
    // holdMessages() no box shows: the text joins the list, and the answer is
    // OK, No or Cancel as the buttons allow (the safe answer).
    MsgReply message(const QString& text, MsgButtons buttons, const std::function<MsgReply()>& box);
    void holdMessages(QStringList* into) { held_ = into; }
    bool holdingMessages() const { return held_ != nullptr; }

private:
    using Texts = std::vector<std::pair<QPointer<QWidget>, QString>>;
    Texts shownTexts() const;
    void announceChanges(const Texts& before) const;
    void runWaiting();

    QWidget& window_;
    QWidget* silent_;
    std::function<void(QScrollBar*)> applyWaiting_;
    std::function<void()> settle_;
    int depth_ = 0;
    std::vector<QScrollBar*> waiting_;  // sliders whose change waits, in order
    std::vector<QScrollBar*> sliders_;
    QStringList* held_ = nullptr;
};
