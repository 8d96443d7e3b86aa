#pragma once
// The picture as an SVG document, written from its description: one element
// per run of dots, per group of lines, per box, ellipse and text, in drawing
// order. Rendered, it shows what the picture painted at four times its size
// shows; placed in a document it has the printed picture's size.
#include <QByteArray>
#include <QString>

namespace picture {

struct Description;

// The 396-pixel square at the screen's 96 pixels per inch.
inline constexpr const char* kSvgSide = "104.775mm";

// title: the window's caption, written as the document's <title>. A null
// description gives a white picture.
QByteArray svgDocument(const Description* d, const QString& title);

}  // namespace picture
