#include "families/trig/trig_kinds.h"
#include "families/factories.h"

// The sine window with the cosine; its x look-up searches the first half
// period, where the cosine falls once from A to -A.
FamilyWindow* createCosine() {
    return newWaveWindow({8, "cosine", "余弦函数的取值和图像", "余弦函数图像", "余弦函数通式：Y=Acos(wX+p)",
                          "当前余弦函数:", " cos", "速查x值(只计算从起点至1/2周期的1个x值）", true});
}
