#pragma once
// Pictures as an animated GIF: the frames in order, each shown for the same
// time, looping for ever. A plot has few colours; each frame's go into its
// palette exactly (a frame of more than 256 colours keeps its 255 commonest
// exactly and shows each other one as the nearest of them: the smoothing
// at the edges of letters). After the first, a frame carries only the
// rectangle that changed.
#include <QImage>
#include <QString>
#include <vector>

namespace gif {

// The GIF file's bytes; empty, with *error set, when the frames cannot make
// one (none, of different sizes, or larger than a GIF holds). The caller
// writes them by the program's save rules.
QByteArray encode(const std::vector<QImage>& frames, int delayCentiseconds, QString* error);

// The delay between frames for a speed in frames per second, in the
// hundredths of a second a GIF counts: at least 2 (viewers show anything
// faster at a tenth of a second).
int delayFor(double framesPerSecond);

}  // namespace gif
