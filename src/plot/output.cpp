#include "plot/output.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QFontMetricsF>
#include <QImageWriter>
#include <QPainter>
#include <QPrinter>

#include "platform/platform.h"
#include "plot/controls.h"
#include "plot/family_window.h"
#include "plot/viewer.h"

namespace output {

QString saveTitle() { return QStringLiteral("函数图像另存为"); }

QStringList saveFilters() {
    // A Qt filter takes its patterns from the last parentheses, so the
    // all-files entry carries its pattern after the caption.
    return {QStringLiteral("所有文件(all files) (*)"), QStringLiteral("函数图像(*.bmp)")};
}

QString existsMessage() { return QStringLiteral("你新建的文件已经存在，请更换一个新的！"); }

QString saveFailedMessage() {
    return QStringLiteral("图像文件没有保存成功！可能是没有写入的权限、文件夹不存在或磁盘已满，请换一个位置或文件名再保存。");
}

QString printFailedMessage() {
    return QStringLiteral("图像没有打印出来！可能是没有可用的打印机或打印机出了故障，请检查打印机后再打印。");
}

QByteArray bmpBytes(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "BMP");
    // The screen's colour depth: plain RGB without an alpha channel.
    writer.write(image.convertToFormat(QImage::Format_RGB32));
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

SaveResult saveNewBmp(const QImage& image, const QString& path) {
    if (QFileInfo::exists(path)) return SaveResult::Exists;
    const QByteArray bytes = bmpBytes(image);
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

PrintLayout printLayout(int dpi, double headingLineHeight, QSize pictureSize) {
    PrintLayout l;
    const double x = twipsToDevice(600, dpi);
    const double headingTop = twipsToDevice(800, dpi);
    l.heading = QPointF(x, headingTop);
    // After the heading the text row is the next line; the picture goes 100
    // and then 200 twips further down.
    const double row = headingTop + headingLineHeight + twipsToDevice(100, dpi);
    const double top = row + twipsToDevice(200, dpi);
    l.picture = QRectF(x, top, pictureSize.width() * dpi / 96.0, pictureSize.height() * dpi / 96.0);
    return l;
}

}  // namespace output

OutputTools::OutputTools(FamilyWindow& window) : w_(window) {
    const FamilyTraits& t = w_.traits();
    const QString printName = t.printButton.isEmpty() ? QStringLiteral("Command5") : t.printButton;
    const int x = t.copyPos.x(), y = t.copyPos.y(), bw = t.outputButtonWidth;
    auto ensure = [&](const Ctl& c) {
        if (!w_.control(c.name)) buildControls(&w_, {c});
    };
    ensure(button("Commandquanpin", t.fullScreenPos.x(), t.fullScreenPos.y(), 73, 25, "全屏展示")
               .back(255, 224, 192)
               .tooltip("全屏展示图像"));
    ensure(button("Cmdcopy", x, y, bw, 33, "复制").font("宋体", 10.5));
    ensure(button("Cmdsave", x + 80, y, bw, 33, "保存").font("宋体", 10.5));
    ensure(button(printName, x + 160, y, bw, 33, "打印").font("宋体", 10.5));
    w_.onClick(QStringLiteral("Cmdsave"), [this] { save(); });
    w_.onClick(QStringLiteral("Cmdcopy"), [this] { copy(); });
    w_.onClick(printName, [this] { print(); });
    w_.onClick(QStringLiteral("Commandquanpin"), [this] { fullScreen(); });
}

void OutputTools::save() {
    SaveRequest r;
    r.title = output::saveTitle();
    r.initialName = w_.traits().fileName;
    r.filters = output::saveFilters();
    r.defaultSuffix = QStringLiteral("bmp");
    const std::optional<QString> name = platform().saveFileName(&w_, r);
    if (!name || name->isEmpty()) return;
    switch (output::saveNewBmp(w_.canvas().image(), *name)) {
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
    QPainter p;
    if (!p.begin(printer.get())) return failed();
    const int dpi = printer->resolution();
    QFont font(QStringLiteral("宋体"));
    font.setPointSizeF(16);
    p.setFont(font);
    const QFontMetricsF fm = p.fontMetrics();
    const QImage picture = w_.canvas().snapshot();
    const output::PrintLayout layout = output::printLayout(dpi, fm.height(), picture.size());
    p.setPen(Qt::black);
    // The heading's text position is its top; drawText wants the baseline.
    p.drawText(QPointF(layout.heading.x(), layout.heading.y() + fm.ascent()), w_.text(w_.traits().headingLabel));
    p.drawImage(layout.picture, picture);
    const bool ended = p.end();
    if (!ended || printer->printerState() == QPrinter::Error) failed();
}

void OutputTools::fullScreen() { ViewerWindow::showFor(w_.canvas()); }
