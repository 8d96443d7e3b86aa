#pragma once
// The desktop as a script sees it: message boxes answered from a queue and
// reported, a save dialog and printer that take their answers from queues,
// a clipboard of its own, and documents that are reported instead of opened.
#include <QImage>
#include <QString>
#include <deque>
#include <functional>
#include <memory>

#include "platform/platform.h"

class ScriptedPlatform : public Platform {
public:
    explicit ScriptedPlatform(std::function<void(const QString&)> out) : out_(std::move(out)) {}

    MsgReply messageBox(QWidget* parent, const QString& text, const QString& title, MsgButtons buttons,
                        MsgIcon icon) override;
    std::optional<QString> saveFileName(QWidget* parent, const SaveRequest& request) override;
    std::optional<SaveAnswer> saveFile(QWidget* parent, const SaveRequest& request) override;
    std::optional<QString> openFileName(QWidget* parent, const OpenRequest& request) override;
    void setClipboardImage(const QImage& image) override { clipboard_ = image; }
    QImage clipboardImage() override { return clipboard_; }
    std::unique_ptr<QPrinter> printer() override;
    bool openDocument(const QString& target) override;
    void makeTopmost(QWidget* window) override;

    // The queued answers that stand for the user pressing Cancel in the save
    // dialog and for a machine without a printer.
    static const QString kCancel;
    static const QString kFail;

    std::deque<QString> answers;       // queued message-box replies
    std::deque<QString> saveNames;     // queued save-dialog replies (kCancel = cancel)
    std::deque<int> saveFilters;       // the entry chosen with each of them
    std::deque<QString> openNames;     // queued open-dialog replies ("\x01cancel" = cancel)
    std::deque<QString> printTargets;  // queued print targets (kFail = no printer)
    SaveRequest lastSaveRequest;

private:
    std::function<void(const QString&)> out_;
    QImage clipboard_;
};
