#include "shell/shell.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QPointer>
#include <QTranslator>
#include <QtGlobal>
#include <algorithm>

#include "shell/main_window.h"

void initShellResources() {
    // The pictures live in the static library; their registration must be
    // pulled in explicitly.
    Q_INIT_RESOURCE(images);
}

QIcon programIcon() {
    initShellResources();
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256}) icon.addFile(QStringLiteral(":/icons/vesmar-%1.png").arg(size));
    return icon;
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
    QApplication::setWindowIcon(programIcon());
    bar = new MainWindow;
    bar->start();
    return bar;
}

bool installChineseQtTexts(QCoreApplication& app) {
    const QString dir = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    auto* t = new QTranslator(&app);
    // qt_zh_CN pulls in the catalogues of the Qt modules it lists.
    if (!t->load(QStringLiteral("qt_zh_CN"), dir) && !t->load(QStringLiteral("qtbase_zh_CN"), dir)) {
        delete t;
        return false;
    }
    QCoreApplication::installTranslator(t);
    return true;
}

namespace shell {
int familyClientTop(int designedTop, int barFrameBottom, int familyTitleHeight) {
    return std::max(designedTop, barFrameBottom + 1 + std::max(0, familyTitleHeight));
}
}  // namespace shell
