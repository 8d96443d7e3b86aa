#include "driver/driver.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QComboBox>
#include <QElapsedTimer>
#include <QEnterEvent>
#include <QEventLoop>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPrinter>
#include <QRadioButton>
#include <QScrollBar>
#include <QTimer>
#include <algorithm>
#include <cmath>

#include "numfmt/numfmt.h"
#include "plot/canvas_widget.h"
#include "plot/family_manager.h"
#include "plot/family_window.h"
#include "shell/shell.h"

QString jsonString(const QString& s) {
    QString r = QStringLiteral("\"");
    for (QChar c : s) {
        switch (c.unicode()) {
        case '"': r += QLatin1String("\\\""); break;
        case '\\': r += QLatin1String("\\\\"); break;
        case '\n': r += QLatin1String("\\n"); break;
        case '\r': r += QLatin1String("\\r"); break;
        case '\t': r += QLatin1String("\\t"); break;
        default:
            if (c.unicode() < 0x20) r += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            else r += c;
        }
    }
    return r + QLatin1Char('"');
}

namespace {

QString buttonsName(MsgButtons b) {
    switch (b) {
    case MsgButtons::OK: return QStringLiteral("OK");
    case MsgButtons::OKCancel: return QStringLiteral("OKCancel");
    case MsgButtons::YesNo: return QStringLiteral("YesNo");
    }
    return {};
}

QString iconName(MsgIcon i) {
    switch (i) {
    case MsgIcon::None: return QStringLiteral("none");
    case MsgIcon::Warning: return QStringLiteral("warning");
    case MsgIcon::Exclamation: return QStringLiteral("exclamation");
    case MsgIcon::Question: return QStringLiteral("question");
    }
    return {};
}

const QString kCancel = QStringLiteral("\x01" "cancel");
const QString kFail = QStringLiteral("\x01" "fail");

void settle() {
    // Let posted events (deferred deletes, repaints, layout) run.
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace

// ---------------------------------------------------------------- platform

MsgReply ScriptedPlatform::messageBox(QWidget*, const QString& text, const QString& title, MsgButtons buttons,
                                      MsgIcon icon) {
    QString want;
    if (!answers.empty()) {
        want = answers.front();
        answers.pop_front();
    }
    MsgReply reply = MsgReply::OK;
    switch (buttons) {
    case MsgButtons::OK: reply = MsgReply::OK; break;
    case MsgButtons::OKCancel: reply = want == QLatin1String("Cancel") ? MsgReply::Cancel : MsgReply::OK; break;
    case MsgButtons::YesNo: reply = want == QLatin1String("No") ? MsgReply::No : MsgReply::Yes; break;
    }
    static const char* names[] = {"OK", "Cancel", "Yes", "No"};
    out_(QStringLiteral("{\"msgbox\":{\"title\":%1,\"text\":%2,\"buttons\":\"%3\",\"icon\":\"%4\"},\"answer\":\"%5\"}")
             .arg(jsonString(title), jsonString(text), buttonsName(buttons), iconName(icon),
                  QLatin1String(names[int(reply)])));
    return reply;
}

std::optional<QString> ScriptedPlatform::saveFileName(QWidget*, const SaveRequest& request) {
    lastSaveRequest = request;
    if (saveNames.empty()) return std::nullopt;
    QString name = saveNames.front();
    saveNames.pop_front();
    if (name == kCancel) return std::nullopt;
    // As the desktop dialog does: a name without extension gets the default one.
    if (!name.isEmpty() && !request.defaultSuffix.isEmpty()) {
        const QString base = name.section(QLatin1Char('/'), -1);
        if (!base.contains(QLatin1Char('.'))) name += QLatin1Char('.') + request.defaultSuffix;
    }
    // In the desktop dialog the user can make a new folder before naming the
    // file; a script names that folder in the path.
    if (!name.isEmpty()) QDir().mkpath(QFileInfo(name).absolutePath());
    return name;
}

std::unique_ptr<QPrinter> ScriptedPlatform::printer() {
    if (printTargets.empty()) return nullptr;
    const QString target = printTargets.front();
    printTargets.pop_front();
    if (target == kFail) return nullptr;
    auto p = std::make_unique<QPrinter>(QPrinter::HighResolution);
    p->setOutputFormat(QPrinter::PdfFormat);
    p->setOutputFileName(target);
    return p;
}

bool ScriptedPlatform::openDocument(const QString& target) {
    out_(QStringLiteral("{\"open\":%1}").arg(jsonString(target)));
    return true;
}

void ScriptedPlatform::makeTopmost(QWidget* window) { window->setWindowFlag(Qt::WindowStaysOnTopHint, true); }

// ---------------------------------------------------------------- driver

ScriptDriver::ScriptDriver(std::function<void(const QString&)> out)
    : out_(std::move(out)), platform_([this](const QString& s) { out_(s); }) {
    setPlatform(&platform_);
}

ScriptDriver::~ScriptDriver() {
    // The script has ended: whatever the windows say while they are torn
    // down (the navigation bar's exit question) is not part of its output.
    out_ = [](const QString&) {};
    FamilyManager::instance().closeAll();
    for (QWidget* w : QApplication::topLevelWidgets()) w->close();
    settle();
    setPlatform(nullptr);
}

void ScriptDriver::error(const QString& what) { emitLine(QStringLiteral("{\"error\":%1}").arg(jsonString(what))); }

static QWidget* topLevelNamed(const QString& name) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->objectName() == name) return w;
    return nullptr;
}

QWidget* ScriptDriver::currentWindow() const {
    if (QWidget* w = topLevelNamed(current_)) return w;
    if (FamilyWindow* f = FamilyManager::instance().current(); f && f->isVisible()) return f;
    if (QWidget* w = topLevelNamed(QStringLiteral("Formtop"))) return w;
    return nullptr;
}

FamilyWindow* ScriptDriver::currentFamily() const {
    if (auto* f = qobject_cast<FamilyWindow*>(currentWindow())) return f;
    FamilyWindow* f = FamilyManager::instance().current();
    return f && f->isVisible() ? f : nullptr;
}

QWidget* ScriptDriver::findControl(const QString& name) const {
    auto lookIn = [&](QWidget* win) -> QWidget* {
        if (!win) return nullptr;
        if (win->objectName() == name) return win;
        if (auto* f = qobject_cast<FamilyWindow*>(win)) {
            if (QWidget* c = f->control(name)) return c;
        }
        return win->findChild<QWidget*>(name);
    };
    QWidget* cur = currentWindow();
    if (QWidget* c = lookIn(cur)) return c;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w != cur && w->isVisible())
            if (QWidget* c = lookIn(w)) return c;
    return nullptr;
}

void ScriptDriver::runScript(const QString& script) {
    const QStringList lines = script.split(QLatin1Char('\n'));
    for (QString line : lines) {
        if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
        run(line);
    }
}

void ScriptDriver::click(QWidget* w) {
    if (!w->isEnabled() || !w->isVisibleTo(w->window())) return;
    // A click gives the focus to a control that takes it, as the mouse would.
    if (w->focusPolicy() & Qt::ClickFocus) w->setFocus(Qt::MouseFocusReason);
    if (auto* b = qobject_cast<QAbstractButton*>(w)) {
        b->click();
        return;
    }
    // Labels and images: a real press and release at their centre.
    const QPointF c(w->width() / 2.0, w->height() / 2.0);
    const QPointF g = w->mapToGlobal(c);
    QMouseEvent press(QEvent::MouseButtonPress, c, g, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    if (!w) return;
    QMouseEvent release(QEvent::MouseButtonRelease, c, g, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &release);
}

void ScriptDriver::key(QWidget* w, const QString& k) {
    int code;
    QString t;
    if (k == QLatin1String("Enter")) {
        code = Qt::Key_Return;
        t = QStringLiteral("\r");
    } else if (!k.isEmpty()) {
        t = k.left(1);
        code = t.at(0).toUpper().unicode();
    } else {
        code = Qt::Key_Space;
        t = QStringLiteral(" ");
    }
    w->setFocus(Qt::OtherFocusReason);
    QKeyEvent press(QEvent::KeyPress, code, Qt::NoModifier, t);
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, code, Qt::NoModifier, t);
    QApplication::sendEvent(w, &release);
}

void ScriptDriver::hover(const QString& name) {
    QWidget* target = nullptr;
    if (name == QLatin1String("background")) target = currentWindow();
    else target = findControl(name);
    if (!target) return error(QStringLiteral("no control ") + name);
    if (!hovered_.isEmpty() && hovered_ != name) {
        if (QWidget* old = hovered_ == QLatin1String("background") ? currentWindow() : findControl(hovered_)) {
            QEvent leave(QEvent::Leave);
            QApplication::sendEvent(old, &leave);
        }
    }
    const QPointF c(target == currentWindow() ? 2.0 : target->width() / 2.0,
                    target == currentWindow() ? 2.0 : target->height() / 2.0);
    const QPointF g = target->mapToGlobal(c);
    if (hovered_ != name) {
        QEnterEvent enter(c, c, g);
        QApplication::sendEvent(target, &enter);
    }
    QMouseEvent move(QEvent::MouseMove, c, g, Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(target, &move);
    hovered_ = name;
}

void ScriptDriver::get(const QString& name) {
    QWidget* w = findControl(name);
    if (!w) return error(QStringLiteral("no control ") + name);
    QString text;
    QString extra;
    if (auto* e = qobject_cast<QLineEdit*>(w)) text = e->text();
    else if (auto* l = qobject_cast<QLabel*>(w)) text = l->text();
    else if (auto* b = qobject_cast<QAbstractButton*>(w)) {
        text = b->text();
        if (b->isCheckable()) extra += QStringLiteral(",\"checked\":%1").arg(b->isChecked() ? "true" : "false");
    } else if (auto* g = qobject_cast<QGroupBox*>(w)) text = g->title();
    else if (auto* c = qobject_cast<QComboBox*>(w)) text = c->currentText();
    else if (auto* s = qobject_cast<QScrollBar*>(w)) extra += QStringLiteral(",\"value\":%1").arg(s->value());
    else if (w->isWindow()) text = w->windowTitle();
    const bool visible = w->isWindow() ? w->isVisible() : w->isVisibleTo(w->window());
    QString line = QStringLiteral("{\"get\":%1,\"text\":%2,\"visible\":%3,\"enabled\":%4%5")
                       .arg(jsonString(name), jsonString(text), visible ? "true" : "false",
                            w->isEnabled() ? "true" : "false", extra);
    if (!w->isWindow() && w->focusPolicy() != Qt::NoFocus)
        line += QStringLiteral(",\"focus\":%1").arg(w->window()->focusWidget() == w ? "true" : "false");
    // Controls whose look changes under the pointer (menu labels, links) ask
    // for their colours and font to be reported too.
    if (w->property("reportsLook").toBool()) {
        auto rgb = [](const QColor& c) { return QStringLiteral("[%1,%2,%3]").arg(c.red()).arg(c.green()).arg(c.blue()); };
        const QFont f = w->font();
        const double pt = f.pixelSize() > 0 ? f.pixelSize() * 72.0 / 96.0 : f.pointSizeF();
        line += QStringLiteral(",\"fore\":%1,\"back\":%2,\"pt\":%3,\"bold\":%4,\"italic\":%5")
                    .arg(rgb(w->palette().color(QPalette::WindowText)),
                         w->autoFillBackground() ? rgb(w->palette().color(QPalette::Window)) : QStringLiteral("null"),
                         QString::number(pt), f.bold() ? "true" : "false", f.italic() ? "true" : "false");
    }
    // Windows that move by themselves (the sliding navigation bar) report
    // where they last placed the outer top-left corner of their frame.
    if (const QVariant place = w->property("place"); w->isWindow() && place.canConvert<QPoint>())
        line += QStringLiteral(",\"left\":%1,\"top\":%2").arg(place.toPoint().x()).arg(place.toPoint().y());
    emitLine(line + QLatin1Char('}'));
}

void ScriptDriver::run(const QString& rawLine) {
    QString line = rawLine;
    if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) return;
    // Words are separated by one blank; TEXT is the rest of the line verbatim.
    auto word = [&](int n) -> QString { return line.section(QLatin1Char(' '), n, n); };
    auto rest = [&](int n) -> QString {
        int pos = 0;
        for (int i = 0; i < n; ++i) {
            pos = line.indexOf(QLatin1Char(' '), pos);
            if (pos < 0) return QString();
            ++pos;
        }
        return line.mid(pos);
    };
    const QString cmd = word(0);

    auto needFamily = [&]() -> FamilyWindow* {
        FamilyWindow* f = currentFamily();
        if (!f) error(QStringLiteral("no family window"));
        return f;
    };
    auto worldArgs = [&](int from, double& x, double& y) -> bool {
        bool okx = false, oky = false;
        x = word(from).toDouble(&okx);
        y = word(from + 1).toDouble(&oky);
        if (!okx || !oky) {
            error(QStringLiteral("bad coordinates"));
            return false;
        }
        return true;
    };
    auto buttonOf = [](const QString& s) -> Qt::MouseButton {
        if (s == QLatin1String("left")) return Qt::LeftButton;
        if (s == QLatin1String("right")) return Qt::RightButton;
        if (s == QLatin1String("middle")) return Qt::MiddleButton;
        return Qt::NoButton;
    };

    if (cmd == QLatin1String("start")) {
        QWidget* top = startProgram();
        if (!top) error(QStringLiteral("not yet"));
        else current_ = top->objectName();
    } else if (cmd == QLatin1String("open")) {
        const FamilyEntry* e = familyByKey(word(1));
        if (!e) error(QStringLiteral("no family ") + word(1));
        else if (FamilyWindow* f = FamilyManager::instance().open(*e)) current_ = f->objectName();
        else error(QStringLiteral("not yet: ") + word(1));
    } else if (cmd == QLatin1String("window")) {
        QString name = word(1);
        if (const FamilyEntry* e = familyByKey(name)) name = QStringLiteral("Form%1").arg(e->number);
        if (topLevelNamed(name)) current_ = name;
        else error(QStringLiteral("no window ") + word(1));
    } else if (cmd == QLatin1String("type")) {
        QWidget* w = findControl(word(1));
        if (auto* e = qobject_cast<QLineEdit*>(w)) {
            e->setText(rest(2));
        } else if (auto* c = qobject_cast<QComboBox*>(w); c && c->isEditable()) {
            c->setEditText(rest(2));
        } else error(QStringLiteral("no text box ") + word(1));
    } else if (cmd == QLatin1String("click")) {
        if (QWidget* w = findControl(word(1))) click(w);
        else error(QStringLiteral("no control ") + word(1));
    } else if (cmd == QLatin1String("slide")) {
        auto* s = qobject_cast<QScrollBar*>(findControl(word(1)));
        bool ok = false;
        const int v = word(2).toInt(&ok);
        if (!s) error(QStringLiteral("no slider ") + word(1));
        else if (!ok) error(QStringLiteral("bad value ") + word(2));
        else if (s->isEnabled()) {
            s->setFocus(Qt::MouseFocusReason);
            s->setValue(v);
        }
    } else if (cmd == QLatin1String("choose")) {
        auto* c = qobject_cast<QComboBox*>(findControl(word(1)));
        if (!c) return error(QStringLiteral("no list ") + word(1));
        const int i = c->findText(rest(2));
        if (i >= 0) {
            c->setCurrentIndex(i);
            emit c->activated(i);
        } else if (c->isEditable()) {
            c->setEditText(rest(2));
        } else error(QStringLiteral("no item ") + rest(2));
    } else if (cmd == QLatin1String("press") || cmd == QLatin1String("release") || cmd == QLatin1String("move")) {
        FamilyWindow* f = needFamily();
        double x, y;
        if (!f || !worldArgs(2, x, y)) return;
        const QString b = word(1);
        CanvasWidget* cw = f->canvasWidget();
        if (cmd == QLatin1String("move")) {
            Qt::MouseButtons bs = b == QLatin1String("none") ? Qt::MouseButtons() : Qt::MouseButtons(buttonOf(b));
            cw->mouseMove(bs, x, y);
        } else {
            const Qt::MouseButton mb = buttonOf(b);
            if (mb == Qt::NoButton) return error(QStringLiteral("bad button ") + b);
            if (cmd == QLatin1String("press")) cw->mousePress(mb, x, y);
            else cw->mouseRelease(mb, x, y);
        }
    } else if (cmd == QLatin1String("dblclick")) {
        FamilyWindow* f = needFamily();
        double x, y;
        if (!f || !worldArgs(1, x, y)) return;
        f->canvasWidget()->mouseDoubleClick();
    } else if (cmd == QLatin1String("hover")) {
        hover(word(1));
    } else if (cmd == QLatin1String("key")) {
        if (QWidget* w = findControl(word(1))) key(w, rest(2));
        else error(QStringLiteral("no control ") + word(1));
    } else if (cmd == QLatin1String("answer")) {
        const QString a = word(1);
        if (a == QLatin1String("OK") || a == QLatin1String("Cancel") || a == QLatin1String("Yes") || a == QLatin1String("No"))
            platform_.answers.push_back(a);
        else error(QStringLiteral("bad reply ") + a);
    } else if (cmd == QLatin1String("savename")) {
        const QString p = rest(1);
        platform_.saveNames.push_back(p == QLatin1String("cancel") ? kCancel : p);
    } else if (cmd == QLatin1String("printto")) {
        const QString p = rest(1);
        platform_.printTargets.push_back(p == QLatin1String("fail") ? kFail : p);
    } else if (cmd == QLatin1String("close")) {
        QWidget* w = word(1).isEmpty() ? currentWindow() : topLevelNamed(word(1));
        if (!w) {
            if (const FamilyEntry* e = familyByKey(word(1))) w = topLevelNamed(QStringLiteral("Form%1").arg(e->number));
        }
        if (!w) return error(QStringLiteral("no window ") + word(1));
        w->close();
    } else if (cmd == QLatin1String("wait")) {
        bool ok = false;
        const int ms = word(1).toInt(&ok);
        if (!ok || ms < 0) return error(QStringLiteral("bad time ") + word(1));
        QEventLoop loop;
        QTimer::singleShot(std::min(ms, 600000), &loop, &QEventLoop::quit);
        loop.exec();
    } else if (cmd == QLatin1String("get")) {
        get(word(1));
    } else if (cmd == QLatin1String("pixel")) {
        FamilyWindow* f = needFamily();
        double x, y;
        if (!f || !worldArgs(1, x, y)) return;
        const QImage& img = f->canvas().image();
        const QPoint p = f->canvas().pixelAt(x, y);
        if (!img.rect().contains(p)) return error(QStringLiteral("outside the canvas"));
        const QColor c = img.pixelColor(p);
        emitLine(QStringLiteral("{\"pixel\":[%1,%2],\"rgb\":[%3,%4,%5]}")
                     .arg(word(1), word(2))
                     .arg(c.red())
                     .arg(c.green())
                     .arg(c.blue()));
    } else if (cmd == QLatin1String("count")) {
        FamilyWindow* f = needFamily();
        if (!f) return;
        const QRgb want = qRgb(word(1).toInt(), word(2).toInt(), word(3).toInt());
        const QImage& img = f->canvas().image();
        long n = 0;
        for (int y = 0; y < img.height(); ++y) {
            const QRgb* row = reinterpret_cast<const QRgb*>(img.constScanLine(y));
            for (int x = 0; x < img.width(); ++x) n += (row[x] & 0xFFFFFF) == (want & 0xFFFFFF);
        }
        emitLine(QStringLiteral("{\"count\":%1}").arg(n));
    } else if (cmd == QLatin1String("canvas")) {
        FamilyWindow* f = needFamily();
        if (!f) return;
        const QString path = rest(1);
        const bool bmp = path.endsWith(QLatin1String(".bmp"), Qt::CaseInsensitive);
        if (!f->canvas().image().save(path, bmp ? "BMP" : "PNG")) error(QStringLiteral("cannot write ") + path);
    } else if (cmd == QLatin1String("clipboard")) {
        const QImage img = platform_.clipboardImage();
        const QString path = rest(1);
        if (img.isNull()) error(QStringLiteral("no picture on the clipboard"));
        else if (!img.save(path, path.endsWith(QLatin1String(".bmp"), Qt::CaseInsensitive) ? "BMP" : "PNG"))
            error(QStringLiteral("cannot write ") + path);
    } else if (cmd == QLatin1String("windows")) {
        QStringList names;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible() && !w->objectName().isEmpty() && !qobject_cast<QMenu*>(w)) names << jsonString(w->objectName());
        names.sort();
        emitLine(QStringLiteral("{\"windows\":[%1]}").arg(names.join(QLatin1Char(','))));
    } else {
        error(QStringLiteral("unknown command ") + cmd);
    }
    settle();
}
