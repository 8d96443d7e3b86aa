#pragma once
// Where the program keeps its own files. Every place that needs a folder of
// the program's asks here, so one switch moves them all: VESMAR_HOME, when
// set, holds them as data/, config/ and cache/ below it (the tests give each
// run a home of its own this way, on Windows as on Linux, where the system's
// own folders would otherwise be the user's real ones). Otherwise they are
// the system's folders for the program (QStandardPaths).
#include <QString>

namespace folders {

enum class Kind { Data, Config, Cache };

// The environment variable that moves every folder of the program.
inline constexpr char kHomeVariable[] = "VESMAR_HOME";

// The folder of that kind; empty when the system has none. Not created.
QString location(Kind kind);
// The system's folder of that kind, whatever the switch says: only for
// checking that the switch is honoured.
QString systemLocation(Kind kind);

}  // namespace folders
