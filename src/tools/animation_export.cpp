#include "tools/animation_export.h"

#include "frame/family_window.h"

// The animated-file writer is not part of this build yet: the user hears so
// plainly, and nothing is written.
bool exportAnimation(FamilyWindow& window, const std::vector<QImage>& frames, int delayCentiseconds) {
    (void)delayCentiseconds;
    if (frames.empty()) return false;
    window.message(QStringLiteral("这个版本还不能写出 GIF 动画。"));
    return false;
}
