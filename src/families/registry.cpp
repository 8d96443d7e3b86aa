// The family windows the navigation bar offers, in menu order: the frame
// declares the table, the families fill it in.
#include "families/factories.h"
#include "frame/family_manager.h"
#include "tools/install.h"

namespace {
// Every window gets its tools as it is built.
template <FamilyWindow* (*create)()>
FamilyWindow* withTools() {
    FamilyWindow* w = create();
    if (w) installTools(*w);
    return w;
}
}  // namespace

const std::vector<FamilyEntry>& familyTable() {
    static const std::vector<FamilyEntry> table = {
        {"linear", 2, 0, withTools<createLinear>},
        {"quadratic", 1, 1, withTools<createQuadratic>},
        {"inverse", 3, 2, withTools<createInverse>},
        {"power", 4, 3, withTools<createPower>},
        {"exponential", 5, 4, withTools<createExponential>},
        {"logarithm", 6, 5, withTools<createLogarithm>},
        {"sine", 7, 6, withTools<createSine>},
        {"cosine", 8, 7, withTools<createCosine>},
        {"tangent", 9, 8, withTools<createTangent>},
        {"cotangent", 10, 9, withTools<createCotangent>},
        {"circle", 11, 10, withTools<createCircle>},
        {"ellipse", 12, 11, withTools<createEllipse>},
        {"hyperbola", 13, 12, withTools<createHyperbola>},
        {"parabola", 14, 13, withTools<createParabola>},
        {"own", 16, 14, withTools<createOwn>},
    };
    return table;
}
