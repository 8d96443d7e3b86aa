#include <QApplication>
#include <QWidget>

#include "plot/family_manager.h"
#include "platform/platform.h"
#include "shell/shell.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    setupApplication(app);
    if (QWidget* bar = startProgram()) {
        // The program ends with the navigation bar, whatever else is still open.
        QObject::connect(bar, &QObject::destroyed, &app, [] { QCoreApplication::quit(); });
    } else {
        // Without the navigation bar the linear window stands on its own.
        if (const FamilyEntry* e = familyByKey(QStringLiteral("linear"))) FamilyManager::instance().open(*e);
        app.setQuitOnLastWindowClosed(true);
    }
    return app.exec();
}
