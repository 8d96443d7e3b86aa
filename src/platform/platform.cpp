#include "platform/platform.h"

#include "platform/audio_out.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFont>
#include <QFontDatabase>
#include <QMessageBox>
#include <QPushButton>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>
#include <QFileInfo>
#include <QDir>

#include <memory>

#ifdef Q_OS_WIN
#include <windows.h>
#include <mmsystem.h>
#endif

namespace {

// The address the desktop opens for a target: web and mail addresses as they
// are, a path as a local file. Empty for a file that is not there: a missing
// document fails quietly here rather than in a desktop handler that might
// put up its own error window.
QUrl documentUrl(const QString& target) {
    const QUrl url(target);
    if (!url.scheme().isEmpty() && url.scheme().size() > 1) return url;  // a path may start with a drive letter
    const QFileInfo file(target);
    if (!file.exists()) return {};
    return QUrl::fromLocalFile(file.absoluteFilePath());
}

class DesktopPlatform : public Platform {
public:
#ifdef Q_OS_WIN
    // The system's own player, from memory; the sound plays on while the
    // program goes on, so its bytes are kept until the next one starts.
    bool playSound(const QByteArray& wav) override {
        static QByteArray playing;
        PlaySoundW(nullptr, nullptr, 0);
        playing = wav;
        return PlaySoundW(reinterpret_cast<LPCWSTR>(playing.constData()), nullptr,
                          SND_MEMORY | SND_ASYNC | SND_NODEFAULT) != FALSE;
    }
#else
    bool playSound(const QByteArray& wav) override { return audio::play(wav); }
#endif

    MsgReply messageBox(QWidget* parent, const QString& text, const QString& title, MsgButtons buttons,
                        MsgIcon icon) override {
        QMessageBox box(parent);
        box.setWindowTitle(title);
        if (text.contains(QLatin1Char('\n'))) {
            // The Chinese faces have almost no leading of their own: lines of
            // plain text would touch. Set as one paragraph with air between
            // its lines; the text itself stays plain (escaped, blanks kept).
            box.setTextFormat(Qt::RichText);
            box.setText(QStringLiteral("<p style=\"line-height:135%;margin:0;white-space:pre-wrap\">") +
                        text.toHtmlEscaped().replace(QLatin1Char('\n'), QStringLiteral("<br>")) +
                        QStringLiteral("</p>"));
        } else {
            box.setText(text);
        }
        switch (icon) {
        case MsgIcon::None: box.setIcon(QMessageBox::NoIcon); break;
        case MsgIcon::Warning: box.setIcon(QMessageBox::Warning); break;
        case MsgIcon::Exclamation: box.setIcon(QMessageBox::Warning); break;
        case MsgIcon::Question: box.setIcon(QMessageBox::Question); break;
        }
        QPushButton* first = nullptr;
        QPushButton* second = nullptr;
        switch (buttons) {
        case MsgButtons::OK:
            first = box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
            box.setEscapeButton(first);
            break;
        case MsgButtons::OKCancel:
            first = box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
            second = box.addButton(QStringLiteral("取消"), QMessageBox::RejectRole);
            box.setEscapeButton(second);
            break;
        case MsgButtons::YesNo:
            first = box.addButton(QStringLiteral("是(&Y)"), QMessageBox::YesRole);
            second = box.addButton(QStringLiteral("否(&N)"), QMessageBox::NoRole);
            box.setEscapeButton(second);
            break;
        }
        // A screen reader names a button by its caption without the key
        // mark; "是(Y)" would be read with the letter.
        for (QPushButton* b : {first, second})
            if (b) b->setAccessibleName(b->text().remove(QStringLiteral("(&Y)")).remove(QStringLiteral("(&N)")));
        box.setDefaultButton(first);
        box.exec();
        const bool firstChosen = box.clickedButton() == first;
        switch (buttons) {
        case MsgButtons::OK: return MsgReply::OK;
        case MsgButtons::OKCancel: return firstChosen ? MsgReply::OK : MsgReply::Cancel;
        case MsgButtons::YesNo: return firstChosen ? MsgReply::Yes : MsgReply::No;
        }
        return MsgReply::OK;
    }

    std::optional<QString> saveFileName(QWidget* parent, const SaveRequest& r) override {
        const std::optional<SaveAnswer> a = saveFile(parent, r);
        if (!a) return std::nullopt;
        return a->path;
    }

    std::optional<SaveAnswer> saveFile(QWidget* parent, const SaveRequest& r) override {
        QFileDialog dialog(parent, r.title);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setNameFilters(r.filters);
        auto suffixOf = [&r](int i) {
            const QString s = i >= 0 && i < r.suffixes.size() ? r.suffixes.at(i) : QString();
            return s.isEmpty() ? r.defaultSuffix : s;
        };
        const int first = r.selectedFilter >= 0 && r.selectedFilter < r.filters.size() ? r.selectedFilter : 0;
        if (!r.filters.isEmpty()) dialog.selectNameFilter(r.filters.at(first));
        dialog.setDefaultSuffix(suffixOf(first));
        // A bare name gets the extension of the entry chosen, not always the first one's.
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                         [&](const QString& f) { dialog.setDefaultSuffix(suffixOf(int(r.filters.indexOf(f)))); });
        dialog.selectFile(r.initialName);
        // The program refuses existing names itself; the dialog must not ask
        // to overwrite first.
        dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
        if (dialog.exec() != QDialog::Accepted) return std::nullopt;
        const QStringList files = dialog.selectedFiles();
        const int chosen = int(r.filters.indexOf(dialog.selectedNameFilter()));
        return SaveAnswer{files.isEmpty() ? QString() : files.first(), chosen < 0 ? first : chosen};
    }

    std::optional<QString> openFileName(QWidget* parent, const OpenRequest& r) override {
        QFileDialog dialog(parent, r.title);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setNameFilters(r.filters);
        if (dialog.exec() != QDialog::Accepted) return std::nullopt;
        const QStringList files = dialog.selectedFiles();
        return files.isEmpty() ? QString() : files.first();
    }

    void setClipboardImage(const QImage& image) override {
        QClipboard* cb = QApplication::clipboard();
        cb->clear();
        cb->setImage(image);
    }
    QImage clipboardImage() override { return QApplication::clipboard()->image(); }

    std::unique_ptr<QPrinter> printer() override {
        const QPrinterInfo info = QPrinterInfo::defaultPrinter();
        if (info.isNull()) return nullptr;
        auto p = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
        return p;
    }

    bool openDocument(const QString& target) override {
        const QUrl url = documentUrl(target);
        return !url.isEmpty() && QDesktopServices::openUrl(url);
    }

    bool openDocumentWatched(const QString& target, std::function<void()> failedLater) override {
        const QUrl url = documentUrl(target);
        if (url.isEmpty()) return false;
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
        // Qt hands the address to xdg-open and reports success once that has
        // started, even when it then finds no program for the type and gives
        // up. Run it here to hear how it ends.
        const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
        if (!opener.isEmpty()) {
            // No parent: the opener may wait for the browser it started, and
            // ending this program must not end that browser (a QProcess kills
            // its process when destroyed). Deleted once the opener ends.
            auto* p = new QProcess;
            p->setStandardOutputFile(QProcess::nullDevice());
            p->setStandardErrorFile(QProcess::nullDevice());
            auto report = std::make_shared<std::function<void()>>(std::move(failedLater));
            QObject::connect(p, &QProcess::finished, p, [p, report](int code, QProcess::ExitStatus status) {
                if ((status != QProcess::NormalExit || code != 0) && *report) (*report)();
                p->deleteLater();
            });
            QObject::connect(p, &QProcess::errorOccurred, p, [p, report](QProcess::ProcessError e) {
                if (e != QProcess::FailedToStart) return;
                if (*report) (*report)();
                p->deleteLater();
            });
            p->start(opener, {url.toString(QUrl::FullyEncoded)});
            return true;
        }
#endif
        (void)failedLater;
        return QDesktopServices::openUrl(url);
    }

    void makeTopmost(QWidget* window) override { window->setWindowFlag(Qt::WindowStaysOnTopHint, true); }
};

DesktopPlatform& desktop() {
    static DesktopPlatform d;
    return d;
}

Platform* current = nullptr;

}  // namespace

Platform& platform() { return current ? *current : desktop(); }
void setPlatform(Platform* p) { current = p; }

void installFontSubstitutes() {
    // Faces in order of preference for each name the windows use.
    const QStringList families = QFontDatabase::families();
    auto pick = [&](const QStringList& candidates) -> QStringList {
        QStringList found;
        for (const QString& c : candidates)
            if (families.contains(c, Qt::CaseInsensitive)) found << c;
        return found;
    };
    // A Chinese Windows has the faces themselves (under their English names
    // too); Debian has faces of the same kind and metrics.
    const QStringList song = pick({"SimSun", "AR PL UMing CN", "AR PL UMing TW", "Noto Serif CJK SC",
                                   "WenQuanYi Micro Hei", "WenQuanYi Zen Hei"});
    const QStringList hei =
        pick({"SimHei", "WenQuanYi Micro Hei", "WenQuanYi Zen Hei", "Noto Sans CJK SC", "AR PL UMing CN"});
    const QStringList times = pick({"Times New Roman", "Liberation Serif", "DejaVu Serif"});
    QStringList timesWithCjk = times + song;
    for (const char* name : {"宋体", "SimSun", "新宋体"}) QFont::insertSubstitutions(QString::fromUtf8(name), song);
    for (const char* name : {"黑体", "SimHei"}) QFont::insertSubstitutions(QString::fromUtf8(name), hei);
    for (const char* name : {"times new roman", "Times New Roman"})
        QFont::insertSubstitutions(QString::fromUtf8(name), timesWithCjk);
}

QFont uiFont(const QString& face, double points, bool bold) {
    QFont f(face);
    f.setPixelSize(qMax(1, qRound(points * 96.0 / 72.0)));
    f.setBold(bold);
    return f;
}

#include <QStyleFactory>

void setupApplication(QApplication& app) {
    installFontSubstitutes();
    if (QStyle* s = QStyleFactory::create(QStringLiteral("Fusion"))) app.setStyle(s);
    app.setFont(uiFont(QStringLiteral("宋体"), 10.5));
}
