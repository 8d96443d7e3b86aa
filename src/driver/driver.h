#pragma once
// The script driver: runs the commands of a script against the real windows
// with scripted message boxes, save dialog, clipboard, printer and opener,
// and writes one JSON object per line. It lives in a library of its own that
// only the script tool, the tests and the benchmark link; the program never does.
#include <QHash>
#include <QImage>
#include <QObject>
#include <QPointer>
#include <QProperty>
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <map>
#include <memory>

#include "platform/platform.h"

class QTimer;
class QWidget;
class FamilyWindow;

class ScriptedPlatform : public Platform {
public:
    explicit ScriptedPlatform(std::function<void(const QString&)> out) : out_(std::move(out)) {}

    MsgReply messageBox(QWidget* parent, const QString& text, const QString& title, MsgButtons buttons,
                        MsgIcon icon) override;
    std::optional<QString> saveFileName(QWidget* parent, const SaveRequest& request) override;
    std::optional<SaveAnswer> saveFile(QWidget* parent, const SaveRequest& request) override;
    void setClipboardImage(const QImage& image) override { clipboard_ = image; }
    QImage clipboardImage() override { return clipboard_; }
    std::unique_ptr<QPrinter> printer() override;
    bool openDocument(const QString& target) override;
    void makeTopmost(QWidget* window) override;

    std::deque<QString> answers;       // queued message-box replies
    std::deque<QString> saveNames;     // queued save-dialog replies ("\x01cancel" = cancel)
    std::deque<int> saveFilters;       // the entry chosen with each of them
    std::deque<QString> printTargets;  // queued print targets ("\x01fail" = no printer)
    SaveRequest lastSaveRequest;

private:
    std::function<void(const QString&)> out_;
    QImage clipboard_;
};

// The program's own timers (named QTimer children of its windows) run on a
// clock the script advances with `wait`, so a script sees the same ticks on
// a loaded machine as on an idle one.
class ScriptClock : public QObject {
public:
    ScriptClock();
    ~ScriptClock() override;
    // Advances the clock by ms, firing every due timeout in order; stops
    // after maxTicks timeouts.
    void advance(qint64 ms, int maxTicks);
    static bool isSteppable(const QObject* o);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Entry {
        QPointer<QTimer> timer;
        qint64 due = 0;
        QPropertyNotifier watch;  // a (re)start begins a fresh interval
    };
    void refresh();
    std::map<const QTimer*, std::unique_ptr<Entry>> timers_;
    qint64 now_ = 0;
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
    // A control of the current window, or nullptr.
    QWidget* findControl(const QString& name) const;
    ScriptedPlatform& scripted() { return platform_; }

    // Limits for untrusted scripts: the longest `wait` (milliseconds of the
    // script clock), and whether file names must be plain names (no folders,
    // nothing outside) inside filesFolder (the working folder when empty).
    qint64 maxWaitMs = 600000;
    bool confineFiles = false;
    QString filesFolder;

private:
    void emitLine(const QString& s) { out_(s); }
    void error(const QString& what);
    void get(const QString& name);
    bool getFloating(const QString& name);
    void click(QWidget* w);
    void key(QWidget* w, const QString& key);
    void type(QWidget* w, const QString& text);
    void hover(const QString& name);
    // Whether a script may write to that file; reports an error when it may
    // not. A confined name is turned into its place in filesFolder.
    bool allowPath(QString& path);
    // Output commands: savename PATH [bmp|png|svg], canvas PATH [SCALE], grab CONTROL PATH.
    void saveName(const QString& args);
    void canvasPicture(const QString& args);
    void grab(const QString& control, QString path);

    std::function<void(const QString&)> out_;
    ScriptedPlatform platform_;
    ScriptClock clock_;
    QString current_;  // object name of the current window
    QString hovered_;  // control under the pointer
};

// JSON string literal of a text.
QString jsonString(const QString& s);
// JSON number: the shortest text that reads back as the same double; null
// for infinities and NaN, which JSON cannot write.
QString jsonNumber(double v);
