#include "driver/scripted_platform.h"

#include <QDir>
#include <QFileInfo>
#include <QPrinter>
#include <QWidget>

#include "driver/json.h"

namespace {

QString buttonsName(MsgButtons b) {
    switch (b) {
    case MsgButtons::OK: return QStringLiteral("OK");
    case MsgButtons::OKCancel: return QStringLiteral("OKCancel");
    case MsgButtons::YesNo: return QStringLiteral("YesNo");
    }
    return {};
}

QString iconName(MsgIcon i) {
    switch (i) {
    case MsgIcon::None: return QStringLiteral("none");
    case MsgIcon::Warning: return QStringLiteral("warning");
    case MsgIcon::Exclamation: return QStringLiteral("exclamation");
    case MsgIcon::Question: return QStringLiteral("question");
    }
    return {};
}

}  // namespace

const QString ScriptedPlatform::kCancel = QStringLiteral(
    "\x01"
    "cancel");
const QString ScriptedPlatform::kFail = QStringLiteral(
    "\x01"
    "fail");

MsgReply ScriptedPlatform::messageBox(QWidget*, const QString& text, const QString& title, MsgButtons buttons,
                                      MsgIcon icon) {
    QString want;
    if (!answers.empty()) {
        want = answers.front();
        answers.pop_front();
    }
    MsgReply reply = MsgReply::OK;
    switch (buttons) {
    case MsgButtons::OK: reply = MsgReply::OK; break;
    case MsgButtons::OKCancel: reply = want == QLatin1String("Cancel") ? MsgReply::Cancel : MsgReply::OK; break;
    case MsgButtons::YesNo: reply = want == QLatin1String("No") ? MsgReply::No : MsgReply::Yes; break;
    }
    static const char* names[] = {"OK", "Cancel", "Yes", "No"};
    out_(QStringLiteral("{\"msgbox\":{\"title\":%1,\"text\":%2,\"buttons\":\"%3\",\"icon\":\"%4\"},\"answer\":\"%5\"}")
             .arg(jsonString(title), jsonString(text), buttonsName(buttons), iconName(icon),
                  QLatin1String(names[int(reply)])));
    return reply;
}

std::optional<QString> ScriptedPlatform::saveFileName(QWidget* parent, const SaveRequest& request) {
    const std::optional<SaveAnswer> a = saveFile(parent, request);
    if (!a) return std::nullopt;
    return a->path;
}

std::optional<SaveAnswer> ScriptedPlatform::saveFile(QWidget*, const SaveRequest& request) {
    lastSaveRequest = request;
    if (saveNames.empty()) return std::nullopt;
    QString name = saveNames.front();
    saveNames.pop_front();
    int filter = request.selectedFilter;
    if (!saveFilters.empty()) {
        filter = saveFilters.front();
        saveFilters.pop_front();
    }
    if (name == kCancel) return std::nullopt;
    // As the desktop dialog does: a name without extension gets the chosen entry's one.
    QString suffix = filter >= 0 && filter < request.suffixes.size() ? request.suffixes.at(filter) : QString();
    if (suffix.isEmpty()) suffix = request.defaultSuffix;
    if (!name.isEmpty() && !suffix.isEmpty()) {
        const QString base = name.section(QLatin1Char('/'), -1);
        if (!base.contains(QLatin1Char('.'))) name += QLatin1Char('.') + suffix;
    }
    // In the desktop dialog the user can make a new folder before naming the
    // file; a script names that folder in the path.
    if (!name.isEmpty()) QDir().mkpath(QFileInfo(name).absolutePath());
    return SaveAnswer{name, filter};
}

std::optional<QString> ScriptedPlatform::openFileName(QWidget*, const OpenRequest&) {
    // No reply queued: the user cancels.
    if (openNames.empty()) return std::nullopt;
    const QString name = openNames.front();
    openNames.pop_front();
    if (name == kCancel) return std::nullopt;
    return name;
}

std::unique_ptr<QPrinter> ScriptedPlatform::printer() {
    if (printTargets.empty()) return nullptr;
    const QString target = printTargets.front();
    printTargets.pop_front();
    if (target == kFail) return nullptr;
    auto p = std::make_unique<QPrinter>(QPrinter::HighResolution);
    p->setOutputFormat(QPrinter::PdfFormat);
    p->setOutputFileName(target);
    return p;
}

bool ScriptedPlatform::openDocument(const QString& target) {
    out_(QStringLiteral("{\"open\":%1}").arg(jsonString(target)));
    return true;
}

void ScriptedPlatform::makeTopmost(QWidget* window) { window->setWindowFlag(Qt::WindowStaysOnTopHint, true); }
