// What a teacher sees of the controls: panels whose frame line crosses no
// control, captions and notes that wrap readably and fit their boxes, no
// control's text under another control, coloured buttons in their colour,
// the places and fonts of the layout tables, Qt's dialogs in Chinese, and
// the family window kept clear of the navigation bar.
#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QtTest>

#include "driver/driver.h"
#include "frame/control_looks.h"
#include "frame/family_manager.h"
#include "frame/family_window.h"
#include "shell/shell.h"
#include "test_support.h"

namespace {

QString where(const FamilyEntry& e, const QWidget* w) { return e.key + QStringLiteral(": ") + w->objectName(); }

// Where a control's text is inked (a label's, a radio button's or a check
// box's caption, in its own coordinates of the parent), or an empty rectangle
// for controls without a caption of their own.
QRect textInk(const QWidget* w) {
    auto band = [](const QWidget* c, int left, const QString& t) {
        const QFontMetrics fm(c->font());
        QRect r = fm.tightBoundingRect(t);
        const int baseline = (c->height() - fm.height()) / 2 + fm.ascent();
        return r.translated(left, baseline).translated(c->pos());
    };
    if (auto* r = qobject_cast<const QRadioButton*>(w)) {
        QStyleOptionButton opt;
        opt.initFrom(r);
        opt.text = r->text();
        const QRect c = r->style()->subElementRect(QStyle::SE_RadioButtonContents, &opt, r);
        return band(r, c.left(), r->text());
    }
    if (qobject_cast<const QCheckBox*>(w)) {
        const looks::TextBlock b = looks::checkCaption(w);
        const QFontMetrics fm(b.font);
        int wide = 0;
        for (const QString& l : b.lines) wide = std::max(wide, fm.horizontalAdvance(l));
        QStyleOptionButton opt;
        opt.initFrom(w);
        const QRect c = w->style()->subElementRect(QStyle::SE_CheckBoxContents, &opt, w);
        return QRect(w->x() + c.left(), w->y() + (w->height() - b.height) / 2, wide, b.height);
    }
    if (auto* l = qobject_cast<const QLabel*>(w)) {
        if (l->text().isEmpty()) return {};
        if (looks::isNote(l->text())) return l->geometry();
        const QFontMetrics fm(l->font());
        QRect r = fm.tightBoundingRect(l->text());
        if (r.width() > l->width()) return l->geometry();
        const int left = (l->alignment() & Qt::AlignHCenter) ? (l->width() - fm.horizontalAdvance(l->text())) / 2 : 0;
        return r.translated(left, fm.ascent()).translated(l->pos());
    }
    return {};
}

std::vector<FamilyWindow*> openEach() {
    std::vector<FamilyWindow*> out;
    for (const FamilyEntry& e : familyTable()) {
        if (!e.create) continue;
        out.push_back(FamilyManager::instance().open(e));
    }
    return out;
}

}  // namespace

class LooksTest : public QObject {
    Q_OBJECT
private slots:
    void init() { s_ = std::make_unique<DriverSession>(); }
    void cleanup() { s_.reset(); }

    void wrappingRules() {
        QFont f(QStringLiteral("宋体"));
        f.setPixelSize(12);
        const QFontMetricsF fm(f);
        const QString hint = QStringLiteral(
            "说明：如果要取一个自定义的值（用滚动条无法实现），可直接在上面的文本框中输入。然后点击“刷新作图”或“覆盖作图”。");
        for (int width = 90; width <= 360; width += 7) {
            const QStringList lines = looks::wrapText(hint, f, width);
            QCOMPARE(lines.join(QString()), hint);
            for (const QString& line : lines) {
                // A quoted button name is never cut, and no line starts with
                // closing punctuation.
                QVERIFY2(line.count(QChar(0x201C)) == line.count(QChar(0x201D)), qPrintable(line));
                QVERIFY2(!QStringLiteral("，。）”").contains(line.front()), qPrintable(line));
                QVERIFY2(!QStringLiteral("（“").contains(line.back()), qPrintable(line));
                QVERIFY2(fm.horizontalAdvance(line) <= width + 0.01, qPrintable(line));
            }
        }
        // Five characters a line would leave a lone last character.
        const QString caption = QStringLiteral("在图像上注明函数表达式");
        const int five = int(std::ceil(fm.horizontalAdvance(caption.left(5))));
        QCOMPARE(looks::wrapText(caption, f, five).last(), QStringLiteral("式"));
        const QStringList balanced = looks::wrapText(caption, f, five, true);
        QCOMPARE(balanced.join(QString()), caption);
        QVERIFY2(balanced.last().size() >= 2, qPrintable(balanced.join('|')));
        // Formula text stays together.
        QCOMPARE(looks::wrapText(QStringLiteral("方程 Y=2X+1 的图像"), f, 80).size(), 2);
        // A narrow box still gives every character, never an endless line.
        QCOMPARE(looks::wrapText(caption, f, 1).size(), caption.size());
    }

    void notesBreatheAndFit() {
        int total = 0;
        for (FamilyWindow* w : openEach()) {
            const FamilyEntry& e = *familyByNumber(w->traits().number);
            int notes = 0;
            for (QLabel* l : w->findChildren<QLabel*>()) {
                if (!looks::isNote(l->text())) continue;
                ++notes;
                const looks::TextBlock b = looks::noteText(l);
                QVERIFY2(!b.lines.isEmpty(), qPrintable(where(e, l)));
                QCOMPARE(b.lines.join(QString()), l->text());
                QVERIFY2(b.height <= l->height(), qPrintable(where(e, l)));
                const looks::LineMetrics m = looks::lineMetrics(b.font);
                QVERIFY2(m.pitch >= m.inkHeight + 2, qPrintable(where(e, l)));
                for (const QString& line : b.lines)
                    QVERIFY2(line.count(QChar(0x201C)) == line.count(QChar(0x201D)), qPrintable(where(e, l) + line));
            }
            total += notes;
        }
        QVERIFY(total >= 10);
    }

    void expressionCheckBoxReadsWell() {
        for (FamilyWindow* w : openEach()) {
            const FamilyEntry& e = *familyByNumber(w->traits().number);
            auto* c = w->findChild<QCheckBox*>(QStringLiteral("Check1"));
            QVERIFY2(c, qPrintable(e.key));
            const looks::TextBlock b = looks::checkCaption(c);
            QCOMPARE(b.lines.join(QString()), c->text());
            QVERIFY2(b.lines.size() <= 2, qPrintable(e.key + b.lines.join('|')));
            QVERIFY2(b.lines.last().size() >= 2, qPrintable(e.key + b.lines.join('|')));
            // Set in the box's own size, not shrunk to fit.
            QVERIFY2(b.font.pixelSize() == c->font().pixelSize(),
                     qPrintable(e.key + QString::number(looks::lineMetrics(c->font()).pitch) + "/" +
                                QString::number(looks::lineMetrics(c->font()).inkHeight)));
            QVERIFY2(b.height <= c->height(), qPrintable(e.key));
        }
    }

    void panelsFrameTheirControls() {
        int panels = 0;
        for (FamilyWindow* w : openEach()) {
            const FamilyEntry& e = *familyByNumber(w->traits().number);
            for (QGroupBox* g : w->findChildren<QGroupBox*>()) {
                ++panels;
                const int line = looks::panelLineY(g);
                // The line runs through the caption's middle.
                const QRect cap = looks::panelCaptionRect(g);
                QVERIFY2(line > 0 && cap.top() < line && cap.bottom() > line, qPrintable(where(e, g)));
                for (QWidget* c : g->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
                    // Below the frame line and its etched twin, inside the sides.
                    QVERIFY2(c->y() >= line + 2, qPrintable(where(e, c)));
                    QVERIFY2(c->x() >= 2 && c->geometry().right() <= g->width() - 3, qPrintable(where(e, c)));
                    QVERIFY2(c->geometry().bottom() <= g->height() - 3, qPrintable(where(e, c)));
                }
            }
        }
        QVERIFY(panels >= 14 * 3);
    }

    void noTextUnderAnotherControl() {
        QStringList overlaps;
        for (FamilyWindow* w : openEach()) {
            const FamilyEntry& e = *familyByNumber(w->traits().number);
            QList<QWidget*> parents{w};
            for (QGroupBox* g : w->findChildren<QGroupBox*>()) parents << g;
            for (QWidget* p : parents) {
                QList<QWidget*> kids;
                for (QWidget* c : p->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
                    if (c->isVisibleTo(w) && !qobject_cast<QGroupBox*>(c) &&
                        c->objectName() != QLatin1String("Picture1") && !c->objectName().isEmpty())
                        kids << c;
                }
                for (int i = 0; i < kids.size(); ++i)
                    for (int j = i + 1; j < kids.size(); ++j) {
                        // A caption may not run into another control, nor another
                        // control's caption into it.
                        const QRect ai = textInk(kids[i]), bi = textInk(kids[j]);
                        const bool clash = (!ai.isEmpty() && ai.intersects(bi.isEmpty() ? kids[j]->geometry() : bi)) ||
                                           (!bi.isEmpty() && bi.intersects(ai.isEmpty() ? kids[i]->geometry() : ai));
                        if (clash) overlaps << where(e, kids[i]) + QStringLiteral(" / ") + kids[j]->objectName();
                    }
            }
        }
        for (const QString& o : overlaps) qWarning("%s", qPrintable(o));
        QCOMPARE(overlaps.size(), 0);
    }

    void labelsShowTheirWholeText() {
        // A one-line caption laid out at load is not cut off at its label's edge.
        QStringList cut;
        for (FamilyWindow* w : openEach()) {
            const FamilyEntry& e = *familyByNumber(w->traits().number);
            for (QLabel* l : w->findChildren<QLabel*>()) {
                if (l->text().isEmpty() || looks::isNote(l->text()) || !l->pixmap().isNull()) continue;
                // The ink of a one-line caption, drawn from the label's top.
                const QFontMetrics fm(l->font());
                if (l->height() >= 2 * fm.lineSpacing()) continue;
                const QRect ink = fm.tightBoundingRect(l->text()).translated(0, fm.ascent());
                // (A full-width bracket may reach one row above the font's
                // ascent, which no label shows; that row is let pass.)
                if (ink.right() >= l->width() || ink.bottom() >= l->height() || ink.top() < -1)
                    cut << where(e, l) + QStringLiteral(" ") + l->text();
            }
        }
        for (const QString& c : cut) qWarning("%s", qPrintable(c));
        QCOMPARE(cut.size(), 0);
    }

    void colouredButtonsShowTheirColour() {
        FamilyWindow* w = openFamily(QStringLiteral("linear"));
        QVERIFY(QTest::qWaitForWindowExposed(w));
        const struct {
            const char* name;
            QColor face;
        } buttons[] = {{"Command1(1)", QColor(192, 255, 192)}, {"Commandquanpin", QColor(255, 224, 192)}};
        for (const auto& b : buttons) {
            auto* button = w->findChild<QPushButton*>(QString::fromLatin1(b.name));
            QVERIFY2(button, b.name);
            const QPoint inside(5, button->height() / 2);
            QCOMPARE(button->grab().toImage().pixelColor(inside), b.face);
            button->setDown(true);
            const QColor pressed = button->grab().toImage().pixelColor(inside);
            button->setDown(false);
            QVERIFY2(pressed != b.face && pressed.value() < b.face.value(), b.name);
            // Focus shows as an outline; the face keeps its colour.
            const QPoint edge(1, button->height() / 2);
            const QColor resting = button->grab().toImage().pixelColor(edge);
            QApplication::setActiveWindow(w);
            button->setFocus(Qt::TabFocusReason);
            QVERIFY(button->hasFocus());
            const QImage focused = button->grab().toImage();
            QVERIFY2(focused.pixelColor(edge) != resting, b.name);
            QCOMPARE(focused.pixelColor(inside), b.face);
            button->clearFocus();
        }
        // A plain button keeps the style's look.
        auto* plain = w->findChild<QPushButton*>(QStringLiteral("Command1(0)"));
        QVERIFY(plain && plain->styleSheet().isEmpty());
    }

    void layoutTable_data() {
        QTest::addColumn<QString>("family");
        QTest::addColumn<QString>("control");
        QTest::addColumn<QRect>("place");
        QTest::addColumn<int>("pixels");  // font size in pixels at 96 dpi, 0 = any
        for (const char* f : {"sine", "cosine", "tangent", "cotangent"}) {
            QTest::addRow("%s general form", f) << f << "Label17" << QRect(8, 8, 337, 27) << 24;
            QTest::addRow("%s note", f) << f << "Label1(0)" << QRect(8, 264, 353, 25) << 12;
        }
        QTest::addRow("linear note") << "linear"
                                     << "Label1(2)" << QRect(16, 152, 257, 41) << 12;
        QTest::addRow("hyperbola expression") << "hyperbola"
                                              << "Check1" << QRect(280, 200, 97, 33) << 0;
    }
    void layoutTable() {
        QFETCH(QString, family);
        QFETCH(QString, control);
        QFETCH(QRect, place);
        QFETCH(int, pixels);
        FamilyWindow* w = openFamily(family);
        QWidget* c = namedControl(w, control);
        QVERIFY(c);
        QCOMPARE(c->geometry(), place);
        if (pixels) QCOMPARE(c->font().pixelSize(), pixels);
        // One-line headings fit their width rather than wrap out of sight.
        if (auto* l = qobject_cast<QLabel*>(c); l && !looks::isNote(l->text()))
            QVERIFY2(QFontMetrics(l->font()).horizontalAdvance(l->text()) <= l->width(), qPrintable(l->text()));
    }

    void refusedWHasNoPeriod() {
        for (const char* family : {"sine", "cosine", "tangent", "cotangent"}) {
            FamilyWindow* w = s_->open(QLatin1String(family));
            s_->run(QStringLiteral("click Command2"));
            QVERIFY2(namedText(w, QStringLiteral("Label4")).contains(QStringLiteral("π")), family);
            s_->run(QStringLiteral("type Text2 1E+39"));
            for (const char* button : {"Command2", "Command3"}) {
                const int green = [&] {
                    const QImage img = w->canvas().image();
                    int n = 0;
                    for (int y = 0; y < img.height(); ++y)
                        for (int x = 0; x < img.width(); ++x) n += img.pixelColor(x, y) == QColor(0, 255, 0);
                    return n;
                }();
                s_->run(QStringLiteral("click %1").arg(button));
                QCOMPARE(s_->lines().size(), 1);
                QVERIFY2(s_->lines().first().contains(QStringLiteral("超出了可以计算的范围")),
                         qPrintable(s_->lines().first()));
                QCOMPARE(namedText(w, QStringLiteral("Label4")), QString());
                QCOMPARE(namedText(w, QStringLiteral("Label5")), QString());
                const QImage img = w->canvas().image();
                int after = 0;
                for (int y = 0; y < img.height(); ++y)
                    for (int x = 0; x < img.width(); ++x) after += img.pixelColor(x, y) == QColor(0, 255, 0);
                QCOMPARE(after, green);
            }
        }
    }

    void qtDialogsSpeakChinese() {
        QVERIFY(installChineseQtTexts(*QCoreApplication::instance()));
        const std::pair<const char*, const char*> texts[] = {{"QFileDialog", "Look in:"},
                                                             {"QFileDialog", "Files of type:"},
                                                             {"QPlatformTheme", "Save"},
                                                             {"QPlatformTheme", "Cancel"}};
        for (const auto& [context, source] : texts) {
            const QString t = QCoreApplication::translate(context, source);
            QVERIFY2(t != QLatin1String(source), source);
            QVERIFY2(
                std::any_of(t.begin(), t.end(), [](QChar c) { return c.unicode() >= 0x4E00 && c.unicode() <= 0x9FFF; }),
                qPrintable(t));
        }
    }

    void familyWindowBelowTheBar() {
        // Bar client at 34, 111 high, a 4-pixel bottom border: the frame ends on row 148.
        // A 20-pixel title bar fits the designed gap; a 40-pixel one pushes the window down.
        QCOMPARE(shell::familyClientTop(174, 148, 20), 174);
        QCOMPARE(shell::familyClientTop(174, 148, 25), 174);
        QCOMPARE(shell::familyClientTop(174, 148, 26), 175);
        QCOMPARE(shell::familyClientTop(174, 148, 40), 189);
        QCOMPARE(shell::familyClientTop(174, 144, 0), 174);
    }

private:
    std::unique_ptr<DriverSession> s_;
};

VESMAR_WINDOW_TEST_MAIN(LooksTest)
#include "looks_test.moc"
