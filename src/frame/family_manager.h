#pragma once
// Which family windows exist and how they are opened: at most one family
// window at a time, created on first use, as the navigation bar and the
// script driver choose them.
#include <QObject>
#include <QPointer>
#include <QString>
#include <vector>

class FamilyWindow;
class QWidget;
struct View;

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

// Whoever cares what is chosen listens to its signals; a listener that goes
// is disconnected with it.
class FamilyManager : public QObject {
    Q_OBJECT
public:
    static FamilyManager& instance();
    // Shows the family's window (creating it on first use), closes every
    // other family window and the full-screen viewer; returns the window.
    FamilyWindow* open(const FamilyEntry& entry);
    // The one way a kept view comes back (a plot file, the recovery file):
    // opens its family's window as open() does, says so (viewShown) and shows
    // the view in it. nullptr, and nothing opened, when the family is not
    // one of the program's.
    FamilyWindow* showView(const View& view);
    FamilyWindow* current() const;
    // The open window with that number, or nullptr.
    FamilyWindow* window(int number) const;
    void closeAll();

signals:
    // A family window is about to be shown (the full-screen viewer closes).
    void familyChosen();
    // A kept view opened the family's window, not the navigation bar (which
    // marks the family as chosen).
    void viewShown(const FamilyEntry& entry);

private:
    FamilyManager() = default;
    // Cleared by Qt should the window go without its close event.
    QPointer<FamilyWindow> current_;
};
