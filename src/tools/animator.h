#pragma once
// 参数动画: plays a window's parameters through their ranges. Each frame is
// the window as the pupil would make it by hand (the boxes and sliders set to
// the frame's values, then the redraw 刷新作图 runs), on the window's own
// steppable clock; a whole run is one step of the undo history. The settings
// live in a small tool window of their own beside the family window.
#include <QColor>
#include <QImage>
#include <QObject>
#include <QPointF>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <set>
#include <optional>
#include <vector>

#include "frame/canvas_tool.h"
#include "frame/view.h"
#include "render/picture.h"

class Canvas;
class FamilyWindow;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace anim {

enum class Mode { PingPong, Up, Down, Once };

// Frame k's value of a sweep of `frames` frames from `from` to `to`.
double frameValue(double from, double to, int frames, int k);
// The frame shown at step `step` of a run (step 0 is the frame drawn when
// play is pressed); none when a run of 一次 is over.
std::optional<int> frameAt(Mode mode, int frames, long long step);
// The frames of one full sweep in the order shown (往返: there and back).
std::vector<int> sweep(Mode mode, int frames);

// What the animator's boxes say, checked. A message naming the first box
// that holds a bad value, or empty.
struct Settings {
    struct Row {
        bool used = false;
        double from = 0, to = 0;
    };
    std::vector<Row> rows;
    int frames = 40;
    double speed = 20;
    Mode mode = Mode::PingPong;
    bool trail = false;
};

}  // namespace anim

// The tool window "参数动画" (one per family window, closed with it).
class AnimatorPanel : public QWidget {
    Q_OBJECT
public:
    explicit AnimatorPanel(QWidget* owner);
    // Space plays and pauses from anywhere in the tool window, save in a box
    // (where it is typed) and on a check box or another button (which keep
    // their own Space): called once the controls are made.
    void watchSpace(QWidget* playButton);

signals:
    void closing();
    void spacePressed();

protected:
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* playButton_ = nullptr;
};

class Animator : public QObject, public CanvasTool {
    Q_OBJECT
public:
    explicit Animator(FamilyWindow& window);

    // Makes the tool window, hidden, once the family window has named its
    // boxes: its settings are the tool's own part of the window's view,
    // which a plot file keeps.
    void makePanel();
    // Opens the tool window beside the family window.
    void showPanel();
    AnimatorPanel* panel() const { return panel_; }

    // ▶ 播放 / ⏸ 暂停, 停止, 导出 GIF.
    void playOrPause();
    void play();
    void pause();
    void stop();
    void exportGif();
    bool playing() const { return playing_; }

    // The settings as the boxes hold them; a message naming the box at
    // fault when one is bad.
    std::optional<anim::Settings> readSettings(QString* problem) const;

    // While a run plays, its frames are no steps of the history: undo and
    // redo wait, and the step is recorded when the run pauses or stops.
    bool busy() const override { return (playing_ || drawing_) && !askingOthers_; }
    void plotStarting() override;

    // The trail is kept sharp for the screen the picture shows on and, from
    // the next run, for pictures painted at this scale too (the benchmark
    // measures a 200 % screen's frame on any screen).
    void keepTrailSharpAt(double scale) { sharpAtLeast_ = scale; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Row {
        QCheckBox* use = nullptr;
        QLineEdit *from = nullptr, *to = nullptr;
    };
    void tick();
    // Shows frame k of the sweep; false when the window refused its values
    // (the picture stays as it was).
    bool showFrame(int k, bool keepTrail);
    // What play and export both check first: the window free, the settings
    // good, no overlay in progress. The settings, or none once a message
    // has said why (naming what could not be done, `verb`).
    std::optional<anim::Settings> readyToRun(const QString& verb);
    void setParameter(size_t i, double value);
    void noteSkipped(int k);
    void addToTrail(int k);
    void clearTrail();
    // The scale beside 1 the trail is kept at: the screen's, or more.
    double trailScaleWanted() const;
    // The run stops (paused, stopped or over): one step of the history, said aloud.
    void endRun(const QString& said);
    void setPlayCaption();
    void userTouched();
    bool othersBusy();

    FamilyWindow& w_;
    QPushButton* button_ = nullptr;
    // The control whose place the button shares, taking turns, where the
    // window has no free place for it.
    QPointer<QWidget> shared_;
    QPointer<AnimatorPanel> panel_;
    std::vector<Row> rows_;
    QLineEdit *frames_ = nullptr, *speed_ = nullptr;
    QComboBox *mode_ = nullptr, *scale_ = nullptr;
    QCheckBox* trail_ = nullptr;
    QPushButton *play_ = nullptr, *stop_ = nullptr, *gif_ = nullptr;
    QLabel* skippedLabel_ = nullptr;
    QTimer* timer_ = nullptr;

    anim::Settings run_;  // the settings the run in progress uses
    bool playing_ = false, paused_ = false, drawing_ = false, askingOthers_ = false;
    long long step_ = 0;
    int shown_ = -1;  // the frame on the picture, or -1
    // The earlier frames' curves, lighter, on an image of their own (each
    // frame of the sweep drawn there once, through a canvas of one curve),
    // and the same at the screen's scale where that is larger than 1: a
    // stretched copy of the small one would show each pixel as a block.
    Canvas* trailCanvas_ = nullptr;  // a child of the tool
    QImage trailImage_, trailHigh_;
    QImage trailCurveHigh_;  // one curve at that scale, painted afresh each time
    double trailScale_ = 1, sharpAtLeast_ = 1;
    Picture trailPicture_;
    std::set<int> trailKeys_;
    std::vector<int> skipped_;
};
