// Built where the toolkit's audio module is missing: no sound can be played,
// and the program says so when asked to.
#include "platform/audio_out.h"

namespace audio {

bool play(const QByteArray& wav) {
    (void)wav;
    return false;
}

bool used() { return false; }

}  // namespace audio
