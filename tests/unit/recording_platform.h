#pragma once
// A desktop stand-in for the tests: it records every message box and answers
// it, and can run code from inside a box, as the event loop of a real modal
// box runs the timers of a scroll bar held down behind it.
#include <QCoreApplication>
#include <QPrinter>
#include <functional>
#include <vector>

#include "platform/platform.h"
#include "frame/family_manager.h"

class RecordingPlatform : public Platform {
public:
    struct Box {
        QString text, title;
        MsgButtons buttons;
        MsgIcon icon;
    };
    MsgReply messageBox(QWidget*, const QString& text, const QString& title, MsgButtons buttons,
                        MsgIcon icon) override {
        boxes.push_back({text, title, buttons, icon});
        if (inside) {
            auto once = std::move(inside);
            inside = nullptr;
            once();
        }
        return reply;
    }
    // The file dialogs are cancelled; their titles are kept, in order.
    std::optional<QString> saveFileName(QWidget*, const SaveRequest& r) override {
        dialogs.push_back(r.title);
        return std::nullopt;
    }
    std::optional<QString> openFileName(QWidget*, const OpenRequest& r) override {
        dialogs.push_back(r.title);
        return std::nullopt;
    }
    void setClipboardImage(const QImage&) override {}
    QImage clipboardImage() override { return {}; }
    std::unique_ptr<QPrinter> printer() override { return nullptr; }
    bool openDocument(const QString&) override { return false; }
    void makeTopmost(QWidget*) override {}

    std::vector<Box> boxes;
    std::vector<QString> dialogs;
    std::function<void()> inside;  // run once, from inside the next box
    MsgReply reply = MsgReply::OK;
};

// The end of a test function that drove windows through the stand-in: every
// family window closed and deleted, the real platform back, the stand-in empty.
inline void closeWindowsAndRestore(RecordingPlatform& fake) {
    FamilyManager::instance().closeAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    setPlatform(nullptr);
    fake = {};
}
