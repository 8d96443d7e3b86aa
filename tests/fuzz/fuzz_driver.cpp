// libFuzzer target for the script driver: any script, run against the real
// windows, never crashes, never hangs, prints only JSON objects, and leaves
// no window behind once the driver has closed and deleted them.
#include <QApplication>
#include <QDir>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QTemporaryDir>
#include <QWidget>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "driver/driver.h"
#include "driver/script_clock.h"
#include "platform/platform.h"

namespace {

// What one input may ask for: enough for every command, too little to run long.
constexpr size_t kMaxBytes = 4096;
constexpr int kMaxLines = 64;
constexpr qint64 kMaxWaitMs = 3000;
// Writing a picture at scale 8, a PNG or an SVG costs a good part of a second
// under the sanitizers; a few per input cover those paths without letting one
// input run into the time-out on a loaded machine.
constexpr int kMaxFileCommands = 4;

bool writesFile(const QString& line) {
    for (const char* cmd : {"canvas ", "grab ", "savename ", "clipboard ", "printto "})
        if (line.startsWith(QLatin1String(cmd))) return true;
    return false;
}

QTemporaryDir* workDir = nullptr;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // The application lives until the process ends: destroying it from a
    // static destructor, after Qt's own statics, would crash at exit.
    auto* app = new QApplication(*argc, *argv);
    setupApplication(*app);
    app->setQuitOnLastWindowClosed(false);
    // Saved pictures and printed files go to a folder of the fuzzer's own;
    // the driver refuses any other place.
    workDir = new QTemporaryDir;
    if (!workDir->isValid()) {
        std::fprintf(stderr, "fuzz_driver: no working folder\n");
        std::abort();
    }
    std::atexit([] { delete workDir; });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > kMaxBytes) return -1;
    QStringList lines =
        QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size)).split(QLatin1Char('\n'));
    if (lines.size() > kMaxLines) return -1;
    if (std::count_if(lines.cbegin(), lines.cend(), writesFile) > kMaxFileCommands) return -1;
    {
        ScriptDriver driver([](const QString& line) {
            QJsonParseError err;
            const QJsonDocument doc = QJsonDocument::fromJson(line.toUtf8(), &err);
            if (err.error != QJsonParseError::NoError || !doc.isObject()) {
                std::fprintf(stderr, "fuzz_driver: output is not a JSON object: %s\n", line.toUtf8().constData());
                std::abort();
            }
        });
        driver.maxWaitMs = kMaxWaitMs;
        driver.confineFiles = true;
        driver.mayCrash = false;
        driver.filesFolder = workDir->path();
        for (const QString& line : lines) driver.run(line);
    }
    // The driver has closed every window as the end of the program does;
    // every window deletes itself on closing, so none may be left.
    settle();
    if (const QWidgetList left = QApplication::topLevelWidgets(); !left.isEmpty()) {
        for (QWidget* w : left)
            std::fprintf(stderr, "fuzz_driver: left behind: %s \"%s\"%s\n", w->metaObject()->className(),
                         w->objectName().toUtf8().constData(), w->isVisible() ? " (visible)" : "");
        std::abort();
    }
    QDir files(workDir->path());
    for (const QString& f : files.entryList(QDir::Files | QDir::Hidden | QDir::System)) files.remove(f);
    return 0;
}
