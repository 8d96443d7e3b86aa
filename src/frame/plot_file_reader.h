#pragma once
// The plot file's reader: a view from a file's bytes, every value checked
// against the bounds of plot_file.h before anything is decoded or kept.
#include <QByteArray>
#include <QString>
#include <optional>

#include "frame/view.h"

namespace plotfile {

struct Reading {
    std::optional<View> view;
    QString problem;  // what is wrong, when there is no view
};
// A view from the bytes of a file; the family must be one of the program's.
Reading fromJson(const QByteArray& bytes);

}  // namespace plotfile
