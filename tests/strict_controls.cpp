// Linked into every unit test: a control the program names but a window
// lacks ends the test at once, in a release build as in a debug build.
#include "frame/controls.h"

namespace {
const bool strict = (makeMissingControlsFatal(), true);
}  // namespace
