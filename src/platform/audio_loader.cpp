// Playing sound through the back-end module (audio_multimedia.cpp), opened on
// the first sound the program plays: until then none of the sound libraries
// it pulls in (the toolkit's audio output, the sound server's client, the
// decoders) is loaded, and most sessions never play.
#include "platform/audio_backend.h"
#include "platform/audio_out.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPluginLoader>

#ifndef VESMAR_AUDIO_MODULE
#error "VESMAR_AUDIO_MODULE names the back-end module's file (CMakeLists.txt)"
#endif
#ifndef VESMAR_AUDIO_INSTALLED_DIR
#error "VESMAR_AUDIO_INSTALLED_DIR is where it is installed, relative to the program (CMakeLists.txt)"
#endif

namespace audio {
namespace {

// Set once the module is in the process, whether or not it then played.
bool loaded = false;

// The back-end, opened on the first call; nothing when there is no module or
// it cannot be loaded (it is tried once: a window asks again on every click).
AudioBackend* backend() {
    static bool tried = false;
    static AudioBackend* found = nullptr;
    if (tried) return found;
    tried = true;
    const QString file = backendFile(QCoreApplication::applicationDirPath());
    if (file.isEmpty()) return nullptr;
    QPluginLoader loader(file);
    // Kept in the process to the end: the sound system's threads may still
    // run its code while the program exits.
    loader.setLoadHints(QLibrary::PreventUnloadHint);
    QObject* root = loader.instance();
    loaded = loader.isLoaded();
    found = qobject_cast<AudioBackend*>(root);
    if (!found)
        qWarning("The sound back-end %s cannot be used: %s", qPrintable(file), qPrintable(loader.errorString()));
    return found;
}

}  // namespace

QString backendFile(const QString& programDir) {
    const QDir dir(programDir);
    for (const QString& candidate :
         {QStringLiteral(VESMAR_AUDIO_MODULE), QStringLiteral(VESMAR_AUDIO_INSTALLED_DIR "/" VESMAR_AUDIO_MODULE)}) {
        const QFileInfo file(dir.filePath(candidate));
        if (file.isFile()) return QDir::cleanPath(file.absoluteFilePath());
    }
    return {};
}

bool play(const QByteArray& wav) {
    if (!QCoreApplication::instance()) return false;
    AudioBackend* b = backend();
    return b && b->play(wav);
}

bool used() { return loaded; }

}  // namespace audio
