// The sound of a curve, measured in the samples: the pitch follows y, the
// balance follows x, the hiss marks y < 0, and breaks are silent.
#include <QtTest>
#include <cmath>
#include <functional>

#include "curve_samples.h"
#include "curve/sound.h"

namespace {

struct Window {
    double hz = 0, left = 0, right = 0;  // frequency, energy on each side
    int loud = 0;                        // samples away from silence
};

// The samples cut into `parts` windows: each window's frequency (rising
// crossings of a threshold above the hiss) and the energy on each side.
std::vector<Window> windows(const std::vector<qint16>& s, int parts) {
    std::vector<Window> out(static_cast<size_t>(parts));
    const size_t frames = s.size() / 2, per = frames / size_t(parts);
    for (int w = 0; w < parts; ++w) {
        bool low = false;
        int rises = 0;
        Window& o = out[size_t(w)];
        for (size_t k = size_t(w) * per; k < size_t(w + 1) * per; ++k) {
            const double l = s[2 * k], r = s[2 * k + 1], m = l + r;
            o.left += l * l;
            o.right += r * r;
            if (l != 0 || r != 0) ++o.loud;
            if (m < -4000) low = true;
            if (low && m > 4000) {
                ++rises;
                low = false;
            }
        }
        o.hz = rises / (double(per) / sound::kRate);
    }
    return out;
}

}  // namespace

class SoundTest : public QObject {
    Q_OBJECT
private slots:
    void pitchFollowsY() {
        QCOMPARE(sound::pitchOf(-11), sound::kLowHz);
        QCOMPARE(sound::pitchOf(11), sound::kHighHz);
        QVERIFY(std::abs(sound::pitchOf(0) - 440) < 1e-9);
        QCOMPARE(sound::pitchOf(1e30), sound::kHighHz);

        // y = 2x rises all the way (inside the picture, from x = -5 to 5).
        auto w = windows(sound::render(sampledRuns([](double x) { return 2 * x; })), 11);
        for (int i = 4; i < 7; ++i) QVERIFY2(w[size_t(i + 1)].hz > w[size_t(i)].hz, qPrintable(QString::number(i)));
        QCOMPARE(w[0].loud, 0);  // x < -5: y = 2x is below the picture
        QVERIFY(w[5].loud > 0);

        // y = x^2 - 5: down, then up.
        w = windows(sound::render(sampledRuns([](double x) { return x * x - 5; })), 11);
        QVERIFY(w[4].hz > 1.2 * w[5].hz && w[6].hz > 1.2 * w[5].hz);

        // A sine repeats: high, low, high at whole periods apart.
        w = windows(sound::render(sampledRuns([](double x) { return 8 * std::sin(x * 6.283185307179586 / 4.4); })), 20);
        // Each window is 1.1 wide, a quarter of the 4.4-long period.
        for (size_t i = 1; i + 5 < w.size(); ++i)
            QVERIFY2(std::abs(w[i].hz - w[i + 4].hz) < 0.15 * w[i].hz, qPrintable(QString::number(i)));
        QVERIFY(std::abs(w[1].hz - w[3].hz) > 0.3 * w[1].hz);
    }

    void balanceHissAndSilence() {
        // The left speaker first, the right one last.
        auto w = windows(sound::render(sampledRuns([](double) { return 3; })), 10);
        QVERIFY(w[1].left > 4 * w[1].right);
        QVERIFY(w[8].right > 4 * w[8].left);
        // y = 1/x: nothing where the curve is off the picture near x = 0.
        const std::vector<qint16> inverse = sound::render(sampledRuns([](double x) { return 1 / x; }));
        const size_t mid = inverse.size() / 4;  // the frame at x = 0, times two channels
        for (size_t k = mid - 4; k < mid + 4; ++k) QCOMPARE(inverse[2 * k], qint16(0));
        // Under the axis the hiss adds what a tone never has: sample-to-sample
        // roughness (the second difference is tiny for a few hundred hertz).
        auto roughness = [](const std::vector<qint16>& s) {
            double n = 0;
            for (size_t k = 4; k < s.size(); k += 2) n += std::abs(s[k] - 2.0 * s[k - 2] + s[k - 4]);
            return n;
        };
        const double above = roughness(sound::render(sampledRuns([](double) { return 3; })));
        const double below = roughness(sound::render(sampledRuns([](double) { return -3; })));
        QVERIFY2(below > 5 * above, qPrintable(QStringLiteral("%1 %2").arg(above).arg(below)));
        QVERIFY(sound::render({}).size() == size_t(sound::kSeconds * sound::kRate) * 2);
    }

    void wavHeader() {
        const QByteArray b = sound::wav({1, -1, 2, -2}, 8000);
        QCOMPARE(b.size(), 44 + 8);
        QVERIFY(b.startsWith("RIFF") && b.mid(8, 8) == "WAVEfmt " && b.mid(36, 4) == "data");
        QCOMPARE(qFromLittleEndian<quint32>(b.constData() + 24), quint32(8000));
        QCOMPARE(qFromLittleEndian<qint16>(b.constData() + 46), qint16(-1));
    }
};

QTEST_APPLESS_MAIN(SoundTest)
#include "sound_test.moc"
