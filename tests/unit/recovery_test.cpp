// The recovery file: written on the window's own clock shortly after a
// change, removed by a normal end; a start that finds it (what a crash
// leaves) asks, Yes restores the picture exactly, No keeps one backup.
#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtTest>

#include "driver/driver.h"
#include "frame/family_manager.h"
#include "frame/family_window.h"
#include "frame/recovery.h"
#include "platform/folders.h"
#include "test_support.h"

class RecoveryTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        // Never the user's own folder: the harness gives the test a home.
        QVERIFY(qEnvironmentVariableIsSet(folders::kHomeVariable));
        const QString home = QFileInfo(qEnvironmentVariable(folders::kHomeVariable)).absoluteFilePath();
        QVERIFY2(QFileInfo(recovery::folder()).absoluteFilePath().startsWith(home + QLatin1Char('/')),
                 qPrintable(recovery::folder()));
    }

    void theUsersOwnFolderIsLeftAlone() {
        // The system's data folder for the program, where a user's real
        // recovery file lies: a run that writes one must not come near it.
        const QString real = folders::systemLocation(folders::Kind::Data);
        QVERIFY(!real.isEmpty());
        QVERIFY(QDir::cleanPath(real) != QDir::cleanPath(recovery::folder()));
        auto state = [&] {
            QStringList seen;
            const QDir dir(real);
            for (const QFileInfo& f : dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot))
                seen << f.fileName() + QLatin1Char(' ') + QString::number(f.size()) + QLatin1Char(' ') +
                            f.lastModified().toString(Qt::ISODateWithMs);
            return QStringLiteral("%1: %2").arg(dir.exists()).arg(seen.join(QLatin1Char(',')));
        };
        const QString before = state();
        QFile::remove(recovery::filePath());
        {
            DriverSession s;
            QVERIFY(s.run({"start", "open quadratic", "type Text1(0) 3", "click Command1", "wait 1500"}));
            recovery::flush();
            QVERIFY(QFile::exists(recovery::filePath()));
            QCOMPARE(state(), before);
        }
        QCOMPARE(state(), before);
    }

    void crashLeavesWorkThatStartRestores() {
        QFile::remove(recovery::filePath());
        QFile::remove(recovery::backupPath());
        QImage drawn;
        const QString left = recovery::folder() + QStringLiteral("/left-by-crash.vesmar");
        QFile::remove(left);
        {
            DriverSession s;
            QVERIFY(s.run({"start", "open linear", "type Text1(0) -3", "click Command1(0)", "click Option1sh",
                           "press left -6 6", "release left 6 -2"}));
            QVERIFY(!QFile::exists(recovery::filePath()));
            QVERIFY(s.run("wait 1500"));
            QVERIFY(QFile::exists(recovery::filePath()));
            QVERIFY(s.driver().currentFamily());
            drawn = s.driver().currentFamily()->canvas().image().copy();
            // What a crash would leave behind.
            QVERIFY(QFile::copy(recovery::filePath(), left));
        }
        // The end of the script was a normal end.
        QVERIFY(!QFile::exists(recovery::filePath()));

        QVERIFY(QFile::rename(left, recovery::filePath()));
        {
            DriverSession s;
            QVERIFY(s.run({"answer Yes", "start"}));
            QVERIFY2(s.output().contains(QStringLiteral("是否恢复")), qPrintable(s.output()));
            FamilyWindow* w = FamilyManager::instance().current();
            QVERIFY(w);
            QCOMPARE(w->traits().key, QStringLiteral("linear"));
            QCOMPARE(w->canvas().image(), drawn);
            QCOMPARE(namedText(w, QStringLiteral("Text1(0)")), QStringLiteral("-3"));
        }

        // No: the work is kept as the one backup, and the next start asks nothing.
        {
            DriverSession s;
            QVERIFY(s.run({"start", "open linear", "click Command1(0)", "wait 1500"}));
            QVERIFY(QFile::copy(recovery::filePath(), left));
        }
        QVERIFY(QFile::rename(left, recovery::filePath()));
        {
            DriverSession s;
            QVERIFY(s.run({"answer No", "start"}));
            QVERIFY(!QFile::exists(recovery::filePath()));
            QVERIFY(QFile::exists(recovery::backupPath()));
        }
        {
            DriverSession s;
            QVERIFY(s.run("start"));
            QVERIFY2(!s.output().contains(QStringLiteral("msgbox")), qPrintable(s.output()));
        }
    }

    void normalEndWinsOverAWriteUnderWay() {
        // The file is written on a thread of its own: an end of the program
        // right after a change must not find it written again behind its back.
        DriverSession s;
        QVERIFY(s.run({"start", "open quadratic"}));
        FamilyWindow* w = s.driver().currentFamily();
        QVERIFY(w);
        for (int i = 0; i < 30; ++i) {
            QVERIFY(s.run(QString::fromLatin1(i % 2 ? "click Command1" : "click Command2")));
            w->views().writeRecoveryNow();
            recovery::discard();
            recovery::flush();
            QVERIFY2(!QFile::exists(recovery::filePath()), qPrintable(QString::number(i)));
        }
        // And a write that is let run ends on disk, whole.
        w->views().writeRecoveryNow();
        recovery::flush();
        QVERIFY(QFile::exists(recovery::filePath()));
        recovery::discard();
    }
};

VESMAR_WINDOW_TEST_MAIN(RecoveryTest)
#include "recovery_test.moc"
