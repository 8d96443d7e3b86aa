#include "tools/viewer.h"

#include <QAccessible>
#include <QGuiApplication>
#include <QPainter>
#include <QPointer>
#include <QResizeEvent>
#include <QScreen>
#include <algorithm>
#include <cmath>

#include "platform/platform.h"
#include "render/canvas.h"
#include "frame/accessibility.h"
#include "frame/family_manager.h"

namespace {

QPointer<ViewerWindow> openViewer;

// Choosing a family closes the viewer, like every other family window.
void hookFamilyChoice() {
    static bool hooked = false;
    if (hooked) return;
    hooked = true;
    QObject::connect(&FamilyManager::instance(), &FamilyManager::familyChosen, [] {
        if (openViewer) openViewer->close();
    });
}

}  // namespace

PictureView::PictureView(Picture picture, QWidget* parent) : QWidget(parent), picture_(std::move(picture)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (width() <= 0 || height() <= 0) return;
    const double dpr = devicePixelRatioF();
    // Painted afresh only when the size in device pixels changes; the side is
    // capped, and a square larger than the cap is stretched from it.
    const int side = picture::sideAt(std::min(width(), height()) * dpr / picture::kSize);
    if (painted_.width() != side) painted_ = picture_.render(double(side) / picture::kSize);
    // Without smoothing: every colour of the picture stays exact.
    p.drawImage(QRectF(rect()), painted_);
}

ViewerWindow::ViewerWindow(Picture picture, QWidget* parent) : QWidget(parent, Qt::Window) {
    a11y::markWindow(this);
    setObjectName(QStringLiteral("Form15"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("图像全屏展示"));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(192, 255, 192));
    setPalette(pal);
    setAutoFillBackground(true);

    image1_ = new PictureView(std::move(picture), this);
    image1_->setObjectName(QStringLiteral("Image1"));
    image1_->setProperty("a11yRole", int(QAccessible::Graphic));
    image1_->setAccessibleName(QStringLiteral("全屏展示的函数图像"));

    resize(kWidth, kHeight);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(kWidth / 2, kHeight / 2));
    }
    // Stacking must be set before the window is first shown.
    platform().makeTopmost(this);
    placeImage();
}

QRect ViewerWindow::imageRect(QSize outer) {
    // The rule works in twips, 15 to a pixel at 96 dots per inch.
    constexpr double kTwips = 15;
    const double W = outer.width() * kTwips, H = outer.height() * kTwips;
    double h = H - 600, w = W - 600, left = 10, top = 10;
    if (h < w) {
        w = h;
        left = (W - w) / 2 + 100;
    } else {
        h = w;
        top = (H - h) / 2 + 100;
    }
    auto px = [&](double t) { return int(std::lround(t / kTwips)); };
    // A window too small for the margin shows no picture rather than a negative one.
    const int side = std::max(0, px(w));
    return QRect(px(left), px(top), side, side);
}

void ViewerWindow::placeImage() { image1_->setGeometry(imageRect(frameGeometry().size())); }

void ViewerWindow::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    placeImage();
}

void ViewerWindow::moveEvent(QMoveEvent* e) {
    QWidget::moveEvent(e);
    placeImage();
}

ViewerWindow* ViewerWindow::current() { return openViewer && openViewer->isVisible() ? openViewer.data() : nullptr; }

ViewerWindow* ViewerWindow::showFor(const Canvas& source) {
    hookFamilyChoice();
    if (ViewerWindow* v = current()) {
        // Brought forward with the picture it loaded with.
        if (v->isMinimized()) v->setWindowState(v->windowState() & ~Qt::WindowMinimized);
        v->raise();
        v->activateWindow();
        return v;
    }
    auto* v = new ViewerWindow(source.picture());
    openViewer = v;
    v->show();
    v->placeImage();
    v->raise();
    v->activateWindow();
    return v;
}
