#pragma once
// The undo history of one window: the view after each step, oldest first,
// and which of them the window shows. Bounded twice: by a number of steps
// and by the memory the views hold, flattened images included (the pieces
// views share are counted once); past either bound the oldest steps go.
//
// Qt's own undo stack would do the bookkeeping, but it can only bound the
// number of commands, and only while it is empty: a window of freehand
// strokes needs a bound in bytes that drops the oldest steps as it goes.
#include <cstddef>
#include <deque>
#include <unordered_map>

#include "frame/view.h"

class History {
public:
    static constexpr int kMaxSteps = 1000;
    // A window of a thousand free strokes keeps a little over 200 steps in this.
    static constexpr size_t kBudget = size_t(64) << 20;

    explicit History(int maxSteps = kMaxSteps, size_t budget = kBudget) : maxSteps_(maxSteps), budget_(budget) {}

    // Starts afresh from this view: nothing to undo or redo.
    void reset(View v);
    // A step that led to v: what could be redone is dropped.
    void record(View v);
    // The shown view changed without a step (a look-up result): it replaces
    // the current one, so that undo and redo come back to it.
    void replaceCurrent(View v);
    // The view to show after one step back or forward; nullptr when there is none.
    const View* undo();
    const View* redo();

    bool canUndo() const { return at_ > 0; }
    bool canRedo() const { return at_ + 1 < views_.size(); }
    bool empty() const { return views_.empty(); }
    const View& current() const { return views_[at_]; }
    // Steps that can be undone.
    int steps() const { return int(at_); }
    // Bytes held by the views (operations, images, curves and texts), shared
    // pieces counted once.
    size_t weight() const { return weight_; }

private:
    void add(const View& v);
    void remove(const View& v);
    void count(const void* key, size_t bytes);
    void uncount(const void* key);
    void count(const QImage& image);
    void uncount(const QImage& image);
    void count(const picture::Description* d);
    void uncount(const picture::Description* d);
    void trim();

    std::deque<View> views_;
    size_t at_ = 0;
    int maxSteps_;
    size_t budget_;
    struct Piece {
        int uses = 0;
        size_t bytes = 0;
    };
    std::unordered_map<const void*, Piece> pieces_;
    size_t weight_ = 0;
};
