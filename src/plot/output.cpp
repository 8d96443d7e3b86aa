#include "plot/output.h"

#include "plot/family_window.h"

OutputTools::OutputTools(FamilyWindow& window) : w_(window) {}
