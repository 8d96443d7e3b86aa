#pragma once
// The factories of the plot windows, one in each family's unit: the fourteen
// families and the window of the teacher's own function.
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
FamilyWindow* createOwn();
