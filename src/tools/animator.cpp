#include "tools/animator.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QKeyEvent>
#include <QShortcut>
#include <QSignalBlocker>
#include <QTimer>
#include <QLineF>
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "frame/accessibility.h"
#include "frame/controls.h"
#include "frame/family_window.h"
#include "numfmt/numfmt.h"
#include "render/canvas_widget.h"
#include "render/gif_writer.h"
#include "tools/animation_export.h"

namespace anim {

double frameValue(double from, double to, int frames, int k) {
    if (frames < 2) return from;
    return from + k * (to - from) / (frames - 1);
}

std::optional<int> frameAt(Mode mode, int frames, long long step) {
    if (frames < 2 || step < 0) return 0;
    const long long n = frames;
    switch (mode) {
    case Mode::PingPong: {
        const long long j = step % (2 * n - 2);
        return int(j < n ? j : 2 * n - 2 - j);
    }
    case Mode::Up: return int(step % n);
    case Mode::Down: return int(n - 1 - step % n);
    case Mode::Once:
        if (step >= n) return std::nullopt;
        return int(step);
    }
    return 0;
}

std::vector<int> sweep(Mode mode, int frames) {
    std::vector<int> out;
    const long long length = mode == Mode::PingPong ? 2LL * frames - 2 : frames;
    for (long long s = 0; s < length; ++s)
        if (std::optional<int> k = frameAt(mode, frames, s)) out.push_back(*k);
    return out;
}

}  // namespace anim

namespace {

constexpr int kMaxFrames = 1000;
constexpr double kMaxSpeed = 60;
// How many refused values the quiet line names before it says "…".
constexpr int kSkippedShown = 8;

const QString kPlay = QStringLiteral("▶ 播放");
const QString kPause = QStringLiteral("⏸ 暂停");

// A number the user typed, or none: the boxes accept anything, play checks.
std::optional<double> typedNumber(const QString& text) {
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(v) || !numfmt::finiteSingle(v)) return std::nullopt;
    return v;
}

// The value a slider position puts into its box.
double positionValue(const SliderLink& link, int pos) {
    return link.format ? numfmt::value(link.format(pos)) : double(pos);
}

// The slider position whose value is nearest v (the slider's values rise or
// fall steadily along it).
int nearestPosition(const SliderLink& link, double v) {
    const int lo = link.slider->minimum(), hi = link.slider->maximum();
    if (hi <= lo) return lo;
    const bool rising = positionValue(link, hi) >= positionValue(link, lo);
    int a = lo, b = hi;
    while (b - a > 1) {
        const int m = a + (b - a) / 2;
        if ((positionValue(link, m) < v) == rising) a = m;
        else b = m;
    }
    return std::abs(positionValue(link, a) - v) <= std::abs(positionValue(link, b) - v) ? a : b;
}

// A shade of c halfway and more to white: the earlier curves of a trail.
QColor lighter(QColor c) {
    auto up = [](int v) { return v + (255 - v) * 3 / 5; };
    return QColor(up(c.red()), up(c.green()), up(c.blue()));
}

// The curve joins the trail where it has drawn (anything but white): each
// colour channel keeps the darker of the two, so the white around a curve
// never covers another and crossing curves keep the darker shade. Rows the
// curve leaves white are not touched.
void darkenInto(QImage& trail, const QImage& curve) {
    if (trail.size() != curve.size() || trail.format() != QImage::Format_RGB32 ||
        curve.format() != QImage::Format_RGB32)
        return;
    const int w = trail.width();
    for (int y = 0; y < trail.height(); ++y) {
        const auto* c = reinterpret_cast<const QRgb*>(curve.constScanLine(y));
        QRgb* t = nullptr;
        for (int x = 0; x < w; ++x) {
            if ((c[x] & 0xFFFFFFu) == 0xFFFFFFu) continue;
            if (!t) t = reinterpret_cast<QRgb*>(trail.scanLine(y));
            t[x] = qRgb(std::min(qRed(c[x]), qRed(t[x])), std::min(qGreen(c[x]), qGreen(t[x])),
                        std::min(qBlue(c[x]), qBlue(t[x])));
        }
    }
}

QString parameterName(const QLineEdit* box, size_t i) {
    QString name = box ? box->accessibleName() : QString();
    if (name.startsWith(QStringLiteral("参数 "))) name = name.mid(3);
    if (name.isEmpty()) name = QStringLiteral("参数%1").arg(i + 1);
    return name;
}

}  // namespace

// ---------------------------------------------------------------- the tool window

AnimatorPanel::AnimatorPanel(QWidget* owner) : QWidget(owner, Qt::Tool) {
    setWindowTitle(QStringLiteral("参数动画"));
    setAccessibleName(QStringLiteral("参数动画"));
    setFont(uiFont(QStringLiteral("宋体"), 10.5));
}

void AnimatorPanel::watchSpace(QWidget* playButton) {
    playButton_ = playButton;
    installEventFilter(this);
    for (QWidget* c : findChildren<QWidget*>()) c->installEventFilter(this);
}

bool AnimatorPanel::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_Space || key->modifiers() != Qt::NoModifier) return false;
    if (qobject_cast<QLineEdit*>(watched) || qobject_cast<QCheckBox*>(watched)) return false;
    if (qobject_cast<QPushButton*>(watched) && watched != playButton_) return false;
    if (event->type() == QEvent::KeyPress && !key->isAutoRepeat()) emit spacePressed();
    return true;
}

void AnimatorPanel::closeEvent(QCloseEvent* e) {
    emit closing();
    QWidget::closeEvent(e);
}

// ---------------------------------------------------------------- the tool

Animator::Animator(FamilyWindow& window) : QObject(&window), w_(window) {
    QRect at = w_.traits().animatorButton;
    // Where the layout has no free place, the button takes 确定覆盖's, which
    // shows only in overlay mode, where no animation runs: they take turns.
    QPushButton* commit = w_.frameControls().commit;
    if (at.isEmpty() && commit) {
        at = commit->geometry();
        shared_ = commit;
    }
    if (at.isEmpty()) at = QRect(w_.smallButtonSlot(0).topLeft() - QPoint(0, 26), QSize(73, 24));
    buildControls(&w_, {
                           ::button("Animsh", at.x(), at.y(), at.width(), at.height(), "参数动画")
                               .font("宋体", 9)
                               .tooltip("让参数在范围内连续变化，播放成动画（Alt+A）")
                               .notKept()
                               .bind(&button_),
                       });
    if (button_ && shared_) {
        button_->setVisible(shared_->isHidden());
        shared_->installEventFilter(this);
    }
    if (button_) {
        button_->setAccessibleName(QStringLiteral("参数动画"));
        button_->setAccessibleDescription(QStringLiteral("打开参数动画窗口，快捷键 Alt+A"));
        connect(button_, &QPushButton::clicked, this, &Animator::showPanel);
    }
    auto* key = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_A), &w_);
    connect(key, &QShortcut::activated, this, &Animator::showPanel);

    // A child of the window itself: the script clock steps the named timers
    // of widgets.
    timer_ = new QTimer(&w_);
    timer_->setObjectName(QStringLiteral("Timeranim"));
    // A coarse timer may fire each frame up to a twentieth early or late:
    // the animation would run that much too fast or too slow.
    timer_->setTimerType(Qt::PreciseTimer);
    connect(timer_, &QTimer::timeout, this, &Animator::tick);

    // Touching a parameter while a run plays pauses it: the frame's own
    // values are set with the controls' signals blocked, so whatever
    // arrives here came from the user.
    for (const SliderLink& link : w_.frameControls().sliders) {
        if (link.slider) connect(link.slider, &QScrollBar::valueChanged, this, &Animator::userTouched);
        if (link.text) connect(link.text, &QLineEdit::textEdited, this, &Animator::userTouched);
    }
}

bool Animator::eventFilter(QObject* watched, QEvent* event) {
    if (watched == shared_ && button_ &&
        (event->type() == QEvent::ShowToParent || event->type() == QEvent::HideToParent))
        button_->setVisible(event->type() == QEvent::HideToParent);
    return false;
}

void Animator::showPanel() {
    if (!panel_) makePanel();
    if (!panel_) return;
    if (!panel_->isVisible()) {
        // Beside the window, on its right where the screen has room, else on
        // its left, else over its right edge: never off the screen.
        const QRect outer = w_.frameGeometry();
        const QSize size = panel_->frameGeometry().size().expandedTo(panel_->size());
        QPoint at = outer.topRight() + QPoint(8, 0);
        if (const QScreen* screen = w_.screen()) {
            const QRect room = screen->availableGeometry();
            if (at.x() + size.width() > room.right()) at.setX(outer.left() - 8 - size.width());
            if (at.x() < room.left()) at.setX(room.right() - size.width());
            at.setX(std::max(at.x(), room.left()));
            at.setY(std::clamp(at.y(), room.top(), std::max(room.top(), room.bottom() - size.height())));
        }
        panel_->move(at);
    }
    panel_->show();
    panel_->raise();
    panel_->activateWindow();
}

void Animator::makePanel() {
    if (panel_) return;
    auto* panel = new AnimatorPanel(&w_);
    panel_ = panel;
    const auto& links = w_.frameControls().sliders;
    rows_.assign(links.size(), {});
    const int rowH = 28, top = 32;
    // The names column is as wide as the longest name ("相位 p 的分子（π 的
    // 倍数）" in the trigonometric windows), the values beside it.
    std::vector<QString> names;
    int nameWidth = 76;
    const QFontMetrics metrics(uiFont(QStringLiteral("宋体"), 9));
    for (size_t i = 0; i < links.size(); ++i) {
        names.push_back(parameterName(links[i].text, i));
        nameWidth = std::max(nameWidth, metrics.horizontalAdvance(names.back()) + 36);
    }
    nameWidth = std::min(nameWidth, 320);
    const int fromX = 8 + nameWidth + 4, toX = fromX + 88;
    const int panelWidth = std::max(272, toX + 88);
    buildControls(&w_, {
                           label("Animhead(0)", 8, 8, 72, 20, "参数").in(panel).notKept(),
                           label("Animhead(1)", fromX, 8, 80, 20, "起").in(panel).notKept(),
                           label("Animhead(2)", toX, 8, 80, 20, "止").in(panel).notKept(),
                       });
    for (size_t i = 0; i < links.size(); ++i) {
        const int y = top + int(i) * rowH;
        const QString& name = names[i];
        const double lo = links[i].slider ? positionValue(links[i], links[i].slider->minimum()) : 0;
        const double hi = links[i].slider ? positionValue(links[i], links[i].slider->maximum()) : 1;
        const QString n = QString::number(i);
        buildControls(
            &w_, {
                     check("Animuse(" + n + ")", 8, y, nameWidth, 24, name).in(panel).toolOwned().bind(&rows_[i].use),
                     textBox("Animfrom(" + n + ")", fromX, y, 80, 24, numfmt::textDouble(lo))
                         .in(panel)
                         .toolOwned()
                         .bind(&rows_[i].from),
                     textBox("Animto(" + n + ")", toX, y, 80, 24, numfmt::textDouble(hi))
                         .in(panel)
                         .toolOwned()
                         .bind(&rows_[i].to),
                 });
        if (rows_[i].use) {
            rows_[i].use->setChecked(i == 0);
            rows_[i].use->setAccessibleName(QStringLiteral("动画中变化的参数 %1").arg(name));
        }
        if (rows_[i].from) rows_[i].from->setAccessibleName(QStringLiteral("参数 %1 的起始值").arg(name));
        if (rows_[i].to) rows_[i].to->setAccessibleName(QStringLiteral("参数 %1 的终止值").arg(name));
    }
    int y = top + int(links.size()) * rowH + 8;
    buildControls(
        &w_, {
                 label("Animlab(0)", 8, y + 2, 76, 20, "每轮帧数").in(panel).notKept(),
                 textBox("Animframes", 88, y, 80, 24, "40").in(panel).toolOwned().bind(&frames_),
                 label("Animlab(1)", 8, y + 30, 76, 20, "每秒帧数").in(panel).notKept(),
                 textBox("Animspeed", 88, y + 28, 80, 24, "20").in(panel).toolOwned().bind(&speed_),
                 label("Animlab(2)", 8, y + 58, 76, 20, "方式").in(panel).notKept(),
                 combo("Animmode", 88, y + 56, 80, 24).in(panel).toolOwned().bind(&mode_),
                 check("Animtrail", 176, y + 56, 88, 24, "保留轨迹").in(panel).toolOwned().bind(&trail_),
                 button("Animplay", 8, y + 92, 80, 28, "▶ 播放").in(panel).notKept().bind(&play_),
                 button("Animstop", 96, y + 92, 72, 28, "■ 停止").in(panel).notKept().bind(&stop_),
                 button("Animgif", 8, y + 128, 80, 28, "导出 GIF").in(panel).notKept().bind(&gif_),
                 combo("Animscale", 96, y + 130, 72, 24).in(panel).toolOwned().bind(&scale_),
                 label("Animskip", 8, y + 164, panelWidth - 16, 40).in(panel).notKept().size(9).bind(&skippedLabel_),
             });
    panel->setFixedSize(panelWidth, y + 212);
    if (mode_) {
        mode_->addItems(
            {QStringLiteral("往返"), QStringLiteral("递增"), QStringLiteral("递减"), QStringLiteral("一次")});
        mode_->setAccessibleName(QStringLiteral("播放方式"));
    }
    if (scale_) {
        scale_->addItems({QStringLiteral("1×"), QStringLiteral("2×")});
        scale_->setAccessibleName(QStringLiteral("导出 GIF 的大小"));
    }
    if (frames_) frames_->setAccessibleName(QStringLiteral("每轮帧数"));
    if (speed_) speed_->setAccessibleName(QStringLiteral("每秒帧数"));
    if (trail_) trail_->setAccessibleName(QStringLiteral("保留轨迹"));
    if (play_) {
        play_->setAccessibleName(QStringLiteral("播放"));
        connect(play_, &QPushButton::clicked, this, &Animator::playOrPause);
    }
    if (stop_) {
        stop_->setAccessibleName(QStringLiteral("停止"));
        connect(stop_, &QPushButton::clicked, this, &Animator::stop);
    }
    if (gif_) {
        gif_->setAccessibleName(QStringLiteral("导出 GIF"));
        connect(gif_, &QPushButton::clicked, this, &Animator::exportGif);
    }
    if (skippedLabel_) {
        skippedLabel_->setWordWrap(true);
        skippedLabel_->setAccessibleName(QStringLiteral("跳过的值"));
    }
    connect(panel, &AnimatorPanel::closing, this, [this] {
        if (playing_) pause();
    });
    connect(panel, &AnimatorPanel::spacePressed, this, &Animator::playOrPause);
    panel->watchSpace(play_);
}

// ---------------------------------------------------------------- settings

std::optional<anim::Settings> Animator::readSettings(QString* problem) const {
    auto fail = [&](const QString& text) {
        if (problem) *problem = text;
        return std::nullopt;
    };
    anim::Settings s;
    bool any = false;
    for (size_t i = 0; i < rows_.size(); ++i) {
        anim::Settings::Row r;
        r.used = rows_[i].use && rows_[i].use->isChecked();
        const QString name = rows_[i].use ? rows_[i].use->text() : QString::number(i);
        if (r.used) {
            const std::optional<double> from = typedNumber(rows_[i].from ? rows_[i].from->text() : QString());
            if (!from) return fail(QStringLiteral("参数 %1 的“起”不是一个数，请改正后再播放。").arg(name));
            const std::optional<double> to = typedNumber(rows_[i].to ? rows_[i].to->text() : QString());
            if (!to) return fail(QStringLiteral("参数 %1 的“止”不是一个数，请改正后再播放。").arg(name));
            r.from = *from;
            r.to = *to;
            any = true;
        }
        s.rows.push_back(r);
    }
    if (!any) return fail(QStringLiteral("请至少勾选一个要变化的参数。"));
    const std::optional<double> frames = typedNumber(frames_ ? frames_->text() : QString());
    if (!frames || *frames != std::floor(*frames) || *frames < 2 || *frames > kMaxFrames)
        return fail(QStringLiteral("“每轮帧数”应是 2 到 %1 之间的整数。").arg(kMaxFrames));
    s.frames = int(*frames);
    const std::optional<double> speed = typedNumber(speed_ ? speed_->text() : QString());
    if (!speed || *speed <= 0 || *speed > kMaxSpeed)
        return fail(QStringLiteral("“每秒帧数”应大于 0，不超过 %1。").arg(kMaxSpeed));
    s.speed = *speed;
    s.mode = anim::Mode(std::clamp(mode_ ? mode_->currentIndex() : 0, 0, 3));
    s.trail = trail_ && trail_->isChecked();
    return s;
}

// ---------------------------------------------------------------- playing

void Animator::playOrPause() {
    if (playing_) pause();
    else play();
}

bool Animator::othersBusy() {
    askingOthers_ = true;
    const bool b = w_.busy();
    askingOthers_ = false;
    return b;
}

std::optional<anim::Settings> Animator::readyToRun(const QString& verb) {
    if (othersBusy()) return std::nullopt;
    QString problem;
    std::optional<anim::Settings> s = readSettings(&problem);
    if (!s) {
        w_.message(problem);
        return std::nullopt;
    }
    if (w_.overlayOn()) {
        w_.message(QStringLiteral("覆盖作图时不能%1，请先结束覆盖。").arg(verb));
        return std::nullopt;
    }
    return s;
}

void Animator::play() {
    if (playing_) return;
    const std::optional<anim::Settings> s = readyToRun(QStringLiteral("播放动画"));
    if (!s) return;
    const bool resume = paused_ && s->frames == run_.frames && s->mode == run_.mode;
    run_ = *s;
    playing_ = true;
    timer_->setInterval(std::max(1, int(std::lround(1000.0 / run_.speed))));
    setPlayCaption();
    a11y::announce(play_ ? static_cast<QWidget*>(play_) : w_.canvasWidget(), QStringLiteral("开始播放"));
    if (!resume) {
        paused_ = false;
        step_ = 0;
        shown_ = -1;
        clearTrail();
        skipped_.clear();
        if (skippedLabel_) skippedLabel_->clear();
        if (std::optional<int> k = anim::frameAt(run_.mode, run_.frames, 0)) {
            if (!showFrame(*k, run_.trail)) noteSkipped(*k);
        }
    }
    paused_ = false;
    timer_->start();
}

void Animator::tick() {
    if (!playing_) return timer_->stop();
    // A message box of the window or a drag on the picture: this frame waits.
    if (othersBusy()) return;
    ++step_;
    std::optional<int> k = anim::frameAt(run_.mode, run_.frames, step_);
    if (!k) {
        paused_ = false;
        return endRun(QStringLiteral("播放结束"));
    }
    if (!showFrame(*k, run_.trail)) noteSkipped(*k);
    // 一次 stops on its last frame, not a tick later.
    if (!anim::frameAt(run_.mode, run_.frames, step_ + 1)) {
        paused_ = false;
        endRun(QStringLiteral("播放结束"));
    }
}

void Animator::pause() {
    if (!playing_) return;
    playing_ = false;
    paused_ = true;
    endRun(QStringLiteral("已暂停"));
}

void Animator::stop() {
    const bool was = playing_ || paused_;
    playing_ = false;
    paused_ = false;
    step_ = 0;
    if (was) endRun(QStringLiteral("已停止"));
}

void Animator::endRun(const QString& said) {
    timer_->stop();
    playing_ = false;
    setPlayCaption();
    // The whole run is one step of the history.
    w_.views().checkpoint();
    a11y::announce(play_ ? static_cast<QWidget*>(play_) : w_.canvasWidget(), said);
    // The picture's description is that of the frame shown.
    w_.updateCanvasDescription();
}

void Animator::setPlayCaption() {
    if (!play_) return;
    play_->setText(playing_ ? kPause : kPlay);
    play_->setAccessibleName(playing_ ? QStringLiteral("暂停") : QStringLiteral("播放"));
}

void Animator::userTouched() {
    if (playing_ && !drawing_) pause();
}

void Animator::setParameter(size_t i, double value) {
    const SliderLink& link = w_.frameControls().sliders[i];
    if (link.slider) {
        const QSignalBlocker quiet(link.slider);
        link.slider->setValue(nearestPosition(link, value));
    }
    if (link.text) {
        const QSignalBlocker quiet(link.text);
        link.text->setText(numfmt::text(float(value)));
    }
}

bool Animator::showFrame(int k, bool keepTrail) {
    const auto& links = w_.frameControls().sliders;
    const View before = w_.views().take();
    drawing_ = true;
    for (size_t i = 0; i < run_.rows.size() && i < links.size(); ++i)
        if (run_.rows[i].used) setParameter(i, anim::frameValue(run_.rows[i].from, run_.rows[i].to, run_.frames, k));
    QStringList refused;
    // A frame says nothing of its own: at twenty a second a screen reader
    // would only ever begin each description.
    a11y::NewsBatch quiet(&w_);
    w_.holdMessages(&refused);
    w_.redrawClicked();
    w_.holdMessages(nullptr);
    quiet.drop();
    drawing_ = false;
    if (!refused.isEmpty()) {
        // The window would have said no: the picture and the boxes stay as
        // they were.
        w_.views().put(before);
        return false;
    }
    shown_ = k;
    if (keepTrail) addToTrail(k);
    return true;
}

void Animator::plotStarting() {
    // Inside a frame with the trail on: the picture starts from the earlier
    // frames' curves (kept, lighter, on a picture of their own), the axes
    // go over them again and the frame's curve comes on top.
    if (!drawing_ || !run_.trail || trailKeys_.empty() || !trail_) return;
    if (trailPicture_.isNull()) {
        // A flattened picture: painted at any scale by stretching its pixels,
        // which keeps the trail's colours exact and costs the same however
        // many curves it holds.
        auto d = std::make_shared<picture::Description>();
        d->base = trailImage_;
        d->baseHigh = trailHigh_;
        trailPicture_ = Picture(d, trailImage_);
    }
    Canvas& c = w_.canvas();
    const QColor fore = c.foreColor();
    const int width = c.drawWidth();
    c.setBackground(trailPicture_);
    if (!w_.axesHidden()) w_.drawAxes();
    c.setForeColor(fore);
    c.setDrawWidth(width);
}

void Animator::addToTrail(int k) {
    if (trailKeys_.count(k) || w_.drawnCurves().empty()) return;
    trailKeys_.insert(k);
    if (!trailCanvas_) trailCanvas_ = new Canvas(this);
    // The colour the curve really has on the picture, where a dot of it shows.
    QColor color = w_.canvas().foreColor();
    const auto& runs = w_.drawnCurves().back().runs;
    const QImage& img = w_.canvas().image();
    for (const auto& run : runs) {
        if (run.empty()) continue;
        const QPoint p = w_.canvas().pixelAt(run[run.size() / 2].x(), run[run.size() / 2].y());
        if (img.rect().contains(p)) {
            color = img.pixelColor(p);
            break;
        }
    }
    trailCanvas_->clear();
    trailCanvas_->setForeColor(lighter(color));
    trailCanvas_->setDrawWidth(w_.canvas().drawWidth());
    // Dots half a pixel apart draw the curve as closely as every sample did,
    // at a fraction of the cost when the trail holds hundreds of curves.
    constexpr double kSpacing = 0.5 * 22.0 / 396.0;
    for (const auto& all : runs) {
        std::vector<QPointF> run;
        for (const QPointF& p : all)
            if (run.empty() || std::abs(p.x() - run.back().x()) + std::abs(p.y() - run.back().y()) >= kSpacing)
                run.push_back(p);
        if (!all.empty() && !samePoint(run.back(), all.back())) run.push_back(all.back());
        // Joined where the dots stand apart (a curve drawn by segments).
        std::vector<QLineF> gaps;
        for (size_t j = 1; j < run.size(); ++j)
            if (std::abs(run[j].x() - run[j - 1].x()) + std::abs(run[j].y() - run[j - 1].y()) > 0.2)
                gaps.emplace_back(run[j - 1], run[j]);
        trailCanvas_->points(run);
        if (!gaps.empty()) trailCanvas_->lines(gaps);
    }
    // The curve joins the earlier ones.
    if (trailImage_.isNull()) {
        trailImage_ = QImage(trailCanvas_->width(), trailCanvas_->height(), QImage::Format_RGB32);
        trailImage_.fill(Qt::white);
    }
    darkenInto(trailImage_, trailCanvas_->image());

    // The same at the screen's scale, drawn there rather than stretched.
    // Should the window have moved to a screen of another scale, what the
    // trail holds is stretched to it and the curves from now on are sharp.
    const double wanted = trailScaleWanted();
    if (wanted != trailScale_) {
        const int side = picture::sideAt(wanted);
        trailHigh_ = wanted <= 1 || trailHigh_.isNull()
                         ? QImage()
                         : trailHigh_.scaled(side, side, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        trailScale_ = wanted;
    }
    if (trailScale_ > 1) {
        trailCanvas_->renderInto(trailCurveHigh_, trailScale_);
        if (trailHigh_.isNull()) {
            trailHigh_ = QImage(trailCurveHigh_.size(), QImage::Format_RGB32);
            trailHigh_.fill(Qt::white);
        }
        darkenInto(trailHigh_, trailCurveHigh_);
    }
    trailPicture_ = Picture();
}

double Animator::trailScaleWanted() const {
    double screen = 1;
    if (const QWidget* c = w_.canvasWidget()) screen = c->devicePixelRatioF();
    const double s = std::max(screen, sharpAtLeast_);
    return std::isfinite(s) ? std::clamp(s, 1.0, picture::kMaxScale) : 1.0;
}

void Animator::clearTrail() {
    trailKeys_.clear();
    trailPicture_ = Picture();
    trailImage_ = QImage();
    trailHigh_ = QImage();
    trailScale_ = trailScaleWanted();
}

void Animator::noteSkipped(int k) {
    if (std::find(skipped_.begin(), skipped_.end(), k) != skipped_.end()) return;
    skipped_.push_back(k);
    std::sort(skipped_.begin(), skipped_.end());
    if (!skippedLabel_) return;
    QStringList values;
    for (size_t j = 0; j < skipped_.size() && j < size_t(kSkippedShown); ++j) {
        QStringList parts;
        for (size_t i = 0; i < run_.rows.size(); ++i) {
            if (!run_.rows[i].used) continue;
            const QString name = rows_[i].use ? rows_[i].use->text() : QString::number(i);
            parts << name + QStringLiteral(" = ") +
                         numfmt::text(
                             float(anim::frameValue(run_.rows[i].from, run_.rows[i].to, run_.frames, skipped_[j])));
        }
        values << parts.join(QStringLiteral("，"));
    }
    if (skipped_.size() > size_t(kSkippedShown)) values << QStringLiteral("…");
    skippedLabel_->setText(QStringLiteral("跳过（不能作图）：") + values.join(QStringLiteral("；")));
}

// ---------------------------------------------------------------- GIF

void Animator::exportGif() {
    if (playing_) pause();
    const std::optional<anim::Settings> s = readyToRun(QStringLiteral("导出动画"));
    if (!s) return;
    const double scale = scale_ && scale_->currentIndex() == 1 ? 2.0 : 1.0;
    // The sweep is drawn on the window and the window is put back as it
    // was: an export changes nothing the user sees afterwards.
    const View before = w_.views().take();
    const anim::Settings kept = run_;
    run_ = *s;
    // The trail as sharp as the GIF's frames.
    const double sharp = sharpAtLeast_;
    sharpAtLeast_ = std::max(sharp, scale);
    clearTrail();
    std::vector<QImage> images;
    playing_ = true;  // no steps of the history meanwhile
    for (int k : anim::sweep(run_.mode, run_.frames))
        if (showFrame(k, run_.trail)) images.push_back(w_.canvas().render(scale));
    playing_ = false;
    sharpAtLeast_ = sharp;
    w_.views().put(before);
    run_ = kept;
    // The trail of a run in progress starts again from the next frame.
    clearTrail();
    if (images.empty()) {
        w_.message(QStringLiteral("这些参数值都不能作图，没有可以导出的动画。"));
        return;
    }
    exportAnimation(w_, images, gif::delayFor(s->speed));
}
