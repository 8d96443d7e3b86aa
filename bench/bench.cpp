// vesmar-bench: for every plot window, the median and 95th percentile of one
// full redraw (the redraw button's whole path: clear, axes, curve, labels), of
// the same followed by painting the picture at scale 2 (a HiDPI screen), and
// of one slider step in overlay mode (restore the saved picture, preview),
// and of the click as a user makes it (the redraw and the event loop's work
// it leaves: the window's repaint, what is announced);
// then one paint of a 2000 x 2000 square (the full-screen viewer on a panel);
// then, on a heavy window (sine, 20 overlaid curves, 1000 free strokes), one
// undo or redo at scale 1 and 2, saving and opening it as a plot file, one
// write of the recovery file, and the memory of 200 steps of its history.
#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "driver/driver.h"
#include "driver/named.h"
#include "expr/analysis.h"
#include "expr/function.h"
#include "frame/family_manager.h"
#include "frame/family_window.h"
#include "frame/plot_file.h"
#include "frame/recovery.h"
#include "render/canvas_widget.h"
#include "render/gif_writer.h"
#include "tools/animator.h"
#include "tools/freehand.h"
#include "tools/install.h"

#include <QFileInfo>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTimer>
#include <QTemporaryDir>

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

// One full redraw, and the same with the picture painted at twice the size
// (a redraw as a dense screen sees it); false when nothing was painted.
bool redraws(FamilyWindow* w, int runs, Stat& once, Stat& atTwo) {
    QAbstractButton* redraw = w->frameControls().redraw;
    once = measure(runs, [&](int) { redraw->click(); });
    quint64 sink = 0;
    atTwo = measure(runs, [&](int) {
        redraw->click();
        sink += quint64(w->canvas().render(2).width());
    });
    return sink != 0;
}

// Free strokes of a few segments each, spread over the canvas.
void strokes(FamilyWindow* w, int n, int from) {
    FreehandTools* f = toolOf<FreehandTools>(*w);
    for (int i = from; i < from + n; ++i) {
        const double x = -9.5 + (i % 38) * 0.5, y = -9.5 + (i / 38 % 38) * 0.5;
        f->press(Qt::LeftButton, x, y);
        for (int k = 1; k <= 4; ++k) f->move(Qt::LeftButton, x + k * 0.1, y + (k % 2) * 0.2);
        f->release(Qt::LeftButton, x + 0.4, y);
    }
}

void heavyWindow(int runs) {
    const FamilyEntry* e = familyByKey(QStringLiteral("sine"));
    FamilyWindow* w = e ? FamilyManager::instance().open(*e) : nullptr;
    if (!w) return;
    QCoreApplication::processEvents();
    const FrameControls& c = w->frameControls();
    QScrollBar* s = c.sliders.empty() ? nullptr : c.sliders.front().slider;
    if (!s) return;
    c.redraw->click();
    c.overlay->click();
    for (int i = 0; i < 20; ++i) {
        s->setValue(s->minimum() + (i * 7) % (s->maximum() - s->minimum() + 1));
        c.commit->click();
    }
    if (auto* stroke = w->findChild<QRadioButton*>(QStringLiteral("Option3sh"))) stroke->setChecked(true);
    strokes(w, 1000, 0);
    std::printf("\nheavy window: sine, 20 overlaid curves, 1000 free strokes (%d steps in its history)\n",
                w->views().history().steps());
    const Stat u = measure(runs, [&](int i) { i % 2 ? w->views().redo() : w->views().undo(); });
    std::printf("undo or redo one step, scale 1: median %.1f us, p95 %.1f us\n", u.median, u.p95);
    quint64 sink = 0;
    const Stat u2 = measure(runs, [&](int i) {
        i % 2 ? w->views().redo() : w->views().undo();
        sink += quint64(w->canvas().render(2).width());
    });
    std::printf("undo or redo one step, scale 2: median %.1f us, p95 %.1f us\n", u2.median, u2.p95);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("heavy.vesmar"));
    const Stat save = measure(std::max(20, runs / 4), [&](int) { plotfile::writeFile(path, w->views().take()); });
    const qint64 bytes = QFileInfo(path).size();
    const Stat open = measure(std::max(20, runs / 4), [&](int) {
        const plotfile::Reading r = plotfile::readFile(path);
        if (r.view) w->views().put(*r.view);
        else std::printf("(%s)\n", qPrintable(r.problem));
    });
    std::printf("save plot file: median %.1f us, p95 %.1f us; open: median %.1f us, p95 %.1f us; file %.1f KB\n",
                save.median, save.p95, open.median, open.p95, bytes / 1024.0);
    // The window's part of a recovery write is taking its view and handing it
    // over; the writer's thread writes the file meanwhile. Both are timed,
    // each write waited for before the next.
    std::vector<double> gui, disk;
    for (int i = 0; i < std::max(40, runs / 4); ++i) {
        QElapsedTimer t;
        t.start();
        w->views().writeRecoveryNow();
        const qint64 handed = t.nsecsElapsed();
        recovery::flush();
        if (i < 10) continue;  // warm up
        gui.push_back(handed / 1000.0);
        disk.push_back(t.nsecsElapsed() / 1000.0);
    }
    std::sort(gui.begin(), gui.end());
    std::sort(disk.begin(), disk.end());
    std::printf("recovery write on the window's thread: median %.1f us, p95 %.1f us; on disk after median %.1f us\n",
                gui[gui.size() / 2], gui[gui.size() * 95 / 100], disk[disk.size() / 2]);
    recovery::discard();

    // Memory: the history as 200 further steps leave it.
    w->close();
    QCoreApplication::processEvents();
    w = FamilyManager::instance().open(*e);
    QCoreApplication::processEvents();
    const FrameControls& c2 = w->frameControls();
    QScrollBar* s2 = c2.sliders.front().slider;
    c2.redraw->click();
    c2.overlay->click();
    for (int i = 0; i < 20; ++i) {
        s2->setValue(s2->minimum() + (i * 7) % (s2->maximum() - s2->minimum() + 1));
        c2.commit->click();
    }
    if (auto* stroke = w->findChild<QRadioButton*>(QStringLiteral("Option3sh"))) stroke->setChecked(true);
    strokes(w, 1000, 0);
    strokes(w, 200, 1000);
    std::printf("history of that window: %d steps hold %.1f MB\n", w->views().history().steps(),
                double(w->views().history().weight()) / (1 << 20));
    if (sink == 0) std::printf("(nothing painted)\n");
    w->close();
    QCoreApplication::processEvents();
}

}  // namespace

// One frame of the animator on the sine window (递增, 1000 frames a sweep)
// with the trail on after 200 frames, as a 200 % screen shows it: the frame
// as its timer draws it (the trail kept sharp at scale 2, as on such a
// screen), then the picture painted at scale 2.
void animationFrame(int runs) {
    const FamilyEntry* e = familyByKey(QStringLiteral("sine"));
    FamilyWindow* w = e ? FamilyManager::instance().open(*e) : nullptr;
    Animator* a = w ? toolOf<Animator>(*w) : nullptr;
    if (!a) return;
    a->showPanel();
    auto* trail = w->findChild<QCheckBox*>(QStringLiteral("Animtrail"));
    auto* frames = w->findChild<QLineEdit*>(QStringLiteral("Animframes"));
    auto* mode = w->findChild<QComboBox*>(QStringLiteral("Animmode"));
    auto* timer = w->findChild<QTimer*>(QStringLiteral("Timeranim"));
    if (!trail || !frames || !mode || !timer) return;
    trail->setChecked(true);
    frames->setText(QStringLiteral("1000"));
    mode->setCurrentIndex(1);
    a->keepTrailSharpAt(2);
    a->play();
    if (!a->playing()) return;
    for (int i = 0; i < 200; ++i) QMetaObject::invokeMethod(timer, "timeout", Qt::DirectConnection);
    quint64 sink = 0;
    const Stat f = measure(runs, [&](int) {
        QMetaObject::invokeMethod(timer, "timeout", Qt::DirectConnection);
        sink += quint64(w->canvas().render(2).width());
    });
    a->stop();
    std::printf("animation frame (sine, trail after 200 frames, scale 2): median %.1f us, p95 %.1f us%s\n", f.median,
                f.p95, sink ? "" : " (nothing painted)");
    w->close();
    QCoreApplication::processEvents();
}

// A 40-frame sweep of the quadratic window (a from 1 to 3) as the animator
// exports it: the GIF encoded at scale 1 and 2, its time and size.
void gifExport() {
    const FamilyEntry* e = familyByKey(QStringLiteral("quadratic"));
    FamilyWindow* w = e ? FamilyManager::instance().open(*e) : nullptr;
    if (!w || w->frameControls().sliders.empty() || !w->frameControls().sliders.front().text) return;
    QLineEdit* a = w->frameControls().sliders.front().text;
    for (double scale : {1.0, 2.0}) {
        std::vector<QImage> frames;
        for (int k = 0; k < 40; ++k) {
            a->setText(QString::number(1 + k * 2.0 / 39, 'g', 4));
            w->frameControls().redraw->click();
            frames.push_back(w->canvas().render(scale));
        }
        QByteArray bytes;
        std::vector<double> ms;
        for (int run = 0; run < 5; ++run) {
            QElapsedTimer timer;
            timer.start();
            QString error;
            bytes = gif::encode(frames, gif::delayFor(20), &error);
            ms.push_back(timer.nsecsElapsed() / 1e6);
        }
        std::sort(ms.begin(), ms.end());
        std::printf("GIF of a 40-frame quadratic sweep at %gx: median %.1f ms, slowest %.1f ms, %.1f KB\n", scale,
                    ms[ms.size() / 2], ms.back(), bytes.size() / 1024.0);
    }
    w->close();
    QCoreApplication::processEvents();
}

// The own-function window with a long expression (300 characters of
// pupils' notation): its redraw at scale 1 and 2, parsing and compiling it,
// and 1000 look-ups of every x for a y in the window's default function.
void ownFunction(int runs) {
    QString typed = QStringLiteral("a sin(bx + c) + d");
    const QString more[] = {QStringLiteral(" + 0.1x² - 0.01x³"), QStringLiteral(" + |x - 1|/5"),
                            QStringLiteral(" + cos(2x)/3"),      QStringLiteral(" - √(x² + 1)/4"),
                            QStringLiteral(" + ln(x² + 2)/6"),   QStringLiteral(" + 2^(-x²)"),
                            QStringLiteral(" + arctan x/7"),     QStringLiteral(" - sin x cos x/8")};
    // Whole terms, as long as the text stays within 300 characters.
    for (int i = 0; typed.size() + more[i % 8].size() <= 300; ++i) typed += more[i % 8];
    const FamilyEntry* e = familyByKey(QStringLiteral("own"));
    FamilyWindow* w = e ? FamilyManager::instance().open(*e) : nullptr;
    auto* box = w ? qobject_cast<QLineEdit*>(namedControl(w, QStringLiteral("Exprtext"))) : nullptr;
    if (!box) {
        std::printf("(the own-function window did not open)\n");
        return;
    }
    box->setText(typed);
    Stat r, r2;
    if (!redraws(w, runs, r, r2) || w->drawnCurves().empty()) std::printf("(nothing drawn)\n");
    std::printf(
        "own function, %d characters: redraw median %.1f us, p95 %.1f us; scale 2 median %.1f us, p95 %.1f us\n",
        int(typed.size()), r.median, r.p95, r2.median, r2.p95);
    w->close();
    QCoreApplication::processEvents();

    int failed = 0;
    const Stat c = measure(runs, [&](int) { failed += expr::Function::compile(typed).index() != 0; });
    std::printf("parse and compile those %d characters: median %.1f us, p95 %.1f us%s\n", int(typed.size()), c.median,
                c.p95, failed ? " (did not compile)" : "");
    auto f = expr::Function::compile(QStringLiteral("a sin(bx + c) + d"));
    if (auto* fn = std::get_if<expr::Function>(&f)) {
        fn->setParameters(1, 1, 0, 0);
        const expr::Batch batch = [fn](const double* x, double* y, int n) { fn->evaluate(x, y, n); };
        size_t found = 0;
        QElapsedTimer t;
        t.start();
        for (int i = 0; i < 1000; ++i) found += expr::solve(batch, -0.999 + 0.001998 * i, -11, 11).size();
        std::printf("1000 look-ups of every x for y in y = sin x over the picture: %.1f ms in all (%zu solutions)\n",
                    t.nsecsElapsed() / 1e6, found);
    }
}

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    setupApplication(app);
    app.setQuitOnLastWindowClosed(false);
    int messages = 0;
    ScriptDriver driver([&](const QString&) { ++messages; });
    const int runs = argc > 1 ? std::max(50, atoi(argv[1])) : 400;

    std::printf("%-12s %10s %10s %10s %10s %10s %10s %10s %10s\n", "family", "redraw", "p95", "redraw x2", "p95",
                "overlay", "p95", "click", "p95");
    std::printf("%-12s %10s %10s %10s %10s %10s %10s %10s %10s\n", "", "med us", "us", "med us", "us", "med us", "us",
                "med us", "us");
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
        Stat r, r2;
        if (!redraws(w, runs, r, r2)) std::printf("(nothing painted)\n");
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
        // The click as the user makes it: the redraw, then everything it
        // leaves for the event loop (the window's repaint, the spoken news).
        const Stat c = measure(runs, [&](int) {
            redraw->click();
            QCoreApplication::processEvents();
        });
        std::printf("%-12s %10.1f %10.1f %10.1f %10.1f %10.1f %10.1f %10.1f %10.1f\n", qPrintable(e.key), r.median,
                    r.p95, r2.median, r2.p95, o.median, o.p95, c.median, c.p95);
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
    ownFunction(std::max(50, runs / 4));
    animationFrame(std::max(50, runs / 4));
    gifExport();
    heavyWindow(std::max(50, runs / 4));
    if (messages) std::printf("(%d message boxes answered during the runs)\n", messages);
    return 0;
}
