// The sound of a curve on a real sound server: what 听图像 plays is recorded
// back from the server's output sample for sample; with no server (or no
// sound back-end) the window says once that it cannot play sound; and the
// sound libraries come into the process only with the first sound played.
// Each case runs in a process of its own (the sound system connects once per
// process): desktop.cmake names them.
#include <QAbstractButton>
#include <QFile>
#include <QMessageBox>
#include <QRegularExpression>
#include <QProcess>
#include <QTimer>
#include <QtEndian>
#include <QtTest>
#include <algorithm>
#include <cmath>
#include <functional>

#include "frame/family_manager.h"
#include "frame/family_window.h"
#include "platform/audio_out.h"
#include "platform/platform.h"
#include "platform/power_cut.h"
#include "shell/shell.h"
#include "tools/hear.h"
#include "curve/sound.h"

namespace {

// Every message box shown while it lives: its text is kept and the box
// answered, so that a modal box can never hold the test.
class MessageWatch {
public:
    MessageWatch() {
        timer_.setInterval(50);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()); box && box->isVisible()) {
                texts << box->text();
                box->done(0);
            }
        });
        timer_.start();
    }
    QStringList texts;

private:
    QTimer timer_;
};

FamilyWindow* drawn(const char* family) {
    const FamilyEntry* e = familyByKey(QLatin1String(family));
    if (!e) return nullptr;
    FamilyWindow* w = FamilyManager::instance().open(*e);
    if (w) w->redrawClicked();
    return w;
}

QAbstractButton* hearButton(FamilyWindow* w) { return w->findChild<QAbstractButton*>(QStringLiteral("Cmdhear")); }

// The samples of one of the program's WAV files (a 44-byte header).
QByteArray samplesOf(const QByteArray& wav) { return wav.mid(44); }

// Where the first and the last sound are, in bytes, at whole frames (4 bytes:
// two 16-bit channels); -1 in silence.
qsizetype firstSound(const QByteArray& pcm) {
    for (qsizetype i = 0; i + 1 < pcm.size(); i += 2)
        if (pcm[i] != 0 || pcm[i + 1] != 0) return i - i % 4;
    return -1;
}
qsizetype endOfSound(const QByteArray& pcm) {
    for (qsizetype i = pcm.size() - 2; i >= 0; i -= 2)
        if (pcm[i] != 0 || pcm[i + 1] != 0) return i - i % 4 + 4;
    return -1;
}

// Records the private sound server's output (VESMAR_SOUND_MONITOR, in the
// program's format) from before `play` runs until the sound in `wav` has
// come through, then compares: every sample from the first sound to the last
// one, exactly. Empty when all of it was heard, otherwise what went wrong.
QString heardExactly(const QByteArray& wav, const std::function<void()>& play) {
    const QString monitor = qEnvironmentVariable("VESMAR_SOUND_MONITOR");
    if (monitor.isEmpty()) return QStringLiteral("no private sound server: run under tests/desktop/with-pulse");
    const QByteArray samples = samplesOf(wav);
    const qsizetype from = firstSound(samples), to = endOfSound(samples);
    if (from < 0) return QStringLiteral("the sound to play is silent");
    const QByteArray expected = samples.mid(from, to - from);

    QProcess rec;
    rec.start(QStringLiteral("parec"), {QStringLiteral("--raw"), QStringLiteral("--format=s16le"),
                                        QStringLiteral("--rate=%1").arg(sound::kRate), QStringLiteral("--channels=2"),
                                        QStringLiteral("--latency-msec=20"), QStringLiteral("--device=") + monitor});
    if (!rec.waitForStarted(10000)) return QStringLiteral("parec did not start");
    QByteArray recorded;
    auto take = [&] {
        rec.waitForReadyRead(20);
        recorded += rec.readAllStandardOutput();
    };
    auto done = [&] {
        rec.kill();
        rec.waitForFinished(5000);
    };
    // A moment for the recorder to connect. It may still miss the first
    // instants after the output wakes: the sounds played begin in silence.
    QTest::qWait(300);
    take();
    if (firstSound(recorded) >= 0) {
        done();
        return QStringLiteral("sound on the output before anything was played");
    }
    play();
    // The whole sound, in real time, and a little after it.
    (void)QTest::qWaitFor(
        [&] {
            take();
            const qsizetype start = firstSound(recorded);
            return start >= 0 && recorded.size() - start >= expected.size() + 4 * sound::kRate / 10;
        },
        15000);
    done();
    const qsizetype start = firstSound(recorded);
    if (start < 0) return QStringLiteral("the output stayed silent");
    const QByteArray heard = recorded.mid(start, expected.size());
    if (heard.size() < expected.size())
        return QStringLiteral("%1 of %2 bytes heard").arg(heard.size()).arg(expected.size());
    if (heard != expected)
        return QStringLiteral("the sound heard differs from the one played from byte %1 of %2")
            .arg(std::mismatch(heard.begin(), heard.end(), expected.begin()).first - heard.begin())
            .arg(expected.size());
    return {};
}

// The libraries mapped into this process (/proc/self/maps, Linux), by file name.
QStringList librariesMapped() {
    QFile maps(QStringLiteral("/proc/self/maps"));
    if (!maps.open(QIODevice::ReadOnly)) return {};
    QStringList names;
    for (const QByteArray& line : maps.readAll().split('\n')) {
        const qsizetype slash = line.indexOf('/');
        if (slash < 0) continue;
        const QString name = QString::fromLocal8Bit(line.mid(slash)).section(QLatin1Char('/'), -1);
        if (name.contains(QLatin1String(".so")) && !names.contains(name)) names << name;
    }
    return names;
}

// Those of them that are there only to play sound: the toolkit's audio
// module, the sound server's client and the sound file libraries under it.
QStringList soundLibraries(const QStringList& names) {
    static const QRegularExpression sound(
        QStringLiteral("^lib(Qt6Multimedia|pulse|sndfile|asound|FLAC|vorbis|ogg|opus|mpg123|mp3lame)"));
    return names.filter(sound);
}

// Whether the sound server has no stream from this program left.
bool noStreamLeft() {
    QProcess p;
    p.start(QStringLiteral("pactl"), {QStringLiteral("list"), QStringLiteral("short"), QStringLiteral("sink-inputs")});
    return p.waitForFinished(5000) && p.exitCode() == 0 && p.readAllStandardOutput().trimmed().isEmpty();
}

}  // namespace

class SpeakerTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        setupApplication(*qobject_cast<QApplication*>(qApp));
        initShellResources();
    }
    void cleanup() { FamilyManager::instance().closeAll(); }

    // Run beside a private sound server (tests/desktop/with-pulse).
    void theCurveReachesTheSpeakers() {
        MessageWatch messages;
        // A tone that sounds up to its very last sample: a sound stopped
        // while the server still holds its end loses it.
        std::vector<qint16> tone(size_t(sound::kRate), 0);  // half a second of silence first
        for (int k = 0; k < sound::kRate; ++k) {
            const auto v = qint16(std::lround(6000 * std::sin(k * 0.07)) | 1);  // never 0: no gap reads as the end
            tone.push_back(v);
            tone.push_back(qint16(-v));
        }
        bool started = false;
        QString failure = heardExactly(sound::wav(tone), [&] { started = platform().playSound(sound::wav(tone)); });
        QVERIFY(started);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        // When the sound is over, the program lets go of the server's stream.
        QVERIFY2(QTest::qWaitFor(noStreamLeft, 8000), "the finished sound still holds a stream on the sound server");

        // 听图像 in a window.
        FamilyWindow* w = drawn("logarithm");
        QVERIFY(w);
        QAbstractButton* hear = hearButton(w);
        QVERIFY(hear);
        failure = heardExactly(curveSound(*w), [hear] { hear->click(); });
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        QVERIFY2(messages.texts.isEmpty(), qPrintable(messages.texts.join('\n')));
    }

    // Run with no sound server to reach.
    void withoutSoundItSaysSoOnce() {
        MessageWatch messages;
        FamilyWindow* w = drawn("quadratic");
        QVERIFY(w);
        QAbstractButton* hear = hearButton(w);
        QVERIFY(hear);
        QVERIFY(!curveSound(*w).isEmpty());
        QVERIFY(!platform().playSound(curveSound(*w)));
        hear->click();
        QTRY_COMPARE(messages.texts, QStringList{QStringLiteral("这台电脑不能播放声音，听图像不可用。")});
        hear->click();
        QTest::qWait(300);
        QCOMPARE(messages.texts.size(), 1);
    }

    // The program started as a user starts it, windows opened and drawn,
    // with no sound played: no sound library is in the process, nor an
    // image plug-in. The first
    // sound brings them in (the back-end module beside the program).
    void soundLibrariesComeWithTheFirstSound() {
        MessageWatch messages;
        QWidget* bar = startProgram();
        QVERIFY(bar && QTest::qWaitForWindowExposed(bar));
        FamilyWindow* first = FamilyManager::instance().current();
        QVERIFY(first && QTest::qWaitForWindowExposed(first));
        FamilyWindow* w = drawn("sine");
        QVERIFY(w && QTest::qWaitForWindowExposed(w));
        QVERIFY(!curveSound(*w).isEmpty());
        QTest::qWait(200);
        const QStringList before = librariesMapped();
        QVERIFY2(before.filter(QStringLiteral("libQt6Widgets")).size() == 1, "/proc/self/maps not read");
        QVERIFY2(soundLibraries(before).isEmpty(), qPrintable(soundLibraries(before).join(' ')));
        QVERIFY(!audio::used());
        // Nor any image-format plug-in: the program's pictures are PNG, which
        // the toolkit decodes itself; a reader left to guess loads them all.
        static const QRegularExpression imagePlugin(
            QStringLiteral("^libq(gif|jpeg|tiff|webp|ico|tga|wbmp|mng|icns|svg)\\.so"));
        QVERIFY2(before.filter(imagePlugin).isEmpty(), qPrintable(before.filter(imagePlugin).join(' ')));

        (void)platform().playSound(curveSound(*w));
        QVERIFY(audio::used());
        const QStringList after = soundLibraries(librariesMapped());
        QVERIFY2(after.filter(QStringLiteral("libQt6Multimedia")).size() == 1, qPrintable(after.join(' ')));
        QVERIFY2(after.filter(QStringLiteral("libpulse")).size() >= 1, qPrintable(after.join(' ')));
        QVERIFY2(messages.texts.isEmpty(), qPrintable(messages.texts.join('\n')));
        delete bar;
    }
};

// As the program's own main: past the sound system's racy teardown (see
// audio::used), so that it cannot crash the test after it has passed.
int main(int argc, char** argv) {
    int code = 0;
    {
        QApplication app(argc, argv);
        SpeakerTest test;
        QTEST_SET_MAIN_SOURCE_PATH
        code = QTest::qExec(&test, argc, argv);
    }
    if (audio::used()) endAbruptly(code);
    return code;
}
#include "speaker_test.moc"
