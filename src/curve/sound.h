#pragma once
// Hearing a curve: its points played from left to right as a tone whose pitch
// follows y over the picture's range and whose place between the left and
// the right speaker follows x. A soft hiss lies under the tone where y < 0;
// where the curve has no point the sound is silent.
#include <QByteArray>
#include <QPointF>
#include <QtGlobal>
#include <vector>

namespace sound {

using Runs = std::vector<std::vector<QPointF>>;

constexpr int kRate = 22050;      // frames a second
constexpr double kSeconds = 3.0;  // the whole width of the picture
constexpr double kLowHz = 220;    // y at the bottom of the picture
constexpr double kHighHz = 880;   // y at the top (two octaves higher)

// The tone's pitch for y (world units, -11 … 11, clamped).
double pitchOf(double y);

// The curve as 16-bit stereo samples, left and right interleaved: a graph
// from x = -11 to 11, any other curve along the points in drawing order.
std::vector<qint16> render(const Runs& runs, double seconds = kSeconds, int rate = kRate);

// The samples as a WAV file (PCM, 16 bits, two channels).
QByteArray wav(const std::vector<qint16>& interleaved, int rate = kRate);

}  // namespace sound
