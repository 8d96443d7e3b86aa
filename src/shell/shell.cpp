#include "shell/shell.h"

#include <QApplication>
#include <QIcon>
#include <QPointer>
#include <QtGlobal>

#include "shell/main_window.h"

void initShellResources() {
    // The pictures live in the static library; their registration must be
    // pulled in explicitly.
    Q_INIT_RESOURCE(vesmar);
}

QWidget* startProgram() {
    // There is one navigation bar; starting again brings it forward.
    static QPointer<MainWindow> bar;
    if (bar) {
        bar->show();
        bar->raise();
        return bar;
    }
    initShellResources();
    // Every window of the program shows the program's icon.
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/vesmar.svg")));
    bar = new MainWindow;
    bar->start();
    return bar;
}
