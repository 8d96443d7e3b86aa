#include "frame/family_manager.h"

#include <QApplication>
#include <QPointer>

#include "frame/family_window.h"

const FamilyEntry* familyByKey(const QString& key) {
    for (const FamilyEntry& e : familyTable())
        if (e.key == key) return &e;
    return nullptr;
}
const FamilyEntry* familyByMenu(int index) {
    for (const FamilyEntry& e : familyTable())
        if (e.menuIndex == index) return &e;
    return nullptr;
}
const FamilyEntry* familyByNumber(int number) {
    for (const FamilyEntry& e : familyTable())
        if (e.number == number) return &e;
    return nullptr;
}

FamilyManager& FamilyManager::instance() {
    static FamilyManager m;
    return m;
}

FamilyWindow* FamilyManager::current() const { return current_; }

FamilyWindow* FamilyManager::window(int number) const {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        auto* f = qobject_cast<FamilyWindow*>(w);
        if (f && f->traits().number == number && f->isVisible()) return f;
    }
    return nullptr;
}

FamilyWindow* FamilyManager::open(const FamilyEntry& entry) {
    FamilyWindow* keep = window(entry.number);
    if (!keep) {
        keep = entry.create();
        QObject::connect(keep, &FamilyWindow::closed, [this](FamilyWindow* w) {
            if (current_ == w) current_ = nullptr;
        });
    }
    for (QWidget* w : QApplication::topLevelWidgets()) {
        auto* f = qobject_cast<FamilyWindow*>(w);
        if (f && f != keep && f->isVisible()) f->close();
    }
    emit familyChosen();
    current_ = keep;
    // A window the user minimised comes back too: show() alone leaves it
    // in the task bar.
    if (keep->isMinimized()) keep->setWindowState(keep->windowState() & ~Qt::WindowMinimized);
    keep->show();
    keep->raise();
    keep->activateWindow();
    return keep;
}

FamilyWindow* FamilyManager::showView(const View& view) {
    const FamilyEntry* entry = familyByKey(view.family);
    if (!entry) return nullptr;
    FamilyWindow* w = open(*entry);
    emit viewShown(*entry);
    w->views().open(view);
    return w;
}

void FamilyManager::closeAll() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        auto* f = qobject_cast<FamilyWindow*>(w);
        if (f && f->isVisible()) f->close();
    }
    current_ = nullptr;
}
