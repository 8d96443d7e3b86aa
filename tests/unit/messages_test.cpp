// Values beyond single range typed into the parameter boxes: each window
// answers with its own message for an overflow, never with a range message
// meant for ordinary values.
#include <QApplication>
#include <QRadioButton>
#include <QtTest>

#include "frame/family_manager.h"
#include "frame/family_window.h"
#include "frame/frame_texts.h"
#include "recording_platform.h"
#include "test_support.h"

class MessagesTest : public QObject {
    Q_OBJECT
private slots:
    void init() { setPlatform(&fake_); }
    void cleanup() { closeWindowsAndRestore(fake_); }

    void powerOverflowIsAnInvalidValue_data() {
        QTest::addColumn<bool>("fraction");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("action");
        for (const char* action : {"Command1", "cay", "cax"}) {
            QTest::addRow("n %s", action) << false << "Text1"
                                          << "1E+39" << action;
            QTest::addRow("-n %s", action) << false << "Text1"
                                           << "-1E+39" << action;
            QTest::addRow("p %s", action) << true << "Text2(0)"
                                          << "1E+39" << action;
            QTest::addRow("q %s", action) << true << "Text2(1)"
                                          << "1E+39" << action;
        }
    }
    void powerOverflowIsAnInvalidValue() {
        QFETCH(bool, fraction);
        QFETCH(QString, box);
        QFETCH(QString, typed);
        QFETCH(QString, action);
        FamilyWindow* w = openFamily(QStringLiteral("power"));
        QVERIFY(w);
        if (fraction) {
            auto* option = w->findChild<QRadioButton*>(QStringLiteral("Option2"));
            QVERIFY(option);
            option->click();
        }
        setControlText(namedControl(w, box), typed);
        auto* button = qobject_cast<QAbstractButton*>(namedControl(w, action));
        QVERIFY(button);
        button->click();
        QCOMPARE(int(fake_.boxes.size()), 1);
        QCOMPARE(fake_.boxes[0].text, frametext::invalidValue());
        QCOMPARE(fake_.boxes[0].title, QStringLiteral("操作提示"));
        QCOMPARE(fake_.boxes[0].icon, MsgIcon::None);
        QCOMPARE(fake_.boxes[0].buttons, MsgButtons::OK);
    }

    void powerRangeStaysForOrdinaryValues() {
        // 11 is a number the window can compute with, just outside its range.
        FamilyWindow* w = openFamily(QStringLiteral("power"));
        setControlText(namedControl(w, QStringLiteral("Text1")), QStringLiteral("11"));
        w->redrawClicked();
        QCOMPARE(int(fake_.boxes.size()), 1);
        QCOMPARE(fake_.boxes[0].title, QStringLiteral("操作提示：请更换一个新的n值"));
    }

private:
    RecordingPlatform fake_;
};

VESMAR_WINDOW_TEST_MAIN(MessagesTest)
#include "messages_test.moc"
