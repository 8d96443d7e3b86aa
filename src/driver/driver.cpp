#include "driver/driver.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QComboBox>
#include <QEnterEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPrinter>
#include <QScrollBar>
#include <QTimer>
#include <algorithm>
#include <charconv>
#include <cmath>

#include "numfmt/numfmt.h"
#include "render/canvas_widget.h"
#include "frame/family_manager.h"
#include "frame/family_window.h"
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

QString jsonNumber(double v) {
    if (!std::isfinite(v)) return QStringLiteral("null");
    if (v == 0) return QStringLiteral("0");  // -0 as well
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, v);
    return QString::fromLatin1(buf, int(res.ptr - buf));
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

const QString kCancel = QStringLiteral(
    "\x01"
    "cancel");
const QString kFail = QStringLiteral(
    "\x01"
    "fail");

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

std::optional<QString> ScriptedPlatform::saveFileName(QWidget* parent, const SaveRequest& request) {
    const std::optional<SaveAnswer> a = saveFile(parent, request);
    if (!a) return std::nullopt;
    return a->path;
}

std::optional<SaveAnswer> ScriptedPlatform::saveFile(QWidget*, const SaveRequest& request) {
    lastSaveRequest = request;
    if (saveNames.empty()) return std::nullopt;
    QString name = saveNames.front();
    saveNames.pop_front();
    int filter = request.selectedFilter;
    if (!saveFilters.empty()) {
        filter = saveFilters.front();
        saveFilters.pop_front();
    }
    if (name == kCancel) return std::nullopt;
    // As the desktop dialog does: a name without extension gets the chosen entry's one.
    QString suffix = filter >= 0 && filter < request.suffixes.size() ? request.suffixes.at(filter) : QString();
    if (suffix.isEmpty()) suffix = request.defaultSuffix;
    if (!name.isEmpty() && !suffix.isEmpty()) {
        const QString base = name.section(QLatin1Char('/'), -1);
        if (!base.contains(QLatin1Char('.'))) name += QLatin1Char('.') + suffix;
    }
    // In the desktop dialog the user can make a new folder before naming the
    // file; a script names that folder in the path.
    if (!name.isEmpty()) QDir().mkpath(QFileInfo(name).absolutePath());
    return SaveAnswer{name, filter};
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

// ---------------------------------------------------------------- clock

ScriptClock::ScriptClock() { QCoreApplication::instance()->installEventFilter(this); }

ScriptClock::~ScriptClock() {
    if (QCoreApplication* app = QCoreApplication::instance()) app->removeEventFilter(this);
}

bool ScriptClock::isSteppable(const QObject* o) {
    // The program names its own timers after their controls; Qt's internal
    // timers (cursor blink, double-click, tool tips) have no name and keep
    // the real clock.
    auto* t = qobject_cast<const QTimer*>(o);
    return t && !t->objectName().isEmpty() && t->parent() && t->parent()->isWidgetType();
}

bool ScriptClock::eventFilter(QObject* watched, QEvent* event) {
    // Real time never reaches the program's timers while a script runs: they
    // tick only when the script waits.
    return event->type() == QEvent::Timer && isSteppable(watched);
}

void ScriptClock::refresh() {
    for (auto it = timers_.begin(); it != timers_.end();) {
        if (it->second->timer && it->second->timer->isActive()) ++it;
        else it = timers_.erase(it);
    }
    for (QWidget* w : QApplication::topLevelWidgets()) {
        for (QTimer* t : w->findChildren<QTimer*>()) {
            if (!isSteppable(t) || !t->isActive() || timers_.count(t)) continue;
            auto e = std::make_unique<Entry>();
            Entry* raw = e.get();
            raw->timer = t;
            raw->due = now_ + std::max(t->interval(), 1);
            // Qt may hand a restarted timer its old id again, so a restart is
            // seen through the timer's active property, which every start sets.
            raw->watch = t->bindableActive().addNotifier([this, raw] {
                if (raw->timer && raw->timer->isActive()) raw->due = now_ + std::max(raw->timer->interval(), 1);
            });
            timers_.emplace(t, std::move(e));
        }
    }
}

void ScriptClock::advance(qint64 ms, int maxTicks) {
    const qint64 end = now_ + std::max<qint64>(ms, 0);
    for (int ticks = 0; ticks < maxTicks; ++ticks) {
        refresh();
        Entry* due = nullptr;
        for (auto& [timer, e] : timers_)
            if (e->due <= end && (!due || e->due < due->due)) due = e.get();
        if (!due) break;
        now_ = due->due;
        QPointer<QTimer> t = due->timer;
        due->due += std::max(t->interval(), 1);
        if (t->isSingleShot()) t->stop();
        QMetaObject::invokeMethod(t, "timeout", Qt::DirectConnection);
        settle();
    }
    now_ = end;
    refresh();
}

// ---------------------------------------------------------------- driver

ScriptDriver::ScriptDriver(std::function<void(const QString&)> out)
    : out_(std::move(out)), platform_([this](const QString& s) { out_(s); }) {
    setPlatform(&platform_);
}

ScriptDriver::~ScriptDriver() {
    // The script has ended: whatever the windows say while they are torn
    // down (the navigation bar's exit question) is not part of its output.
    out_ = [](const QString&) {};
    // Replies the script queued but never used do not answer the exit
    // question: the windows close as the end of the program closes them.
    platform_.answers.clear();
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
    // The current window has closed: the one in front takes its place.
    if (FamilyWindow* f = FamilyManager::instance().current(); f && f->isVisible()) return f;
    if (QWidget* w = topLevelNamed(QStringLiteral("Formtop"))) return w;
    return nullptr;
}

FamilyWindow* ScriptDriver::currentFamily() const { return qobject_cast<FamilyWindow*>(currentWindow()); }

QWidget* ScriptDriver::findControl(const QString& name) const {
    // Only the current window: a name that another window also uses (every
    // window has a Label1) must not reach that window behind the user's back.
    QWidget* win = currentWindow();
    if (!win || name.isEmpty()) return nullptr;
    if (win->objectName() == name) return win;
    if (auto* f = qobject_cast<FamilyWindow*>(win))
        if (QWidget* c = f->control(name)) return c;
    return win->findChild<QWidget*>(name);
}

void ScriptDriver::runScript(const QString& script) {
    const QStringList lines = script.split(QLatin1Char('\n'));
    for (QString line : lines) {
        if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
        run(line);
    }
}

bool ScriptDriver::allowPath(QString& path) {
    if (!confineFiles) return true;
    if (!path.isEmpty() && !path.contains(QLatin1Char('/')) && !path.contains(QLatin1Char('\\')) &&
        !path.startsWith(QLatin1Char('.')) && !path.contains(QChar(0))) {
        if (!filesFolder.isEmpty()) path = filesFolder + QLatin1Char('/') + path;
        return true;
    }
    error(QStringLiteral("not a plain file name: ") + path);
    return false;
}

void ScriptDriver::click(QWidget* target) {
    QPointer<QWidget> w = target;
    if (!w->isEnabled() || !w->isVisibleTo(w->window())) return;
    // A click gives the focus to a control that takes it, as the mouse would.
    if (w->focusPolicy() & Qt::ClickFocus) w->setFocus(Qt::MouseFocusReason);
    if (auto* b = qobject_cast<QAbstractButton*>(w.data())) {
        b->click();
        return;
    }
    // Labels and images: a real press and release at their centre. The press
    // may close the window the control lives in.
    const QPointF c(w->width() / 2.0, w->height() / 2.0);
    const QPointF g = w->mapToGlobal(c);
    QMouseEvent press(QEvent::MouseButtonPress, c, g, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    if (!w) return;
    QMouseEvent release(QEvent::MouseButtonRelease, c, g, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &release);
}

static void sendKey(QWidget* w, int code, const QString& text, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QPointer<QWidget> guard = w;
    QKeyEvent press(QEvent::KeyPress, code, mods, text);
    QApplication::sendEvent(w, &press);
    if (!guard) return;
    QKeyEvent release(QEvent::KeyRelease, code, mods, text);
    QApplication::sendEvent(w, &release);
}

void ScriptDriver::key(QWidget* w, const QString& k) {
    static const QHash<QString, int> named = {
        {QStringLiteral("Enter"), Qt::Key_Return},      {QStringLiteral("Tab"), Qt::Key_Tab},
        {QStringLiteral("Backtab"), Qt::Key_Backtab},   {QStringLiteral("Left"), Qt::Key_Left},
        {QStringLiteral("Right"), Qt::Key_Right},       {QStringLiteral("Up"), Qt::Key_Up},
        {QStringLiteral("Down"), Qt::Key_Down},         {QStringLiteral("PageUp"), Qt::Key_PageUp},
        {QStringLiteral("PageDown"), Qt::Key_PageDown}, {QStringLiteral("Home"), Qt::Key_Home},
        {QStringLiteral("End"), Qt::Key_End},           {QStringLiteral("Backspace"), Qt::Key_Backspace},
        {QStringLiteral("Delete"), Qt::Key_Delete},     {QStringLiteral("Escape"), Qt::Key_Escape},
        {QStringLiteral("Space"), Qt::Key_Space},
    };
    int code;
    QString t;
    if (auto it = named.find(k); it != named.end()) {
        code = *it;
        if (code == Qt::Key_Return) t = QStringLiteral("\r");
        else if (code == Qt::Key_Tab) t = QStringLiteral("\t");
        else if (code == Qt::Key_Space) t = QStringLiteral(" ");
        else if (code == Qt::Key_Backspace) t = QStringLiteral("\b");
        else if (code == Qt::Key_Escape) t = QStringLiteral("\x1b");
    } else if (!k.isEmpty()) {
        t = k.left(k.at(0).isHighSurrogate() ? 2 : 1);
        code = t.at(0).unicode() < 0x80 ? t.at(0).toUpper().unicode() : int(Qt::Key_unknown);
    } else {
        code = Qt::Key_Space;
        t = QStringLiteral(" ");
    }
    // Keys reach only a control the user can give the keyboard focus to.
    if (w->focusPolicy() == Qt::NoFocus)
        return error(QStringLiteral("%1 takes no keyboard focus").arg(w->objectName()));
    if (!w->isEnabled() || !w->isVisibleTo(w->window())) return;
    if (w->window()->focusWidget() != w) w->setFocus(Qt::OtherFocusReason);
    sendKey(w, code, t);
}

void ScriptDriver::type(QWidget* w, const QString& text) {
    QLineEdit* e = qobject_cast<QLineEdit*>(w);
    if (auto* c = qobject_cast<QComboBox*>(w); c && c->isEditable()) e = c->lineEdit();
    if (!e) return error(QStringLiteral("no text box ") + w->objectName());
    // A user cannot type into a box that is greyed out or not shown.
    if (!e->isEnabled() || !e->isVisibleTo(e->window())) return;
    QPointer<QLineEdit> box = e;
    // The user clicks into the box, selects what is there and types over it:
    // every keystroke is an edit, as on the desktop.
    box->setFocus(Qt::MouseFocusReason);
    box->selectAll();
    if (text.isEmpty()) return sendKey(box, Qt::Key_Backspace, QString());
    // A long text arrives as a paste does: one edit, not a keystroke per
    // character (the box re-lays out its whole text on every keystroke).
    constexpr int kLongestTyped = 256;
    if (text.size() > kLongestTyped) return box->insert(text);
    for (int i = 0; i < text.size() && box;) {
        const int n = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString ch = text.mid(i, n);
        i += n;
        const char32_t u = ch.toUcs4().value(0);
        if (!QChar::isPrint(u)) {
            // What no key writes (a tab, a control character) is pasted.
            box->insert(ch);
            continue;
        }
        const int code = u < 0x80 ? QChar(u).toUpper().unicode() : int(Qt::Key_unknown);
        sendKey(box, code, ch);
    }
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
    QPointer<QWidget> guard = target;
    const QPointF c(target == currentWindow() ? 2.0 : target->width() / 2.0,
                    target == currentWindow() ? 2.0 : target->height() / 2.0);
    const QPointF g = target->mapToGlobal(c);
    if (hovered_ != name) {
        QEnterEvent enter(c, c, g);
        QApplication::sendEvent(target, &enter);
    }
    hovered_ = name;
    if (!guard) return;
    QMouseEvent move(QEvent::MouseMove, c, g, Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(target, &move);
}

static QString jsonBool(bool b) { return b ? QStringLiteral("true") : QStringLiteral("false"); }

bool ScriptDriver::getFloating(const QString& name) {
    // The lines and shapes that float over the canvas are not widgets; they
    // answer by their names with their world end points or corners.
    FamilyWindow* f = currentFamily();
    if (!f || !f->canvasWidget()) return false;
    CanvasWidget* cw = f->canvasWidget();
    const FloatingLine* line = name == QLatin1String("Linex")   ? &cw->linex
                               : name == QLatin1String("Liney") ? &cw->liney
                               : name == QLatin1String("Line1") ? &cw->line1
                                                                : nullptr;
    const FloatingShape* shape = name == QLatin1String("Shape1")   ? &cw->shape1
                                 : name == QLatin1String("Shape2") ? &cw->shape2
                                                                   : nullptr;
    if (!line && !shape) return false;
    QLineF corners;
    bool visible;
    if (line) {
        corners = line->world;
        visible = line->visible;
    } else {
        visible = shape->visible;
        const QPointF tl = shape->topLeft;
        QPointF br(tl.x() + shape->worldSize.width(), tl.y() - shape->worldSize.height());
        if (!shape->pixelSize.isEmpty()) {
            const QPointF px = f->canvas().toPixel(tl.x(), tl.y());
            br = f->canvas().toWorld(px.x() + shape->pixelSize.width(), px.y() + shape->pixelSize.height());
        }
        corners = QLineF(tl, br);
    }
    emitLine(QStringLiteral("{\"get\":%1,\"visible\":%2,\"x1\":%3,\"y1\":%4,\"x2\":%5,\"y2\":%6}")
                 .arg(jsonString(name), jsonBool(visible), jsonNumber(corners.x1()), jsonNumber(corners.y1()),
                      jsonNumber(corners.x2()), jsonNumber(corners.y2())));
    return true;
}

void ScriptDriver::get(const QString& name) {
    QWidget* w = findControl(name);
    if (!w && getFloating(name)) return;
    if (!w) return error(QStringLiteral("no control ") + name);
    QString text;
    QString extra;
    if (auto* e = qobject_cast<QLineEdit*>(w)) text = e->text();
    else if (auto* l = qobject_cast<QLabel*>(w)) text = l->text();
    else if (auto* b = qobject_cast<QAbstractButton*>(w)) {
        text = b->text();
        if (b->isCheckable()) extra += QStringLiteral(",\"checked\":%1").arg(jsonBool(b->isChecked()));
    } else if (auto* g = qobject_cast<QGroupBox*>(w)) text = g->title();
    else if (auto* c = qobject_cast<QComboBox*>(w)) text = c->currentText();
    else if (auto* s = qobject_cast<QScrollBar*>(w)) extra += QStringLiteral(",\"value\":%1").arg(s->value());
    else if (w->isWindow()) text = w->windowTitle();
    const bool visible = w->isWindow() ? w->isVisible() : w->isVisibleTo(w->window());
    QString line = QStringLiteral("{\"get\":%1,\"text\":%2,\"visible\":%3,\"enabled\":%4%5")
                       .arg(jsonString(name), jsonString(text), jsonBool(visible), jsonBool(w->isEnabled()), extra);
    // Sliders report the focus even when they cannot take it, so a script
    // sees that they do not.
    if (!w->isWindow() && (w->focusPolicy() != Qt::NoFocus || qobject_cast<QScrollBar*>(w)))
        line += QStringLiteral(",\"focus\":%1").arg(jsonBool(w->window()->focusWidget() == w));
    // Place and size in pixels of the window's client area (a window: its
    // client area on the screen).
    const QRect r = w->isWindow() ? w->geometry() : QRect(w->mapTo(w->window(), QPoint(0, 0)), w->size());
    line += QStringLiteral(",\"x\":%1,\"y\":%2,\"width\":%3,\"height\":%4")
                .arg(r.x())
                .arg(r.y())
                .arg(r.width())
                .arg(r.height());
    // The face as the window asked for it (the substitute that draws it
    // varies with the installed fonts); sizes in points at 96 dots per inch.
    const QFont f = w->font();
    const double pt = f.pixelSize() > 0 ? f.pixelSize() * 72.0 / 96.0 : f.pointSizeF();
    line += QStringLiteral(",\"font\":%1,\"pt\":%2,\"bold\":%3,\"italic\":%4")
                .arg(jsonString(f.family()), jsonNumber(pt), jsonBool(f.bold()), jsonBool(f.italic()));
    // Controls whose look changes under the pointer (menu labels, links) ask
    // for their colours to be reported too.
    if (w->property("reportsLook").toBool()) {
        auto rgb = [](const QColor& c) {
            return QStringLiteral("[%1,%2,%3]").arg(c.red()).arg(c.green()).arg(c.blue());
        };
        line += QStringLiteral(",\"fore\":%1,\"back\":%2")
                    .arg(rgb(w->palette().color(QPalette::WindowText)),
                         w->autoFillBackground() ? rgb(w->palette().color(QPalette::Window)) : QStringLiteral("null"));
    }
    // Windows that move by themselves (the sliding navigation bar) report
    // where they last placed the outer top-left corner of their frame.
    if (const QVariant place = w->property("place"); w->isWindow() && place.canConvert<QPoint>())
        line += QStringLiteral(",\"left\":%1,\"top\":%2").arg(place.toPoint().x()).arg(place.toPoint().y());
    emitLine(line + QLatin1Char('}'));
}

void ScriptDriver::run(const QString& rawLine) {
    QString line = rawLine;
    // Comments, and the expectations a checked script keeps beside its commands.
    if (line.isEmpty() || line.startsWith(QLatin1Char('#')) || line.startsWith(QLatin1Char('>'))) return;
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
        // "nan" and "inf" read as numbers, but no pointer is ever there.
        if (!okx || !oky || !std::isfinite(x) || !std::isfinite(y)) {
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
    auto windowNamed = [&](const QString& name) -> QWidget* {
        if (const FamilyEntry* e = familyByKey(name)) return topLevelNamed(QStringLiteral("Form%1").arg(e->number));
        return topLevelNamed(name);
    };

    if (cmd == QLatin1String("start")) {
        QWidget* top = startProgram();
        if (!top) error(QStringLiteral("the program did not start"));
        else current_ = top->objectName();
    } else if (cmd == QLatin1String("open")) {
        const FamilyEntry* e = familyByKey(word(1));
        if (!e) error(QStringLiteral("no family ") + word(1));
        else if (FamilyWindow* f = FamilyManager::instance().open(*e)) current_ = f->objectName();
        else error(QStringLiteral("cannot open ") + word(1));
    } else if (cmd == QLatin1String("window")) {
        if (QWidget* w = windowNamed(word(1))) current_ = w->objectName();
        else error(QStringLiteral("no window ") + word(1));
    } else if (cmd == QLatin1String("type")) {
        if (QWidget* w = findControl(word(1))) type(w, rest(2));
        else error(QStringLiteral("no text box ") + word(1));
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
            if (s->focusPolicy() & Qt::ClickFocus) s->setFocus(Qt::MouseFocusReason);
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
        if (a == QLatin1String("OK") || a == QLatin1String("Cancel") || a == QLatin1String("Yes") ||
            a == QLatin1String("No"))
            platform_.answers.push_back(a);
        else error(QStringLiteral("bad reply ") + a);
    } else if (cmd == QLatin1String("savename")) {
        saveName(rest(1));
    } else if (cmd == QLatin1String("printto")) {
        QString p = rest(1);
        if (p == QLatin1String("fail")) platform_.printTargets.push_back(kFail);
        else if (allowPath(p)) platform_.printTargets.push_back(p);
    } else if (cmd == QLatin1String("close")) {
        QWidget* w = word(1).isEmpty() ? currentWindow() : windowNamed(word(1));
        if (!w) return error(QStringLiteral("no window ") + word(1));
        w->close();
    } else if (cmd == QLatin1String("wait")) {
        // The script's own clock: the program's timers tick as if MS
        // milliseconds had passed, however long that takes here.
        bool ok = false;
        const qint64 ms = word(1).toLongLong(&ok);
        if (!ok || ms < 0) return error(QStringLiteral("bad time ") + word(1));
        if (ms > maxWaitMs) return error(QStringLiteral("wait longer than %1 ms").arg(maxWaitMs));
        clock_.advance(ms, 10000);
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
                     .arg(jsonNumber(x), jsonNumber(y))
                     .arg(c.red())
                     .arg(c.green())
                     .arg(c.blue()));
    } else if (cmd == QLatin1String("count")) {
        FamilyWindow* f = needFamily();
        if (!f) return;
        const QRgb want = qRgb(word(1).toInt(), word(2).toInt(), word(3).toInt());
        const QImage& img = f->canvas().image();
        // The whole picture, or the world rectangle with corners (X1, Y1) and
        // (X2, Y2): a check that must not count the glyphs of the axes'
        // numbers names a region away from them.
        QRect area = img.rect();
        if (!word(4).isEmpty()) {
            double x1, y1, x2, y2;
            if (!worldArgs(4, x1, y1) || !worldArgs(6, x2, y2)) return;
            const QPointF a = f->canvas().toPixel(x1, y1), b = f->canvas().toPixel(x2, y2);
            auto px = [](double v) { return int(std::clamp(std::floor(v), -1.0, 1e6)); };
            area = QRect(QPoint(px(std::min(a.x(), b.x())), px(std::min(a.y(), b.y()))),
                         QPoint(px(std::max(a.x(), b.x())), px(std::max(a.y(), b.y()))))
                       .intersected(img.rect());
        }
        long n = 0;
        for (int y = area.top(); y <= area.bottom(); ++y) {
            const QRgb* row = reinterpret_cast<const QRgb*>(img.constScanLine(y));
            for (int x = area.left(); x <= area.right(); ++x) n += (row[x] & 0xFFFFFF) == (want & 0xFFFFFF);
        }
        emitLine(QStringLiteral("{\"count\":%1}").arg(n));
    } else if (cmd == QLatin1String("canvas")) {
        canvasPicture(rest(1));
    } else if (cmd == QLatin1String("grab")) {
        grab(word(1), rest(2));
    } else if (cmd == QLatin1String("clipboard")) {
        const QImage img = platform_.clipboardImage();
        QString path = rest(1);
        if (img.isNull()) error(QStringLiteral("no picture on the clipboard"));
        else if (!allowPath(path)) return;
        else if (!img.save(path, path.endsWith(QLatin1String(".bmp"), Qt::CaseInsensitive) ? "BMP" : "PNG"))
            error(QStringLiteral("cannot write ") + path);
    } else if (cmd == QLatin1String("windows")) {
        QStringList names;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible() && !w->objectName().isEmpty() && !qobject_cast<QMenu*>(w))
                names << jsonString(w->objectName());
        names.sort();
        emitLine(QStringLiteral("{\"windows\":[%1]}").arg(names.join(QLatin1Char(','))));
    } else {
        error(QStringLiteral("unknown command ") + cmd);
    }
    settle();
}

// ---------------------------------------------------------------- output commands

namespace {
// The last blank-separated word of a command's arguments, and what precedes it.
std::pair<QString, QString> splitLast(const QString& args) {
    const qsizetype at = args.lastIndexOf(QLatin1Char(' '));
    if (at < 0) return {args, QString()};
    return {args.left(at), args.mid(at + 1)};
}

bool writeImage(const QImage& img, const QString& path) {
    return !path.isEmpty() && img.save(path, path.endsWith(QLatin1String(".bmp"), Qt::CaseInsensitive) ? "BMP" : "PNG");
}
}  // namespace

void ScriptDriver::saveName(const QString& args) {
    if (args == QLatin1String("cancel")) {
        platform_.saveNames.push_back(kCancel);
        platform_.saveFilters.push_back(1);
        return;
    }
    // The dialog's entries: 1 picture files (BMP), 2 PNG, 3 SVG.
    const auto [path, last] = splitLast(args);
    int filter = 1;
    QString name = args;
    if (last == QLatin1String("bmp") || last == QLatin1String("png") || last == QLatin1String("svg")) {
        filter = last == QLatin1String("bmp") ? 1 : last == QLatin1String("png") ? 2 : 3;
        name = path;
    }
    if (!name.isEmpty() && !allowPath(name)) return;
    platform_.saveNames.push_back(name);
    platform_.saveFilters.push_back(filter);
}

void ScriptDriver::canvasPicture(const QString& args) {
    FamilyWindow* f = currentFamily();
    if (!f) return error(QStringLiteral("no family window"));
    auto [path, last] = splitLast(args);
    int scale = 1;
    bool numeric = false;
    const double v = last.toDouble(&numeric);
    if (numeric) {
        if (!(v >= 1 && v <= 8 && v == std::floor(v)))
            return error(QStringLiteral("scale must be a whole number from 1 to 8: ") + last);
        scale = int(v);
    } else {
        path = args;
    }
    if (!allowPath(path)) return;
    const QImage img = scale == 1 ? f->canvas().image() : f->canvas().render(scale);
    if (!writeImage(img, path)) error(QStringLiteral("cannot write ") + path);
}

void ScriptDriver::grab(const QString& control, QString path) {
    QWidget* w = control.isEmpty() ? nullptr : findControl(control);
    if (!w) return error(QStringLiteral("no control ") + control);
    if (!allowPath(path)) return;
    // What the control shows, at its device pixel ratio, floating items included.
    const QImage img = w->grab().toImage();
    if (!writeImage(img, path)) error(QStringLiteral("cannot write ") + path);
}
