// vesmar-bench: for every plot window, the median and 95th percentile of one
// full redraw (the redraw button's whole path: clear, axes, curve, labels), of
// the same followed by painting the picture at scale 2 (a HiDPI screen), and
// of one slider step in overlay mode (restore the saved picture, preview);
// then one paint of a 2000 x 2000 square (the full-screen viewer on a panel).
#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "driver/driver.h"
#include "frame/family_manager.h"
#include "frame/family_window.h"

namespace {

struct Stat {
    double median, p95;
};

Stat measure(int runs, const std::function<void(int)>& step) {
    std::vector<double> us;
    us.reserve(runs);
    for (int i = 0; i < 20; ++i) step(i);  // warm up
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        step(i);
        us.push_back(t.nsecsElapsed() / 1000.0);
    }
    std::sort(us.begin(), us.end());
    return {us[us.size() / 2], us[std::min(us.size() - 1, size_t(us.size() * 0.95))]};
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    setupApplication(app);
    app.setQuitOnLastWindowClosed(false);
    int messages = 0;
    ScriptDriver driver([&](const QString&) { ++messages; });
    const int runs = argc > 1 ? std::max(50, atoi(argv[1])) : 400;

    std::printf("%-12s %10s %10s %10s %10s %10s %10s\n", "family", "redraw", "p95", "redraw x2", "p95", "overlay",
                "p95");
    std::printf("%-12s %10s %10s %10s %10s %10s %10s\n", "", "med us", "us", "med us", "us", "med us", "us");
    const QString only = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
    Picture fullScreenPicture;
    for (const FamilyEntry& e : familyTable()) {
        if (!only.isEmpty() && e.key != only) continue;
        FamilyWindow* w = FamilyManager::instance().open(e);
        if (!w) {
            std::printf("%-12s %14s\n", qPrintable(e.key), "(not built)");
            continue;
        }
        QCoreApplication::processEvents();
        QAbstractButton* redraw = w->frameControls().redraw;
        const Stat r = measure(runs, [&](int) { redraw->click(); });
        // A redraw as a dense screen sees it: the picture painted at twice the size.
        quint64 sink = 0;
        const Stat r2 = measure(runs, [&](int) {
            redraw->click();
            sink += quint64(w->canvas().render(2).width());
        });
        if (sink == 0) std::printf("(nothing painted)\n");
        Stat o{0, 0};
        QScrollBar* s = w->frameControls().sliders.empty() ? nullptr : w->frameControls().sliders.front().slider;
        QAbstractButton* overlay = w->frameControls().overlay;
        if (s && overlay) {
            overlay->click();
            // Two neighbouring positions away from 0, where several families
            // answer with a message instead of a curve.
            int a = s->value();
            if (a == 0) a = a < s->maximum() ? 1 : -1;
            int b = a + 1 <= s->maximum() && a + 1 != 0 ? a + 1 : a - 1;
            if (b == 0) b = a - 1;
            o = measure(runs, [&](int i) { s->setValue(i % 2 ? a : b); });
            overlay->click();
        }
        std::printf("%-12s %10.1f %10.1f %10.1f %10.1f %10.1f %10.1f\n", qPrintable(e.key), r.median, r.p95, r2.median,
                    r2.p95, o.median, o.p95);
        std::fflush(stdout);
        if (e.key == QLatin1String("sine")) fullScreenPicture = w->canvas().picture();
        w->close();
        QCoreApplication::processEvents();
    }
    if (!fullScreenPicture.isNull()) {
        // The viewer paints its square afresh only when its size changes.
        const Stat f = measure(std::max(20, runs / 10), [&](int) {
            const QImage big = fullScreenPicture.render(2000.0 / picture::kSize);
            if (big.width() != 2000) std::printf("(wrong size %d)\n", big.width());
        });
        std::printf("full-screen 2000 x 2000 paint (sine): median %.1f us, p95 %.1f us\n", f.median, f.p95);
    }
    if (messages) std::printf("(%d message boxes answered during the runs)\n", messages);
    return 0;
}
