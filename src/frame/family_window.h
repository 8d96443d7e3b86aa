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
#include "frame/history.h"
#include "frame/view.h"
#include "frame/view_keeper.h"
#include "render/canvas.h"
#include "frame/lookup_panel.h"
#include "platform/platform.h"

class CanvasWidget;
class QAbstractButton;
class HandlerRunner;

// How one slider feeds its text box.
struct SliderLink {
    QScrollBar* slider = nullptr;  // HScroll1
    QLineEdit* text = nullptr;     // Text1(0)
    // The text the box receives for a slider position; whole-number text
    // when empty.
    std::function<QString(int)> format;
};

// The three ways a window runs its redraw cycle.
enum class RedrawCycle {
    // A slider change previews in overlay mode and otherwise runs the redraw
    // button's whole click; no focus moves, the overlay buttons leave the
    // results alone, commits are not counted.
    Plain,
    // A slider change rebuilds without the redraw button's extra steps and
    // then empties the results, resets the grid caption and the feature in
    // both modes; the redraw and overlay buttons move the focus to the first
    // box and empty the results, commits are counted and enable the feature.
    Linear,
    // As Plain for a slider change (the redraw click moves the focus to the
    // first box, so the slider loses it); the redraw and the overlay toggle
    // move the focus and empty the results, the commit does neither.
    Inverse,
};

// Where a family window departs from the common redraw cycle: plain data,
// known before the window's controls exist.
struct FamilyTraits {
    // Which window it is.
    int number = 0;    // window number: Form<number>, full-screen source
    QString key;       // "linear", "quadratic", ...
    QString title;     // window caption
    QString fileName;  // default name in the save dialog

    // How the redraw cycle runs.
    RedrawCycle cycle = RedrawCycle::Plain;
    bool axesSetBlack = true;         // plain axes first reset the colour to black
    bool gridFont10 = false;          // grid numbers in 10 pt (else the axes' 12 pt)
    bool gridDisablesFeature = true;  // grid-on disables the feature button, blanks its label
    bool gridOffRedraws = false;      // outside overlay, grid-off runs the redraw button's click
    bool emptiesResults = true;       // the cycle empties the look-up results (Ty1, ty3, Tx2, Tx3)
    QColor previewColor{0, 255, 0};

    // Where the tools put their controls.
    QString printButton = QStringLiteral("Command5");  // the name the print button gets
    QPoint readoutPos{656, 448};
    QPoint freehandPos{376, 448};
    QPoint fullScreenPos{560, 456};  // 全屏展示 (Commandquanpin)
    QPoint copyPos{560, 488};        // 复制; 保存 80 and 打印 160 pixels to its right
    int outputButtonWidth = 65;      // width of 复制/保存/打印 (33 high)
    // The row of the frame's small buttons (撤销, 重做, 听图像), clear of
    // every designed control. Empty: right of 全屏展示, between the pointer
    // readout and the output buttons, where every layout leaves room.
    QRect smallButtonRow;
};

// The controls the frame works with, bound by the family's layout table
// (button("Command1", ...).bind(&frame_.redraw)) and checked by finish().
struct FrameControls {
    QPushButton* redraw = nullptr;        // 刷新作图
    QPushButton* overlay = nullptr;       // 覆盖作图 / 结束覆盖
    QPushButton* commit = nullptr;        // 确定覆盖
    QPushButton* grid = nullptr;          // 显示网格 / 去掉网格
    QCheckBox* hideAxes = nullptr;        // Checkhide
    QCheckBox* showExpression = nullptr;  // Check1
    QLabel* current = nullptr;            // the current function or equation; the heading of a printed page
    QLineEdit* firstParam = nullptr;      // where redraw/overlay put the focus (when they move it)
    QPushButton* feature = nullptr;       // overlay special-feature button, if any
    QLabel* featureLabel = nullptr;       // its result label (blanked to two blanks), if any
    LookupControls yLookup, xLookup;      // Frame1(0), Frame1(1)
    std::vector<SliderLink> sliders;
    // Labels (or boxes) emptied by the redraw button / by drawOverlayCurve, with the text they get.
    std::vector<std::pair<QWidget*, QString>> redrawEmpties, overlayEmpties;
};

// The object names of the frame's four buttons, as most windows name them.
struct FrameButtonNames {
    const char* redraw = "Command1";
    const char* overlay = "fugai";
    const char* commit = "Commandfgqd";
    const char* grid = "wangge";
};

class FamilyWindow : public QWidget {
    Q_OBJECT
public:
    explicit FamilyWindow(FamilyTraits traits, QWidget* parent = nullptr);
    ~FamilyWindow() override;

    const FamilyTraits& traits() const { return traits_; }

    // Slot i (0, 1, 2) of the small buttons' row: 撤销, 重做, 听图像.
    QRect smallButtonSlot(int i) const;
    const FrameControls& frameControls() const { return frame_; }
    Canvas& canvas() { return *canvas_; }
    CanvasWidget* canvasWidget() { return canvasWidget_; }
    const Picture& picture2() const { return picture2_; }
    // The tools on the canvas take its events in the order they were added.
    void addTool(CanvasTool* tool) { tools_.push_back(tool); }
    const std::vector<CanvasTool*>& tools() const { return tools_; }
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
    // The text of a label, box, button or panel.
    static void setControlText(QWidget* w, const QString& text);

    // A message box; title "提示", one OK button, no icon unless given.
    MsgReply message(const QString& text, const QString& title = QStringLiteral("提示"),
                     MsgButtons buttons = MsgButtons::OK, MsgIcon icon = MsgIcon::None);
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
    // A handler runs or a tool is in the middle of something.
    bool busy() const;

    // --- what lasts: the window's view, its undo history, the recovery file
    // (the view keeper's; see view_keeper.h) ---
    ViewKeeper& views() { return *views_; }
    const ViewKeeper& views() const { return *views_; }
    // The frame's own part of a view (everything but the controls), taken
    // and put back by the view keeper.
    void fillView(View& v) const;
    void applyView(const View& v);

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
    bool eventFilter(QObject* watched, QEvent* event) override;

    FamilyTraits traits_;
    FrameControls frame_;

private:
    void emptyResults();
    void gridCaptionOff();
    void featureOff();
    void emptyLabels(const std::vector<std::pair<QWidget*, QString>>& list);
    // Reports the controls the frame needs that the table did not bind.
    void checkBound();
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
    ViewKeeper* views_ = nullptr;     // a child of the window
    std::vector<CanvasTool*> tools_;  // children of the window, in the order added
    QPushButton *undoButton_ = nullptr, *redoButton_ = nullptr;
};
