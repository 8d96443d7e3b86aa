// vesmar-script [FILE]: runs a script against the program's windows without a
// display and prints one JSON object per line.
// vesmar-script --check FILE: runs a script whose commands carry their
// expected output ("> {json}" lines after a command), prints the output, and
// exits with 1 and a readable list of differences when it does not match.
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <cstring>

#include "driver/check.h"
#include "driver/driver.h"
#include "platform/console.h"
#include "platform/platform.h"

namespace {

void printLine(const QString& line, FILE* to) {
    const QByteArray b = line.toUtf8();
    std::fwrite(b.constData(), 1, size_t(b.size()), to);
    std::fputc('\n', to);
    std::fflush(to);
}

bool readAll(const char* path, QByteArray* out) {
    QFile f;
    const bool ok = path ? (f.setFileName(QString::fromLocal8Bit(path)), f.open(QIODevice::ReadOnly))
                         : f.open(stdin, QIODevice::ReadOnly);
    if (!ok) {
        std::fprintf(stderr, "vesmar-script: cannot read %s\n", path ? path : "standard input");
        return false;
    }
    *out = f.readAll();
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    sendMessagesToStandardError();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    setupApplication(app);
    app.setQuitOnLastWindowClosed(false);

    const bool check = argc > 1 && std::strcmp(argv[1], "--check") == 0;
    if (argc > (check ? 3 : 2) || (check && argc < 3)) {
        std::fprintf(stderr, "usage: vesmar-script [FILE]\n       vesmar-script --check FILE\n");
        return 2;
    }
    QByteArray script;
    if (!readAll(argc > (check ? 2 : 1) ? argv[check ? 2 : 1] : nullptr, &script)) return 2;

    if (check) {
        const QString name = QFileInfo(QString::fromLocal8Bit(argv[2])).fileName();
        const CheckResult r = checkScript(QString::fromUtf8(script), name);
        for (const QString& line : r.transcript) printLine(line, stdout);
        for (const QString& line : r.report) printLine(line, stderr);
        if (!r.ok) printLine(QStringLiteral("%1: %2 difference(s)").arg(name).arg(r.report.size()), stderr);
        return r.ok ? 0 : 1;
    }
    {
        ScriptDriver driver([](const QString& line) { printLine(line, stdout); });
        driver.runScript(QString::fromUtf8(script));
    }
    return 0;
}
