#include "shell/shell.h"

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
    bar = new MainWindow;
    bar->start();
    return bar;
}
