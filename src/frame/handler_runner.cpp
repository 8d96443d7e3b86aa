#include "frame/handler_runner.h"

#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <algorithm>
#include <optional>

#include "frame/accessibility.h"
#include "frame/controls.h"

HandlerRunner::HandlerRunner(QWidget& window, QWidget* silent, std::function<void(QScrollBar*)> applyWaiting,
                             std::function<void()> settle)
    : window_(window), silent_(silent), applyWaiting_(std::move(applyWaiting)), settle_(std::move(settle)) {}

void HandlerRunner::run(const std::function<void()>& handler) {
    // The texts before the handler are kept to see what it changed.
    Texts before;
    // What the handler and its waiting slider changes have to say is said
    // as one piece when they are done.
    std::optional<a11y::NewsBatch> news;
    if (depth_ == 0) {
        before = shownTexts();
        news.emplace(&window_);
    }
    ++depth_;
    handler();
    --depth_;
    if (depth_ == 0) {
        runWaiting();
        announceChanges(before);
        if (settle_) settle_();
    }
}

MsgReply HandlerRunner::message(const QString& text, MsgButtons buttons, const std::function<MsgReply()>& box) {
    if (held_) {
        held_->append(text);
        return buttons == MsgButtons::OK      ? MsgReply::OK
               : buttons == MsgButtons::YesNo ? MsgReply::No
                                              : MsgReply::Cancel;
    }
    MsgReply reply = MsgReply::OK;
    run([&] {
        for (QScrollBar* slider : sliders_)
            if (slider) stopSliderRepeat(slider);
        reply = box();
    });
    return reply;
}

bool HandlerRunner::wait(QScrollBar* slider) {
    if (depth_ == 0) return false;
    if (std::find(waiting_.begin(), waiting_.end(), slider) == waiting_.end()) waiting_.push_back(slider);
    return true;
}

HandlerRunner::Texts HandlerRunner::shownTexts() const {
    Texts out;
    for (QWidget* w : window_.findChildren<QWidget*>()) {
        if (w == silent_) continue;
        if (auto* l = qobject_cast<QLabel*>(w); l && l->pixmap().isNull()) out.emplace_back(w, l->text());
        else if (auto* e = qobject_cast<QLineEdit*>(w)) out.emplace_back(w, e->text());
    }
    return out;
}

void HandlerRunner::announceChanges(const Texts& before) const {
    for (const auto& [w, old] : before) {
        if (!w || !w->isVisible()) continue;
        QString now;
        if (auto* l = qobject_cast<QLabel*>(w.data())) now = l->text();
        else if (auto* e = qobject_cast<QLineEdit*>(w.data())) now = e->text();
        // An emptied result says nothing; the picture's description covers it.
        if (now == old || now.trimmed().isEmpty()) continue;
        // A box is said with its name ("速查结果：y = 4.5"); a label's text
        // stands for itself.
        const QString name = w->accessibleName();
        if (qobject_cast<QLineEdit*>(w.data()) && !name.isEmpty())
            a11y::announce(w, name + QStringLiteral(" = ") + now.trimmed());
        else a11y::announce(w, now);
    }
}

void HandlerRunner::runWaiting() {
    // Each waiting slider runs once, with its latest position. A change can
    // only wait while a box is open, so this ends as soon as the boxes stop;
    // the bound keeps a platform that answers every box with more steps from
    // holding the window for ever (what is left waits for the next handler).
    for (int round = 0; round < 64 && !waiting_.empty(); ++round) {
        QScrollBar* slider = waiting_.front();
        waiting_.erase(waiting_.begin());
        ++depth_;
        if (applyWaiting_) applyWaiting_(slider);
        --depth_;
    }
}
