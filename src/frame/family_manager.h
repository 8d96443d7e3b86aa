#pragma once
// Which family windows exist and how they are opened: at most one family
// window at a time, created on first use, as the navigation bar and the
// script driver choose them.
#include <QPointer>
#include <QString>
#include <functional>
#include <vector>

class FamilyWindow;
class QWidget;

struct FamilyEntry {
    QString key;                // "linear"
    int number;                 // Form number (1 quadratic, 2 linear, ...)
    int menuIndex;              // Labmenu index in the navigation bar
    FamilyWindow* (*create)();  // builds the window
};

// The fourteen families in menu order. The families provide it
// (families/registry.cpp); the frame only opens what it is given.
const std::vector<FamilyEntry>& familyTable();
const FamilyEntry* familyByKey(const QString& key);
const FamilyEntry* familyByMenu(int index);
const FamilyEntry* familyByNumber(int number);

class FamilyManager {
public:
    static FamilyManager& instance();
    // Shows the family's window (creating it on first use), closes every
    // other family window and the full-screen viewer; returns the window.
    FamilyWindow* open(const FamilyEntry& entry);
    FamilyWindow* current() const;
    // The open window with that number, or nullptr.
    FamilyWindow* window(int number) const;
    void closeAll();
    // Hooks run when a family is chosen (the full-screen viewer closes itself).
    std::vector<std::function<void()>> onChoose;
    // Hooks run when a plot file opened the family's window (the navigation
    // bar marks the family as chosen).
    std::vector<std::function<void(const FamilyEntry&)>> onFileOpened;

private:
    // Cleared by Qt should the window go without its close event.
    QPointer<FamilyWindow> current_;
};
