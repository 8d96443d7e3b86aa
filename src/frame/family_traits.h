#pragma once
// How a family window differs from the common redraw cycle and where its
// frame's pieces stand: plain data, known before the window's controls exist.
#include <QColor>
#include <QPoint>
#include <QRect>
#include <QString>

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
    // Where 参数动画 (Animsh) stands, clear of every designed control, the
    // hidden ones too (they show in other modes). Empty where the layout
    // leaves no such place (the quadratic and circle windows): the button
    // then stands where 确定覆盖 does, which shows only in overlay mode,
    // where no animation plays, and the two take turns.
    QRect animatorButton;
};

// What each redraw cycle does beyond the common steps.
inline bool movesFocus(RedrawCycle c) { return c != RedrawCycle::Plain; }
inline bool overlayEmptiesResults(RedrawCycle c) { return c != RedrawCycle::Plain; }
inline bool commitEmptiesResults(RedrawCycle c) { return c == RedrawCycle::Linear; }
inline bool countsCommits(RedrawCycle c) { return c == RedrawCycle::Linear; }

// Slot i (0, 1, 2) of the row of the frame's small buttons (撤销, 重做,
// 听图像) in a window of this width.
QRect smallButtonSlot(const FamilyTraits& traits, int windowWidth, int i);
