#pragma once
// Plot files (.vesmar): one window's view written as versioned JSON. This
// file has the format's name, version and bounds and the file I/O; the
// writer is plot_file_writer.cpp, the reader plot_file_reader.*. The reader
// trusts nothing: every value is checked against the bounds before a view is
// made, and a refused file yields a message saying what is wrong and no view.
#include <QByteArray>
#include <QPointF>
#include <QString>
#include <optional>
#include <vector>

#include "frame/plot_file_reader.h"
#include "frame/view.h"

namespace plotfile {

inline const QString kFormat = QStringLiteral("vesmar-plot");
// Version 2 packs each picture's points into one block and writes a picture
// that begins with another as that one plus what it adds; version 3 adds the
// animator's settings among the tools' controls (older files leave them at
// their defaults); versions 1 and 2 are still read.
constexpr int kVersion = 3;
// Larger files are refused before they are read.
constexpr qint64 kMaxBytes = qint64(20) << 20;
// The save dialog's entry and the extension it adds.
inline const QString kFilter = QStringLiteral("Vesmar 作图文件 (*.vesmar)");
inline const QString kSuffix = QStringLiteral("vesmar");

// Bounds a file must keep. They are far above anything the program draws,
// and low enough that a hostile file cannot make it hang or run out of memory.
constexpr int kMaxPictures = 8;
constexpr qsizetype kMaxOps = 300000;
constexpr qsizetype kMaxPoints = 2000000;
constexpr qsizetype kMaxCanvasText = 2000;  // the canvas cuts longer texts anyway
constexpr qsizetype kMaxTextChars = 2000000;
constexpr qsizetype kMaxFonts = 1000;
constexpr qsizetype kMaxCurves = 100000;
constexpr qsizetype kMaxCurveText = 10000;
constexpr qsizetype kMaxBoxText = 32767;  // what a text box holds
constexpr int kMaxControls = 1000;
constexpr int kMaxNumbers = 64;
constexpr int kMaxWidth = 64;
constexpr double kMaxFontPoints = 200;
// Pixel coordinates: a line may run far outside the picture (a steep line
// of a large parameter), up to the largest single value in world units.
constexpr double kMaxCoordinate = 1e40;
// Shapes and texts the canvas keeps only near the picture.
constexpr double kMaxShape = 1e6;

// How many points the curves hold (the bound counts them all).
inline qsizetype curvePoints(const std::vector<DrawnCurve>& list) {
    qsizetype n = 0;
    for (const DrawnCurve& c : list)
        for (const auto& run : c.runs) n += qsizetype(run.size());
    return n;
}

// The view as a file's bytes (plot_file_writer.cpp); the pictures' points
// and images in the forms of render/picture_codec.h.
QByteArray toJson(const View& v);

// The file at path, size checked first; problems name the file.
Reading readFile(const QString& path);
// Writes atomically: a failed write leaves any older file as it was. Empty
// when written, else the message to show.
QString writeFile(const QString& path, const View& v);
// The same for bytes already made by toJson.
QString writeBytes(const QString& path, const QByteArray& bytes);

// The message for a file that cannot be opened: its name and the problem.
QString openFailed(const QString& path, const QString& problem);

}  // namespace plotfile
