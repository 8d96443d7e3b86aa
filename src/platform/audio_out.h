#pragma once
// The sound card, for the desktop builds that play through the toolkit's own
// audio output (the Windows build uses the system's player instead).
#include <QByteArray>

namespace audio {

// Starts playing a 16-bit PCM WAV file held in memory on the default output
// and returns at once; a new sound stops the one still playing. False when
// nothing can play it: no sound device or sound server, or not such a file.
bool play(const QByteArray& wav);

// Whether this process has started the sound system. The toolkit's sound
// system tears its thread down at exit without holding it still; with a
// stream recently open that can crash the process after all its work is
// done (about one exit in twenty here). A program that used it ends at once
// instead (endAbruptly), after its application object is gone.
bool used();

}  // namespace audio
