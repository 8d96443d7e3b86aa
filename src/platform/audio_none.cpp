// The Windows build: the system's own player plays the sound of a curve
// (platform.cpp), so the toolkit's audio output and its back-end module are
// not used, and nothing here plays or loads anything.
#include "platform/audio_out.h"

namespace audio {

bool play(const QByteArray& wav) {
    (void)wav;
    return false;
}

bool used() { return false; }

QString backendFile(const QString& programDir) {
    (void)programDir;
    return {};
}

}  // namespace audio
