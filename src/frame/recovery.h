#pragma once
// The recovery file: the current window's view, written shortly after every
// change to the user's data folder and removed when the program ends
// normally. Found at the next start, it is what a crash or a power cut left.
#include <QString>

#include "frame/view.h"

class QWidget;

namespace recovery {

// How long after a change the file is written, at most.
constexpr int kDelayMs = 1000;

QString folder();
QString filePath();    // recovery.vesmar in the data folder
QString backupPath();  // where a file the user chose not to restore is kept
// Writes the view atomically; false when it could not be written.
bool write(const View& v);
// A normal end: nothing is left to recover.
void discard();
// At start: when a recovery file is there, asks whether to restore it.
// Yes opens it in its family's window; No keeps it as the one backup.
void offer(QWidget* parent);

}  // namespace recovery
