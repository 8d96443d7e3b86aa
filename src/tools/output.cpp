#include "tools/output.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QFontMetricsF>
#include <QImageWriter>
#include <QLabel>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <algorithm>
#include <cmath>

#include "platform/platform.h"
#include "frame/controls.h"
#include "frame/family_window.h"
#include "render/svg_writer.h"
#include "tools/viewer.h"

namespace output {

QString saveTitle() { return QStringLiteral("函数图像另存为"); }

QStringList saveFilters() {
    // A Qt filter takes its patterns from the last parentheses, so the
    // all-files entry carries its pattern after the caption.
    return {QStringLiteral("所有文件(all files) (*)"), QStringLiteral("函数图像(*.bmp)"),
            QStringLiteral("高清图片(*.png)"), QStringLiteral("矢量图(*.svg)")};
}

Format formatOfFilter(int index) {
    switch (index) {
    case 2: return Format::Png;
    case 3: return Format::Svg;
    default: return Format::Bmp;
    }
}

std::optional<Format> formatOfName(const QString& path) {
    const QString ext = QFileInfo(path).suffix().toLower();
    if (ext == QLatin1String("bmp")) return Format::Bmp;
    if (ext == QLatin1String("png")) return Format::Png;
    if (ext == QLatin1String("svg")) return Format::Svg;
    return std::nullopt;
}

QString withSuffix(const QString& path, Format f) {
    if (f == Format::Bmp || path.isEmpty()) return path;
    const QString ext = f == Format::Png ? QStringLiteral("png") : QStringLiteral("svg");
    return QFileInfo(path).suffix().compare(ext, Qt::CaseInsensitive) == 0 ? path : path + QLatin1Char('.') + ext;
}

QByteArray pngBytes(const QImage& image, int scale) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImage tagged = image;
    const int dotsPerMeter = int(std::lround(kScreenDpi * scale / 0.0254));
    tagged.setDotsPerMeterX(dotsPerMeter);
    tagged.setDotsPerMeterY(dotsPerMeter);
    QImageWriter writer(&buffer, "PNG");
    if (!writer.write(tagged)) return {};
    return bytes;
}

QByteArray svgBytes(const Picture& picture, const QString& title) {
    return picture::svgDocument(picture.description(), title);
}

QString existsMessage() { return QStringLiteral("你新建的文件已经存在，请更换一个新的！"); }

QString saveFailedMessage() {
    return QStringLiteral(
        "图像文件没有保存成功！可能是没有写入的权限、文件夹不存在或磁盘已满，请换一个位置或文件名再保存。");
}

QString printFailedMessage() {
    return QStringLiteral("图像没有打印出来！可能是没有可用的打印机或打印机出了故障，请检查打印机后再打印。");
}

QByteArray bmpBytes(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "BMP");
    // The screen's colour depth: plain RGB without an alpha channel, and the
    // screen's density, so that the bitmap has the printed size.
    QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    const int dotsPerMeter = int(std::lround(kScreenDpi / 0.0254));
    rgb.setDotsPerMeterX(dotsPerMeter);
    rgb.setDotsPerMeterY(dotsPerMeter);
    writer.write(rgb);
    return bytes;
}

bool writeAll(QIODevice& device, const QByteArray& bytes) {
    if (device.write(bytes) != bytes.size()) return false;
    if (auto* file = qobject_cast<QFileDevice*>(&device)) {
        if (!file->flush()) return false;
        file->close();
        return file->error() == QFileDevice::NoError;
    }
    return true;
}

SaveResult saveNewBmp(const QImage& image, const QString& path) { return saveNew(bmpBytes(image), path); }

SaveResult saveNew(const QByteArray& bytes, const QString& path) {
    if (QFileInfo::exists(path)) return SaveResult::Exists;
    if (bytes.isEmpty()) return SaveResult::Failed;
    QFile file(path);
    // NewOnly: the file is created here or not at all, never replaced.
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return QFileInfo::exists(path) ? SaveResult::Exists : SaveResult::Failed;
    if (!writeAll(file, bytes)) {
        file.close();
        file.remove();  // ours, and incomplete
        return SaveResult::Failed;
    }
    return SaveResult::Written;
}

double twipsToDevice(double twips, int dpi) { return twips * dpi / 1440.0; }

PrintLayout printLayout(int dpi, double headingLineHeight, QSize pictureSize, QSizeF printable) {
    PrintLayout l;
    const QSizeF size(pictureSize.width() * dpi / double(kScreenDpi), pictureSize.height() * dpi / double(kScreenDpi));
    // The heading's line, then 100 and 200 twips more above the picture.
    const double above = headingLineHeight + twipsToDevice(300, dpi);
    const double left = std::max(0.0, (printable.width() - size.width()) / 2);
    const double top = std::max(above, (printable.height() - size.height()) / 2);
    l.picture = QRectF(QPointF(left, top), size);
    l.heading = QPointF(left, top - above);
    return l;
}

}  // namespace output

OutputTools::OutputTools(FamilyWindow& window) : QObject(&window), w_(window) {
    const FamilyTraits& t = w_.traits();
    const int x = t.copyPos.x(), y = t.copyPos.y(), bw = t.outputButtonWidth;
    QPushButton *fullScreenButton = nullptr, *copyButton = nullptr, *saveButton = nullptr, *printButton = nullptr;
    buildControls(&w_, {
                           button("Commandquanpin", t.fullScreenPos.x(), t.fullScreenPos.y(), 73, 25, "全屏展示")
                               .back(255, 224, 192)
                               .tooltip("全屏展示图像")
                               .bind(&fullScreenButton),
                           button("Cmdcopy", x, y, bw, 33, "复制").font("宋体", 10.5).bind(&copyButton),
                           button("Cmdsave", x + 80, y, bw, 33, "保存").font("宋体", 10.5).bind(&saveButton),
                           button(t.printButton, x + 160, y, bw, 33, "打印").font("宋体", 10.5).bind(&printButton),
                       });
    w_.onClick(saveButton, [this] { save(); });
    w_.onClick(copyButton, [this] { copy(); });
    w_.onClick(printButton, [this] { print(); });
    w_.onClick(fullScreenButton, [this] { fullScreen(); });
}

void OutputTools::save() {
    SaveRequest r;
    r.title = output::saveTitle();
    r.initialName = w_.traits().fileName;
    r.filters = output::saveFilters();
    r.defaultSuffix = QStringLiteral("bmp");
    r.suffixes = {QString(), QStringLiteral("bmp"), QStringLiteral("png"), QStringLiteral("svg")};
    r.selectedFilter = 1;
    const std::optional<SaveAnswer> answer = platform().saveFile(&w_, r);
    if (!answer || answer->path.isEmpty()) return;
    // A known extension typed by the user decides; otherwise the entry does
    // (under the first two a bitmap whatever the name says).
    const std::optional<output::Format> typed = output::formatOfName(answer->path);
    const output::Format format = typed ? *typed : output::formatOfFilter(answer->filter);
    const QString path = typed ? answer->path : output::withSuffix(answer->path, format);
    QByteArray bytes;
    switch (format) {
    case output::Format::Bmp: bytes = output::bmpBytes(w_.canvas().image()); break;
    case output::Format::Png: bytes = output::pngBytes(w_.canvas().render(output::kPngScale)); break;
    case output::Format::Svg: bytes = output::svgBytes(w_.canvas().picture(), w_.windowTitle()); break;
    }
    switch (output::saveNew(bytes, path)) {
    case output::SaveResult::Written: break;
    case output::SaveResult::Exists:
        w_.message(output::existsMessage(), QStringLiteral("操作提示"), MsgButtons::OK, MsgIcon::Warning);
        break;
    case output::SaveResult::Failed:
        w_.message(output::saveFailedMessage(), QStringLiteral("操作提示"), MsgButtons::OK, MsgIcon::Warning);
        break;
    }
}

void OutputTools::copy() { platform().setClipboardImage(w_.canvas().snapshot()); }

void OutputTools::print() {
    auto failed = [this] {
        w_.message(output::printFailedMessage(), QStringLiteral("操作提示"), MsgButtons::OK, MsgIcon::Warning);
    };
    std::unique_ptr<QPrinter> printer = platform().printer();
    if (!printer) return failed();
    // The job's name in the queue and the PDF's title.
    printer->setDocName(w_.windowTitle());
    QPainter p;
    if (!p.begin(printer.get())) return failed();
    const int dpi = printer->resolution();
    QFont font(QStringLiteral("宋体"));
    font.setPointSizeF(16);
    p.setFont(font);
    const QFontMetricsF fm = p.fontMetrics();
    const Picture picture = w_.canvas().picture();
    const output::PrintLayout layout = output::printLayout(dpi, fm.height(), QSize(Canvas::kSize, Canvas::kSize),
                                                           QSizeF(printer->width(), printer->height()));
    p.setPen(Qt::black);
    // The heading's text position is its top; drawText wants the baseline.
    p.drawText(QPointF(layout.heading.x(), layout.heading.y() + fm.ascent()),
               w_.frameControls().current ? w_.frameControls().current->text() : QString());
    // Painted at the printer's own resolution: lines, dots and texts go to
    // the printer as such, never as a compressed bitmap.
    picture.paint(p, layout.picture);
    const bool ended = p.end();
    if (!ended || printer->printerState() == QPrinter::Error) failed();
}

void OutputTools::fullScreen() { ViewerWindow::showFor(w_.canvas()); }
