#pragma once
// The frame every plot window is built on: the window's layout, the canvas
// Picture1 with its hidden companion Picture2, the frame's controls and the
// redraw / overlay / grid state machine. Its other jobs are classes of their
// own beside it: the handler runner (handlers one at a time, waiting
// sliders), the axes painter, the curve log (the curves drawn and their
// description) and the view keeper (views, history, undo, recovery). The
// tools on the canvas come from a layer above through CanvasTool. A family
// adds its controls (a Ctl table), its traits (how its window differs from
// the common cycle), and its mathematics through a few virtual functions.
#include <QCheckBox>
#include <QColor>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <initializer_list>
#include <memory>
#include <vector>

#include "frame/canvas_tool.h"
#include "frame/controls.h"
#include "frame/curve_log.h"
#include "frame/family_traits.h"
#include "frame/frame_controls.h"
#include "frame/history.h"
#include "frame/tool_chain.h"
#include "frame/view.h"
#include "frame/view_keeper.h"
#include "render/canvas.h"
#include "frame/lookup_panel.h"
#include "platform/platform.h"

class CanvasWidget;
class QAbstractButton;
class HandlerRunner;

class FamilyWindow : public QWidget {
    Q_OBJECT
public:
    explicit FamilyWindow(FamilyTraits traits, QWidget* parent = nullptr);
    ~FamilyWindow() override;

    const FamilyTraits& traits() const { return traits_; }

    // Slot i (0, 1, 2) of the small buttons' row: 撤销, 重做, 听图像.
    QRect smallButtonSlot(int i) const { return ::smallButtonSlot(traits_, width(), i); }
    const FrameControls& frameControls() const { return frame_; }
    Canvas& canvas() { return *canvas_; }
    CanvasWidget* canvasWidget() { return canvasWidget_; }
    const Picture& picture2() const { return picture2_; }
    // The tools on the canvas take its events in the order they were added.
    void addTool(CanvasTool* tool) { tools_->add(tool); }
    const std::vector<CanvasTool*>& tools() const { return tools_->tools(); }
    // Called once the tools have made their controls: what needs every
    // control of the window (names for a screen reader, the tab order, the
    // first view of the history) is done here.
    void toolsInstalled();

    // --- state of the redraw cycle ---
    bool gridOn() const { return gridOn_; }
    bool overlayOn() const { return overlayOn_; }
    bool commitDraw() const { return commitDraw_; }
    int overlayCount() const { return overlayCount_; }

    // --- the common handlers (also reachable by clicking the controls) ---
    void redrawClicked();
    void overlayClicked();
    void commitClicked();
    void gridClicked();
    void sliderChanged(const SliderLink& link, int value);

    // --- building blocks for families ---
    void drawAxes();  // the plain axes (window resize handler)
    void drawGrid();  // grid on, without state changes
    void drawOverlayCurve();
    void plotCurve();              // hide the floating markers, then drawCurve()
    bool axesHidden() const;       // Checkhide ticked
    bool expressionShown() const;  // Check1 ticked

    // Text-to-number of a box, as single.
    static float number(const QLineEdit* box);
    // Runs handler (as one handler of the window) on a click of the button.
    void onClick(QAbstractButton* button, std::function<void()> handler);

    // A message box; title "提示", one OK button, no icon unless given.
    MsgReply message(const QString& text, const QString& title = QStringLiteral("提示"),
                     MsgButtons buttons = MsgButtons::OK, MsgIcon icon = MsgIcon::None);
    // While a list is given, message() shows no box: the text joins the list
    // and the box's declining answer (OK, Cancel or No) comes back, as if
    // the user had read it. A tool that redraws many times over (an
    // animation) learns this way which values the window refuses.
    void holdMessages(QStringList* into);
    // The window's message for a value that leaves the computable range; the
    // action that met it stops.
    void tooLargeMessage();

    // What a screen reader says of the picture: each curve on it with its
    // features, the axes and the grid, and how many marks were drawn by
    // hand. Kept on the canvas as its accessible description.
    QString canvasDescription() const;
    void updateCanvasDescription();
    // A freehand mark (line, ellipse, stroke, text, erasure) was drawn.
    void noteAnnotation();
    // The curves on the picture, the last drawn last.
    const std::vector<DrawnCurve>& drawnCurves() const { return curves_.curves(); }
    // What the picture's description calls the curve just drawn; the
    // current-function label by default.
    virtual QString curveName() const;
    // A handler runs or a tool is in the middle of something.
    bool busy() const;

    // --- what lasts: the window's view, its undo history, the recovery file
    // (the view keeper's; see view_keeper.h) ---
    ViewKeeper& views() { return *views_; }
    const ViewKeeper& views() const { return *views_; }
signals:
    void closed(FamilyWindow* w);

protected:
    // Lays out the family's controls; call from the family's constructor, then finish().
    void build(std::initializer_list<Ctl> table);
    // The frame's four buttons as every window stacks them: 刷新作图, 覆盖作图,
    // the hidden 确定覆盖 and 显示网格, w x h each, 32 pixels apart from (x, y),
    // bound to the frame. Call where the layout table would list them, so
    // that they keep their place in the tab order.
    void frameButtons(int x, int y, int w, int h, const FrameButtonNames& names = {});
    // Connects the common buttons and sliders; call last in the family
    // constructor (the tools come after it, then toolsInstalled()).
    void finish();

    // The family's plot: reads its parameters from the boxes and draws.
    virtual void drawCurve() = 0;
    // Asked before an action clears the picture to draw again: false (the
    // family has said why) leaves the picture and the controls as they are.
    virtual bool curveReady() { return true; }
    // The extra marks of this window's axes (drawn before the letters).
    virtual void drawAxisMarks() {}
    // Remember the parameters just read as those of the first overlay curve.
    virtual void keepFirstCurve() {}
    // The numbers a family keeps between handlers (its current and first
    // curves' parameters), for views.
    virtual std::vector<float> keptNumbers() const { return {}; }
    virtual void setKeptNumbers(const std::vector<float>&) {}
    virtual void lookupY() {}  // cay
    virtual void lookupX() {}  // cax
    // The features of the curve just drawn, as the window computes them
    // ("顶点 (1,2)", "周期 2π"), for the picture's description.
    virtual QStringList curveFeatures() const { return {}; }

    // The picture starts afresh / is put back to the overlay snapshot /
    // becomes the overlay snapshot; the description follows.
    void clearCanvas();
    void restoreSnapshot();
    void takeSnapshot();

    void showEvent(QShowEvent*) override;
    void closeEvent(QCloseEvent*) override;

    FamilyTraits traits_;
    FrameControls frame_;

private:
    // The keeper of the window's views takes and puts back the frame's own
    // part of a view (everything but the controls): the plot's state below.
    friend class ViewKeeper;

    void emptyResults();
    void gridCaptionOff();
    void featureOff();
    void emptyLabels(const std::vector<std::pair<QWidget*, QString>>& list);
    void runHandler(const std::function<void()>& handler);
    void applySliderChange(const SliderLink& link, int value);
    // The bodies of the common handlers.
    void redraw();
    void toggleOverlay();
    void commit();
    void toggleGrid();

    Canvas* canvas_ = nullptr;  // a child of the window
    CanvasWidget* canvasWidget_ = nullptr;
    Picture picture2_;  // the overlay snapshot, kept as a description
    bool gridOn_ = false, overlayOn_ = false, commitDraw_ = false;
    int overlayCount_ = 0;
    CurveLog curves_;
    bool axesDrawnOnce_ = false;
    std::unique_ptr<HandlerRunner> runner_;
    ViewKeeper* views_ = nullptr;  // a child of the window
    ToolChain* tools_ = nullptr;   // a child of the picture
};
