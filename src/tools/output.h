#pragma once
// Picture output of a plot window: save as BMP, PNG or SVG, copy, print, full-screen view.
// All four hand on the canvas picture only: what was drawn into the canvas
// (axes, grid, curves, texts, freehand strokes), never the floating items
// (crosshair, rubber bands, eraser square) that the canvas widget paints on top.
#include <QByteArray>
#include <QImage>
#include <QObject>
#include <QPointF>
#include <QRectF>
#include <QSize>
#include <QString>
#include <optional>

class FamilyWindow;
class Picture;
class QIODevice;

namespace output {

// Offered by the save dialog.
QString saveTitle();  // "函数图像另存为"
// All files and picture files (both written as BMP), then a PNG at four
// times the size and an SVG.
QStringList saveFilters();
enum class Format { Bmp, Png, Svg };
// The format written under each entry of saveFilters().
Format formatOfFilter(int index);
// The format a name asks for by its extension (bmp, png, svg in any case);
// none for other names. A name typed with one of these is written in that
// format whatever entry is selected.
std::optional<Format> formatOfName(const QString& path);
// The PNG's scale: 1584 pixels a side, for worksheets.
constexpr int kPngScale = 4;
// Every format has the printed size: 396 pixels at 96 per inch, so the PNG
// says 384 per inch.
constexpr int kScreenDpi = 96;
// Shown when the chosen name is taken: existing files are never overwritten.
QString existsMessage();
// Shown when the file could not be written (no permission, no such folder,
// disk full): the user must not believe the picture was saved.
QString saveFailedMessage();
// Shown when no printer could be had or the print job failed.
QString printFailedMessage();

// The picture as the bytes of a Windows bitmap file.
QByteArray bmpBytes(const QImage& image);

// Writes every byte and pushes it through to the file; false when any part
// did not reach the device (a full disk shows up only at the flush).
bool writeAll(QIODevice& device, const QByteArray& bytes);

enum class SaveResult { Written, Exists, Failed };
// Writes the picture as a BMP under path whatever its extension. An existing
// file is left alone (checked when the file is created, so nothing can slip
// in between); a partly written file is removed again.
SaveResult saveNewBmp(const QImage& image, const QString& path);
// The same for any bytes: created new or not at all.
SaveResult saveNew(const QByteArray& bytes, const QString& path);

// The picture as a PNG file painted at scale (tagged with the density that
// gives it the printed size), and as an SVG document with the picture's
// lines, dots and texts as vector elements.
QByteArray pngBytes(const QImage& image, int scale = kPngScale);
QByteArray svgBytes(const Picture& picture, const QString& title);
// A PNG or SVG always carries its own extension.
QString withSuffix(const QString& path, Format f);

// Page layout of a printed picture, in device units of a printer with the
// given resolution (dots per inch). Positions count from the printable origin.
struct PrintLayout {
    QPointF heading;  // top-left corner of the heading text
    QRectF picture;   // where the canvas picture goes, at its natural size
};
// twips are 1/1440 inch; the screen's pictures have 96 pixels per inch.
double twipsToDevice(double twips, int dpi);
// The picture at its natural size in the middle of the printable area, the
// heading above it at its left edge; both moved down or right only as far as
// needed to stay on a page too small for them.
PrintLayout printLayout(int dpi, double headingLineHeight, QSize pictureSize, QSizeF printable);

}  // namespace output

// A child of its window.
class OutputTools : public QObject {
public:
    // Creates the four buttons (unless the window's own table already has
    // them) and connects them.
    explicit OutputTools(FamilyWindow& window);

    void save();        // Cmdsave
    void copy();        // Cmdcopy
    void print();       // the print button
    void fullScreen();  // Commandquanpin

private:
    FamilyWindow& w_;
};
