// The family windows the navigation bar offers, in menu order: the frame
// declares the table, the families fill it in.
#include "families/factories.h"
#include "frame/family_manager.h"

const std::vector<FamilyEntry>& familyTable() {
    static const std::vector<FamilyEntry> table = {
        {"linear", 2, 0, createLinear},
        {"quadratic", 1, 1, createQuadratic},
        {"inverse", 3, 2, createInverse},
        {"power", 4, 3, createPower},
        {"exponential", 5, 4, createExponential},
        {"logarithm", 6, 5, createLogarithm},
        {"sine", 7, 6, createSine},
        {"cosine", 8, 7, createCosine},
        {"tangent", 9, 8, createTangent},
        {"cotangent", 10, 9, createCotangent},
        {"circle", 11, 10, createCircle},
        {"ellipse", 12, 11, createEllipse},
        {"hyperbola", 13, 12, createHyperbola},
        {"parabola", 14, 13, createParabola},
    };
    return table;
}
