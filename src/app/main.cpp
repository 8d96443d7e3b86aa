#include <QApplication>

#include "plot/family_manager.h"
#include "platform/platform.h"
#include "shell/shell.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    setupApplication(app);
    if (!startProgram()) {
        // Without the navigation bar the linear window stands on its own.
        if (const FamilyEntry* e = familyByKey(QStringLiteral("linear"))) FamilyManager::instance().open(*e);
        app.setQuitOnLastWindowClosed(true);
    }
    return app.exec();
}
