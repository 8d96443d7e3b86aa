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
            ScriptDriver d(out());
            run(d, "start");
            run(d, "open quadratic");
            run(d, "type Text1(0) 3");
            run(d, "click Command1");
            run(d, "wait 1500");
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
            ScriptDriver d(out());
            run(d, "start");
            run(d, "open linear");
            run(d, "type Text1(0) -3");
            run(d, "click Command1(0)");
            run(d, "click Option1sh");
            run(d, "press left -6 6");
            run(d, "release left 6 -2");
            QVERIFY(!QFile::exists(recovery::filePath()));
            run(d, "wait 1500");
            QVERIFY(QFile::exists(recovery::filePath()));
            drawn = d.currentFamily()->canvas().image().copy();
            // What a crash would leave behind.
            QVERIFY(QFile::copy(recovery::filePath(), left));
        }
        // The end of the script was a normal end.
        QVERIFY(!QFile::exists(recovery::filePath()));

        QVERIFY(QFile::rename(left, recovery::filePath()));
        {
            ScriptDriver d(out());
            run(d, "answer Yes");
            lines_.clear();
            run(d, "start");
            QVERIFY2(lines_.join(QString()).contains(QStringLiteral("是否恢复")), qPrintable(lines_.join('\n')));
            FamilyWindow* w = FamilyManager::instance().current();
            QVERIFY(w);
            QCOMPARE(w->traits().key, QStringLiteral("linear"));
            QCOMPARE(w->canvas().image(), drawn);
            QCOMPARE(namedText(w, QStringLiteral("Text1(0)")), QStringLiteral("-3"));
        }

        // No: the work is kept as the one backup, and the next start asks nothing.
        {
            ScriptDriver d(out());
            run(d, "start");
            run(d, "open linear");
            run(d, "click Command1(0)");
            run(d, "wait 1500");
            QVERIFY(QFile::copy(recovery::filePath(), left));
        }
        QVERIFY(QFile::rename(left, recovery::filePath()));
        {
            ScriptDriver d(out());
            run(d, "answer No");
            run(d, "start");
            QVERIFY(!QFile::exists(recovery::filePath()));
            QVERIFY(QFile::exists(recovery::backupPath()));
        }
        {
            ScriptDriver d(out());
            lines_.clear();
            run(d, "start");
            QVERIFY2(!lines_.join(QString()).contains(QStringLiteral("msgbox")), qPrintable(lines_.join('\n')));
        }
    }

    void normalEndWinsOverAWriteUnderWay() {
        // The file is written on a thread of its own: an end of the program
        // right after a change must not find it written again behind its back.
        ScriptDriver d(out());
        run(d, "start");
        run(d, "open quadratic");
        FamilyWindow* w = d.currentFamily();
        QVERIFY(w);
        for (int i = 0; i < 30; ++i) {
            run(d, i % 2 ? "click Command1" : "click Command2");
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

private:
    std::function<void(const QString&)> out() {
        return [this](const QString& s) { lines_ << s; };
    }
    void run(ScriptDriver& d, const char* line) {
        const qsizetype before = lines_.size();
        d.run(QString::fromUtf8(line));
        for (qsizetype i = before; i < lines_.size(); ++i)
            if (lines_[i].startsWith(QLatin1String("{\"error\""))) QFAIL(qPrintable(lines_[i]));
    }
    QStringList lines_;
};

VESMAR_WINDOW_TEST_MAIN(RecoveryTest)
#include "recovery_test.moc"
