#include "frame/family_traits.h"

namespace {
// Tall enough for a 9-point caption at any scale, as the buttons around it.
constexpr int kSmallButtonHeight = 24;
constexpr int kFullScreenButtonWidth = 73;
}  // namespace

QRect smallButtonSlot(const FamilyTraits& traits, int windowWidth, int i) {
    QRect row = traits.smallButtonRow;
    if (row.isEmpty()) {
        const int left = traits.fullScreenPos.x() + kFullScreenButtonWidth + 6;
        row = QRect(left, traits.copyPos.y() - kSmallButtonHeight, windowWidth - 2 - left, kSmallButtonHeight);
    }
    const int gap = 2, w = (row.width() - 2 * gap) / 3;
    return QRect(row.x() + i * (w + gap), row.y(), w, row.height());
}
