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
// Hands the view to the writer thread, which writes it atomically and
// soon; false when there is no data folder.
bool write(const View& v);
// Waits until the last view handed over is on disk (tests, scripts).
void flush();
// A normal end: nothing is left to recover.
void discard();
// At start: when a recovery file is there, asks whether to restore it.
// Yes opens it in its family's window; No keeps it as the one backup.
void offer(QWidget* parent);

}  // namespace recovery
