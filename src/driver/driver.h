#pragma once
// The script driver: runs the commands of a script against the real windows
// with scripted message boxes, save dialog, clipboard, printer and opener,
// and writes one JSON object per line.
#include <QImage>
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <memory>

#include "platform/platform.h"

class QWidget;
class FamilyWindow;

class ScriptedPlatform : public Platform {
public:
    explicit ScriptedPlatform(std::function<void(const QString&)> out) : out_(std::move(out)) {}

    MsgReply messageBox(QWidget* parent, const QString& text, const QString& title, MsgButtons buttons,
                        MsgIcon icon) override;
    std::optional<QString> saveFileName(QWidget* parent, const SaveRequest& request) override;
    void setClipboardImage(const QImage& image) override { clipboard_ = image; }
    QImage clipboardImage() override { return clipboard_; }
    std::unique_ptr<QPrinter> printer() override;
    bool openDocument(const QString& target) override;
    void makeTopmost(QWidget* window) override;

    std::deque<QString> answers;      // queued message-box replies
    std::deque<QString> saveNames;    // queued save-dialog replies ("\x01cancel" = cancel)
    std::deque<QString> printTargets; // queued print targets ("\x01fail" = no printer)
    SaveRequest lastSaveRequest;

private:
    std::function<void(const QString&)> out_;
    QImage clipboard_;
};

class ScriptDriver {
public:
    // out receives each output line (without the line feed).
    explicit ScriptDriver(std::function<void(const QString&)> out);
    ~ScriptDriver();

    // Runs one command line.
    void run(const QString& line);
    // Runs every line of a script.
    void runScript(const QString& script);

    QWidget* currentWindow() const;
    FamilyWindow* currentFamily() const;
    // A control of the current window, or of any other open window.
    QWidget* findControl(const QString& name) const;
    ScriptedPlatform& scripted() { return platform_; }

private:
    void emitLine(const QString& s) { out_(s); }
    void error(const QString& what);
    void get(const QString& name);
    void click(QWidget* w);
    void key(QWidget* w, const QString& key);
    void hover(const QString& name);

    std::function<void(const QString&)> out_;
    ScriptedPlatform platform_;
    QString current_;      // object name of the current window
    QString hovered_;      // control under the pointer
};

// JSON string literal of a text.
QString jsonString(const QString& s);
