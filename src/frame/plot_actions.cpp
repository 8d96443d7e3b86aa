#include "frame/plot_actions.h"

#include <QDir>
#include <QFileInfo>
#include <QShortcut>

#include "frame/family_manager.h"
#include "frame/family_window.h"
#include "frame/plot_file.h"
#include "platform/platform.h"

namespace plotactions {

QString saveTitle() { return QStringLiteral("保存作图"); }
QString openTitle() { return QStringLiteral("打开作图"); }

bool openPath(QWidget* parent, const QString& path) {
    const plotfile::Reading r = plotfile::readFile(path);
    if (!r.view || !FamilyManager::instance().showView(*r.view)) {
        platform().messageBox(parent, r.problem, openTitle(), MsgButtons::OK, MsgIcon::Warning);
        return false;
    }
    return true;
}

QKeySequence openKeys() { return QKeySequence(Qt::CTRL | Qt::Key_O); }
QKeySequence saveKeys() { return QKeySequence(Qt::CTRL | Qt::Key_S); }

void addFileKeys(QWidget* window) {
    auto* open = new QShortcut(openKeys(), window);
    QObject::connect(open, &QShortcut::activated, window, [window] { openByDialog(window); });
    auto* save = new QShortcut(saveKeys(), window);
    QObject::connect(save, &QShortcut::activated, window, [window] { saveByDialog(window); });
}

void openByDialog(QWidget* parent) {
    OpenRequest request;
    request.title = openTitle();
    request.filters = {plotfile::kFilter, QStringLiteral("所有文件 (*)")};
    const std::optional<QString> path = platform().openFileName(parent, request);
    if (!path || path->isEmpty()) return;
    openPath(parent, *path);
}

void saveByDialog(QWidget* parent) {
    FamilyWindow* w = FamilyManager::instance().current();
    if (!w) {
        platform().messageBox(parent, QStringLiteral("现在没有打开的作图窗口，没有可以保存的作图。"), saveTitle(),
                              MsgButtons::OK, MsgIcon::None);
        return;
    }
    SaveRequest request;
    request.title = saveTitle();
    QString name = w->traits().fileName;
    name.replace(QStringLiteral("图像"), QStringLiteral("作图"));
    request.initialName = name + QStringLiteral(".") + plotfile::kSuffix;
    request.filters = {plotfile::kFilter};
    request.defaultSuffix = plotfile::kSuffix;
    request.suffixes = {plotfile::kSuffix};
    const std::optional<SaveAnswer> answer = platform().saveFile(parent, request);
    if (!answer || answer->path.isEmpty()) return;
    QString path = answer->path;
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".") + plotfile::kSuffix;
    if (QFileInfo(path).isDir()) {
        platform().messageBox(parent,
                              QStringLiteral("“%1”是一个文件夹，请换一个文件名。").arg(QDir::toNativeSeparators(path)),
                              saveTitle(), MsgButtons::OK, MsgIcon::Warning);
        return;
    }
    if (QFileInfo::exists(path) &&
        platform().messageBox(
            parent, QStringLiteral("文件“%1”已经存在。\n要用现在的作图替换它吗？").arg(QDir::toNativeSeparators(path)),
            saveTitle(), MsgButtons::YesNo, MsgIcon::Question) != MsgReply::Yes)
        return;
    const QString failed = plotfile::writeFile(path, w->views().take());
    if (!failed.isEmpty()) platform().messageBox(parent, failed, saveTitle(), MsgButtons::OK, MsgIcon::Warning);
}

}  // namespace plotactions
