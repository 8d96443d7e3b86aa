// The desktop services a user meets, on a real X server with the toolkit's own
// platform layer rather than the scripted one: message boxes answered by keys
// and by the close button, the clipboard read and filled by another program,
// the save dialog, and the message when no printer exists.
#include <QAccessible>
#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "desktop_common.h"
#include "platform/platform.h"
#include "frame/family_manager.h"
#include "frame/family_window.h"
#include "tools/output.h"
#include "shell/shell.h"

using namespace desktop;

Q_DECLARE_METATYPE(MsgButtons)
Q_DECLARE_METATYPE(MsgReply)

namespace {

FamilyWindow* openQuadratic() {
    const FamilyEntry* e = familyByKey(QStringLiteral("quadratic"));
    return e ? FamilyManager::instance().open(*e) : nullptr;
}

void click(FamilyWindow* w, const char* name) {
    auto* b = w->findChild<QAbstractButton*>(QLatin1String(name));
    QVERIFY2(b, name);
    b->click();
}

QStringList buttonTexts(QMessageBox* box) {
    QStringList texts;
    // In the order they stand, left to right.
    QList<QAbstractButton*> buttons = box->buttons();
    std::sort(buttons.begin(), buttons.end(), [](QAbstractButton* a, QAbstractButton* b) {
        return a->mapToGlobal(QPoint()).x() < b->mapToGlobal(QPoint()).x();
    });
    for (QAbstractButton* b : buttons) texts << b->text();
    return texts;
}

// What a screen reader calls the buttons, in the same order.
QStringList buttonNames(QMessageBox* box) {
    QStringList names;
    QList<QAbstractButton*> buttons = box->buttons();
    std::sort(buttons.begin(), buttons.end(), [](QAbstractButton* a, QAbstractButton* b) {
        return a->mapToGlobal(QPoint()).x() < b->mapToGlobal(QPoint()).x();
    });
    for (QAbstractButton* b : buttons) {
        QAccessibleInterface* i = QAccessible::queryAccessibleInterface(b);
        names << (i && i->role() == QAccessible::Button ? i->text(QAccessible::Name) : QStringLiteral("(no button)"));
    }
    return names;
}

}  // namespace

class DesktopTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    QString failure_;

private slots:
    void initTestCase() {
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
        QVERIFY(dir_.isValid());
        // The save dialog starts in the working directory.
        QVERIFY(QDir::setCurrent(dir_.path()));
        // No print server can answer: the program has no printer at all.
        qputenv("CUPS_SERVER", QFile::encodeName(dir_.filePath("no-print-server.sock")));
        setupApplication(*qobject_cast<QApplication*>(qApp));
        initShellResources();
        QVERIFY(QProcess::execute("xdotool", {"version"}) == 0);
        QVERIFY(QProcess::execute("xclip", {"-version"}) == 0);
    }
    void init() { failure_.clear(); }
    void cleanup() { FamilyManager::instance().closeAll(); }

    void messageBox_data() {
        QTest::addColumn<MsgButtons>("buttons");
        QTest::addColumn<QString>("answer");  // keys, or "close" for the close button
        QTest::addColumn<MsgReply>("reply");
        QTest::addColumn<QStringList>("shown");
        const QStringList ok{"确定"}, okCancel{"确定", "取消"}, yesNo{"是(&Y)", "否(&N)"};
        // clang-format off
        QTest::newRow("OK, Enter") << MsgButtons::OK << "Return" << MsgReply::OK << ok;
        QTest::newRow("OK, Escape") << MsgButtons::OK << "Escape" << MsgReply::OK << ok;
        QTest::newRow("OK, close") << MsgButtons::OK << "close" << MsgReply::OK << ok;
        QTest::newRow("OK/Cancel, Enter") << MsgButtons::OKCancel << "Return" << MsgReply::OK << okCancel;
        QTest::newRow("OK/Cancel, Escape") << MsgButtons::OKCancel << "Escape" << MsgReply::Cancel << okCancel;
        QTest::newRow("OK/Cancel, close") << MsgButtons::OKCancel << "close" << MsgReply::Cancel << okCancel;
        QTest::newRow("OK/Cancel, Tab Enter") << MsgButtons::OKCancel << "Tab Return" << MsgReply::Cancel << okCancel;
        QTest::newRow("Yes/No, Enter") << MsgButtons::YesNo << "Return" << MsgReply::Yes << yesNo;
        QTest::newRow("Yes/No, Escape") << MsgButtons::YesNo << "Escape" << MsgReply::No << yesNo;
        QTest::newRow("Yes/No, close") << MsgButtons::YesNo << "close" << MsgReply::No << yesNo;
        QTest::newRow("Yes/No, Alt+N") << MsgButtons::YesNo << "alt+n" << MsgReply::No << yesNo;
        // clang-format on
    }
    void messageBox() {
        QFETCH(MsgButtons, buttons);
        QFETCH(QString, answer);
        QFETCH(MsgReply, reply);
        QFETCH(QStringList, shown);
        QWidget parent;
        parent.resize(300, 200);
        parent.show();
        QVERIFY(QTest::qWaitForWindowExposed(&parent));
        QStringList seen, names;
        QString title, text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        bool delivered = false;
        whenModal<QMessageBox>(
            [&](QMessageBox* box) {
                seen = buttonTexts(box);
                names = buttonNames(box);
                title = box->windowTitle();
                text = box->text();
                icon = box->icon();
                if (answer == QLatin1String("close")) {
                    delivered = closeRequest(box);
                } else {
                    delivered = true;
                    for (const QString& k : answer.split(' ')) delivered = delivered && realKey(k);
                }
            },
            &failure_);
        const MsgReply got = platform().messageBox(&parent, "你选取的值无效", "操作提示", buttons, MsgIcon::Warning);
        QVERIFY2(failure_.isEmpty(), qPrintable(failure_));
        QVERIFY(delivered);
        QCOMPARE(seen, shown);
        // Named by their captions without the key marks.
        for (QString& t : shown) t.remove(QStringLiteral("(&Y)")).remove(QStringLiteral("(&N)"));
        QCOMPARE(names, shown);
        QCOMPARE(title, QStringLiteral("操作提示"));
        QCOMPARE(text, QStringLiteral("你选取的值无效"));
        QCOMPARE(icon, QMessageBox::Warning);
        QCOMPARE(int(got), int(reply));
    }

    // A text of two lines keeps air between them: the rows of ink of the
    // first line end well before those of the second begin.
    void messageLinesHaveSpacing() {
        QWidget parent;
        parent.resize(300, 200);
        parent.show();
        QVERIFY(QTest::qWaitForWindowExposed(&parent));
        int gap = -1, lines = 0, fontPixels = 0;
        whenModal<QMessageBox>(
            [&](QMessageBox* box) {
                auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
                if (label) {
                    fontPixels = QFontInfo(label->font()).pixelSize();
                    const QImage img = label->grab().toImage();
                    // Runs of rows holding dark ink.
                    QList<QPair<int, int>> runs;
                    for (int y = 0; y < img.height(); ++y) {
                        bool ink = false;
                        for (int x = 0; x < img.width() && !ink; ++x) ink = qGray(img.pixel(x, y)) < 128;
                        if (!ink) continue;
                        if (!runs.isEmpty() && runs.last().second == y - 1) runs.last().second = y;
                        else runs.append({y, y});
                    }
                    lines = int(runs.size());
                    if (lines == 2) gap = runs[1].first - runs[0].second - 1;
                }
                realKey("Return");
            },
            &failure_);
        // Lines whose characters reach down and up: 费 and 具 fill their box.
        platform().messageBox(&parent, "你选取的值超出了范围，费具\n请更换一个新的值再试。", "操作提示", MsgButtons::OK,
                              MsgIcon::Warning);
        QVERIFY2(failure_.isEmpty(), qPrintable(failure_));
        QCOMPARE(lines, 2);
        qInfo("gap between the lines: %d pixels in a %d-pixel font", gap, fontPixels);
        QVERIFY2(gap * 5 >= fontPixels, qPrintable(QString::number(gap)));
    }

    // 复制 puts the canvas picture where any other program can take it.
    void copyReadByAnotherProgram() {
        FamilyWindow* w = openQuadratic();
        QVERIFY(w);
        QVERIFY(QTest::qWaitForWindowExposed(w));
        click(w, "Cmdcopy");
        const QImage expected = w->canvas().snapshot().convertToFormat(QImage::Format_RGB32);
        const Run targets = run("xclip", {"-selection", "clipboard", "-t", "TARGETS", "-o"});
        QVERIFY2(targets.finished && targets.exitCode == 0, targets.err.constData());
        QVERIFY2(targets.out.split('\n').contains("image/png"), targets.out.constData());
        const Run png = run("xclip", {"-selection", "clipboard", "-t", "image/png", "-o"});
        QVERIFY2(png.finished && png.exitCode == 0, png.err.constData());
        QImage got;
        QVERIFY(got.loadFromData(png.out, "PNG"));
        QCOMPARE(got.size(), expected.size());
        QCOMPARE(got.convertToFormat(QImage::Format_RGB32), expected);
    }

    // And a picture another program put there comes back whole.
    void clipboardFilledByAnotherProgram() {
        QImage picture(40, 30, QImage::Format_RGB32);
        picture.fill(QColor(0, 128, 255));
        for (int x = 0; x < 40; ++x) picture.setPixelColor(x, x % 30, QColor(255, 0, 0));
        QByteArray bytes;
        QBuffer buffer(&bytes);
        QVERIFY(buffer.open(QIODevice::WriteOnly) && picture.save(&buffer, "PNG"));
        const QString file = dir_.filePath("from-xclip.png");
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
        f.close();
        // xclip stays in the background serving the clipboard until another
        // owner takes it.
        QProcess::startDetached("xclip", {"-selection", "clipboard", "-t", "image/png", "-i", file});
        QImage got;
        for (int i = 0; i < 200 && got.isNull(); ++i) {
            QTest::qWait(50);
            got = platform().clipboardImage();
        }
        QVERIFY(!got.isNull());
        QCOMPARE(got.convertToFormat(QImage::Format_RGB32), picture);
        platform().setClipboardImage(QImage());  // takes the clipboard back; xclip ends
    }

    // The save dialog as the user sees it, then a save with the offered name,
    // a typed name, a cancel and a second save under an existing name.
    void saveDialog() {
        FamilyWindow* w = openQuadratic();
        QVERIFY(w);
        QVERIFY(QTest::qWaitForWindowExposed(w));
        const QString offered = dir_.filePath("二次函数图像.bmp");
        QFile::remove(offered);

        QString title, name, filter, suffix;
        QStringList filters;
        QString directory;
        bool confirmOverwrite = true;
        whenModal<QFileDialog>(
            [&](QFileDialog* d) {
                title = d->windowTitle();
                filters = d->nameFilters();
                filter = d->selectedNameFilter();
                suffix = d->defaultSuffix();
                directory = d->directory().absolutePath();
                confirmOverwrite = !d->testOption(QFileDialog::DontConfirmOverwrite);
                if (auto* edit = d->findChild<QLineEdit*>("fileNameEdit")) name = edit->text();
                realKey("Return");
            },
            &failure_);
        click(w, "Cmdsave");
        QVERIFY2(failure_.isEmpty(), qPrintable(failure_));
        QCOMPARE(title, QStringLiteral("函数图像另存为"));
        QCOMPARE(name, QStringLiteral("二次函数图像"));
        QCOMPARE(filters, output::saveFilters());
        QCOMPARE(filter, QStringLiteral("函数图像(*.bmp)"));
        QCOMPARE(suffix, QStringLiteral("bmp"));
        QCOMPARE(directory, QDir(dir_.path()).absolutePath());
        QVERIFY(!confirmOverwrite);
        QImageReader written(offered);
        QCOMPARE(written.format(), QByteArray("bmp"));
        QCOMPARE(written.read().convertToFormat(QImage::Format_RGB32),
                 w->canvas().image().convertToFormat(QImage::Format_RGB32));

        // A typed name without extension gets .bmp; one with another
        // extension keeps it and is still a bitmap; one with a picture
        // format's own extension gets that format, whatever entry is selected.
        for (const QString& typed : {QStringLiteral("typed"), QStringLiteral("picture.jpg"), QStringLiteral("a.png")}) {
            whenModal<QFileDialog>(
                [&](QFileDialog*) {
                    realKey("ctrl+a");
                    realType(typed);
                    realKey("Return");
                },
                &failure_);
            click(w, "Cmdsave");
            QVERIFY2(failure_.isEmpty(), qPrintable(failure_));
        }
        QCOMPARE(QImageReader(dir_.filePath("typed.bmp")).format(), QByteArray("bmp"));
        QCOMPARE(QImageReader(dir_.filePath("picture.jpg")).format(), QByteArray("bmp"));
        QCOMPARE(QImageReader(dir_.filePath("a.png")).format(), QByteArray("png"));

        // Escape cancels: nothing new appears.
        const QStringList before = QDir(dir_.path()).entryList(QDir::Files);
        whenModal<QFileDialog>([&](QFileDialog*) { realKey("Escape"); }, &failure_);
        click(w, "Cmdsave");
        QVERIFY2(failure_.isEmpty(), qPrintable(failure_));
        QCOMPARE(QDir(dir_.path()).entryList(QDir::Files), before);

        // The offered name again: the dialog does not ask to overwrite, the
        // program refuses and says so; the first file stays as it was.
        const QByteArray first = [&] {
            QFile f(offered);
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        }();
        QVERIFY(!first.isEmpty());
        QString message;
        whenModal<QFileDialog>(
            [&](QFileDialog*) {
                whenModal<QMessageBox>(
                    [&](QMessageBox* box) {
                        message = box->windowTitle() + '|' + box->text();
                        realKey("Return");
                    },
                    &failure_);
                realKey("Return");
            },
            &failure_);
        click(w, "Cmdsave");
        QTRY_VERIFY_WITH_TIMEOUT(!message.isEmpty() || !failure_.isEmpty(), 20000);
        QVERIFY2(failure_.isEmpty(), qPrintable(failure_));
        QCOMPARE(message, QStringLiteral("操作提示|") + output::existsMessage());
        QFile again(offered);
        QVERIFY(again.open(QIODevice::ReadOnly));
        QCOMPARE(again.readAll(), first);
    }

    // With no printer at all, 打印 says so.
    // Under a Chinese locale the save dialog's list reads Chinese: a folder's
    // type, a picture's type and the dates in the locale's own form. Run by
    // the desktop_chinese test; the run in the C locale skips it.
    void saveDialogSpeaksChinese() {
        if (!QLocale::system().name().startsWith(QLatin1String("zh")))
            QSKIP("needs a Chinese locale (the desktop_chinese test sets one)");
        QVERIFY(installChineseQtTexts(*QCoreApplication::instance()));
        const QString folder = dir_.filePath("作业");
        const QString picture = dir_.filePath("图.bmp");
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(QImage(4, 4, QImage::Format_RGB32).save(picture, "BMP"));
        QString folderType, pictureType, date, expectedDate, nameColumn, cancel;
        whenModal<QFileDialog>(
            [&](QFileDialog* d) {
                auto* model = d->findChild<QFileSystemModel*>();
                if (model) {
                    // The list is filled in the background.
                    if (!QTest::qWaitFor(
                            [&] { return !model->index(folder).siblingAtColumn(3).data().toString().isEmpty(); },
                            10000))
                        failure_ = QStringLiteral("the dialog's list never showed the folder");
                    folderType = model->index(folder).siblingAtColumn(2).data().toString();
                    pictureType = model->index(picture).siblingAtColumn(2).data().toString();
                    date = model->index(folder).siblingAtColumn(3).data().toString();
                    expectedDate = QLocale(QLocale::Chinese, QLocale::China)
                                       .toString(QFileInfo(folder).lastModified(), QLocale::ShortFormat);
                    // Qt's own catalogue, not the few texts the program adds to it.
                    nameColumn = model->headerData(0, Qt::Horizontal).toString();
                }
                if (auto* box = d->findChild<QDialogButtonBox*>())
                    if (QPushButton* b = box->button(QDialogButtonBox::Cancel)) cancel = b->text();
                realKey("Escape");
            },
            &failure_);
        SaveRequest r;
        r.title = QStringLiteral("函数图像另存为");
        r.initialName = QStringLiteral("图像");
        r.filters = output::saveFilters();
        r.defaultSuffix = QStringLiteral("bmp");
        QVERIFY(!platform().saveFile(nullptr, r));
        QVERIFY2(failure_.isEmpty(), qPrintable(failure_));
        QCOMPARE(folderType, QStringLiteral("文件夹"));
        QVERIFY2(pictureType.contains(QStringLiteral("图像")), qPrintable(pictureType));
        QCOMPARE(date, expectedDate);
        QCOMPARE(nameColumn, QStringLiteral("名称"));
        QCOMPARE(cancel, QStringLiteral("取消"));
    }

    void printWithoutPrinter() {
        FamilyWindow* w = openQuadratic();
        QVERIFY(w);
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QString message;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        whenModal<QMessageBox>(
            [&](QMessageBox* box) {
                message = box->windowTitle() + '|' + box->text();
                icon = box->icon();
                realKey("Return");
            },
            &failure_);
        click(w, "Command5");
        QVERIFY2(failure_.isEmpty(), qPrintable(failure_));
        QCOMPARE(message, QStringLiteral("操作提示|") + output::printFailedMessage());
        QCOMPARE(icon, QMessageBox::Warning);
    }
};

QTEST_MAIN(DesktopTest)
#include "desktop_test.moc"
