#include "curve/sound.h"

#include <QtEndian>
#include <algorithm>
#include <cmath>

#include "curve/trace_walk.h"

namespace sound {

namespace {
constexpr double kLeft = -11, kRight = 11, kBottom = -11, kTop = 11;
constexpr double kTone = 0.3 * 32767, kHiss = 0.04 * 32767;
constexpr double kTwoPi = 6.283185307179586;

// Walks a graph's points left to right: y at x, or nothing where no run covers x.
class GraphCursor {
public:
    explicit GraphCursor(const Runs& runs) : runs_(runs) {}
    bool at(double x, double* y) {
        while (r_ < runs_.size() && (runs_[r_].empty() || runs_[r_].back().x() < x)) {
            ++r_;
            i_ = 0;
        }
        if (r_ >= runs_.size()) return false;
        const auto& run = runs_[r_];
        if (run.size() < 2 || x < run.front().x()) {
            if (run.size() == 1 && std::abs(run.front().x() - x) < 0.02) return *y = run.front().y(), true;
            return false;
        }
        while (i_ + 1 < run.size() && run[i_ + 1].x() < x) ++i_;
        const QPointF a = run[i_], b = run[std::min(i_ + 1, run.size() - 1)];
        const double t = b.x() == a.x() ? 0 : (x - a.x()) / (b.x() - a.x());
        *y = a.y() + (b.y() - a.y()) * t;
        return true;
    }

private:
    const Runs& runs_;
    size_t r_ = 0, i_ = 0;
};
}  // namespace

double pitchOf(double y) {
    const double t = (std::clamp(y, kBottom, kTop) - kBottom) / (kTop - kBottom);
    return kLowHz * std::pow(kHighHz / kLowHz, t);
}

std::vector<qint16> render(const Runs& runs, double seconds, int rate) {
    if (!(seconds > 0) || rate <= 0) return {};
    const size_t frames = size_t(std::min(seconds, 60.0) * std::min(rate, 192000));
    std::vector<qint16> out(frames * 2, 0);
    std::vector<QPointF> path;
    const bool graph = trace::isGraph(runs);
    if (!graph)
        for (const auto& run : runs) path.insert(path.end(), run.begin(), run.end());
    GraphCursor cursor(runs);
    double phase = 0;
    quint32 noise = 12345;
    for (size_t k = 0; k < frames; ++k) {
        const double f = (k + 0.5) / double(frames);
        double x = 0, y = 0;
        bool sounding;
        if (graph) {
            x = kLeft + (kRight - kLeft) * f;
            sounding = cursor.at(x, &y);
        } else {
            sounding = !path.empty();
            if (sounding) {
                const QPointF p = path[std::min(path.size() - 1, size_t(f * path.size()))];
                x = p.x();
                y = p.y();
            }
        }
        if (!sounding || !std::isfinite(y)) continue;
        phase += kTwoPi * pitchOf(y) / rate;
        if (phase > kTwoPi) phase -= kTwoPi;
        double v = kTone * std::sin(phase);
        if (y < 0) {
            noise = noise * 1664525u + 1013904223u;
            v += kHiss * (double(noise >> 8) / double(1u << 24) * 2 - 1);
        }
        // Equal loudness across the middle: the gains' squares add to one.
        const double pan = std::clamp((x - kLeft) / (kRight - kLeft), 0.0, 1.0);
        out[2 * k] = qint16(std::lround(v * std::cos(pan * kTwoPi / 4)));
        out[2 * k + 1] = qint16(std::lround(v * std::sin(pan * kTwoPi / 4)));
    }
    return out;
}

QByteArray wav(const std::vector<qint16>& interleaved, int rate) {
    const quint32 data = quint32(interleaved.size() * 2);
    QByteArray b;
    b.reserve(int(44 + data));
    auto u32 = [&b](quint32 v) {
        char c[4];
        qToLittleEndian(v, c);
        b.append(c, 4);
    };
    auto u16 = [&b](quint16 v) {
        char c[2];
        qToLittleEndian(v, c);
        b.append(c, 2);
    };
    b.append("RIFF", 4);
    u32(36 + data);
    b.append("WAVEfmt ", 8);
    u32(16);
    u16(1);  // PCM
    u16(2);  // channels
    u32(quint32(rate));
    u32(quint32(rate) * 4);  // bytes a second
    u16(4);                  // bytes a frame
    u16(16);                 // bits a sample
    b.append("data", 4);
    u32(data);
    for (qint16 s : interleaved) u16(quint16(s));
    return b;
}

}  // namespace sound
