#include "shell/help_window.h"

#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

#include "frame/accessibility.h"
#include "platform/platform.h"
#include "platform/startup.h"
#include "shell/click_label.h"
#include "shell/shell.h"
#include "shell/main_window.h"

namespace {
const QColor kBlack(0, 0, 0);
const QColor kRed(255, 0, 0);

QLabel* plainLabel(QWidget* parent, const char* name, int x, int y, int w, int h, const QString& text) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setGeometry(x, y, w, h);
    l->setTextFormat(Qt::PlainText);
    l->setFont(uiFont(QStringLiteral("宋体"), 10.5));
    QPalette pal = l->palette();
    pal.setColor(QPalette::WindowText, kBlack);
    l->setPalette(pal);
    return l;
}

ClickLabel* link(QWidget* parent, const char* name, int x, int y, int w, int h, const QString& text,
                 const QString& tip) {
    auto* l = new ClickLabel(parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setGeometry(x, y, w, h);
    l->setText(text);
    l->setWordWrap(true);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    l->setCursor(Qt::PointingHandCursor);
    l->setToolTip(tip);
    // Tab reaches the link and Enter follows it, as a click does.
    l->makeReachable(true);
    QObject::connect(l, &ClickLabel::activated, l, &ClickLabel::clicked);
    return l;
}

QLabel* icon(QWidget* parent, const char* name, int x, int y, const QString& picture) {
    auto* l = new QLabel(parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setGeometry(x, y, 25, 25);
    l->setPixmap(picturePixmap(picture, QSize(25, 25), parent->devicePixelRatioF()));
    return l;
}
}  // namespace

HelpWindow::HelpWindow()
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
    initShellResources();
    a11y::markWindow(this);
    setObjectName(QStringLiteral("Formhelp"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("帮助窗口"));
    setWindowIcon(programIcon());
    setFont(uiFont(QStringLiteral("宋体"), 10.5));
    setFixedSize(351, 465);
    setMouseTracking(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    setAutoFillBackground(true);

    plainLabel(this, "Label1", 32, 16, 273, 17, QStringLiteral("软件名称：Vesmar函数分析作图器"));
    plainLabel(this, "Label2", 32, 40, 305, 17, QStringLiteral("软件版本：V3.01"));
    plainLabel(this, "Label3", 32, 64, 249, 17, QStringLiteral("Vesmar工作室 制作  2026年12月"));
    icon(this, "Image2", 16, 88, QStringLiteral("mail"));
    mail_ = link(this, "Label4", 48, 96, 289, 25, shell::kMailAddress, QStringLiteral("写信给作者"));
    icon(this, "Image1", 16, 128, QStringLiteral("web"));
    web_ = link(this, "Label5", 48, 128, 297, 41, shell::kWebAddress, QStringLiteral("访问软件作者的网站"));
    icon(this, "Image3", 16, 176, QStringLiteral("tutorial"));
    tutorial_ = link(this, "Label8", 48, 176, 177, 25, QStringLiteral("查看使用教程"),
                     QStringLiteral("查看使用教程，教你如何使用"));

    // As the window opens: 10.5 pt links in black, the tutorial link in dark
    // green. The pointer leaving them gives the slightly different rest look.
    mail_->setLook(kBlack);
    mail_->setFontStyle(10.5, false, false);
    web_->setLook(kBlack);
    web_->setFontStyle(10.5, false, false);
    tutorial_->setLook(QColor(0, 128, 0));
    tutorial_->setFontStyle(14.25, true, false);

    for (ClickLabel* l : {mail_, web_})
        connect(l, &ClickLabel::hovered, this, [l] {
            l->setLook(kRed);
            l->setFontStyle(14, true, true);
        });
    connect(tutorial_, &ClickLabel::hovered, this, [this] {
        tutorial_->setLook(kRed);
        tutorial_->setItalic(true);
    });

    // The document beside the working directory, the installed copy or the
    // source tree's, so the link works wherever the program was started from.
    // A link that cannot be opened says so and names the file or address.
    connect(tutorial_, &ClickLabel::clicked, this, [this] {
        shell::openLink(this, shell::Link::Tutorial,
                        startup::helpDocument(QDir::currentPath(), QCoreApplication::applicationDirPath()));
    });
    connect(web_, &ClickLabel::clicked, this, [this] { shell::openLink(this, shell::Link::Web, shell::kWebAddress); });
    connect(mail_, &ClickLabel::clicked, this,
            [this] { shell::openLink(this, shell::Link::Mail, shell::kMailAddress); });
}

void HelpWindow::showCentred() {
    if (!isVisible()) {
        if (QScreen* s = QGuiApplication::primaryScreen()) {
            const QRect avail = s->availableGeometry();
            move(avail.center() - QPoint(width() / 2, height() / 2));
        }
    }
    show();
    raise();
    activateWindow();
}

void HelpWindow::rest() {
    for (ClickLabel* l : {mail_, web_}) {
        l->setLook(kBlack);
        l->setFontStyle(12, false, false);
    }
    tutorial_->setLook(QColor(0, 255, 0));
    tutorial_->setItalic(false);
}

void HelpWindow::mouseMoveEvent(QMouseEvent* e) {
    QWidget::mouseMoveEvent(e);
    rest();
}
