#include "tools/freehand.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <cmath>

#include "render/canvas_widget.h"
#include "frame/controls.h"
#include "frame/family_window.h"

namespace freehand {

namespace {
struct NamedColor {
    const char* name;
    QColor color;
};
const NamedColor kColors[] = {
    {"黑色", QColor(0, 0, 0)},   {"绿色", QColor(0, 255, 0)},   {"蓝色", QColor(0, 0, 255)},
    {"红色", QColor(255, 0, 0)}, {"黄色", QColor(255, 255, 0)},
};
}  // namespace

QStringList colorNames() {
    QStringList names;
    for (const NamedColor& c : kColors) names << QString::fromUtf8(c.name);
    return names;
}

QColor colorOf(const QString& item) {
    for (const NamedColor& c : kColors)
        if (item == QString::fromUtf8(c.name)) return c.color;
    return {};
}

float large(float a, float b) { return b > a ? b : a; }
float small(float a, float b) { return b < a ? b : a; }

std::optional<Ellipse> ellipseOf(float x0, float y0, float x1, float y1) {
    const float w = std::fabs(x1 - x0), h = std::fabs(y1 - y0);
    if (!(w > 0) || !std::isfinite(w) || !std::isfinite(h)) return std::nullopt;
    // A circle of the larger semi-axis squeezed by the aspect ratio: the
    // horizontal semi-axis when the shape is wide, the vertical one when tall.
    return Ellipse{(x0 + x1) / 2, (y0 + y1) / 2, large(w, h) / 2, h / w};
}

}  // namespace freehand

using freehand::Tool;

namespace {
const QColor kWhite(255, 255, 255);
const QColor kOutline(0, 0, 0);
constexpr int kEraserPixels = 9;
}  // namespace

FreehandTools::FreehandTools(FamilyWindow& window) : QObject(&window), w_(window) {
    const QPoint at = w_.traits().freehandPos;
    // options_ in the order of freehand::Tool.
    QComboBox* colours = nullptr;
    buildControls(&w_,
                  {
                      panel("Frmdraw", at.x(), at.y(), 177, 89, "手绘项目面板")
                          .tooltip("选择相应功能后，在上面画板中，按住鼠标不放并拖曳就可绘图。")
                          .toolOwned(),
                      radio("Option1sh", 8, 16, 65, 17, "直线").in("Frmdraw").toolOwned().bind(&options_[1]),
                      radio("Option2sh", 8, 32, 81, 17, "圆或椭圆").in("Frmdraw").toolOwned().bind(&options_[2]),
                      radio("Option3sh", 8, 48, 73, 17, "随意绘").in("Frmdraw").toolOwned().bind(&options_[3]),
                      radio("Option5sh", 8, 64, 81, 17, "录入文字").in("Frmdraw").toolOwned().bind(&options_[4]),
                      radio("Option6sh", 96, 48, 73, 17, "橡皮").in("Frmdraw").toolOwned().bind(&options_[5]),
                      radio("Option4sh", 96, 64, 73, 17, "取消手绘").in("Frmdraw").toolOwned().on().bind(&options_[0]),
                      combo("Combo1sh", 88, 16, 57, 20).in("Frmdraw").toolOwned().spoken("手绘颜色").bind(&colours),
                      label("Labcolor", 144, 16, 25, 17).in("Frmdraw").toolOwned().back(0, 0, 0).bind(&swatch_),
                  });
    if (QComboBox* combo = colours) {
        if (combo->count() == 0) combo->addItems(freehand::colorNames());
        combo->setCurrentIndex(0);
        QObject::connect(combo, &QComboBox::currentIndexChanged, this,
                         [this, combo](int i) { colorChosen(combo->itemText(i)); });
    }
    if (CanvasWidget* cw = w_.canvasWidget()) {
        cw->line1 = FloatingLine{false, QLineF(), kOutline};
        cw->shape1 = FloatingShape{};
        cw->shape1.pixelSize = QSize(kEraserPixels, kEraserPixels);
        cw->shape1.color = kOutline;
        cw->shape2 = FloatingShape{};
        cw->shape2.oval = true;
        cw->shape2.color = kOutline;
        QObject::connect(cw, &CanvasWidget::textKey, this, [this](int key) { textKey(key); });
    }
}

Tool FreehandTools::tool() const {
    for (int i = 0; i < 6; ++i)
        if (options_[i] && options_[i]->isChecked()) return Tool(i);
    return Tool::None;
}

void FreehandTools::colorChosen(const QString& item) {
    const QColor c = freehand::colorOf(item);
    if (!c.isValid()) return;
    color_ = c;
    if (swatch_) {
        QPalette pal = swatch_->palette();
        pal.setColor(QPalette::Window, c);
        swatch_->setPalette(pal);
    }
}

void FreehandTools::press(Qt::MouseButton b, double x, double y) {
    CanvasWidget* cw = w_.canvasWidget();
    const float fx = float(x), fy = float(y);
    if (!cw || !std::isfinite(fx) || !std::isfinite(fy)) return;
    const Tool t = tool();
    buttonDown_ = true;
    if (b == Qt::LeftButton) {
        lineStartX_ = fx;
        lineStartY_ = fy;
    }
    dragStartX_ = fx;
    dragStartY_ = fy;
    if (t == Tool::Line) cw->line1.visible = true;  // old end points until the first move
    if (t == Tool::Text) {
        QLineEdit* box = cw->textBox();
        textX_ = fx;
        textY_ = fy;
        cw->placeTextBox(fx, fy);
        box->clear();
        box->show();
        box->setFocus(Qt::MouseFocusReason);
    }
    // Every press takes the swatch colour, whatever the tool: curves drawn
    // later (with the axes hidden, or axes that keep the colour) show it
    // until the plot sets black again.
    Canvas& c = w_.canvas();
    c.setForeColor(color_);
    c.currentX = fx;
    c.currentY = fy;
    cw->update();
}

void FreehandTools::move(Qt::MouseButtons b, double x, double y) {
    CanvasWidget* cw = w_.canvasWidget();
    const float fx = float(x), fy = float(y);
    if (!cw || !std::isfinite(fx) || !std::isfinite(fy)) return;
    const Tool t = tool();
    Canvas& c = w_.canvas();
    Qt::CursorShape shape = Qt::ArrowCursor;
    if (t != Tool::None) {
        shape = Qt::CrossCursor;
        if (t == Tool::Stroke && buttonDown_) {
            marked_ = true;
            c.line(c.currentX, c.currentY, fx, fy);
            c.currentX = fx;
            c.currentY = fy;
        } else if (t == Tool::Line && buttonDown_) {
            cw->line1.world = QLineF(lineStartX_, lineStartY_, fx, fy);
        }
    }
    if (t == Tool::Eraser) {
        shape = Qt::ArrowCursor;
        cw->shape1.visible = true;
        cw->shape1.topLeft = QPointF(fx, fy);
        if (b == Qt::LeftButton) {
            // The white box covers exactly the 9 x 9 pixels under the square:
            // corners half a pixel inside the pixel grid, so rounding cannot
            // make it 8 or 10 wide.
            const QPoint p = c.pixelAt(fx, fy);
            const QPointF a = c.toWorld(p.x() + 0.5, p.y() + 0.5);
            const QPointF z = c.toWorld(p.x() + kEraserPixels + 0.5, p.y() + kEraserPixels + 0.5);
            c.box(a.x(), a.y(), z.x(), z.y(), kWhite);
            marked_ = true;
        }
    } else {
        cw->shape1.visible = false;
    }
    if (t == Tool::Ellipse && b == Qt::LeftButton) {
        cw->shape2.visible = true;
        cw->shape2.topLeft = QPointF(freehand::small(dragStartX_, fx), freehand::large(dragStartY_, fy));
        cw->shape2.worldSize = QSizeF(std::fabs(fx - dragStartX_), std::fabs(fy - dragStartY_));
    }
    if (cw->cursor().shape() != shape) cw->setCursor(shape);
    cw->update();
}

void FreehandTools::release(Qt::MouseButton, double x, double y) {
    CanvasWidget* cw = w_.canvasWidget();
    const float fx = float(x), fy = float(y);
    if (!cw) return;
    const Tool t = tool();
    Canvas& c = w_.canvas();
    const bool at = std::isfinite(fx) && std::isfinite(fy);
    if (t != Tool::Text) cw->textBox()->hide();
    if (t == Tool::Line) {
        // From the last left-button press, whichever button is released.
        if (at) {
            c.line(lineStartX_, lineStartY_, fx, fy);
            marked_ = true;
        }
        cw->line1.visible = false;
    }
    if (t == Tool::Ellipse) {
        if (buttonDown_ && at) {
            if (const auto e = freehand::ellipseOf(dragStartX_, dragStartY_, fx, fy)) {
                c.circle(e->cx, e->cy, e->r, e->aspect);
                marked_ = true;
            }
        }
        cw->shape2.visible = false;
    }
    // Cleared on every release, also after a drag without width, so that a
    // later free stroke draws only while a button is held.
    buttonDown_ = false;
    cw->update();
    // One drag is one mark, however many pieces it drew.
    if (marked_) {
        marked_ = false;
        w_.noteAnnotation();
    }
    // A line, a shape, a stroke or an eraser drag ends here: one step.
    w_.views().checkpoint();
}

void FreehandTools::textKey(int key) {
    CanvasWidget* cw = w_.canvasWidget();
    if (!cw) return;
    Canvas& c = w_.canvas();
    c.currentX = textX_;
    c.currentY = textY_;
    if (key != Qt::Key_Return && key != Qt::Key_Enter) return;
    QLineEdit* box = cw->textBox();
    c.print(box->text().trimmed());
    box->hide();
    if (!box->text().trimmed().isEmpty()) w_.noteAnnotation();
    w_.views().checkpoint();
}

void FreehandTools::hideMarkers() {
    CanvasWidget* cw = w_.canvasWidget();
    if (!cw) return;
    cw->line1.visible = false;
    cw->shape1.visible = false;
    cw->shape2.visible = false;
    cw->textBox()->hide();
    cw->update();
}
