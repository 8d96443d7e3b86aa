#include "platform/console.h"

#include <QByteArray>
#include <QtGlobal>

#ifdef Q_OS_WIN
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cstdio>
#endif

void useParentConsole() {
#ifdef Q_OS_WIN
    // A handle that is already there (output redirected, or a console the
    // program was given) is kept: only missing streams are tied to the
    // parent's console.
    auto missing = [](DWORD which) {
        const HANDLE h = GetStdHandle(which);
        return h == nullptr || h == INVALID_HANDLE_VALUE;
    };
    const bool out = missing(STD_OUTPUT_HANDLE), err = missing(STD_ERROR_HANDLE);
    if (!out && !err) return;
    if (!AttachConsole(ATTACH_PARENT_PROCESS)) return;
    if (out) std::freopen("CONOUT$", "w", stdout);
    if (err) std::freopen("CONOUT$", "w", stderr);
#endif
}

void sendMessagesToStandardError() {
#ifdef Q_OS_WIN
    const HANDLE h = GetStdHandle(STD_ERROR_HANDLE);
    if (h != nullptr && h != INVALID_HANDLE_VALUE && GetFileType(h) != FILE_TYPE_UNKNOWN)
        qputenv("QT_FORCE_STDERR_LOGGING", "1");
#endif
}
