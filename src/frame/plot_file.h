#pragma once
// Plot files (.vesmar): one window's view written as versioned JSON. The
// reader trusts nothing: every value is checked against bounds before a view
// is made, and a refused file yields a message saying what is wrong and no view.
#include <QByteArray>
#include <QPointF>
#include <QString>
#include <optional>
#include <vector>

#include "frame/view.h"

namespace plotfile {

inline const QString kFormat = QStringLiteral("vesmar-plot");
// Version 2 packs each picture's points into one block and writes a picture
// that begins with another as that one plus what it adds; version 1 files
// are still read.
constexpr int kVersion = 2;
// Larger files are refused before they are read.
constexpr qint64 kMaxBytes = qint64(20) << 20;
// The save dialog's entry and the extension it adds.
inline const QString kFilter = QStringLiteral("Vesmar 作图文件 (*.vesmar)");
inline const QString kSuffix = QStringLiteral("vesmar");

QByteArray toJson(const View& v);

// How a picture's points are packed in a file, and back: false when the
// block is not `count` points.
QByteArray packPoints(const std::vector<QPointF>& points);
bool unpackPoints(const QByteArray& packed, qsizetype count, std::vector<QPointF>& out);

struct Reading {
    std::optional<View> view;
    QString problem;  // what is wrong, when there is no view
};
// A view from the bytes of a file; the family must be one of the program's.
Reading fromJson(const QByteArray& bytes);

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
