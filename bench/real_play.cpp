// bench-real-play: whether an animation keeps its speed on a real display.
//
//   bench-real-play [SCALE [SECONDS]]
//
// opens the sine window on the display (with the screen scaled by SCALE,
// 1 by default, as QT_SCALE_FACTOR does), checks every parameter in its
// animator, turns the trail on and plays 1000 frames a sweep at 30 frames a
// second on the real clock for SECONDS (5 by default). It counts the frames
// that reached the screen: a paint of the picture control that shows a
// picture it had not shown before (the control's painting goes to the
// window system as soon as it ends), beside the frames the animator drew.
// Run it on an X server with a window manager (Linux):
//
//   xvfb-run -a -s "-screen 0 1920x1080x24" sh -c
//     'openbox & sleep 1; build/bench-real-play 1; build/bench-real-play 2'
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QLineEdit>
#include <QTimer>
#include <algorithm>
#include <ctime>
#include <cstdio>
#include <cstdlib>

#include "frame/family_manager.h"
#include "frame/family_window.h"
#include "platform/platform.h"
#include "render/canvas_widget.h"
#include "tools/animator.h"
#include "tools/install.h"

namespace {

constexpr double kSpeed = 30;

// Counts the paints of the picture control that show a new picture.
class FrameCounter : public QObject {
public:
    FrameCounter(CanvasWidget* widget) : widget_(widget) {
        widget->installEventFilter(this);
        clock_.start();
    }
    int shown = 0, paints = 0;
    qint64 longestGap = 0;  // ms between two new pictures painted

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == widget_ && event->type() == QEvent::Paint && widget_->canvas()) {
            ++paints;
            const quint64 r = widget_->canvas()->revision();
            if (r != last_) {
                if (shown > 0) longestGap = std::max(longestGap, clock_.elapsed() - lastAt_);
                lastAt_ = clock_.elapsed();
                ++shown;
            }
            last_ = r;
        }
        return false;
    }

private:
    CanvasWidget* widget_;
    quint64 last_ = ~quint64(0);
    QElapsedTimer clock_;
    qint64 lastAt_ = 0;
};

// Runs the event loop for ms milliseconds of the real clock, sleeping
// while there is nothing to do (as the program's own loop does).
void runFor(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

}  // namespace

int main(int argc, char** argv) {
    const double scale = argc > 1 ? std::atof(argv[1]) : 1;
    const double seconds = argc > 2 ? std::atof(argv[2]) : 5;
    if (!(scale >= 1 && scale <= 4) || !(seconds >= 1 && seconds <= 60)) {
        std::fprintf(stderr, "usage: bench-real-play [SCALE 1..4 [SECONDS 1..60]]\n");
        return 2;
    }
    qputenv("QT_SCALE_FACTOR", QByteArray::number(scale));
    QApplication app(argc, argv);
    if (QGuiApplication::platformName() == QLatin1String("offscreen") ||
        QGuiApplication::platformName() == QLatin1String("minimal")) {
        std::fprintf(stderr, "bench-real-play needs a display (platform %s)\n",
                     qPrintable(QGuiApplication::platformName()));
        return 2;
    }
    setupApplication(app);
    app.setQuitOnLastWindowClosed(false);
    const FamilyEntry* e = familyByKey(QStringLiteral("sine"));
    FamilyWindow* w = e ? FamilyManager::instance().open(*e) : nullptr;
    Animator* a = w ? toolOf<Animator>(*w) : nullptr;
    if (!a || !w->canvasWidget()) {
        std::fprintf(stderr, "no sine window with an animator\n");
        return 1;
    }
    w->show();
    a->showPanel();
    runFor(1000);  // mapped, placed by the window manager, first paints done
    auto* trail = w->findChild<QCheckBox*>(QStringLiteral("Animtrail"));
    auto* frames = w->findChild<QLineEdit*>(QStringLiteral("Animframes"));
    auto* speed = w->findChild<QLineEdit*>(QStringLiteral("Animspeed"));
    auto* mode = w->findChild<QComboBox*>(QStringLiteral("Animmode"));
    auto* timer = w->findChild<QTimer*>(QStringLiteral("Timeranim"));
    if (!trail || !frames || !speed || !mode || !timer) {
        std::fprintf(stderr, "the animator's controls are missing\n");
        return 1;
    }
    int moving = 0;
    for (QCheckBox* use : w->findChildren<QCheckBox*>())
        if (use->objectName().startsWith(QLatin1String("Animuse("))) {
            use->setChecked(true);
            ++moving;
        }
    trail->setChecked(true);
    frames->setText(QStringLiteral("1000"));
    speed->setText(QString::number(kSpeed));
    mode->setCurrentIndex(1);  // 递增: no frame drawn twice

    FrameCounter counter(w->canvasWidget());
    int drawn = 0;
    QObject::connect(timer, &QTimer::timeout, [&] { ++drawn; });
    a->play();
    if (!a->playing()) {
        std::fprintf(stderr, "the animation did not start\n");
        return 1;
    }
    ++drawn;  // play draws frame 0 itself
    const std::clock_t cpu = std::clock();
    runFor(int(seconds * 1000));
    const double busy = double(std::clock() - cpu) / CLOCKS_PER_SEC;
    const int shown = counter.shown, paints = counter.paints;
    a->stop();
    std::printf("sine, %d parameters moving, trail on, screen at %g %% (device pixel ratio %g)\n", moving, scale * 100,
                w->canvasWidget()->devicePixelRatioF());
    std::printf("frames shown per second at %g: %.1f (%d new pictures painted in %g s; %d frames drawn, %d paints)\n",
                kSpeed, shown / seconds, shown, seconds, drawn, paints);
    std::printf("longest time between two new pictures: %lld ms; the program's processor time: %.2f s of %g s\n",
                counter.longestGap, busy, seconds);
    std::fflush(stdout);
    w->close();
    QCoreApplication::processEvents();
    return 0;
}
