#include "families/trig/trig_kinds.h"
#include "families/factories.h"

// The tangent window with the cotangent, 1/tg(wX + p).
FamilyWindow* createCotangent() {
    return newSlopeWindow({10, "cotangent", "余切函数的取值和图像", "余切函数图像", "余切函数通式：Y=ctg(wX+p)",
                           "当前余切函数:", "ctg", true, QPoint(656, 448)});
}
