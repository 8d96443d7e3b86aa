// The window of y = log_a x: a dotted plot over the right half-plane, the
// natural-base shortcut, and the look-ups through logarithms (y for x) and
// powers (x for y).
#include <QLineEdit>
#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <cmath>

#include "families/algebraic/exp_log.h"
#include "families/factories.h"
#include "numfmt/numfmt.h"
#include "frame/controls.h"

namespace {

class LogarithmWindow : public ExpLogWindow {
public:
    LogarithmWindow()
        : ExpLogWindow({6, "logarithm", "对数函数的取值和图像", "对数函数图像", "对数函数通式：Y = loga X", "10",
                        QPoint(664, 440), QPoint(376, 440), QPoint(560, 448), QPoint(560, 480)}) {
        build({
            label("Label3", 16, 112, 257, 21, "取自然对数（a＝2.71828...）")
                .font("宋体", 10.5)
                .color(0, 0, 192)
                .bind(&shortcut_),
        });
        shortcut_->setCursor(Qt::PointingHandCursor);
        // The highlight follows the pointer without a button held.
        shortcut_->setMouseTracking(true);
        shortcut_->installEventFilter(this);
        setMouseTracking(true);
        finish();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (watched == shortcut_) {
            if (e->type() == QEvent::MouseMove || e->type() == QEvent::Enter) {
                highlight(true);
                // Handled here: passed on, the move would reach the window
                // surface below and take the highlight away at once.
                return e->type() == QEvent::MouseMove;
            } else if (e->type() == QEvent::MouseButtonRelease) {
                auto* m = static_cast<QMouseEvent*>(e);
                if (m->button() == Qt::LeftButton && shortcut_->rect().contains(m->position().toPoint()))
                    base_->setText(numfmt::text(2.71828f));
            }
        }
        return ExpLogWindow::eventFilter(watched, e);
    }

    // The bare window surface takes the highlight away again.
    void mouseMoveEvent(QMouseEvent* e) override {
        highlight(false);
        ExpLogWindow::mouseMoveEvent(e);
    }

private:
    void highlight(bool on) {
        QFont f = shortcut_->font();
        f.setBold(on);
        f.setItalic(on);
        shortcut_->setFont(f);
        QPalette pal = shortcut_->palette();
        pal.setColor(QPalette::Window, on ? QColor(255, 255, 255) : palette().color(QPalette::Window));
        shortcut_->setPalette(pal);
        shortcut_->setAutoFillBackground(on);
    }

    void drawCurve() override {
        const auto a = readValue(base_);
        if (!a) return;
        if (!checkBase(*a)) return;
        drawnBase_ = *a;
        frame_.xLookup.equation->clear();
        const explog::Dots dots = explog::logarithmDots(*a);
        drawDots(dots.points);
        // ln 1 / ln a: every curve of the family crosses the X axis at (1, 0).
        writeExpression(1, std::log(1.0) / std::log(double(*a)), explog::logarithmCanvasText(*a),
                        explog::logarithmLabel(*a));
    }

    QStringList curveFeatures() const override { return explog::logarithmFeatures(drawnBase_); }

    void lookupX() override { lookupXWith(explog::power, explog::logarithmEquation, false); }

    void lookupY() override {
        // No separate domain message: x <= 0 has no logarithm.
        lookupYWith([](float a, float x) { return explog::logarithm(x, a); });
    }

    QLabel* shortcut_ = nullptr;
};

}  // namespace

FamilyWindow* createLogarithm() { return new LogarithmWindow; }
