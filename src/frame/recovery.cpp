#include "frame/recovery.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include "frame/family_manager.h"
#include "frame/family_window.h"
#include "frame/plot_file.h"
#include "platform/platform.h"

namespace recovery {

QString folder() { return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation); }

QString filePath() { return folder() + QStringLiteral("/recovery.vesmar"); }

QString backupPath() { return folder() + QStringLiteral("/recovery-backup.vesmar"); }

bool write(const View& v) {
    if (folder().isEmpty() || !QDir().mkpath(folder())) return false;
    return plotfile::writeFile(filePath(), v).isEmpty();
}

void discard() {
    if (!folder().isEmpty()) QFile::remove(filePath());
}

namespace {
void keepAsBackup() {
    QFile::remove(backupPath());
    if (!QFile::rename(filePath(), backupPath())) QFile::remove(filePath());
}
}  // namespace

void offer(QWidget* parent) {
    if (folder().isEmpty() || !QFile::exists(filePath())) return;
    const MsgReply reply = platform().messageBox(
        parent, QStringLiteral("上次使用时程序没有正常退出，留下了没有保存的作图。\n是否恢复这些作图？"),
        QStringLiteral("恢复作图"), MsgButtons::YesNo, MsgIcon::Question);
    if (reply != MsgReply::Yes) return keepAsBackup();
    plotfile::Reading r = plotfile::readFile(filePath());
    const FamilyEntry* entry = r.view ? familyByKey(r.view->family) : nullptr;
    if (!entry) {
        platform().messageBox(parent, r.problem, QStringLiteral("恢复作图"), MsgButtons::OK, MsgIcon::Warning);
        return keepAsBackup();
    }
    FamilyWindow* w = FamilyManager::instance().open(*entry);
    for (auto& hook : FamilyManager::instance().onFileOpened) hook(*entry);
    w->openView(*r.view);
}

}  // namespace recovery
