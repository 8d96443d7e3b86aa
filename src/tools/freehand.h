#pragma once
// The freehand drawing tools of a plot window: the panel Frmdraw with its
// tools and colours, and what a press, move and release on the canvas draw.
#include <QColor>
#include <QObject>
#include <QString>
#include <QStringList>
#include <Qt>
#include <optional>

#include "frame/canvas_tool.h"

class FamilyWindow;
class QLabel;
class QRadioButton;

namespace freehand {

enum class Tool { None, Line, Ellipse, Stroke, Text, Eraser };

// The items of Combo1sh in their order, and the colour each stands for;
// an invalid colour for any other text.
QStringList colorNames();
QColor colorOf(const QString& item);

// The greater and the smaller of two values; a when they are equal.
float large(float a, float b);
float small(float a, float b);

// The ellipse inscribed in the rectangle a drag spans, as the canvas draws
// it: a circle of radius r with aspect = vertical / horizontal semi-axis.
struct Ellipse {
    float cx, cy, r, aspect;
};
// Nothing for a drag without width.
std::optional<Ellipse> ellipseOf(float x0, float y0, float x1, float y1);

}  // namespace freehand

// A child of its window.
class FreehandTools : public QObject, public CanvasTool {
public:
    explicit FreehandTools(FamilyWindow& window);
    void press(Qt::MouseButton b, double x, double y) override;
    void move(Qt::MouseButtons b, double x, double y) override;
    void release(Qt::MouseButton b, double x, double y) override;
    void plotStarting() override { hideMarkers(); }
    void pictureReplaced() override { hideMarkers(); }
    bool busy() const override { return buttonDown_; }
    // Hides the rubber bands, the eraser square and the text box (every plot does).
    void hideMarkers();

    freehand::Tool tool() const;
    QColor color() const { return color_; }
    bool buttonDown() const { return buttonDown_; }

private:
    void colorChosen(const QString& item);
    void textKey(int key);

    FamilyWindow& w_;
    QRadioButton* options_[6] = {};  // in the order of freehand::Tool
    QLabel* swatch_ = nullptr;       // Labcolor
    QColor color_{0, 0, 0};          // the swatch Labcolor's background
    bool buttonDown_ = false;
    bool marked_ = false;                    // the drag under way has drawn on the picture
    float lineStartX_ = 0, lineStartY_ = 0;  // last left-button press
    float dragStartX_ = 0, dragStartY_ = 0;  // last press of any button
    float textX_ = 0, textY_ = 0;            // top-left corner of Textwz, world
};
