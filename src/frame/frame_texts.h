#pragma once
// Texts every plot window shares.
#include <QString>

namespace frametext {
inline QString paramTip() {
    return QStringLiteral("请在此文本框中输入数据取值，或拖动滑块观察各种不同的取值与图像的关系。");
}
inline QString hint() {
    return QStringLiteral(
        "说明：如果要取一个自定义的值（用滚动条无法实现，如小数），可直接在上面的文本框中输入。然后点击“刷新作图”或“覆"
        "盖作图”。");
}
// The message of a value that is beyond single range, outside the domain or
// the range of values (power, exponential, logarithm and trigonometric windows).
inline QString invalidValue() {
    return QStringLiteral("选取的值无效（可能过大或过小，不在定义域或值域范围内），请重新选取一个有意义的值！");
}
inline QString invalidValueTitle() { return QStringLiteral("操作提示"); }
// The message of a result beyond what can be computed (the other windows).
inline QString tooLarge() {
    return QStringLiteral("输入的数值太大或太小，计算结果超出了可以计算的范围，请重新输入一个合适的值。");
}
}  // namespace frametext
