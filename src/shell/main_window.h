#pragma once
// The navigation bar Formtop: one menu label per family, the help and exit
// images, the pair of images that slide the bar up out of sight and back, and
// the question before the program ends.
#include <QColor>
#include <QKeySequence>
#include <QPixmap>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <array>
#include <vector>

class ClickLabel;
class HelpWindow;

namespace shell {

inline constexpr int kMenuCount = 15;

struct MenuItem {
    QString caption;
    int x, y, w;
};
// The fourteen menu labels in index order (all 19 pixels high).
const std::vector<MenuItem>& menuTable();

// The keys that open a family from any window of the program.
struct FamilyKey {
    QKeySequence keys;
    int menuIndex;
};
const std::vector<FamilyKey>& familyKeys();

// How a menu label looks. Start: as the bar first appears, before the
// pointer has moved over it; Hovered keeps the label's italic as it was.
enum class MenuLook { Start, Normal, Selected, Hovered };
struct LabelLook {
    QColor back, fore;
    bool italic;
};
LabelLook lookOf(MenuLook look);

// One step of the sliding bar: the new outer top edge and whether the slide
// has reached its limit. The step comes before the test, so the bar may end
// a few pixels past the limit (collapsed: at most 20 - height, so that the
// bottom 20 pixels stay on screen; expanded: at least 6).
struct SlideStep {
    int top;
    bool done;
};
SlideStep slideStep(int top, int windowHeight, bool collapsing);

// The addresses the bar and the help window open.
inline const QString kWebAddress = QStringLiteral("https://vesmar.example.org/");
inline const QString kMailAddress = QStringLiteral("vesmar@example.org");
inline const QString kTutorial = QStringLiteral("readme/index.htm");

}  // namespace shell

class MainWindow : public QWidget {
    Q_OBJECT
public:
    MainWindow();
    ~MainWindow() override;

    // Opens the default family, makes the bar topmost and shows it.
    void start();

    int currentMenu() const { return currentMenu_; }
    bool collapsed() const { return navCollapsed_; }
    bool sliding() const { return timer_.isActive(); }
    ClickLabel* menuLabel(int i) const;

    // The menu label's handlers: the press marks it selected, the click opens
    // its family (indexes outside the menu do nothing).
    void menuPressed(int i);
    void menuClicked(int i);
    void showHelp();
    // A family chosen without the mouse (a key, a screen reader's Press):
    // the press and the click of its label.
    void chooseFamily(int i);
    void requestExit();
    void collapse();
    void expand();
    // Everything back to rest, as when the pointer moves over the background.
    void rest();

protected:
    void paintEvent(QPaintEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    ClickLabel* image(const char* name, int x, int y, int w, int h, const QString& picture, const QString& tip);
    void setMenuLook(int i, shell::MenuLook look);
    void slide(bool up);
    void tick();
    void closeOthers();
    static constexpr int kNoLeft = -1000000;
    void place(int top, int left = kNoLeft);
    void startSettling();
    void settle();

    std::array<ClickLabel*, shell::kMenuCount> menu_{};
    ClickLabel *help_ = nullptr, *help2_ = nullptr, *exit_ = nullptr, *exit2_ = nullptr;
    ClickLabel *yc_ = nullptr, *yc2_ = nullptr, *zk_ = nullptr, *zk2_ = nullptr;
    // An image and its brighter twin shown while the pointer is over it.
    struct HoverTwin {
        ClickLabel *plain, *bright;
        bool onlyCollapsed;  // put back at rest only while the bar is collapsed
    };
    std::vector<HoverTwin> twins_;
    ClickLabel *decoration_ = nullptr, *credit_ = nullptr;
    // Plot files: 打开作图 and 保存作图, styled as the menu labels.
    ClickLabel *open_ = nullptr, *save_ = nullptr;
    QTimer timer_;
    QTimer settleTimer_;  // puts the windows right once the desktop has framed them
    int settleTicks_ = 0;
    bool barSettled_ = false;
    QPointer<HelpWindow> helpWindow_;
    QPixmap background_;
    int currentMenu_ = 1;
    bool navCollapsed_ = false;
    int slideTop_ = 0;  // outer top edge the bar was last put at
    bool placed_ = false;
    bool asking_ = false;
    bool exiting_ = false;
};
