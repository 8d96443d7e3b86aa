#pragma once
// What the sound back-end module offers the program. The back-end lives in a
// module of its own (vesmar-audio), linked against the toolkit's audio output
// and its sound libraries; the program opens it on the first sound it plays,
// so that a session that never plays loads none of them.
#include <QByteArray>
#include <QtPlugin>

class AudioBackend {
public:
    virtual ~AudioBackend() = default;
    // As audio::play: starts playing a 16-bit PCM WAV file held in memory and
    // returns at once; false when nothing can play it.
    virtual bool play(const QByteArray& wav) = 0;
};

// The interface's name and version: a module built for another version is
// refused, not called.
#define VESMAR_AUDIO_BACKEND_IID "org.example.vesmar.AudioBackend/1"
Q_DECLARE_INTERFACE(AudioBackend, VESMAR_AUDIO_BACKEND_IID)
