#include "shell/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QKeyEvent>
#include <QPixmap>
#include <QShortcut>
#include <cstdlib>

#include "platform/platform.h"
#include "frame/accessibility.h"
#include "frame/family_manager.h"
#include "frame/family_window.h"
#include "frame/plot_actions.h"
#include "shell/click_label.h"
#include "shell/shell.h"
#include "shell/help_window.h"

namespace shell {

const std::vector<MenuItem>& menuTable() {
    static const std::vector<MenuItem> table = {
        {QStringLiteral("一次函数"), 16, 16, 73},
        {QStringLiteral("二次函数"), 112, 16, 73},
        {QStringLiteral("反比例函数"), 208, 16, 81},
        {QStringLiteral("幂函数"), 304, 16, 73},
        {QStringLiteral("指数函数"), 400, 16, 73},
        {QStringLiteral("对数函数"), 496, 16, 73},
        {QStringLiteral("正弦函数"), 592, 16, 73},
        {QStringLiteral("余弦函数"), 16, 56, 73},
        {QStringLiteral("正切函数"), 112, 56, 73},
        {QStringLiteral("余切函数"), 208, 56, 73},
        {QStringLiteral("圆"), 304, 56, 73},
        {QStringLiteral("椭圆"), 400, 56, 73},
        {QStringLiteral("双曲线"), 496, 56, 73},
        {QStringLiteral("抛物线"), 592, 56, 73},
        // The teacher's own function, in the bottom row's free stretch
        // between the credit line and the file entries.
        {QStringLiteral("自定义函数"), 400, 88, 81},
    };
    return table;
}

LabelLook lookOf(MenuLook look) {
    switch (look) {
    case MenuLook::Start: return {QColor(255, 255, 255), QColor(0, 0, 192), false};
    case MenuLook::Normal: return {QColor(255, 255, 255), QColor(0, 0, 255), false};
    case MenuLook::Selected: return {QColor(105, 203, 203), QColor(255, 0, 0), true};
    case MenuLook::Hovered: return {QColor(133, 235, 166), QColor(255, 0, 0), false};
    }
    return {};
}

const std::vector<FamilyKey>& familyKeys() {
    // Ctrl and a digit for the first ten families in the bar's order, Alt
    // and a digit for the four curves, Alt+5 for the teacher's own function.
    static const std::vector<FamilyKey> keys = [] {
        std::vector<FamilyKey> k;
        for (int i = 0; i < 9; ++i) k.push_back({QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_1 + i)), i});
        k.push_back({QKeySequence(Qt::CTRL | Qt::Key_0), 9});
        for (int i = 0; i < 4; ++i) k.push_back({QKeySequence(Qt::ALT | Qt::Key(Qt::Key_1 + i)), 10 + i});
        k.push_back({QKeySequence(Qt::ALT | Qt::Key_5), 14});
        return k;
    }();
    return keys;
}

SlideStep slideStep(int top, int windowHeight, bool collapsing) {
    if (collapsing) {
        const int next = top - 10;
        return {next, next <= 20 - windowHeight};
    }
    const int next = top + 10;
    return {next, next >= 6};
}

}  // namespace shell

using namespace shell;

namespace {
const QString kTitle = QStringLiteral("Vesmar函数分析作图器（V3.01）");
const QString kExitQuestion = QStringLiteral("您现在确实要退出“Vesmar函数分析作图器”吗？");
const QString kExitTitle = QStringLiteral("操作提示");
const QString kExpandTip = QStringLiteral("展开导航窗口");
// Client areas as laid out: the bar at the top, the family windows beneath it.
const QPoint kBarClient(36, 34);
const int kFamilyClientTop = 174;
}  // namespace

MainWindow::MainWindow()
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint) {
    initShellResources();
    a11y::markWindow(this);
    setObjectName(QStringLiteral("Formtop"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(kTitle);
    setFont(uiFont(QStringLiteral("宋体"), 10.5));
    setGeometry(36, 34, 794, 111);
    setFixedSize(794, 111);
    setMouseTracking(true);

    const QFont menuFont = uiFont(QStringLiteral("宋体"), 10.5, true);
    const auto& table = menuTable();
    for (int i = 0; i < kMenuCount; ++i) {
        auto* l = new ClickLabel(this);
        l->setObjectName(QStringLiteral("Labmenu(%1)").arg(i));
        l->setGeometry(table[i].x, table[i].y, table[i].w, 19);
        l->setText(table[i].caption);
        l->setAlignment(Qt::AlignCenter);
        l->setFont(menuFont);
        l->setCursor(Qt::PointingHandCursor);
        menu_[i] = l;
        setMenuLook(i, MenuLook::Start);
        connect(l, &ClickLabel::pressed, this, [this, i] { menuPressed(i); });
        connect(l, &ClickLabel::clicked, this, [this, i] { menuClicked(i); });
        connect(l, &ClickLabel::hovered, this, [this, i] { setMenuLook(i, MenuLook::Hovered); });
    }

    // Each image has a brighter twin at the same place that stands in for it
    // while the pointer is over it; the twin is the one that takes the click.
    help_ = image("Imagehelp", 696, 8, 33, 33, "help", QStringLiteral("帮助"));
    help2_ = image("Imagehelp2", 696, 8, 33, 33, "help_hi", QStringLiteral("帮助"));
    exit_ = image("Imageexit", 696, 56, 33, 33, "exit", QStringLiteral("退出"));
    exit2_ = image("Imageexit2", 696, 56, 33, 33, "exit_hi", QStringLiteral("退出"));
    yc_ = image("Imageyc", 752, 8, 32, 32, "collapse", QStringLiteral("收起导航窗口"));
    yc2_ = image("Imageyc2", 752, 8, 32, 32, "collapse_hi", QStringLiteral("收起导航窗口"));
    zk2_ = image("Imagezk2", 760, 96, 16, 16, "expand", kExpandTip);
    zk_ = image("Imagezk", 752, 80, 32, 32, "expand_hi", kExpandTip);
    decoration_ = image("Image1", 24, 80, 26, 26, "decoration", QString());
    help2_->hide();
    exit2_->hide();
    yc2_->hide();

    credit_ = new ClickLabel(this);
    credit_->setObjectName(QStringLiteral("Label1"));
    credit_->setGeometry(64, 88, 137, 17);
    credit_->setText(QStringLiteral("Vesmar工作室 出品"));
    credit_->setLook(QColor(0, 128, 0));
    credit_->setFontStyle(10.5, false, false);
    credit_->setCursor(Qt::PointingHandCursor);
    credit_->setToolTip(QStringLiteral("单击访问“Vesmar函数分析作图器”的官网"));

    // The plot-file entries share the bottom row's free space with the
    // credit line, in the menu's own look.
    auto fileEntry = [&](const char* name, int x, const QString& caption, const QString& tip) {
        auto* l = new ClickLabel(this);
        l->setObjectName(QString::fromLatin1(name));
        l->setGeometry(x, 88, 73, 19);
        l->setText(caption);
        l->setAlignment(Qt::AlignCenter);
        l->setFont(menuFont);
        l->setCursor(Qt::PointingHandCursor);
        l->setToolTip(tip);
        l->setAccessibleName(caption);
        const LabelLook look = lookOf(MenuLook::Normal);
        l->setLook(look.fore, look.back);
        connect(l, &ClickLabel::hovered, this, [l] {
            const LabelLook hover = lookOf(MenuLook::Hovered);
            l->setLook(hover.fore, hover.back);
        });
        return l;
    };
    const auto keyText = [](const QKeySequence& k) { return k.toString(QKeySequence::NativeText); };
    open_ = fileEntry("Labopen", 496, QStringLiteral("打开作图"),
                      QStringLiteral("打开保存过的作图文件（%1）").arg(keyText(plotactions::openKeys())));
    save_ = fileEntry(
        "Labsave", 592, QStringLiteral("保存作图"),
        QStringLiteral("把当前作图窗口的函数、参数和图像保存为作图文件（%1）").arg(keyText(plotactions::saveKeys())));
    connect(open_, &ClickLabel::clicked, this, [this] { plotactions::openByDialog(this); });
    connect(save_, &ClickLabel::clicked, this, [this] { plotactions::saveByDialog(this); });
    plotactions::addFileKeys(this);
    // A plot file opened from anywhere marks its family as chosen.
    connect(&FamilyManager::instance(), &FamilyManager::viewShown, this, [this](const FamilyEntry& e) {
        menuPressed(e.menuIndex);
        startSettling();
    });

    // The expand image is only at rest while the bar is collapsed.
    twins_ = {{help_, help2_, false}, {exit_, exit2_, false}, {yc_, yc2_, false}, {zk2_, zk_, true}};
    for (const HoverTwin& t : twins_) {
        connect(t.plain, &ClickLabel::hovered, this, [t] {
            t.bright->show();
            t.plain->hide();
        });
    }
    connect(credit_, &ClickLabel::hovered, this, [this] { credit_->setFontStyle(10.5, true, true); });

    connect(help_, &ClickLabel::clicked, this, &MainWindow::showHelp);
    connect(help2_, &ClickLabel::clicked, this, &MainWindow::showHelp);
    connect(exit_, &ClickLabel::clicked, this, &QWidget::close);
    connect(exit2_, &ClickLabel::clicked, this, &QWidget::close);
    connect(yc2_, &ClickLabel::clicked, this, &MainWindow::collapse);
    connect(zk_, &ClickLabel::clicked, this, &MainWindow::expand);
    // A page that cannot be opened is named in a message.
    connect(credit_, &ClickLabel::clicked, this, [this] { shell::openLink(this, shell::Link::Web, kWebAddress); });

    // Without a mouse: Tab and the arrows go round the entries, Enter or
    // Space (or a screen reader's Press) does what a click does.
    for (int i = 0; i < kMenuCount; ++i) {
        menu_[i]->makeReachable();
        connect(menu_[i], &ClickLabel::activated, this, [this, i] { chooseFamily(i); });
    }
    const std::pair<ClickLabel*, void (MainWindow::*)()> actions[] = {
        {help_, &MainWindow::showHelp},     {help2_, &MainWindow::showHelp}, {exit_, &MainWindow::requestExit},
        {exit2_, &MainWindow::requestExit}, {yc_, &MainWindow::collapse},    {yc2_, &MainWindow::collapse},
        {zk2_, &MainWindow::expand},        {zk_, &MainWindow::expand},
    };
    for (const auto& [label, action] : actions) {
        label->makeReachable();
        connect(label, &ClickLabel::activated, this, action);
    }
    credit_->makeReachable(true);
    connect(credit_, &ClickLabel::activated, this, [this] { shell::openLink(this, shell::Link::Web, kWebAddress); });
    for (ClickLabel* entry : {open_, save_}) entry->makeReachable();
    connect(open_, &ClickLabel::activated, this, [this] { plotactions::openByDialog(this); });
    connect(save_, &ClickLabel::activated, this, [this] { plotactions::saveByDialog(this); });

    // Keys that reach the families and the help from any window of the program.
    for (const FamilyKey& k : familyKeys()) {
        auto* s = new QShortcut(k.keys, this);
        s->setContext(Qt::ApplicationShortcut);
        connect(s, &QShortcut::activated, this, [this, i = k.menuIndex] { chooseFamily(i); });
    }
    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    help->setContext(Qt::ApplicationShortcut);
    connect(help, &QShortcut::activated, this, &MainWindow::showHelp);

    // Owned and named like the window's controls, so that a script can step
    // the slide tick by tick.
    timer_.setParent(this);
    timer_.setObjectName(QStringLiteral("Timer1"));
    timer_.setInterval(100);
    connect(&timer_, &QTimer::timeout, this, &MainWindow::tick);
    settleTimer_.setInterval(50);
    connect(&settleTimer_, &QTimer::timeout, this, &MainWindow::settle);
}

MainWindow::~MainWindow() = default;

ClickLabel* MainWindow::image(const char* name, int x, int y, int w, int h, const QString& picture,
                              const QString& tip) {
    auto* l = new ClickLabel(this);
    l->setObjectName(QString::fromLatin1(name));
    l->setGeometry(x, y, w, h);
    l->setPicture(picture);
    if (!tip.isEmpty()) l->setToolTip(tip);
    return l;
}

ClickLabel* MainWindow::menuLabel(int i) const { return i >= 0 && i < kMenuCount ? menu_[i] : nullptr; }

void MainWindow::start() {
    navCollapsed_ = false;
    currentMenu_ = 1;
    if (const FamilyEntry* e = familyByMenu(currentMenu_)) FamilyManager::instance().open(*e);
    platform().makeTopmost(this);
    zk_->hide();
    zk2_->hide();
    timer_.stop();
    show();
    raise();
    place(frameGeometry().top());
    startSettling();
}

namespace {
// Puts a framed window's client area at `client`. Some window managers keep
// the position a window asked for when it was first shown and ignore a
// request for that same position later, even when they put the frame
// there rather than the client area; a request one pixel off first makes
// the second one a real move.
void putClientAt(QWidget* w, QPoint client) {
    w->setGeometry(QRect(client + QPoint(0, 1), w->size()));
    w->setGeometry(QRect(client, w->size()));
}
}  // namespace

void MainWindow::startSettling() {
    settleTicks_ = 0;
    settleTimer_.start();
}

void MainWindow::settle() {
    // A window manager frames a window some time after it is shown, and
    // some put the frame rather than the client area at the place asked
    // for. Once the frames are known, the client areas are put where they
    // belong; a family window goes lower only when its title bar would
    // otherwise hide under the bar. Bounded: a desktop without frames stops
    // the checks after two seconds.
    ++settleTicks_;
    bool done = true;
    // The desktop may still be placing the window when its frame is first
    // known, and then overrides a move: wait a few ticks first.
    if (settleTicks_ < 6) return;
    const int barTitle = geometry().top() - frameGeometry().top();
    const int barLeft = geometry().left() - frameGeometry().left();
    if (barTitle <= 0) {
        done = false;
    } else if (!navCollapsed_ && !timer_.isActive()) {
        barSettled_ = true;
        if (geometry().topLeft() != kBarClient) {
            putClientAt(this, kBarClient);
            place(kBarClient.y() - barTitle, kBarClient.x() - barLeft);
            done = false;
        }
    }
    QWidget* family = FamilyManager::instance().current();
    if (family && family->isVisible()) {
        const int title = family->geometry().top() - family->frameGeometry().top();
        if (title > 0 && barSettled_) {
            const int barBottom = kBarClient.y() + height() - 1 + (frameGeometry().bottom() - geometry().bottom());
            const QPoint want(kBarClient.x(), shell::familyClientTop(kFamilyClientTop, barBottom, title));
            if (family->geometry().topLeft() != want) {
                putClientAt(family, want);
                done = false;
            }
        } else {
            done = false;
        }
    }
    if (done || settleTicks_ >= 40) settleTimer_.stop();
}

void MainWindow::place(int top, int left) {
    slideTop_ = top;
    placed_ = true;
    // Where the bar put itself; the driver's "get Formtop" reports it.
    setProperty("place", QPoint(left == kNoLeft ? frameGeometry().left() : left, top));
}

void MainWindow::setMenuLook(int i, MenuLook look) {
    ClickLabel* l = menuLabel(i);
    if (!l) return;
    const LabelLook s = lookOf(look);
    l->setLook(s.fore, s.back);
    if (look != MenuLook::Hovered) l->setItalic(s.italic);
}

void MainWindow::menuPressed(int i) {
    if (i < 0 || i >= kMenuCount) return;
    for (int j = 0; j < kMenuCount; ++j) setMenuLook(j, j == i ? MenuLook::Selected : MenuLook::Normal);
    currentMenu_ = i;
}

void MainWindow::menuClicked(int i) {
    if (i < 0 || i >= kMenuCount) return;
    if (const FamilyEntry* e = familyByMenu(i)) {
        FamilyManager::instance().open(*e);
        startSettling();
    }
}

void MainWindow::chooseFamily(int i) {
    menuPressed(i);
    menuClicked(i);
}

void MainWindow::requestExit() { close(); }

void MainWindow::keyPressEvent(QKeyEvent* e) {
    // The arrows walk the entries: left and right along Tab's order, up and
    // down between the two rows of family names.
    const int k = e->key();
    if (k != Qt::Key_Left && k != Qt::Key_Right && k != Qt::Key_Up && k != Qt::Key_Down)
        return QWidget::keyPressEvent(e);
    e->accept();
    for (int i = 0; i < kMenuCount; ++i) {
        if (!menu_[i]->hasFocus() || (k != Qt::Key_Up && k != Qt::Key_Down)) continue;
        const int j = k == Qt::Key_Down ? i + 7 : i - 7;
        if (j >= 0 && j < kMenuCount) menu_[j]->setFocus(Qt::TabFocusReason);
        return;
    }
    focusNextPrevChild(k == Qt::Key_Right || k == Qt::Key_Down);
}

void MainWindow::showHelp() {
    if (!helpWindow_) helpWindow_ = new HelpWindow;
    helpWindow_->showCentred();
}

void MainWindow::rest() {
    for (const HoverTwin& t : twins_) {
        if (t.onlyCollapsed && !navCollapsed_) continue;
        t.plain->show();
        t.bright->hide();
    }
    credit_->setFontStyle(10.5, false, false);
    for (ClickLabel* l : {open_, save_}) {
        const LabelLook look = lookOf(MenuLook::Normal);
        l->setLook(look.fore, look.back);
    }
    for (int j = 0; j < kMenuCount; ++j) setMenuLook(j, j == currentMenu_ ? MenuLook::Selected : MenuLook::Normal);
}

void MainWindow::collapse() { slide(true); }
void MainWindow::expand() { slide(false); }

void MainWindow::slide(bool up) {
    // A request while sliding turns the bar round where it is.
    // Otherwise it starts where it was put last, unless it has been moved
    // since: some platforms nudge a window reaching past the screen's edge by
    // a pixel or two, which must not add up over many slides.
    if (!timer_.isActive() && (!placed_ || std::abs(pos().y() - slideTop_) > 4)) slideTop_ = pos().y();
    navCollapsed_ = up;
    timer_.start();
}

void MainWindow::tick() {
    // The position is carried here rather than read back from the window, so
    // a window manager that refuses to place the bar off screen cannot keep
    // the timer running for ever.
    const SlideStep s = slideStep(slideTop_, frameGeometry().height(), navCollapsed_);
    move(pos().x(), s.top);
    place(s.top);
    if (!s.done) return;
    timer_.stop();
    if (navCollapsed_) {
        // The strip left on screen shows how to bring the bar back.
        if (!zk_->isVisible()) zk2_->show();
    } else {
        zk_->hide();
        zk2_->hide();
    }
}

void MainWindow::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (background_.size() != size() * devicePixelRatioF())
        background_ = picturePixmap(QStringLiteral("background"), size(), devicePixelRatioF());
    if (background_.isNull()) p.fillRect(rect(), QColor(214, 236, 250));
    else p.drawPixmap(0, 0, background_);
}

void MainWindow::mouseMoveEvent(QMouseEvent* e) {
    QWidget::mouseMoveEvent(e);
    rest();
}

void MainWindow::mousePressEvent(QMouseEvent* e) {
    QWidget::mousePressEvent(e);
    if (auto* focused = qobject_cast<ClickLabel*>(focusWidget())) focused->dropFocusMark();
    if (e->button() == Qt::LeftButton && navCollapsed_) expand();
}

void MainWindow::closeEvent(QCloseEvent* e) {
    if (exiting_) return e->accept();
    // A second close request while the question is up is the same request.
    if (asking_) return e->ignore();
    asking_ = true;
    const MsgReply reply = platform().messageBox(this, kExitQuestion, kExitTitle, MsgButtons::YesNo, MsgIcon::Question);
    asking_ = false;
    if (reply != MsgReply::Yes) return e->ignore();
    exiting_ = true;
    timer_.stop();
    closeOthers();
    e->accept();
}

void MainWindow::closeOthers() {
    if (helpWindow_) helpWindow_->close();
    // Family windows by number (quadratic, linear, ... parabola), then the viewer.
    for (int n = 1; n <= 15; ++n) {
        const QString name = QStringLiteral("Form%1").arg(n);
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == name && w->isVisible()) w->close();
    }
}
