#include "shell/shell.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QLibraryInfo>
#include <QPixmap>
#include <QPointer>
#include <QTimer>
#include <QTranslator>
#include <QtGlobal>
#include <algorithm>

#include "frame/plot_actions.h"
#include "frame/recovery.h"
#include "platform/platform.h"
#include "render/png.h"
#include "shell/main_window.h"

void initShellResources() {
    // The pictures live in the static library; their registration must be
    // pulled in explicitly.
    Q_INIT_RESOURCE(images);
}

QIcon programIcon() {
    // Decoded once: once it is the application's icon, every window shares
    // that one (its sizes together are about 100 KB).
    static qint64 made = 0;
    if (made && QApplication::windowIcon().cacheKey() == made) return QApplication::windowIcon();
    initShellResources();
    QIcon icon;
    // Decoded here rather than by QIcon::addFile, whose reader would load
    // every image plug-in to ask about each file.
    for (int size : {16, 24, 32, 48, 64, 128}) {
        const QImage image = png::read(QStringLiteral(":/icons/vesmar-%1.png").arg(size));
        if (!image.isNull()) icon.addPixmap(QPixmap::fromImage(image));
    }
    made = icon.cacheKey();
    return icon;
}

QWidget* startProgram(const QString& file) {
    // There is one navigation bar; starting again brings it forward.
    static QPointer<MainWindow> bar;
    if (bar) {
        bar->show();
        bar->raise();
        return bar;
    }
    initShellResources();
    // Every window of the program shows the program's icon: given once the
    // first windows are on the screen, as decoding its sizes and handing
    // them to each window's frame is a sixth of the start-up's work.
    QTimer::singleShot(0, qApp, [] { QApplication::setWindowIcon(programIcon()); });
    bar = new MainWindow;
    bar->start();
    recovery::offer(bar);
    if (!file.isEmpty() && bar) plotactions::openPath(bar, file);
    return bar;
}

namespace {
// Texts of Qt's own dialogs that Qt's Chinese catalogue lacks: the save
// dialog's list names a folder's type under a context Qt 6 renamed.
class MissingQtTexts : public QTranslator {
public:
    using QTranslator::QTranslator;
    bool isEmpty() const override { return false; }
    QString translate(const char* context, const char* source, const char* disambiguation, int n) const override {
        Q_UNUSED(disambiguation);
        Q_UNUSED(n);
        if (qstrcmp(context, "QAbstractFileIconProvider") != 0 && qstrcmp(context, "QFileIconProvider") != 0)
            return QString();
        if (qstrcmp(source, "Folder") == 0 || qstrcmp(source, "File Folder") == 0) return QStringLiteral("文件夹");
        if (qstrcmp(source, "Drive") == 0) return QStringLiteral("驱动器");
        return QString();
    }
};
}  // namespace

bool installChineseQtTexts(QCoreApplication& app) {
    // Asked after Qt's own catalogue, whatever becomes of it.
    static QPointer<QTranslator> missing;
    if (!missing) {
        missing = new MissingQtTexts(&app);
        QCoreApplication::installTranslator(missing);
    }
    const QString dir = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    auto* t = new QTranslator(&app);
    // qt_zh_CN pulls in the catalogues of the Qt modules it lists.
    if (!t->load(QStringLiteral("qt_zh_CN"), dir) && !t->load(QStringLiteral("qtbase_zh_CN"), dir)) {
        delete t;
        return false;
    }
    QCoreApplication::installTranslator(t);
    return true;
}

namespace shell {

QString linkFailedMessage(Link kind, const QString& target) {
    switch (kind) {
    case Link::Tutorial:
        return QStringLiteral("无法打开使用教程：\n%1\n请确认这个文件存在，再用浏览器打开它。").arg(target);
    case Link::Web: return QStringLiteral("无法打开网页：\n%1\n请在浏览器中输入这个地址访问。").arg(target);
    case Link::Mail: return QStringLiteral("无法打开邮件程序：\n%1\n请用你的邮箱给这个地址写信。").arg(target);
    }
    return target;
}

bool openLink(QWidget* parent, Link kind, const QString& target) {
    // The document is named by the full path the program looked for.
    const QString shown = kind == Link::Tutorial ? QDir::cleanPath(QDir::current().absoluteFilePath(target)) : target;
    auto tell = [guard = QPointer<QWidget>(parent), kind, shown] {
        platform().messageBox(guard.data(), linkFailedMessage(kind, shown), QStringLiteral("提示"), MsgButtons::OK,
                              MsgIcon::Exclamation);
    };
    // A failure found only after the desktop's opener started is told too,
    // with the same message, over the window that asked if it is still open.
    if (platform().openDocumentWatched(kind == Link::Mail ? QStringLiteral("mailto:") + target : target, tell))
        return true;
    tell();
    return false;
}

int familyClientTop(int designedTop, int barFrameBottom, int familyTitleHeight) {
    return std::max(designedTop, barFrameBottom + 1 + std::max(0, familyTitleHeight));
}
}  // namespace shell
