#pragma once
// The one place that talks to the desktop's services. Windows ask for them
// through platform(); the script driver and the tests install a scripted
// Platform in its place, so every message box, dialog, clipboard, printer and
// opened address can be answered and observed without a person at the screen.
#include <QByteArray>
#include <QImage>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

class QWidget;
class QPrinter;

enum class MsgButtons { OK, OKCancel, YesNo };
enum class MsgIcon { None, Warning, Exclamation, Question };
enum class MsgReply { OK, Cancel, Yes, No };

struct SaveRequest {
    QString title;
    QString initialName;
    QStringList filters;    // "函数图像(*.bmp)" ...
    QString defaultSuffix;  // "bmp"
    // For each entry of filters, the extension a name without one gets
    // (empty: defaultSuffix); and the entry chosen when the dialog opens.
    QStringList suffixes;
    int selectedFilter = 0;
};

struct OpenRequest {
    QString title;
    QStringList filters;  // "Vesmar 作图文件 (*.vesmar)" ...
};

// What the user chose in the save dialog.
struct SaveAnswer {
    QString path;    // possibly empty
    int filter = 0;  // index of the entry chosen in SaveRequest::filters
};

class Platform {
public:
    virtual ~Platform() = default;

    // A modal message box; returns the button pressed (closing it counts as
    // Cancel or No).
    virtual MsgReply messageBox(QWidget* parent, const QString& text, const QString& title, MsgButtons buttons,
                                MsgIcon icon) = 0;

    // The save dialog: nullopt when cancelled, otherwise the chosen path
    // (possibly empty).
    virtual std::optional<QString> saveFileName(QWidget* parent, const SaveRequest& request) = 0;
    // The same with the entry the user chose; a platform that does not know
    // answers with the entry the dialog opened with.
    virtual std::optional<SaveAnswer> saveFile(QWidget* parent, const SaveRequest& request) {
        const std::optional<QString> name = saveFileName(parent, request);
        if (!name) return std::nullopt;
        return SaveAnswer{*name, request.selectedFilter};
    }

    // The open dialog: nullopt when cancelled, otherwise the chosen path.
    virtual std::optional<QString> openFileName(QWidget* parent, const OpenRequest& request) {
        Q_UNUSED(parent);
        Q_UNUSED(request);
        return std::nullopt;
    }

    virtual void setClipboardImage(const QImage& image) = 0;
    virtual QImage clipboardImage() = 0;

    // A printer ready for one job on the default printer, or nullptr when no
    // printer can be had.
    virtual std::unique_ptr<QPrinter> printer() = 0;

    // Opens a document, web address or mail address with the desktop's
    // default handler; false when that failed.
    virtual bool openDocument(const QString& target) = 0;

    // Opens as openDocument does. Where the desktop can tell only later that
    // nothing opened the document (its opener started, then found no program
    // for the type), `failedLater` runs then, on the GUI thread.
    virtual bool openDocumentWatched(const QString& target, std::function<void()> failedLater) {
        (void)failedLater;
        return openDocument(target);
    }

    // Keeps a window above all others. Must be called before the window is shown.
    virtual void makeTopmost(QWidget* window) = 0;

    // Starts playing a WAV file held in memory and returns at once; false
    // when this machine cannot play it (no sound device, no player).
    virtual bool playSound(const QByteArray& wav) {
        Q_UNUSED(wav);
        return false;
    }
};

// The platform in force (the desktop one unless another was installed).
Platform& platform();
// Installs a platform; the caller keeps ownership. nullptr restores the desktop one.
void setPlatform(Platform* p);

// Maps the face names the windows use ("宋体", "黑体", "times new roman") to
// installed faces, so that text renders the same everywhere.
void installFontSubstitutes();

// A font of the windows: face name and size in points at the screen's 96 dots
// per inch, independent of the display's reported resolution.
class QFont;
QFont uiFont(const QString& face, double points, bool bold = false);

class QApplication;
// The look shared by the program and the script driver: style, fonts.
void setupApplication(QApplication& app);
