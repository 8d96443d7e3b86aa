// libFuzzer target for the plot file reader: any bytes give either a view
// or a message, never a crash, a hang or a view outside the bounds.
#include <QApplication>
#include <QByteArray>
#include <cstdint>
#include <cstdlib>

#include "frame/plot_file.h"
#include "platform/platform.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // Fonts and the family table need the application; it lives until the process ends.
    auto* app = new QApplication(*argc, *argv);
    setupApplication(*app);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const plotfile::Reading r = plotfile::fromJson(bytes);
    if (!r.view && r.problem.isEmpty()) std::abort();  // a refusal always says why
    if (r.view) {
        // What was read writes out and reads back to the same.
        const plotfile::Reading again = plotfile::fromJson(plotfile::toJson(*r.view));
        if (!again.view) std::abort();
        if (again.view->controls.size() != r.view->controls.size()) std::abort();
    }
    return 0;
}
