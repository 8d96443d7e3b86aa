#pragma once
// The one desktop stand-in of the widget tests: it records every message
// box, dialog, document, clipboard picture and topmost window the program
// asks for, and answers from what a test queued. It can run code from inside
// a box, as the event loop of a real modal box runs the timers of a scroll
// bar held down behind it.
#include <QCoreApplication>
#include <QPrinter>
#include <QStringList>
#include <QWidget>
#include <deque>
#include <functional>
#include <vector>

#include "frame/family_manager.h"
#include "platform/platform.h"

class RecordingPlatform : public Platform {
public:
    struct Box {
        QString text, title;
        MsgButtons buttons;
        MsgIcon icon;
    };
    // Answered with the next queued reply, else with `reply`.
    MsgReply messageBox(QWidget*, const QString& text, const QString& title, MsgButtons buttons,
                        MsgIcon icon) override {
        boxes.push_back({text, title, buttons, icon});
        if (inside) {
            auto once = std::move(inside);
            inside = nullptr;
            once();
        }
        if (replies.empty()) return reply;
        const MsgReply r = replies.front();
        replies.pop_front();
        return r;
    }
    // "title|text" of every box so far.
    QStringList asked() const {
        QStringList out;
        for (const Box& b : boxes) out << b.title + QLatin1Char('|') + b.text;
        return out;
    }

    // A save dialog answers with the next queued name, else it is cancelled;
    // an open dialog is cancelled. Titles are kept in order, the last save
    // request whole.
    std::optional<QString> saveFileName(QWidget*, const SaveRequest& r) override {
        dialogs.push_back(r.title);
        request = r;
        if (names.empty()) return std::nullopt;
        auto n = names.front();
        names.pop_front();
        return n;
    }
    // With a queued answer, the name and the entry chosen; else as a plain name.
    std::optional<SaveAnswer> saveFile(QWidget* parent, const SaveRequest& r) override {
        if (answers.empty()) return Platform::saveFile(parent, r);
        dialogs.push_back(r.title);
        request = r;
        const SaveAnswer a = answers.front();
        answers.pop_front();
        return a;
    }
    std::optional<QString> openFileName(QWidget*, const OpenRequest& r) override {
        dialogs.push_back(r.title);
        return std::nullopt;
    }

    void setClipboardImage(const QImage& image) override { clipboard = image; }
    QImage clipboardImage() override { return clipboard; }
    // A PDF printer writing to the next queued file; none when nothing is
    // queued or the entry is empty.
    std::unique_ptr<QPrinter> printer() override {
        if (pdfTargets.empty() || pdfTargets.front().isEmpty()) {
            if (!pdfTargets.empty()) pdfTargets.pop_front();
            return nullptr;
        }
        auto p = std::make_unique<QPrinter>(QPrinter::HighResolution);
        p->setOutputFormat(QPrinter::PdfFormat);
        p->setOutputFileName(pdfTargets.front());
        pdfTargets.pop_front();
        return p;
    }

    bool openDocument(const QString& target) override {
        opened << target;
        return documentsOpen;
    }
    // With openerStarts, the desktop's opener starts and finds out only later
    // that nothing opens the target.
    bool openDocumentWatched(const QString& target, std::function<void()> failedLater) override {
        if (!openerStarts) return Platform::openDocumentWatched(target, std::move(failedLater));
        opened << target;
        late.push_back(std::move(failedLater));
        return true;
    }
    void makeTopmost(QWidget* w) override {
        topmost << w->objectName();
        w->setWindowFlag(Qt::WindowStaysOnTopHint, true);
    }

    std::vector<Box> boxes;
    std::deque<MsgReply> replies;
    MsgReply reply = MsgReply::OK;
    std::function<void()> inside;  // run once, from inside the next box
    std::vector<QString> dialogs;
    SaveRequest request;
    std::deque<std::optional<QString>> names;  // nullopt: the dialog is cancelled
    std::deque<SaveAnswer> answers;
    QImage clipboard;
    std::deque<QString> pdfTargets;  // empty entry: no printer
    QStringList opened, topmost;
    bool documentsOpen = false;  // whether the desktop opens what it is given
    bool openerStarts = false;
    std::vector<std::function<void()>> late;
};

// The end of a test function that drove windows through the stand-in: every
// family window closed and deleted, the real platform back, the stand-in empty.
inline void closeWindowsAndRestore(RecordingPlatform& fake) {
    FamilyManager::instance().closeAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    setPlatform(nullptr);
    fake = {};
}
