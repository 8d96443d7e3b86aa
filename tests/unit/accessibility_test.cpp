// What a screen reader finds in the windows: a name for every control it can
// act on, windows that say they are windows, the bar's entries reached and
// pressed without a mouse, results said aloud when a button fills them, and
// the picture described after every change.
#include <QAccessible>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QtTest>

#include "driver/named.h"
#include "frame/accessibility.h"
#include "frame/family_manager.h"
#include "frame/family_window.h"
#include "numfmt/numfmt.h"
#include "platform/platform.h"
#include "recording_platform.h"
#include "render/canvas_widget.h"
#include "shell/click_label.h"
#include "shell/help_window.h"
#include "shell/main_window.h"
#include "test_support.h"
#include "tools/hear.h"
#include "tools/install.h"
#include "tools/trace.h"

namespace {

QAccessibleInterface* iface(QWidget* w) { return QAccessible::queryAccessibleInterface(w); }
QString nameOf(QWidget* w) { return w ? iface(w)->text(QAccessible::Name) : QStringLiteral("(no widget)"); }

template <class W = QWidget>
W* child(FamilyWindow* w, const char* name) {
    return qobject_cast<W*>(namedControl(w, QString::fromLatin1(name)));
}

void type(FamilyWindow* w, const char* name, const QString& text) {
    auto* e = child<QLineEdit>(w, name);
    QVERIFY2(e, name);
    e->setText(text);
}

// What a screen reader is told as news: the name of a notification that is
// shown with it. Anything else (another role, a hidden object, a name that is
// not the news) is noted as a fault.
struct Told {
    QStringList news;
    QStringList faults;
};
Told& told() {
    static Told t;
    return t;
}
void hear(QWidget* said, const QString& news) {
    told().news << news;
    QAccessibleInterface* i = QAccessible::queryAccessibleInterface(said);
    if (!i || i->role() != QAccessible::Notification || i->text(QAccessible::Name) != news ||
        !said->isVisibleTo(said->window()))
        told().faults << QStringLiteral("not said as a notification: ") + news;
}

// Everything a screen reader asks of a window's nodes, asked of each node.
int walkTree(QAccessibleInterface* i, int depth = 0) {
    if (!i || depth > 40) return 0;
    int nodes = 1;
    for (QAccessible::Text t : {QAccessible::Name, QAccessible::Description, QAccessible::Value, QAccessible::Help})
        (void)i->text(t);
    (void)i->role();
    (void)i->state();
    (void)i->rect();
    if (QAccessibleValueInterface* v = i->valueInterface()) {
        (void)v->currentValue();
        (void)v->minimumValue();
        (void)v->maximumValue();
    }
    if (QAccessibleTextInterface* t = i->textInterface()) (void)t->text(0, t->characterCount());
    if (QAccessibleActionInterface* a = i->actionInterface()) (void)a->actionNames();
    for (int c = 0; c < i->childCount(); ++c) nodes += walkTree(i->child(c), depth + 1);
    return nodes;
}

QStringList& warnings() {
    static QStringList w;
    return w;
}
void noteWarnings(QtMsgType type, const QMessageLogContext&, const QString& text) {
    // (The offscreen platform cannot raise a window; that is the test's platform, not the program.)
    if (type != QtDebugMsg && type != QtInfoMsg && !text.contains(QLatin1String("does not support raise()")))
        warnings() << text;
}

QWidget* helpWindow() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("Formhelp") && w->isVisible()) return w;
    return nullptr;
}

}  // namespace

class AccessibilityTest : public QObject {
    Q_OBJECT
    RecordingPlatform fake_;

private slots:
    void init() { setPlatform(&fake_); }
    void cleanup() {
        told() = {};
        if (QWidget* h = helpWindow()) h->close();
        closeWindowsAndRestore(fake_);
    }

    // Every window walked as a screen reader walks it, every node asked
    // everything: a name for every control, windows that say they are
    // windows, and not one warning from the toolkit on the way.
    void everyControlIsNamedInEveryWindow() {
        QStringList bad;
        warnings().clear();
        const QtMessageHandler before = qInstallMessageHandler(noteWarnings);
        for (const FamilyEntry& e : familyTable()) {
            FamilyWindow* w = FamilyManager::instance().open(e);
            QVERIFY(QTest::qWaitForWindowExposed(w));
            w->redrawClicked();
            if (walkTree(iface(w)) < 20) bad << e.key + QStringLiteral(": hardly any nodes");
            bad << a11y::unnamedControls(w);
            QAccessibleInterface* i = iface(w);
            if (i->role() != QAccessible::Window || i->text(QAccessible::Name) != w->windowTitle())
                bad << w->objectName() + QStringLiteral(": not a window named by its title");
        }
        MainWindow bar;
        bad << a11y::unnamedControls(&bar);
        HelpWindow help;
        bad << a11y::unnamedControls(&help);
        walkTree(iface(&bar));
        walkTree(iface(&help));
        qInstallMessageHandler(before);
        QCOMPARE(warnings(), QStringList());
        QCOMPARE(bad, QStringList());
        QCOMPARE(iface(&bar)->role(), QAccessible::Window);
    }

    // The boxes say what they hold, and no two controls of a panel share a name.
    void boxesAreNamedByTheirCaptions() {
        FamilyWindow* w = FamilyManager::instance().open(*familyByMenu(1));
        QCOMPARE(nameOf(child(w, "Text1(0)")), QStringLiteral("参数 a"));
        QCOMPARE(nameOf(child(w, "Text1(2)")), QStringLiteral("参数 c"));
        QCOMPARE(nameOf(child(w, "HScroll2")), QStringLiteral("参数 b 滑块"));
        QCOMPARE(nameOf(child(w, "Tx1")), QStringLiteral("速查：X 的值"));
        QCOMPARE(nameOf(child(w, "Ty1")), QStringLiteral("速查结果：y"));
        QCOMPARE(nameOf(child(w, "Ty2")), QStringLiteral("速查：y 的值"));
        QCOMPARE(nameOf(child(w, "Tx2")), QStringLiteral("速查结果：X1"));
        QCOMPARE(nameOf(child(w, "Tx3")), QStringLiteral("速查结果：X2"));
        // The two buttons of the look-up panels share a caption, not a name.
        QCOMPARE(nameOf(child(w, "cay")), QStringLiteral("速查 y：计算得"));
        QCOMPARE(nameOf(child(w, "cax")), QStringLiteral("速查 x：计算得"));
        // Fractions and the tools say which part they are.
        FamilyWindow* sine = FamilyManager::instance().open(*familyByMenu(6));
        QCOMPARE(nameOf(child(sine, "Text5")), QStringLiteral("相位 p 的分母"));
        QCOMPARE(nameOf(child(sine, "HScroll5")), QStringLiteral("相位 p 的分母 滑块"));
        QCOMPARE(nameOf(child(sine, "Ty1")), QStringLiteral("速查结果：y"));
        // (On Linux a drop-down list reads out its current item as its name.)
        QCOMPARE(child(sine, "Combo1sh")->accessibleName(), QStringLiteral("手绘颜色"));
        // Its list, made when first asked for, is named as the box is.
        auto* colours = qobject_cast<QComboBox*>(child(sine, "Combo1sh"));
        QVERIFY(colours);
        QAccessibleInterface* box = iface(colours);
        QVERIFY(box);
        QAccessibleInterface* list = nullptr;
        for (int i = 0; i < box->childCount() && !list; ++i)
            if (box->child(i) && box->child(i)->object() == colours->view()) list = box->child(i);
        QVERIFY(list);
        QCOMPARE(list->text(QAccessible::Name), QStringLiteral("手绘颜色"));
        QCOMPARE(a11y::captionName(QStringLiteral(" k ＝ ")), QStringLiteral("k"));
        QCOMPARE(a11y::captionName(QStringLiteral("：")), QString());
    }

    // A widget made without a parent (a message box makes its buttons so, and
    // gives them a parent later) keeps what it is: the toolkit keeps the first
    // answer, and a button taken for a window would be read as a nameless frame.
    void aParentlessWidgetIsNoWindow() {
        a11y::install();
        auto* button = new QPushButton(QStringLiteral("确定"));
        QAccessibleInterface* i = iface(button);
        QCOMPARE(i->role(), QAccessible::PushButton);
        QCOMPARE(i->text(QAccessible::Name), QStringLiteral("确定"));
        QWidget box;
        button->setParent(&box);
        QCOMPARE(iface(button)->role(), QAccessible::PushButton);
        QCOMPARE(iface(&box)->role() == QAccessible::Window, false);
    }

    // A slider says the number its box shows, whether the box was typed in
    // or the slider moved; its range is the box's numbers at its two ends.
    void slidersSayTheirBoxes() {
        int checked = 0;
        auto boxNamed = [](FamilyWindow* w, const QString& name) -> QLineEdit* {
            for (QLineEdit* e : w->findChildren<QLineEdit*>())
                if (nameOf(e) == name) return e;
            return nullptr;
        };
        for (const FamilyEntry& e : familyTable()) {
            FamilyWindow* w = FamilyManager::instance().open(e);
            for (QScrollBar* s : w->findChildren<QScrollBar*>()) {
                // (The scroll bars of lists belong to the lists.)
                if (s->objectName().isEmpty()) continue;
                const QString name = nameOf(s);
                // "参数 b 滑块" moves "参数 b"; "参数 a 整数部分滑块" moves "参数 a".
                static const QRegularExpression part(QStringLiteral("\\s*(整数部分|十分位)?滑块$"));
                QVERIFY2(name.contains(part), qPrintable(e.key + ": " + s->objectName() + " " + name));
                QLineEdit* box = boxNamed(w, QString(name).remove(part));
                QVERIFY2(box, qPrintable(e.key + ": " + name));
                QAccessibleValueInterface* v = iface(s)->valueInterface();
                QVERIFY2(v, qPrintable(name));
                auto says = [&] {
                    return QStringLiteral("%1 says %2, its box %3")
                        .arg(name, v->currentValue().toString(), box->text());
                };
                bool ok = false;
                const double shown = box->text().toDouble(&ok);
                QVERIFY2(ok && v->currentValue().toDouble() == shown, qPrintable(e.key + ": " + says()));
                s->setValue(s->maximum());
                QVERIFY2(v->currentValue().toDouble() == box->text().toDouble(), qPrintable(e.key + ": " + says()));
                QVERIFY2(v->maximumValue().toDouble() == box->text().toDouble() ||
                             v->minimumValue().toDouble() == box->text().toDouble(),
                         qPrintable(e.key + ": " + says()));
                ++checked;
            }
        }
        QVERIFY2(checked >= 20, qPrintable(QString::number(checked)));
        // Typed, not slid: the slider stays put and still says the box.
        FamilyWindow* w = FamilyManager::instance().open(*familyByMenu(1));
        type(w, "Text1(0)", "2");
        auto* a = child<QScrollBar>(w, "HScroll1");
        QCOMPARE(iface(a)->valueInterface()->currentValue().toDouble(), 2.0);
        // A screen reader that sets the value moves the slider there.
        iface(a)->valueInterface()->setCurrentValue(-3);
        QCOMPARE(child<QLineEdit>(w, "Text1(0)")->text(), QStringLiteral("-3"));
    }

    void barEntriesArePressedWithoutAMouse() {
        MainWindow bar;
        for (int i = 0; i < 14; ++i) {
            QAccessibleInterface* e = iface(bar.menuLabel(i));
            QCOMPARE(e->role(), QAccessible::Button);
            QCOMPARE(e->text(QAccessible::Name), shell::menuTable()[i].caption);
            QVERIFY(e->state().focusable);
            QVERIFY(e->actionInterface());
            QVERIFY(e->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
            e->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
            const int number = familyByMenu(i)->number;
            QTRY_VERIFY(FamilyManager::instance().current() &&
                        FamilyManager::instance().current()->objectName() == QStringLiteral("Form%1").arg(number));
            QCOMPARE(bar.currentMenu(), i);
        }
        // The images are named by their tooltips; the help image opens the help.
        auto* help = bar.findChild<ClickLabel*>(QStringLiteral("Imagehelp"));
        QCOMPARE(nameOf(help), QStringLiteral("帮助"));
        iface(help)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QTRY_VERIFY(helpWindow());
    }

    void theKeyboardWalksTheBar() {
        MainWindow bar;
        bar.show();
        QApplication::setActiveWindow(&bar);
        QVERIFY(QTest::qWaitForWindowActive(&bar));
        ClickLabel* first = bar.menuLabel(0);
        // The window's own first focus shows no mark: the bar looks as designed.
        first->setFocus(Qt::ActiveWindowFocusReason);
        QVERIFY(first->hasFocus());
        QVERIFY(!first->showsFocusMark());
        QTest::keyClick(first, Qt::Key_Right);
        QVERIFY(bar.menuLabel(1)->hasFocus());
        QVERIFY(bar.menuLabel(1)->showsFocusMark());
        QTest::keyClick(bar.menuLabel(1), Qt::Key_Down);
        QVERIFY(bar.menuLabel(8)->hasFocus());
        QTest::keyClick(bar.menuLabel(8), Qt::Key_Up);
        QVERIFY(bar.menuLabel(1)->hasFocus());
        QTest::keyClick(bar.menuLabel(1), Qt::Key_Left);
        QVERIFY(first->hasFocus());
        QVERIFY(first->showsFocusMark());
        // A click elsewhere on the bar takes the mark away; the focus stays.
        QTest::mouseClick(&bar, Qt::LeftButton, {}, QPoint(400, 100));
        QVERIFY(first->hasFocus());
        QVERIFY(!first->showsFocusMark());
        // Tab goes on past the last entry (the own function) to the help image.
        bar.menuLabel(shell::kMenuCount - 1)->setFocus(Qt::TabFocusReason);
        QTest::keyClick(bar.menuLabel(shell::kMenuCount - 1), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("Imagehelp"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        QTRY_VERIFY(helpWindow());
        helpWindow()->close();
        // The plot-file entries come after the credit line; Enter and Space
        // open their dialogs.
        auto* credit = bar.findChild<ClickLabel*>(QStringLiteral("Label1"));
        credit->setFocus(Qt::TabFocusReason);
        QTest::keyClick(credit, Qt::Key_Right);
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("Labopen"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("Labsave"));
        FamilyManager::instance().open(*familyByMenu(0));
        QApplication::setActiveWindow(&bar);
        QVERIFY(QTest::qWaitForWindowActive(&bar));
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("Labsave"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        QCOMPARE(fake_.dialogs, (std::vector<QString>{QStringLiteral("打开作图"), QStringLiteral("保存作图")}));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Left);
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("Labopen"));
        // Enter opens the family of the entry with the focus.
        bar.menuLabel(11)->setFocus(Qt::TabFocusReason);
        QTest::keyClick(bar.menuLabel(11), Qt::Key_Return);
        QVERIFY(FamilyManager::instance().current());
        QCOMPARE(FamilyManager::instance().current()->objectName(),
                 QStringLiteral("Form%1").arg(familyByMenu(11)->number));
        QCOMPARE(bar.currentMenu(), 11);
    }

    void shortcutsReachTheFamiliesFromAnyWindow() {
        MainWindow bar;
        bar.show();
        QCOMPARE(int(shell::familyKeys().size()), 15);
        FamilyWindow* w = FamilyManager::instance().open(*familyByMenu(1));
        QApplication::setActiveWindow(w);
        QVERIFY(QTest::qWaitForWindowActive(w));
        QTest::keyClick(w, Qt::Key_3, Qt::ControlModifier);
        QCOMPARE(FamilyManager::instance().current()->objectName(),
                 QStringLiteral("Form%1").arg(familyByMenu(2)->number));
        FamilyWindow* now = FamilyManager::instance().current();
        QApplication::setActiveWindow(now);
        QVERIFY(QTest::qWaitForWindowActive(now));
        QTest::keyClick(now, Qt::Key_4, Qt::AltModifier);
        QCOMPARE(FamilyManager::instance().current()->objectName(),
                 QStringLiteral("Form%1").arg(familyByMenu(13)->number));
        now = FamilyManager::instance().current();
        QApplication::setActiveWindow(now);
        QVERIFY(QTest::qWaitForWindowActive(now));
        QTest::keyClick(now, Qt::Key_5, Qt::AltModifier);
        QCOMPARE(FamilyManager::instance().current()->objectName(),
                 QStringLiteral("Form%1").arg(familyByKey(QStringLiteral("own"))->number));
        now = FamilyManager::instance().current();
        QApplication::setActiveWindow(now);
        QVERIFY(QTest::qWaitForWindowActive(now));
        QTest::keyClick(now, Qt::Key_F1);
        QTRY_VERIFY(helpWindow());
    }

    // Each piece of news is said once, with its text, wherever the focus is:
    // a redraw's new description, a feature or look-up result (with the
    // box's name, without the box's blanks); what did not change is no news.
    void resultsAreSaidAloud() {
        FamilyWindow* w = FamilyManager::instance().open(*familyByMenu(1));
        type(w, "Text1(0)", "1");
        type(w, "Text1(2)", "-4");
        auto description = [w] { return iface(w->canvasWidget())->text(QAccessible::Description); };
        told().news.clear();
        click(w, "Command1");
        // The curve's label is within the description: said once, within it.
        QCOMPARE(told().news, QStringList{description()});
        QVERIFY2(description().contains(QStringLiteral("顶点 (0,-4)")), qPrintable(description()));
        // A redraw that changes nothing still answers with the description.
        told().news.clear();
        click(w, "Command1");
        QCOMPARE(told().news, QStringList{description()});
        told().news.clear();
        click(w, "Command2");
        QCOMPARE(told().news, QStringList{QStringLiteral("(0,-4)")});
        type(w, "Tx1", "3");
        told().news.clear();
        click(w, "cay");
        QCOMPARE(told().news, QStringList{QStringLiteral("速查结果：y = 5")});
        // The same value again is no news.
        told().news.clear();
        click(w, "cay");
        QCOMPARE(told().news, QStringList());
        // A slider's step is one action: its box and the picture, said once.
        told().news.clear();
        child<QScrollBar>(w, "HScroll3")->setValue(-3);
        QCOMPARE(told().news.size(), qsizetype(1));
        QVERIFY2(told().news.front().contains(QStringLiteral("参数 c = -3")) &&
                     told().news.front().count(description()) == 1,
                 qPrintable(told().news.front()));
        // Each overlay step says the picture's new words, once.
        w->overlayClicked();
        type(w, "Text1(0)", "-1");
        told().news.clear();
        w->commitClicked();
        QCOMPARE(told().news, QStringList{description()});
        QVERIFY2(description().startsWith(QStringLiteral("共 2 条曲线")), qPrintable(description()));
        w->overlayClicked();
        // A step along the curve is said as it is made, once.
        QApplication::setActiveWindow(w);
        QVERIFY(QTest::qWaitForWindowActive(w));
        w->canvasWidget()->setFocus(Qt::TabFocusReason);
        told().news.clear();
        QTest::keyClick(w->canvasWidget(), Qt::Key_Right);
        QCOMPARE(told().news, QStringList{QStringLiteral("x = 0，y = -3")});
        QCOMPARE(told().faults, QStringList());
    }

    void thePictureIsDescribedInEveryFamily() {
        for (const FamilyEntry& e : familyTable()) {
            FamilyWindow* w = FamilyManager::instance().open(e);
            CanvasWidget* cw = w->canvasWidget();
            QAccessibleInterface* c = iface(cw);
            QCOMPARE(c->role(), QAccessible::Graphic);
            QCOMPARE(c->text(QAccessible::Name), QStringLiteral("函数图像"));
            QVERIFY(c->state().focusable);
            QVERIFY2(c->text(QAccessible::Description).startsWith(QStringLiteral("还没有画出曲线")), qPrintable(e.key));
            // The picture comes last when Tab goes round: the window still
            // starts in its first box.
            QVERIFY2(cw->nextInFocusChain() == w || !(cw->nextInFocusChain()->focusPolicy() & Qt::TabFocus) ||
                         cw->nextInFocusChain() == cw->textBox(),
                     qPrintable(e.key));
            QVERIFY2(!cw->hasFocus(), qPrintable(e.key));
            w->redrawClicked();
            const QString d = c->text(QAccessible::Description);
            // The window's own name of the curve, and the features it computes.
            // (said as it is read aloud: "X 的平方" for "X^2").
            const QString current = numfmt::spoken(w->curveName());
            QVERIFY2(!current.isEmpty() && d.contains(current), qPrintable(e.key + ": " + d));
            QVERIFY2(d.contains(QStringLiteral("（")), qPrintable(e.key + ": no features in " + d));
            QVERIFY2(d.contains(QStringLiteral("显示坐标轴")), qPrintable(d));
        }
    }

    // 听图像 in every window: a named button with its key in the tooltip,
    // reached by Tab, lying on no other control, playing the last curve.
    void theHearButtonIsInEveryWindow() {
        struct Player : RecordingPlatform {
            std::vector<QByteArray> played;
            bool playSound(const QByteArray& wav) override {
                played.push_back(wav);
                return true;
            }
        } player;
        setPlatform(&player);
        for (const FamilyEntry& e : familyTable()) {
            FamilyWindow* w = FamilyManager::instance().open(e);
            auto* hear = child<QPushButton>(w, "Cmdhear");
            QVERIFY2(hear && hear->isVisibleTo(w), qPrintable(e.key));
            QCOMPARE(nameOf(hear), QStringLiteral("听图像"));
            QVERIFY2(hear->toolTip().contains(QStringLiteral("Alt+T")), qPrintable(hear->toolTip()));
            QVERIFY(w->rect().contains(hear->geometry()));
            for (QWidget* c : w->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
                if (c != hear && c->isVisibleTo(w))
                    QVERIFY2(!c->geometry().intersects(hear->geometry()), qPrintable(e.key + ": " + c->objectName()));
            bool reached = false;
            QWidget* f = w->nextInFocusChain();
            for (int guard = 0; guard < 10000 && f != w; ++guard, f = f->nextInFocusChain())
                if (f == hear && (f->focusPolicy() & Qt::TabFocus)) reached = true;
            QVERIFY2(reached, qPrintable(e.key));
            player.played.clear();
            w->redrawClicked();
            hear->click();
            QCOMPARE(player.played.size(), size_t(1));
            QVERIFY(!player.played.front().isEmpty());
            QCOMPARE(player.played.front(), curveSound(*w));
        }
        FamilyManager::instance().closeAll();
        setPlatform(&fake_);
    }

    // The same point is written one way in the description: the window's
    // vertex and the lowest point found on the drawn line agree.
    void onePointIsWrittenOneWay() {
        FamilyWindow* w = FamilyManager::instance().open(*familyByMenu(1));
        type(w, "Text1(0)", "2");
        type(w, "Text1(1)", "1");
        type(w, "Text1(2)", "0");
        w->redrawClicked();
        const QString d = iface(w->canvasWidget())->text(QAccessible::Description);
        QVERIFY2(d.contains(QStringLiteral("顶点 (-0.25,-0.125)")), qPrintable(d));
        QVERIFY2(d.contains(QStringLiteral("最低点 (-0.25,-0.125)")), qPrintable(d));
        QVERIFY2(!d.contains(QStringLiteral("-0.12)")), qPrintable(d));
        // And so does the walk along the curve when it passes the vertex.
        QApplication::setActiveWindow(w);
        QVERIFY(QTest::qWaitForWindowActive(w));
        w->canvasWidget()->setFocus(Qt::TabFocusReason);
        QStringList& heard = told().news;
        heard.clear();
        for (int i = 0; i < 4; ++i) QTest::keyClick(w->canvasWidget(), Qt::Key_Left);
        QVERIFY2(heard.size() == 4 && heard.last().contains(QStringLiteral("经过最低点 (-0.25,-0.125)")),
                 qPrintable(heard.join(QStringLiteral(" | "))));
    }

    void theDescriptionFollowsOverlayGridAndAnnotations() {
        FamilyWindow* w = FamilyManager::instance().open(*familyByMenu(1));
        auto describe = [w] { return iface(w->canvasWidget())->text(QAccessible::Description); };
        type(w, "Text1(0)", "1");
        w->redrawClicked();
        QVERIFY2(describe().contains(QStringLiteral("顶点 (0,0)")), qPrintable(describe()));
        w->overlayClicked();
        type(w, "Text1(0)", "-1");
        w->commitClicked();
        QVERIFY2(describe().startsWith(QStringLiteral("共 2 条曲线")), qPrintable(describe()));
        QVERIFY2(describe().contains(QStringLiteral("Y = -1X 的平方")), qPrintable(describe()));
        QVERIFY2(!describe().contains(QLatin1Char('^')), qPrintable(describe()));
        // A slider step in overlay mode shows the committed curves and the new one.
        child<QScrollBar>(w, "HScroll3")->setValue(2);
        QVERIFY2(describe().startsWith(QStringLiteral("共 3 条曲线")), qPrintable(describe()));
        w->views().undo();
        QVERIFY2(describe().startsWith(QStringLiteral("共 2 条曲线")), qPrintable(describe()));
        w->views().redo();
        QVERIFY2(describe().startsWith(QStringLiteral("共 3 条曲线")), qPrintable(describe()));
        w->overlayClicked();
        w->gridClicked();
        QVERIFY2(describe().contains(QStringLiteral("显示网格")), qPrintable(describe()));
        // A line drawn by hand is one mark; a redraw clears the marks and the curves.
        click(w, "Option1sh");
        w->canvasWidget()->mousePress(Qt::LeftButton, 1, 1);
        w->canvasWidget()->mouseMove(Qt::LeftButton, 3, 3);
        w->canvasWidget()->mouseRelease(Qt::LeftButton, 3, 3);
        QVERIFY2(describe().contains(QStringLiteral("手绘标注 1 处")), qPrintable(describe()));
        const QString marked = describe();
        w->redrawClicked();
        const QString redrawn = describe();
        // Undo and redo bring back the words with the picture.
        w->views().undo();
        QCOMPARE(describe(), marked);
        w->views().redo();
        QCOMPARE(describe(), redrawn);
        QVERIFY2(!describe().contains(QStringLiteral("手绘标注")), qPrintable(describe()));
        QVERIFY2(!describe().startsWith(QStringLiteral("共")), qPrintable(describe()));
        child<QAbstractButton>(w, "Checkhide")->click();
        w->redrawClicked();
        QVERIFY2(describe().contains(QStringLiteral("坐标系已隐藏")), qPrintable(describe()));
    }

    void theKeysWalkAlongTheCurve() {
        FamilyWindow* w = FamilyManager::instance().open(*familyByMenu(1));
        QApplication::setActiveWindow(w);
        QVERIFY(QTest::qWaitForWindowActive(w));
        QStringList& heard = told().news;
        CanvasWidget* cw = w->canvasWidget();
        cw->setFocus(Qt::TabFocusReason);
        QVERIFY(cw->hasFocus());
        // Nothing drawn yet: the keys say so and move nothing.
        QTest::keyClick(cw, Qt::Key_Right);
        QVERIFY(!toolOf<TraceTool>(*w)->active());
        type(w, "Text1(0)", "1");
        type(w, "Text1(2)", "-4");
        w->redrawClicked();
        cw->setFocus(Qt::TabFocusReason);
        heard.clear();
        QTest::keyClick(cw, Qt::Key_Right);
        QCOMPARE(heard.value(0), QStringLiteral("x = 0，y = -4"));
        QCOMPARE(namedText(w, "Labzb"), QStringLiteral("(0,-4)"));
        QVERIFY(cw->linex.visible && cw->liney.visible);
        QTest::keyClick(cw, Qt::Key_Right);
        QVERIFY2(heard.last().startsWith(QStringLiteral("x = 0.1，y = -3.99")), qPrintable(heard.last()));
        QTest::keyClick(cw, Qt::Key_Right, Qt::ShiftModifier);
        QVERIFY2(heard.last().startsWith(QStringLiteral("x = 1.1，")), qPrintable(heard.last()));
        QTest::keyClick(cw, Qt::Key_Right, Qt::ShiftModifier);
        QVERIFY2(heard.last().startsWith(QStringLiteral("x = 2.1，")) &&
                     heard.last().contains(QStringLiteral("经过与 x 轴的交点 (2,0)")),
                 qPrintable(heard.last()));
        QTest::keyClick(cw, Qt::Key_Right);
        QVERIFY2(heard.last() == QStringLiteral("x = 2.2，y = 0.84"), qPrintable(heard.last()));
        // Back over the vertex, then to the ends.
        for (int i = 0; i < 3; ++i) QTest::keyClick(cw, Qt::Key_Left, Qt::ShiftModifier);
        QVERIFY2(heard.last().contains(QStringLiteral("经过最低点 (0,-4)")), qPrintable(heard.last()));
        QTest::keyClick(cw, Qt::Key_End);
        QVERIFY2(heard.last().startsWith(QStringLiteral("x = 3.76")), qPrintable(heard.last()));
        QTest::keyClick(cw, Qt::Key_Right);
        QVERIFY2(heard.last().endsWith(QStringLiteral("已到曲线的一端")), qPrintable(heard.last()));
        QTest::keyClick(cw, Qt::Key_Home);
        QVERIFY2(heard.last().startsWith(QStringLiteral("x = -3.76")), qPrintable(heard.last()));
        // Esc leaves the trace: the crosshair goes, the picture's description is back.
        QTest::keyClick(cw, Qt::Key_Escape);
        QVERIFY(!toolOf<TraceTool>(*w)->active());
        QVERIFY(!cw->linex.visible);
        QVERIFY(iface(cw)->text(QAccessible::Description).contains(QStringLiteral("顶点")));
        // Up and Down go between the curves of an overlay, at the same x.
        w->overlayClicked();
        type(w, "Text1(2)", "2");
        w->commitClicked();
        cw->setFocus(Qt::TabFocusReason);
        QTest::keyClick(cw, Qt::Key_Right);
        QCOMPARE(w->drawnCurves().size(), size_t(2));
        QCOMPARE(toolOf<TraceTool>(*w)->curve(), 1);
        QTest::keyClick(cw, Qt::Key_Down);
        QCOMPARE(toolOf<TraceTool>(*w)->curve(), 0);
        QVERIFY2(heard.last().startsWith(QStringLiteral("第 1 条曲线")) &&
                     heard.last().endsWith(QStringLiteral("x = 0，y = -4")),
                 qPrintable(heard.last()));
        QTest::keyClick(cw, Qt::Key_Up);
        QCOMPARE(toolOf<TraceTool>(*w)->curve(), 1);
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    setupApplication(app);
    app.setQuitOnLastWindowClosed(false);
    makeMissingControlsFatal();
    a11y::setObserver(hear);
    AccessibilityTest t;
    return QTest::qExec(&t, argc, argv);
}
#include "accessibility_test.moc"
