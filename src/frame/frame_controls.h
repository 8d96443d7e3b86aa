#pragma once
// The controls the frame works with, as the family's layout table binds
// them, and the check that every one it needs was bound.
#include <QString>
#include <functional>
#include <utility>
#include <vector>

#include "frame/lookup_panel.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;
class QWidget;

// How one slider feeds its text box.
struct SliderLink {
    QScrollBar* slider = nullptr;  // HScroll1
    QLineEdit* text = nullptr;     // Text1(0)
    // The text the box receives for a slider position; whole-number text
    // when empty.
    std::function<QString(int)> format;
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

// Reports (as a missing control) each control the frame needs that the
// table did not bind: the first parameter box where the cycle moves the
// focus there, the result boxes where it empties them.
void checkBound(const FrameControls& c, const QString& window, bool needsFirstParam, bool needsResults);
