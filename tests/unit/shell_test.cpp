// The navigation bar and the help window: menu looks, sliding, the exit
// question and the order windows close in, the links, and the pictures.
#include <QApplication>
#include <QEnterEvent>
#include <QIcon>
#include <QMouseEvent>
#include <QPrinter>
#include <QScreen>
#include <QTemporaryDir>
#include <QtTest>

#include "platform/platform.h"
#include "recording_platform.h"
#include "frame/family_manager.h"
#include "frame/family_window.h"
#include "shell/click_label.h"
#include "shell/help_window.h"
#include "shell/main_window.h"
#include "shell/shell.h"

using namespace shell;

namespace {

// A stand-in top-level window that records when it is closed.
class Recorder : public QWidget {
public:
    Recorder(const QString& name, QStringList& log) : log_(log) {
        setObjectName(name);
        setAttribute(Qt::WA_DeleteOnClose);
    }

protected:
    void closeEvent(QCloseEvent* e) override {
        log_ << objectName();
        QWidget::closeEvent(e);
    }

private:
    QStringList& log_;
};

void sendMove(QWidget* w) {
    const QPointF p(2, 2);
    QMouseEvent move(QEvent::MouseMove, p, w->mapToGlobal(p), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &move);
}

void sendClick(QWidget* w) {
    const QPointF c(w->width() / 2.0, w->height() / 2.0);
    QMouseEvent press(QEvent::MouseButtonPress, c, w->mapToGlobal(c), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, c, w->mapToGlobal(c), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &release);
}

QColor back(QWidget* w) { return w->autoFillBackground() ? w->palette().color(QPalette::Window) : QColor(); }
QColor fore(QWidget* w) { return w->palette().color(QPalette::WindowText); }

}  // namespace

class ShellTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        fake = new RecordingPlatform;
        fake->reply = MsgReply::Yes;
        setPlatform(fake);
    }
    void cleanup() {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* m = qobject_cast<MainWindow*>(w)) {
                fake->replies = {MsgReply::Yes};
                m->close();
            }
        }
        FamilyManager::instance().closeAll();
        for (QWidget* w : QApplication::topLevelWidgets()) w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        setPlatform(nullptr);
        delete fake;
    }

    void slideStepsEndPastTheLimits() {
        // From the start position the bar goes up in 10-pixel steps until at
        // most its bottom 20 pixels show, then comes down to 6 or more.
        for (int height : {111, 140}) {
            int top = 34, ticks = 0;
            SlideStep s{top, false};
            while (!s.done && ticks < 1000) s = slideStep(s.top, height, true), ++ticks;
            QVERIFY(s.top <= 20 - height);
            QVERIFY(s.top > 20 - height - 10);
            top = s.top;
            ticks = 0;
            s = {top, false};
            while (!s.done && ticks < 1000) s = slideStep(s.top, height, false), ++ticks;
            QVERIFY(s.top >= 6 && s.top < 16);
        }
        QCOMPARE(slideStep(34, 111, true).top, 24);
        QCOMPARE(slideStep(-96, 111, false).top, -86);
        // Already past the limit: one more step, then done.
        QVERIFY(slideStep(-200, 111, true).done);
        QVERIFY(slideStep(400, 111, false).done);
    }

    void startShowsTheBarTopmostInStartLook() {
        QWidget* w = startProgram();
        auto* bar = qobject_cast<MainWindow*>(w);
        QVERIFY(bar);
        QCOMPARE(bar->objectName(), QStringLiteral("Formtop"));
        QCOMPARE(bar->windowTitle(), QStringLiteral("Vesmar函数分析作图器（V3.01）"));
        QCOMPARE(bar->size(), QSize(794, 111));
        // The client area at (36, 34); some platforms place the frame there.
        const int margin = (bar->frameGeometry().height() - bar->height()) / 2;
        QVERIFY(qAbs(bar->geometry().left() - 36) <= margin && qAbs(bar->geometry().top() - 34) <= margin);
        QVERIFY(bar->isVisible());
        QVERIFY(bar->windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(fake->topmost, QStringList{QStringLiteral("Formtop")});
        QCOMPARE(bar->currentMenu(), 1);
        QVERIFY(!bar->collapsed());
        QVERIFY(!bar->sliding());
        QVERIFY(!bar->findChild<QWidget*>("Imagezk")->isVisibleTo(bar));
        QVERIFY(!bar->findChild<QWidget*>("Imagezk2")->isVisibleTo(bar));
        // Every label, the chosen one too, waits in the start look.
        for (int i = 0; i < kMenuCount; ++i) {
            ClickLabel* l = bar->menuLabel(i);
            QCOMPARE(l->text(), menuTable()[i].caption);
            QCOMPARE(back(l), QColor(255, 255, 255));
            QCOMPARE(fore(l), QColor(0, 0, 192));
            QVERIFY(l->font().bold());
            QVERIFY(!l->font().italic());
        }
        QCOMPARE(bar->menuLabel(2)->width(), 81);
        // The windows share the program's one icon, decoded once (given
        // when the event loop first runs).
        QTRY_VERIFY(!QApplication::windowIcon().isNull());
        QCOMPARE(bar->windowIcon().cacheKey(), QApplication::windowIcon().cacheKey());
        QCOMPARE(programIcon().cacheKey(), QApplication::windowIcon().cacheKey());
        // Starting again keeps the one bar.
        QCOMPARE(startProgram(), w);
    }

    // A view that comes back from a file or the recovery file marks its
    // family in the bar as choosing it there would; a view of no family the
    // program knows opens nothing.
    void aShownViewMarksItsFamily() {
        auto* bar = qobject_cast<MainWindow*>(startProgram());
        QVERIFY(bar);
        const FamilyEntry* sine = familyByKey(QStringLiteral("sine"));
        QVERIFY(sine && sine->menuIndex != bar->currentMenu());
        View v = FamilyManager::instance().open(*sine)->views().take();
        FamilyManager::instance().closeAll();
        QVERIFY(bar->currentMenu() != sine->menuIndex);
        FamilyWindow* w = FamilyManager::instance().showView(v);
        QVERIFY(w && w->isVisible());
        QCOMPARE(w->traits().number, sine->number);
        QCOMPARE(bar->currentMenu(), sine->menuIndex);
        v.family = QStringLiteral("no-such-family");
        QVERIFY(!FamilyManager::instance().showView(v));
        QCOMPARE(FamilyManager::instance().current(), w);
    }

    // The brighter twin that stands in for a picture under the pointer shows
    // its own picture, sharp at the screen's pixel ratio.
    void hoverTwinsShowTheirPictures() {
        auto* bar = qobject_cast<MainWindow*>(startProgram());
        QVERIFY(bar && QTest::qWaitForWindowExposed(bar));
        for (const auto& [plainName, twinName] :
             {std::pair{"Imagehelp", "Imagehelp2"}, {"Imageexit", "Imageexit2"}, {"Imageyc", "Imageyc2"}}) {
            auto* plain = bar->findChild<ClickLabel*>(QLatin1String(plainName));
            auto* twin = bar->findChild<ClickLabel*>(QLatin1String(twinName));
            QVERIFY2(plain && twin && plain->isVisible() && !twin->isVisible(), plainName);
            QVERIFY2(!plain->pixmap().isNull(), plainName);
            QEnterEvent enter(QPointF(3, 3), QPointF(3, 3), plain->mapToGlobal(QPointF(3, 3)));
            QApplication::sendEvent(plain, &enter);
            QVERIFY2(twin->isVisible() && !plain->isVisible(), twinName);
            const QPixmap shown = twin->pixmap();
            QVERIFY2(!shown.isNull(), twinName);
            QCOMPARE(shown.size(), twin->size() * twin->devicePixelRatioF());
            QVERIFY(shown.toImage() != plain->pixmap().toImage());
        }
    }

    void pressSelectsEvenWithoutAWindow() {
        auto* bar = qobject_cast<MainWindow*>(startProgram());
        ClickLabel* l5 = bar->menuLabel(5);
        ClickLabel* l1 = bar->menuLabel(1);
        // A press selects at once; the label leaves the start look for good.
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(3, 3), l5->mapToGlobal(QPointF(3, 3)), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(l5, &press);
        QCOMPARE(bar->currentMenu(), 5);
        QCOMPARE(back(l5), QColor(105, 203, 203));
        QVERIFY(l5->font().italic() && l5->font().bold());
        QCOMPARE(fore(l1), QColor(0, 0, 255));
        QVERIFY(!l1->font().italic());
        // Indexes outside the menu change nothing.
        bar->menuPressed(kMenuCount);
        bar->menuPressed(-1);
        bar->menuClicked(99);
        QCOMPARE(bar->currentMenu(), 5);
    }

    void collapseExpandAndReverse() {
        auto* bar = qobject_cast<MainWindow*>(startProgram());
        const int h = bar->frameGeometry().height();
        // The offscreen platform reports positions off by up to the frame
        // width after a move; a real desktop does not.
        const int margin = (h - bar->height()) / 2;
        QWidget* yc2 = bar->findChild<QWidget*>("Imageyc2");
        // The hidden twin cannot be clicked; the pointer shows it first.
        sendMove(bar->findChild<QWidget*>("Imageyc"));
        sendClick(yc2);
        QVERIFY(bar->collapsed());
        QTRY_VERIFY_WITH_TIMEOUT(!bar->sliding(), 5000);
        QVERIFY(bar->pos().y() <= 20 - h + margin);
        QVERIFY(bar->findChild<QWidget*>("Imagezk2")->isVisibleTo(bar));
        // Clicking the strip's background brings it back.
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(300, 100), bar->mapToGlobal(QPointF(300, 100)),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(bar, &press);
        QVERIFY(!bar->collapsed());
        QTRY_VERIFY_WITH_TIMEOUT(!bar->sliding(), 5000);
        QVERIFY(bar->pos().y() >= 6 - margin);
        QVERIFY(!bar->findChild<QWidget*>("Imagezk")->isVisibleTo(bar));
        QVERIFY(!bar->findChild<QWidget*>("Imagezk2")->isVisibleTo(bar));
        // Reversing half way: the bar turns round where it is.
        const int before = bar->pos().y();
        bar->collapse();
        // A few ticks up, however slowly the timer runs, then back.
        QTRY_VERIFY_WITH_TIMEOUT(bar->pos().y() < before - 20, 5000);
        QVERIFY(bar->sliding());
        bar->expand();
        QTRY_VERIFY_WITH_TIMEOUT(!bar->sliding(), 5000);
        QVERIFY(bar->pos().y() >= 6 - margin && bar->pos().y() < 16 + margin);
    }

    void exitAsksAndClosesInOrder() {
        auto* bar = qobject_cast<MainWindow*>(startProgram());
        QStringList log;
        // Stand-ins, opened in another order than the one they close in.
        for (const char* name : {"Form15", "Form14", "Form2", "Form1", "Form7"}) (new Recorder(name, log))->show();
        bar->showHelp();
        QPointer<QWidget> help;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == QLatin1String("Formhelp")) help = w;
        QVERIFY(help && help->isVisible());

        fake->replies = {MsgReply::No};
        QVERIFY(!bar->close());
        QCOMPARE(fake->asked(), QStringList{QStringLiteral("操作提示|您现在确实要退出“Vesmar函数分析作图器”吗？")});
        QVERIFY(fake->boxes.back().buttons == MsgButtons::YesNo);
        QVERIFY(fake->boxes.back().icon == MsgIcon::Question);
        QVERIFY(bar->isVisible() && help->isVisible());
        QVERIFY(log.isEmpty());

        QPointer<MainWindow> guard(bar);
        fake->replies = {MsgReply::Yes};
        sendMove(bar->findChild<QWidget*>("Imageexit"));
        sendClick(bar->findChild<QWidget*>("Imageexit2"));
        QCOMPARE(fake->asked().size(), 2);
        QCOMPARE(log, (QStringList{"Form1", "Form2", "Form7", "Form14", "Form15"}));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!guard);
        QVERIFY(!help);
        // A new start builds a fresh bar.
        QWidget* again = startProgram();
        QVERIFY(again && again->isVisible());
    }

    void familyChoiceKeepsOneWindow() {
        const FamilyEntry* linear = familyByMenu(0);
        if (!linear || !linear->create) QSKIP("the linear window is not built");
        auto* bar = qobject_cast<MainWindow*>(startProgram());
        sendClick(bar->menuLabel(0));
        FamilyWindow* first = FamilyManager::instance().window(2);
        QVERIFY(first);
        sendClick(bar->menuLabel(0));
        QCOMPARE(FamilyManager::instance().window(2), first);
        // A family that does not exist yet leaves the open one alone.
        for (int i = 0; i < kMenuCount; ++i) {
            const FamilyEntry* e = familyByMenu(i);
            if (e && !e->create) {
                sendClick(bar->menuLabel(i));
                QCOMPARE(FamilyManager::instance().window(2), first);
                QCOMPARE(bar->currentMenu(), i);
                break;
            }
        }
    }

    void helpWindowOpensCentredOnce() {
        auto* bar = qobject_cast<MainWindow*>(startProgram());
        bar->showHelp();
        HelpWindow* help = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* h = qobject_cast<HelpWindow*>(w)) help = h;
        QVERIFY(help);
        QCOMPARE(help->size(), QSize(351, 465));
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY((help->frameGeometry().center() - screen.center()).manhattanLength() <= 4);
        // Showing it again brings the same window forward.
        bar->showHelp();
        int count = 0;
        for (QWidget* w : QApplication::topLevelWidgets()) count += qobject_cast<HelpWindow*>(w) && w->isVisible();
        QCOMPARE(count, 1);
        // The opener fails here: each link says so and names what it tried,
        // so the student can open it by hand.
        for (const char* name : {"Label8", "Label5", "Label4"}) sendClick(help->findChild<QWidget*>(name));
        QCOMPARE(fake->opened.size(), 3);
        const QString document = fake->opened.at(0);
        QVERIFY2(document.endsWith(QLatin1String("readme/index.htm")), qPrintable(document));
        QCOMPARE(fake->opened.mid(1), (QStringList{kWebAddress, QStringLiteral("mailto:") + kMailAddress}));
        const QString shown = QDir::cleanPath(QDir::current().absoluteFilePath(document));
        QCOMPARE(fake->asked(), (QStringList{
                                    "提示|无法打开使用教程：\n" + shown + "\n请确认这个文件存在，再用浏览器打开它。",
                                    "提示|无法打开网页：\n" + kWebAddress + "\n请在浏览器中输入这个地址访问。",
                                    "提示|无法打开邮件程序：\n" + kMailAddress + "\n请用你的邮箱给这个地址写信。",
                                }));
        QCOMPARE(fake->boxes.back().icon, MsgIcon::Exclamation);
        // The bar's credit line is the web link too.
        fake->boxes.clear();
        sendClick(bar->findChild<QWidget*>(QStringLiteral("Label1")));
        QCOMPARE(fake->asked(),
                 QStringList{"提示|无法打开网页：\n" + kWebAddress + "\n请在浏览器中输入这个地址访问。"});
        QVERIFY(help->isVisible());
    }

    void aFailureFoundLaterIsToldToo() {
        auto* bar = qobject_cast<MainWindow*>(startProgram());
        bar->showHelp();
        fake->openerStarts = true;
        sendClick(bar->findChild<QWidget*>(QStringLiteral("Label1")));
        QCOMPARE(fake->opened, QStringList{kWebAddress});
        QVERIFY(fake->asked().isEmpty());  // started: nothing to say yet
        QCOMPARE(fake->late.size(), size_t(1));
        fake->late.front()();
        QCOMPARE(fake->asked(),
                 QStringList{"提示|无法打开网页：\n" + kWebAddress + "\n请在浏览器中输入这个地址访问。"});
        fake->openerStarts = false;
        fake->late.clear();
    }

    // The desktop's own opener: its exit status tells whether anything
    // opened the address. A stand-in xdg-open on PATH records what it was
    // given and fails for addresses with "nohandler" in them.
    void desktopOpenerReportsALateFailure() {
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
        QTemporaryDir bin;
        QVERIFY(bin.isValid());
        QFile opener(bin.filePath(QStringLiteral("xdg-open")));
        QVERIFY(opener.open(QIODevice::WriteOnly));
        opener.write(
            "#!/bin/sh\necho \"$1\" >> \"$(dirname \"$0\")/given\"\ncase \"$1\" in *nohandler*) exit 3;; esac\n");
        opener.close();
        QVERIFY(opener.setPermissions(opener.permissions() | QFileDevice::ExeOwner));
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(bin.path()) + ':' + path);
        setPlatform(nullptr);
        QStringList failed;
        const bool a = platform().openDocumentWatched(QStringLiteral("https://example.org/fine"),
                                                      [&] { failed << QStringLiteral("fine"); });
        const bool b = platform().openDocumentWatched(QStringLiteral("https://example.org/nohandler"),
                                                      [&] { failed << QStringLiteral("nohandler"); });
        qputenv("PATH", path);
        setPlatform(fake);
        QVERIFY(a && b);  // both started
        QTRY_COMPARE_WITH_TIMEOUT(failed, QStringList{QStringLiteral("nohandler")}, 20000);
        // Both openers write their line, in either order, each when it runs.
        auto given = [&bin] {
            QFile f(bin.filePath(QStringLiteral("given")));
            QStringList lines;
            if (f.open(QIODevice::ReadOnly))
                lines = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
            lines.sort();
            return lines;
        };
        QTRY_COMPARE_WITH_TIMEOUT(given().size(), 2, 20000);
        const QStringList lines = given();
        QCOMPARE(lines, (QStringList{QStringLiteral("https://example.org/fine"),
                                     QStringLiteral("https://example.org/nohandler")}));
#else
        QSKIP("no xdg-open on this system");
#endif
    }

    void desktopOpenerSkipsMissingDocuments() {
        // Run from a folder without the document, the tutorial link must fail
        // quietly instead of handing a dead path to the desktop.
        setPlatform(nullptr);
        QTemporaryDir empty;
        const QString here = QDir::currentPath();
        QDir::setCurrent(empty.path());
        const bool opened = platform().openDocument(kTutorial);
        QDir::setCurrent(here);
        setPlatform(fake);
        QVERIFY(!opened);
    }

    // Every picture is there at 1x, 2x and 3x; a screen gets the rendering
    // with enough pixels for it (never a small one blown up), scaled down
    // smoothly in between.
    void everyPictureRenders() {
        initShellResources();
        for (const char* name : {"background", "help", "help_hi", "exit", "exit_hi", "collapse", "collapse_hi",
                                 "expand", "expand_hi", "decoration", "mail", "web", "tutorial"}) {
            const QString n = QLatin1String(name);
            const QImage one(QStringLiteral(":/images/%1.png").arg(n));
            QVERIFY2(!one.isNull(), name);
            for (int f : {2, 3}) {
                const QImage big(QStringLiteral(":/images/%1@%2x.png").arg(n).arg(f));
                QCOMPARE(big.size(), one.size() * f);
            }
            const QSize size = one.size();
            // Not blank: the centre of every picture is painted.
            QVERIFY2(one.pixelColor(size.width() / 2, size.height() / 2).alpha() > 0, name);
            const QPixmap at1 = picturePixmap(n, size, 1), at2 = picturePixmap(n, size, 2);
            // Compared as the pixmaps hold them (premultiplied).
            const auto pm = QImage::Format_ARGB32_Premultiplied;
            QCOMPARE(at1.toImage().convertToFormat(pm), one.convertToFormat(pm));
            QCOMPARE(at2.toImage().convertToFormat(pm),
                     QImage(QStringLiteral(":/images/%1@2x.png").arg(n)).convertToFormat(pm));
            QCOMPARE(at2.devicePixelRatio(), 2.0);
            const QPixmap at15 = picturePixmap(n, size, 1.5);
            QCOMPARE(at15.size(), size * 1.5);
            QCOMPARE(at15.devicePixelRatio(), 1.5);
        }
        QVERIFY(picturePixmap(QStringLiteral("missing"), QSize(16, 16)).isNull());
        // The program's icon at the sizes desktops ask for.
        const QIcon icon = programIcon();
        for (int side : {16, 32, 48, 128}) QCOMPARE(icon.pixmap(QSize(side, side)).size(), QSize(side, side));
    }

private:
    RecordingPlatform* fake = nullptr;
};

QTEST_MAIN(ShellTest)
#include "shell_test.moc"
