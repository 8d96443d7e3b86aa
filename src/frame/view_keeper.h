#pragma once
// What lasts of a family window: its view taken and put back, the history
// of views that undo and redo walk (as two actions, with the standard keys),
// and the recovery file written shortly after a change.
#include <QObject>
#include <vector>

#include "frame/history.h"
#include "frame/view.h"

class FamilyWindow;
class QAction;
class QAbstractButton;
class QRect;
class QTimer;
class QWidget;

// A child of its window.
class ViewKeeper : public QObject {
public:
    explicit ViewKeeper(FamilyWindow& window);

    View take() const;
    // Puts a view back exactly; no handler runs and no step is recorded.
    // The tools' choices (tool, colour) come back only with `tools`: undo
    // leaves them as they are.
    void put(const View& v, bool tools = false);
    // Shows a view read from a file, as one step that can be undone.
    void open(const View& v);
    // The history starts afresh at what the window shows now.
    void restart();
    // Typing into a kept box is a change the recovery file keeps, though
    // not a step: called once the window has all its controls.
    void watchTyping();
    // After something that may have changed the picture: a change of the
    // picture is one step of the history, any other change updates the
    // current view.
    void checkpoint();
    void undo();
    void redo();
    const History& history() const { return history_; }
    QAction* undoAction() const { return undo_; }
    QAction* redoAction() const { return redo_; }
    // The window's 撤销 and 重做 buttons at these places: a click triggers
    // the action, the button is enabled with it (not kept in a view: they
    // follow the history).
    void addButtons(const QRect& undoAt, const QRect& redoAt);
    // Writes the recovery file now if a change is waiting for it.
    void writeRecoveryNow();

private:
    // The controls whose state belongs to the window's view (with the
    // tools' own when `tools`), in the order they were made.
    std::vector<QWidget*> kept(bool tools) const;
    // Shows a view undo or redo reached (none: nothing to do).
    void step(const View* v);
    void updateActions();
    void changed();

    FamilyWindow& w_;
    History history_;
    quint64 recordedRevision_ = 0;
    QAction *undo_ = nullptr, *redo_ = nullptr;
    // Writes the recovery file shortly after a change, on the window's own clock.
    QTimer* recoveryTimer_ = nullptr;
};
