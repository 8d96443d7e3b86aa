#pragma once
// The frame every plot window is built on: the canvas Picture1 with its hidden
// companion Picture2, the axes and the grid, the parameter boxes and sliders,
// the redraw cycle, overlay mode, the look-up plumbing, message boxes, and the
// pointer, freehand and output tools. A family adds its controls (a Ctl
// table), its traits (how its window differs from the common cycle), and its
// mathematics through a few virtual functions.
#include <QColor>
#include <QImage>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <initializer_list>
#include <memory>
#include <vector>

#include "plot/canvas.h"
#include "plot/controls.h"
#include "platform/platform.h"

class CanvasWidget;
class QLineEdit;
class QLabel;
class QPushButton;
class QScrollBar;
class QCheckBox;
class PointerTool;
class FreehandTools;
class OutputTools;

// How one slider feeds its text box.
struct SliderLink {
    QString slider;  // "HScroll1"
    QString text;    // "Text1(0)"
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

// Where a family window departs from the common redraw cycle.
struct FamilyTraits {
    int number = 0;    // window number: Form<number>, full-screen source
    QString key;       // "linear", "quadratic", ...
    QString title;     // window caption
    QString fileName;  // default name in the save dialog

    // Names of the frame's buttons in this window.
    QString redrawButton = QStringLiteral("Command1");
    QString overlayButton = QStringLiteral("fugai");
    QString commitButton = QStringLiteral("Commandfgqd");
    QString gridButton = QStringLiteral("wangge");
    QString featureButton;  // overlay special-feature button; empty if none
    QString featureLabel;   // its result label (blanked to two blanks); empty if none
    QString printButton = QStringLiteral("Command5");
    QString headingLabel;  // label printed as the heading of a printed page

    std::vector<SliderLink> sliders;
    QString firstParam = QStringLiteral("Text1(0)");  // where redraw/overlay put the focus
    QStringList lookupResults = {QStringLiteral("Ty1"), QStringLiteral("Tx2")};
    // Labels emptied by the redraw button / by drawOverlayCurve (name, text).
    std::vector<std::pair<QString, QString>> redrawEmpties;
    std::vector<std::pair<QString, QString>> overlayEmpties;

    bool axesSetBlack = true;         // plain axes first reset the colour to black
    bool gridFont10 = false;          // grid numbers in 10 pt (else the axes' 12 pt)
    bool gridDisablesFeature = true;  // grid-on disables the feature button, blanks its label
    bool gridOffRedraws = false;      // outside overlay, grid-off runs the redraw button's click
    RedrawCycle cycle = RedrawCycle::Plain;
    QColor previewColor{0, 255, 0};
    // Place of the pointer readout, freehand panel and output group.
    QPoint readoutPos{656, 448};
    QPoint freehandPos{376, 448};
    QPoint fullScreenPos{560, 456};  // 全屏展示 (Commandquanpin)
    QPoint copyPos{560, 488};        // 复制; 保存 80 and 打印 160 pixels to its right
    int outputButtonWidth = 65;      // width of 复制/保存/打印 (33 high)
};

class FamilyWindow : public QWidget {
    Q_OBJECT
public:
    explicit FamilyWindow(FamilyTraits traits, QWidget* parent = nullptr);
    ~FamilyWindow() override;

    const FamilyTraits& traits() const { return traits_; }
    Canvas& canvas() { return *canvas_; }
    CanvasWidget* canvasWidget() { return canvasWidget_; }
    const Picture& picture2() const { return picture2_; }
    PointerTool* pointer() { return pointer_; }
    FreehandTools* freehand() { return freehand_; }
    OutputTools* output() { return output_; }

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

    // A control by name, nullptr when the window has none of that name.
    QWidget* control(const QString& name) const;
    // The following name a control the window must have; a missing one is
    // reported (reportMissingControl) and the call does nothing.
    QString text(const QString& name) const;
    void setText(const QString& name, const QString& text);
    float number(const QString& name) const;  // text-to-number of a box, as single
    double numberDouble(const QString& name) const;
    void focusOn(const QString& name);
    void setEnabledControl(const QString& name, bool on);
    void setVisibleControl(const QString& name, bool on);
    void onClick(const QString& name, std::function<void()> handler);

    // A message box; title "提示", one OK button, no icon unless given.
    MsgReply message(const QString& text, const QString& title = QStringLiteral("提示"),
                     MsgButtons buttons = MsgButtons::OK, MsgIcon icon = MsgIcon::None);
    // The window's message for a value that leaves the computable range; the
    // action that met it stops.
    void tooLargeMessage();

signals:
    void closed(FamilyWindow* w);

protected:
    // Lays out the family's controls; call from the family's constructor, then finish().
    void build(std::initializer_list<Ctl> table);
    // Connects the common buttons and sliders and creates the tools; call last
    // in the family constructor.
    void finish();

    // The family's plot: reads its parameters from the boxes and draws.
    virtual void drawCurve() = 0;
    // The extra marks of this window's axes (drawn before the letters).
    virtual void drawAxisMarks() {}
    // Remember the parameters just read as those of the first overlay curve.
    virtual void keepFirstCurve() {}
    virtual void lookupY() {}  // cay
    virtual void lookupX() {}  // cax

    void showEvent(QShowEvent*) override;
    void closeEvent(QCloseEvent*) override;

    FamilyTraits traits_;

private:
    void emptyResults();
    void gridCaptionOff();
    void featureOff();
    void emptyLabels(const std::vector<std::pair<QString, QString>>& list);
    QWidget* required(const QString& name) const;
    // Runs one handler of the window. A slider change that arrives while a
    // handler runs (from the event loop of a message box the handler opened,
    // where a held scroll-bar arrow or key keeps stepping) waits, and runs
    // after the handler with the slider's value then: the box's answer
    // applies to the values it was asked about.
    void runHandler(const std::function<void()>& handler);
    void applySliderChange(const SliderLink& link, int value);
    void runWaitingSliderChanges();
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
    bool axesDrawnOnce_ = false;
    int handlerDepth_ = 0;
    std::vector<QString> waitingSliders_;  // sliders whose change waits, in order
    // Children of the window, made by finish().
    PointerTool* pointer_ = nullptr;
    FreehandTools* freehand_ = nullptr;
    OutputTools* output_ = nullptr;
};
