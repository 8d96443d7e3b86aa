#pragma once
// Texts every plot window shares.
#include <QString>

namespace frametext {
inline QString paramTip() { return QStringLiteral("请在此文本框中输入数据取值，或拖动滑块观察各种不同的取值与图像的关系。"); }
inline QString hint() {
    return QStringLiteral("说明：如果要取一个自定义的值（用滚动条无法实现，如小数），可直接在上面的文本框中输入。然后点击“刷新作图”或“覆盖作图”。");
}
}  // namespace frametext
