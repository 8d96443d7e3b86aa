#pragma once
// The look-up panels of a family window: Frame1(0) "速查y值" (X typed in Tx1,
// cay computes Ty1) and Frame1(1) "速查x值" (y typed in Ty2, cax computes
// Tx2). Every window lays them out in the same order with the same names;
// only the places, the sizes and a few extras differ, so a window describes
// its panels with this struct and the rows are made in one place.
#include <QRect>
#include <QString>

class QWidget;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

struct LookupPanel {
    bool forY = true;  // Frame1(0), or Frame1(1) when false
    QRect frame;
    QString title;        // empty: "速查y值" / "速查x值"
    QString start = "0";  // the input's first text
    // Places inside the frame; "当 X=" / "当 y=" is always at (8, 24).
    QRect input{56, 24, 73, 18};
    QRect when{152, 24, 33, 17};  // "时，"
    QRect button;                 // "计算得"
    QRect caption;                // Label12: "y=" / "X=", "y1=" / "X1=" beside a second result
    QRect result;                 // Ty1 / Tx2
    // A second result (ty3 / Tx3), with its caption Label13 "y2=" / "X2="
    // when caption2 is not empty.
    QRect caption2, result2;
    // "此时方程为：" (Label16) and the equation solved (Labfc3 / Labfc2, dark
    // red), when equation is not empty.
    QRect eqCaption, equation;
    bool smallCaption = false;  // Label16 in 宋体 9 rather than the window's font
    // Label13 and Label16 carry the panel's index, as in windows where both
    // panels have them.
    bool indexed = false;
    QString tip;  // the frame's tooltip
};

// The controls of one panel the window's code works with.
struct LookupControls {
    QGroupBox* frame = nullptr;     // Frame1(0) / Frame1(1)
    QLineEdit* input = nullptr;     // Tx1 / Ty2
    QPushButton* button = nullptr;  // cay / cax
    QLineEdit* result = nullptr;    // Ty1 / Tx2
    QLineEdit* result2 = nullptr;   // ty3 / Tx3, when the panel has a second result
    QLabel* equation = nullptr;     // Labfc3 / Labfc2, when the panel shows the equation
};

// Creates the panel's controls on `window`, in the order the table of a
// window would list them.
LookupControls buildLookupPanel(QWidget* window, const LookupPanel& p);
