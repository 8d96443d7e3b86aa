#pragma once
// The factories of the fourteen family windows, one in each family's unit.
class FamilyWindow;

FamilyWindow* createLinear();
FamilyWindow* createQuadratic();
FamilyWindow* createInverse();
FamilyWindow* createPower();
FamilyWindow* createExponential();
FamilyWindow* createLogarithm();
FamilyWindow* createSine();
FamilyWindow* createCosine();
FamilyWindow* createTangent();
FamilyWindow* createCotangent();
FamilyWindow* createCircle();
FamilyWindow* createEllipse();
FamilyWindow* createHyperbola();
FamilyWindow* createParabola();
