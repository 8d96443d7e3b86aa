#include "frame/history.h"

namespace {
// The fixed part of a view: its control texts, mostly.
size_t valueBytes(const View& v) {
    size_t n = sizeof(View) + v.numbers.size() * sizeof(float);
    for (const auto& [name, c] : v.controls) n += 64 + size_t(name.size() + c.text.size()) * sizeof(QChar);
    return n;
}
size_t curvesBytes(const SharedCurves& c) {
    if (!c) return 0;
    size_t n = c->size() * sizeof(DrawnCurve);
    for (const DrawnCurve& d : *c) {
        n += size_t(d.text.size()) * sizeof(QChar);
        for (const auto& run : d.runs) n += sizeof(run) + run.size() * sizeof(QPointF);
    }
    return n;
}
}  // namespace

void History::count(const void* key, size_t bytes) {
    if (!key) return;
    Piece& p = pieces_[key];
    if (p.uses++ == 0) {
        p.bytes = bytes;
        weight_ += bytes;
    }
}

void History::uncount(const void* key) {
    if (!key) return;
    auto it = pieces_.find(key);
    if (it == pieces_.end()) return;
    if (--it->second.uses == 0) {
        weight_ -= it->second.bytes;
        pieces_.erase(it);
    }
}

// Images are shared between pictures, descriptions and views (a flattened
// base is the same pixels in every view taken after it): each is counted by
// its pixels, once however many hold it.
void History::count(const QImage& image) {
    if (!image.isNull()) count(image.constBits(), size_t(image.sizeInBytes()));
}

void History::uncount(const QImage& image) {
    if (!image.isNull()) uncount(image.constBits());
}

void History::count(const picture::Description* d) {
    if (!d) return;
    count(static_cast<const void*>(d), d->weight());
    count(d->base);
    count(d->baseHigh);
}

void History::uncount(const picture::Description* d) {
    if (!d) return;
    uncount(static_cast<const void*>(d));
    uncount(d->base);
    uncount(d->baseHigh);
}

void History::add(const View& v) {
    weight_ += valueBytes(v);
    count(v.canvas.own.get());
    for (const Picture* p : {&v.canvas.restore, &v.canvas.under, &v.overlay}) {
        count(p->description());
        count(p->image());
    }
    for (const SharedCurves* c : {&v.curves, &v.overlayCurves}) count(c->get(), curvesBytes(*c));
}

void History::remove(const View& v) {
    weight_ -= valueBytes(v);
    uncount(v.canvas.own.get());
    for (const Picture* p : {&v.canvas.restore, &v.canvas.under, &v.overlay}) {
        uncount(p->description());
        uncount(p->image());
    }
    for (const SharedCurves* c : {&v.curves, &v.overlayCurves}) uncount(c->get());
}

void History::reset(View v) {
    views_.clear();
    pieces_.clear();
    weight_ = 0;
    at_ = 0;
    add(v);
    views_.push_back(std::move(v));
}

void History::record(View v) {
    if (views_.empty()) return reset(std::move(v));
    while (views_.size() > at_ + 1) {
        remove(views_.back());
        views_.pop_back();
    }
    add(v);
    views_.push_back(std::move(v));
    at_ = views_.size() - 1;
    trim();
}

void History::replaceCurrent(View v) {
    if (views_.empty()) return reset(std::move(v));
    remove(views_[at_]);
    add(v);
    views_[at_] = std::move(v);
    trim();
}

void History::trim() {
    // The view shown always stays; the oldest go first.
    while (at_ > 0 && (int(at_) > maxSteps_ || weight_ > budget_)) {
        remove(views_.front());
        views_.pop_front();
        --at_;
    }
}

const View* History::undo() {
    if (!canUndo()) return nullptr;
    return &views_[--at_];
}

const View* History::redo() {
    if (!canRedo()) return nullptr;
    return &views_[++at_];
}
