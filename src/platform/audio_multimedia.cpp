// The sound back-end module: a WAV file from memory played through the
// toolkit's audio output. Built as a module of its own (vesmar-audio) and
// opened by audio_loader.cpp on the first sound, so that only a program that
// plays loads the audio module and the sound libraries under it.
#include "platform/audio_backend.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QBuffer>
#include <QCoreApplication>
#include <QMediaDevices>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QtEndian>

#include <memory>
#include <optional>

namespace {

// Longer than any sound server keeps samples queued ahead of the speaker.
constexpr int kServerHoldsMs = 2500;

struct Pcm {
    QAudioFormat format;
    QByteArray samples;
};

quint32 u32At(const QByteArray& b, qsizetype at) { return qFromLittleEndian<quint32>(b.constData() + at); }
quint16 u16At(const QByteArray& b, qsizetype at) { return qFromLittleEndian<quint16>(b.constData() + at); }

// The format and samples of a RIFF/WAVE file of 16-bit PCM; nothing for any
// other file. Every length is checked against what is there.
std::optional<Pcm> readWav(const QByteArray& wav) {
    if (wav.size() < 12 || !wav.startsWith("RIFF") || wav.mid(8, 4) != "WAVE") return std::nullopt;
    bool haveFormat = false;
    QAudioFormat format;
    for (qsizetype at = 12; at + 8 <= wav.size();) {
        const QByteArray id = wav.mid(at, 4);
        const quint32 size = u32At(wav, at + 4);
        const qsizetype body = at + 8;
        if (size > quint64(wav.size() - body)) return std::nullopt;
        if (id == "fmt ") {
            if (size < 16) return std::nullopt;
            const quint16 kind = u16At(wav, body), channels = u16At(wav, body + 2), bits = u16At(wav, body + 14);
            const quint32 rate = u32At(wav, body + 4);
            if (kind != 1 || bits != 16 || channels < 1 || channels > 8 || rate < 1000 || rate > 384000)
                return std::nullopt;
            format.setSampleFormat(QAudioFormat::Int16);
            format.setChannelCount(channels);
            format.setSampleRate(int(rate));
            haveFormat = true;
        } else if (id == "data") {
            if (!haveFormat) return std::nullopt;
            return Pcm{format, wav.mid(body, qsizetype(size))};
        }
        at = body + qsizetype(size) + (size & 1);  // chunks are padded to even lengths
    }
    return std::nullopt;
}

// The sound now playing: the output and the buffer it reads, kept until the
// sound ends or the next one starts. Owned by the application, so that it
// is gone before the audio system is.
class Player : public QObject {
public:
    explicit Player(QObject* parent) : QObject(parent) {}
    ~Player() override { stop(); }

    bool play(Pcm pcm) {
        stop();
        const QAudioDevice device = QMediaDevices::defaultAudioOutput();
        if (device.isNull()) return false;
        buffer_.setData(pcm.samples);
        if (!buffer_.open(QIODevice::ReadOnly)) return false;
        sink_ = std::make_unique<QAudioSink>(device, pcm.format);
        // The output falls idle when it has handed over the last samples,
        // while the sound server may still hold a second or two of them
        // (stopping now would cut the end off). Its stream is let go only
        // after that, rather than held open in silence until the next sound.
        QAudioSink* sink = sink_.get();
        connect(sink, &QAudioSink::stateChanged, this, [sink](QAudio::State s) {
            if (s != QAudio::IdleState) return;
            QTimer::singleShot(kServerHoldsMs, sink, [sink] {
                if (sink->state() == QAudio::IdleState) sink->stop();
            });
        });
        sink_->start(&buffer_);
        if (sink_->error() != QAudio::NoError || sink_->state() == QAudio::StoppedState) {
            stop();
            return false;
        }
        return true;
    }

private:
    void stop() {
        if (sink_) {
            sink_->disconnect(this);
            sink_->stop();
            sink_.reset();
        }
        buffer_.close();
    }

    QBuffer buffer_;
    std::unique_ptr<QAudioSink> sink_;
};

}  // namespace

// The module's one object, made by the plugin loader.
class MultimediaAudio : public QObject, public AudioBackend {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID VESMAR_AUDIO_BACKEND_IID)
    Q_INTERFACES(AudioBackend)

public:
    bool play(const QByteArray& wav) override {
        if (!QCoreApplication::instance()) return false;
        std::optional<Pcm> pcm = readWav(wav);
        if (!pcm || pcm->samples.isEmpty()) return false;
        // Owned by the application, so that it is gone before the audio
        // system is; this object lives until the module is let go.
        if (!player_) player_ = new Player(QCoreApplication::instance());
        return player_->play(std::move(*pcm));
    }

private:
    QPointer<Player> player_;
};

#include "audio_multimedia.moc"
