// An animation sweep as an animated GIF: the save dialog asks for the name,
// the file is created new or not at all (as the picture's own save).
#include "tools/animation_export.h"

#include <QFileInfo>

#include "frame/family_window.h"
#include "platform/platform.h"
#include "render/gif_writer.h"
#include "tools/output.h"

namespace {
QString withGifSuffix(const QString& path) {
    return QFileInfo(path).suffix().compare(QLatin1String("gif"), Qt::CaseInsensitive) == 0
               ? path
               : path + QStringLiteral(".gif");
}
}  // namespace

bool exportAnimation(FamilyWindow& w, const std::vector<QImage>& frames, int delayCentiseconds) {
    SaveRequest r;
    r.title = QStringLiteral("导出 GIF 动画");
    r.initialName = w.traits().fileName;
    r.filters = {QStringLiteral("GIF 动画 (*.gif)")};
    r.defaultSuffix = QStringLiteral("gif");
    r.suffixes = {QStringLiteral("gif")};
    r.selectedFilter = 0;
    const std::optional<SaveAnswer> answer = platform().saveFile(&w, r);
    if (!answer || answer->path.isEmpty()) return false;
    QString error;
    const QByteArray bytes = gif::encode(frames, delayCentiseconds, &error);
    if (bytes.isEmpty()) {
        w.message(QStringLiteral("无法导出 GIF：") + error, QStringLiteral("操作提示"), MsgButtons::OK,
                  MsgIcon::Warning);
        return false;
    }
    switch (output::saveNew(bytes, withGifSuffix(answer->path))) {
    case output::SaveResult::Written: return true;
    case output::SaveResult::Exists:
        w.message(output::existsMessage(), QStringLiteral("操作提示"), MsgButtons::OK, MsgIcon::Warning);
        return false;
    case output::SaveResult::Failed:
        w.message(output::saveFailedMessage(), QStringLiteral("操作提示"), MsgButtons::OK, MsgIcon::Warning);
        return false;
    }
    return false;
}
