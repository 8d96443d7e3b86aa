#pragma once
// The sound card, for the desktop builds that play through the toolkit's own
// audio output (the Windows build uses the system's player instead). The
// audio output lives in a back-end module (audio_backend.h) that is opened on
// the first sound played, so that a program that never plays loads no sound
// library.
#include <QByteArray>
#include <QString>

namespace audio {

// Starts playing a 16-bit PCM WAV file held in memory on the default output
// and returns at once; a new sound stops the one still playing. False when
// nothing can play it: no back-end module, no sound device or sound server,
// or not such a file.
bool play(const QByteArray& wav);

// Whether this process has loaded the sound back-end (on its first sound).
// The toolkit's sound system tears its thread down at exit without holding
// it still; with a stream recently open that can crash the process after all
// its work is done. A program that loaded it ends at once instead
// (endAbruptly), after its application object is gone; one that never played
// ends normally.
bool used();

// The back-end module's file for a program in `programDir`: beside the
// program (a build tree), else in the program's folder under the system's
// library folder (installed). Empty when there is none.
QString backendFile(const QString& programDir);

}  // namespace audio
