#pragma once
// What a control shows when it has the keyboard focus.
#include <QImage>
#include <QWidget>
#include <QtTest>
#include <cmath>

// The share of the pixels on ring r (0: the outermost) of two same-sized
// images that differ: how much of a frame drawn there is visible.
inline double ringChanged(const QImage& a, const QImage& b, int r) {
    int n = 0, changed = 0;
    for (int y = r; y < a.height() - r; ++y)
        for (int x = r; x < a.width() - r; ++x) {
            if (x != r && y != r && x != a.width() - 1 - r && y != a.height() - 1 - r) continue;
            ++n;
            changed += a.pixel(x, y) != b.pixel(x, y);
        }
    return n ? double(changed) / n : 0;
}

// A slider with the keyboard focus shows a frame that covers the outer
// rings of its device pixels, one window pixel deep, at the screen's scale.
inline void checkSliderFocusFrame(QWidget* window, QWidget* slider, QWidget* elsewhere) {
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
    elsewhere->setFocus(Qt::OtherFocusReason);
    QVERIFY(!slider->hasFocus());
    const QImage without = slider->grab().toImage();
    slider->setFocus(Qt::TabFocusReason);
    QVERIFY(slider->hasFocus());
    const QImage with = slider->grab().toImage();
    QCOMPARE(with.size(), without.size());
    const int rings = int(std::lround(slider->devicePixelRatioF()));
    for (int r = 0; r < rings; ++r) {
        const double share = ringChanged(without, with, r);
        QVERIFY2(share > 0.9, qPrintable(QStringLiteral("ring %1: %2 changed").arg(r).arg(share)));
    }
}
