#include "plot/family_manager.h"

#include <QApplication>
#include <QPointer>

#include "plot/family_window.h"

// Each family's factory lives in its own unit.
FamilyWindow* createLinear();
FamilyWindow* createQuadratic();
FamilyWindow* createInverse();
FamilyWindow* createPower();
FamilyWindow* createExponential();
FamilyWindow* createLogarithm();
FamilyWindow* createSine();
FamilyWindow* createCosine();
FamilyWindow* createTangent();
FamilyWindow* createCotangent();
FamilyWindow* createCircle();
FamilyWindow* createEllipse();
FamilyWindow* createHyperbola();
FamilyWindow* createParabola();

const std::vector<FamilyEntry>& familyTable() {
    static const std::vector<FamilyEntry> table = {
        {"linear", 2, 0, createLinear},       {"quadratic", 1, 1, createQuadratic},
        {"inverse", 3, 2, createInverse},     {"power", 4, 3, createPower},
        {"exponential", 5, 4, createExponential}, {"logarithm", 6, 5, createLogarithm},
        {"sine", 7, 6, createSine},           {"cosine", 8, 7, createCosine},
        {"tangent", 9, 8, createTangent},     {"cotangent", 10, 9, createCotangent},
        {"circle", 11, 10, createCircle},     {"ellipse", 12, 11, createEllipse},
        {"hyperbola", 13, 12, createHyperbola}, {"parabola", 14, 13, createParabola},
    };
    return table;
}

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
        if (!entry.create) return nullptr;
        keep = entry.create();
        if (!keep) return nullptr;
        QObject::connect(keep, &FamilyWindow::closed, [this](FamilyWindow* w) {
            if (current_ == w) current_ = nullptr;
        });
    }
    for (QWidget* w : QApplication::topLevelWidgets()) {
        auto* f = qobject_cast<FamilyWindow*>(w);
        if (f && f != keep && f->isVisible()) f->close();
    }
    for (auto& hook : onChoose) hook();
    current_ = keep;
    keep->show();
    keep->raise();
    keep->activateWindow();
    return keep;
}

void FamilyManager::closeAll() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        auto* f = qobject_cast<FamilyWindow*>(w);
        if (f && f->isVisible()) f->close();
    }
    current_ = nullptr;
}
