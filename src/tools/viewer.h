#pragma once
// The full-screen viewer Form15: one window shared by all plot windows that
// shows a copy of a plot window's picture, stretched to the largest square
// that fits with a margin, on a light green background.
#include <QImage>
#include <QRect>
#include <QSize>
#include <QWidget>

#include "render/picture.h"

class Canvas;

// Image1: a picture painted at the widget's real size in device pixels (not
// a small bitmap stretched), so that a classroom panel shows it sharp.
class PictureView : public QWidget {
    Q_OBJECT
public:
    explicit PictureView(Picture picture, QWidget* parent = nullptr);
    const Picture& picture() const { return picture_; }
    // The image painted last (device pixels), for tests.
    const QImage& painted() const { return painted_; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    Picture picture_;
    QImage painted_;
};

class ViewerWindow : public QWidget {
    Q_OBJECT
public:
    // Client area when it opens.
    static constexpr int kWidth = 798, kHeight = 545;

    explicit ViewerWindow(Picture picture, QWidget* parent = nullptr);

    // The picture on show (the snapshot taken when the viewer loaded).
    const Picture& picture() const { return image1_->picture(); }
    PictureView* image() const { return image1_; }

    // Where Image1 goes for a window of the given outer size (pixels): the
    // largest square that fits less a 600-twip margin, 10 twips from the
    // edge along the shorter side, centred (plus 100 twips) along the longer.
    static QRect imageRect(QSize outer);

    // Opens the viewer with a fresh snapshot of source (the canvas of the
    // window whose button was pressed), or brings an open viewer forward
    // unchanged.
    static ViewerWindow* showFor(const Canvas& source);
    // The open viewer, or nullptr.
    static ViewerWindow* current();

protected:
    void resizeEvent(QResizeEvent*) override;
    // The window manager adds its frame after the first show: the rule
    // counts the outer size, so the picture is placed again then.
    void moveEvent(QMoveEvent*) override;

private:
    void placeImage();

    PictureView* image1_ = nullptr;
};
