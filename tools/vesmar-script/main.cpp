// vesmar-script [FILE]: runs a script against the program's windows without a
// display and prints one JSON object per line.
#include <QApplication>
#include <QFile>
#include <QTextStream>
#include <cstdio>

#include "driver/driver.h"
#include "platform/platform.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    setupApplication(app);
    app.setQuitOnLastWindowClosed(false);

    QByteArray script;
    if (argc > 1) {
        QFile f(QString::fromLocal8Bit(argv[1]));
        if (!f.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "vesmar-script: cannot read %s\n", argv[1]);
            return 2;
        }
        script = f.readAll();
    } else {
        QFile in;
        if (!in.open(stdin, QIODevice::ReadOnly)) return 2;
        script = in.readAll();
    }
    {
        ScriptDriver driver([](const QString& line) {
            const QByteArray b = line.toUtf8();
            std::fwrite(b.constData(), 1, size_t(b.size()), stdout);
            std::fputc('\n', stdout);
            std::fflush(stdout);
        });
        driver.runScript(QString::fromUtf8(script));
    }
    return 0;
}
