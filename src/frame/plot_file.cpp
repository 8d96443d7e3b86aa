#include "frame/plot_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace plotfile {

QString openFailed(const QString& path, const QString& problem) {
    return QStringLiteral("无法打开作图文件“%1”：\n%2").arg(QDir::toNativeSeparators(path), problem);
}

Reading readFile(const QString& path) {
    Reading out;
    QFile f(path);
    const QFileInfo info(path);
    if (info.exists() && info.size() > kMaxBytes) {
        out.problem = openFailed(path, QStringLiteral("文件太大（%1 MB），作图文件最大为 20 MB。")
                                           .arg(double(info.size()) / (1 << 20), 0, 'f', 1));
        return out;
    }
    if (!info.isFile() || !f.open(QIODevice::ReadOnly)) {
        out.problem = openFailed(path, QStringLiteral("文件无法读取，可能它不存在、是一个文件夹或没有读取权限。"));
        return out;
    }
    // A file that grows while it is read is cut at the limit and refused as too large.
    const QByteArray bytes = f.read(kMaxBytes + 1);
    if (bytes.size() > kMaxBytes) {
        out.problem = openFailed(path, QStringLiteral("文件太大，作图文件最大为 20 MB。"));
        return out;
    }
    out = fromJson(bytes);
    if (!out.view) out.problem = openFailed(path, out.problem);
    return out;
}

QString writeFile(const QString& path, const View& v) { return writeBytes(path, toJson(v)); }

QString writeBytes(const QString& path, const QByteArray& bytes) {
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.commit())
        return QStringLiteral(
                   "作图文件“%1”没有保存成功！可能是没有写入的权限、文件夹不存在或磁盘已满，请换一个位置或文件名再保存。")
            .arg(QDir::toNativeSeparators(path));
    return {};
}

}  // namespace plotfile
