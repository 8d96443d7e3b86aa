#include "driver/commands.h"

#include <QApplication>
#include <QComboBox>
#include <QEnterEvent>
#include <QFile>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>
#include <QScrollBar>
#include <algorithm>
#include <cmath>

#include "driver/control_report.h"
#include "driver/driver.h"
#include "driver/user_input.h"
#include "render/canvas_widget.h"
#include "frame/family_manager.h"
#include "frame/family_window.h"
#include "platform/power_cut.h"
#include "shell/shell.h"
#include "tools/hear.h"

QString Command::rest(int n) const {
    int pos = 0;
    for (int i = 0; i < n; ++i) {
        pos = line.indexOf(QLatin1Char(' '), pos);
        if (pos < 0) return QString();
        ++pos;
    }
    return line.mid(pos);
}

void Command::error(const QString& what) const { driver.error(what); }

bool Command::world(int from, double& x, double& y) const {
    bool okx = false, oky = false;
    x = word(from).toDouble(&okx);
    y = word(from + 1).toDouble(&oky);
    // "nan" and "inf" read as numbers, but no pointer is ever there.
    if (!okx || !oky || !std::isfinite(x) || !std::isfinite(y)) {
        error(QStringLiteral("bad coordinates"));
        return false;
    }
    return true;
}

bool meetNeeds(Command& c, Needs needs) {
    if (needs == Needs::Nothing) return true;
    if (needs == Needs::Family) {
        c.family = c.driver.currentFamily();
        if (!c.family) c.error(QStringLiteral("no family window"));
        return c.family;
    }
    const QString name = c.word(1);
    QWidget* w = c.driver.findControl(name);
    QString missing = QStringLiteral("no control ");
    if (needs == Needs::TextBox) {
        missing = QStringLiteral("no text box ");
    } else if (needs == Needs::Slider) {
        missing = QStringLiteral("no slider ");
        if (!qobject_cast<QScrollBar*>(w)) w = nullptr;
    } else if (needs == Needs::List) {
        missing = QStringLiteral("no list ");
        if (!qobject_cast<QComboBox*>(w)) w = nullptr;
    }
    if (!w) c.error(missing + name);
    c.control = w;
    return w;
}

namespace {

void reportError(const Command& c, const QString& what) {
    if (!what.isEmpty()) c.error(what);
}

// ---------------------------------------------------------------- windows

// start [FILE]: the program starts as `vesmar` (or `vesmar FILE`) would.
void start(const Command& c) {
    QString file = c.rest(1);
    if (!file.isEmpty() && !c.driver.allowPath(file)) return;
    QWidget* top = startProgram(file);
    if (!top) return c.error(QStringLiteral("the program did not start"));
    // The window a file opened in is the one the user sees in front.
    FamilyWindow* f = FamilyManager::instance().current();
    if (!file.isEmpty() && f && f->isVisible()) c.driver.makeCurrent(f);
    else c.driver.makeCurrent(top);
}

void open(const Command& c) {
    const FamilyEntry* e = familyByKey(c.word(1));
    if (!e) c.error(QStringLiteral("no family ") + c.word(1));
    else if (FamilyWindow* f = FamilyManager::instance().open(*e)) c.driver.makeCurrent(f);
    else c.error(QStringLiteral("cannot open ") + c.word(1));
}

void window(const Command& c) {
    if (QWidget* w = c.driver.windowNamed(c.word(1))) c.driver.makeCurrent(w);
    else c.error(QStringLiteral("no window ") + c.word(1));
}

void close(const Command& c) {
    QWidget* w = c.word(1).isEmpty() ? c.driver.currentWindow() : c.driver.windowNamed(c.word(1));
    if (!w) return c.error(QStringLiteral("no window ") + c.word(1));
    w->close();
}

void windows(const Command& c) {
    QStringList names;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && !w->objectName().isEmpty() && !qobject_cast<QMenu*>(w))
            names << jsonString(w->objectName());
    names.sort();
    c.driver.emitLine(QStringLiteral("{\"windows\":[%1]}").arg(names.join(QLatin1Char(','))));
}

// ---------------------------------------------------------------- the user's hands

void type(const Command& c) { reportError(c, typeInto(c.control, c.rest(2))); }

void click(const Command& c) { clickControl(c.control); }

void key(const Command& c) { reportError(c, pressKey(c.control, c.rest(2))); }

void slide(const Command& c) {
    auto* s = static_cast<QScrollBar*>(c.control);
    bool ok = false;
    const int v = c.word(2).toInt(&ok);
    if (!ok) return c.error(QStringLiteral("bad value ") + c.word(2));
    if (!s->isEnabled()) return;
    if (s->focusPolicy() & Qt::ClickFocus) s->setFocus(Qt::MouseFocusReason);
    s->setValue(v);
}

void choose(const Command& c) {
    auto* list = static_cast<QComboBox*>(c.control);
    const int i = list->findText(c.rest(2));
    if (i >= 0) {
        list->setCurrentIndex(i);
        emit list->activated(i);
    } else if (list->isEditable()) {
        list->setEditText(c.rest(2));
    } else c.error(QStringLiteral("no item ") + c.rest(2));
}

Qt::MouseButton buttonOf(const QString& s) {
    if (s == QLatin1String("left")) return Qt::LeftButton;
    if (s == QLatin1String("right")) return Qt::RightButton;
    if (s == QLatin1String("middle")) return Qt::MiddleButton;
    return Qt::NoButton;
}

// press|release BUTTON X Y: a mouse button at a point of the world.
void pressOrRelease(const Command& c, bool press) {
    double x, y;
    if (!c.world(2, x, y)) return;
    const Qt::MouseButton b = buttonOf(c.word(1));
    if (b == Qt::NoButton) return c.error(QStringLiteral("bad button ") + c.word(1));
    if (press) c.family->canvasWidget()->mousePress(b, x, y);
    else c.family->canvasWidget()->mouseRelease(b, x, y);
}

void press(const Command& c) { pressOrRelease(c, true); }

void release(const Command& c) { pressOrRelease(c, false); }

// move BUTTON|none X Y: the pointer moves there with that button held.
void move(const Command& c) {
    double x, y;
    if (!c.world(2, x, y)) return;
    const QString b = c.word(1);
    const Qt::MouseButtons held = b == QLatin1String("none") ? Qt::MouseButtons() : Qt::MouseButtons(buttonOf(b));
    c.family->canvasWidget()->mouseMove(held, x, y);
}

void dblclick(const Command& c) {
    double x, y;
    if (!c.world(1, x, y)) return;
    c.family->canvasWidget()->mouseDoubleClick();
}

// hover NAME|background: the pointer rests on a control (or on the window
// itself), leaving the one it rested on before.
void hover(const Command& c) {
    ScriptDriver& d = c.driver;
    const QString name = c.word(1);
    auto under = [&](const QString& n) {
        return n == QLatin1String("background") ? d.currentWindow() : d.findControl(n);
    };
    QWidget* target = under(name);
    if (!target) return c.error(QStringLiteral("no control ") + name);
    if (!d.hovered.isEmpty() && d.hovered != name) {
        if (QWidget* old = under(d.hovered)) {
            QEvent leave(QEvent::Leave);
            QApplication::sendEvent(old, &leave);
        }
    }
    QPointer<QWidget> guard = target;
    const QPointF at(target == d.currentWindow() ? 2.0 : target->width() / 2.0,
                     target == d.currentWindow() ? 2.0 : target->height() / 2.0);
    const QPointF g = target->mapToGlobal(at);
    if (d.hovered != name) {
        QEnterEvent enter(at, at, g);
        QApplication::sendEvent(target, &enter);
    }
    d.hovered = name;
    if (!guard) return;
    QMouseEvent moved(QEvent::MouseMove, at, g, Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(target, &moved);
}

// ---------------------------------------------------------------- the desktop's answers

void answer(const Command& c) {
    const QString a = c.word(1);
    if (a == QLatin1String("OK") || a == QLatin1String("Cancel") || a == QLatin1String("Yes") ||
        a == QLatin1String("No"))
        c.driver.scripted().answers.push_back(a);
    else c.error(QStringLiteral("bad reply ") + a);
}

// The last blank-separated word of a command's arguments, and what precedes it.
std::pair<QString, QString> splitLast(const QString& args) {
    const qsizetype at = args.lastIndexOf(QLatin1Char(' '));
    if (at < 0) return {args, QString()};
    return {args.left(at), args.mid(at + 1)};
}

// savename PATH [bmp|png|svg] | savename cancel
void savename(const Command& c) {
    ScriptedPlatform& p = c.driver.scripted();
    const QString args = c.rest(1);
    if (args == QLatin1String("cancel")) {
        p.saveNames.push_back(ScriptedPlatform::kCancel);
        p.saveFilters.push_back(1);
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
    if (!name.isEmpty() && !c.driver.allowPath(name)) return;
    p.saveNames.push_back(name);
    p.saveFilters.push_back(filter);
}

// openname PATH | openname cancel: the open dialog's next reply.
void openname(const Command& c) {
    QString name = c.rest(1);
    if (name == QLatin1String("cancel")) return c.driver.scripted().openNames.push_back(ScriptedPlatform::kCancel);
    if (name.isEmpty()) return c.error(QStringLiteral("no file name"));
    if (!c.driver.allowPath(name)) return;
    c.driver.scripted().openNames.push_back(name);
}

void printto(const Command& c) {
    QString target = c.rest(1);
    if (target == QLatin1String("fail")) c.driver.scripted().printTargets.push_back(ScriptedPlatform::kFail);
    else if (c.driver.allowPath(target)) c.driver.scripted().printTargets.push_back(target);
}

// wait MS: the program's timers tick as if MS milliseconds had passed,
// however long that takes here.
void wait(const Command& c) {
    bool ok = false;
    const qint64 ms = c.word(1).toLongLong(&ok);
    if (!ok || ms < 0) return c.error(QStringLiteral("bad time ") + c.word(1));
    if (ms > c.driver.maxWaitMs) return c.error(QStringLiteral("wait longer than %1 ms").arg(c.driver.maxWaitMs));
    c.driver.clock().advance(ms, 10000);
}

// crash: the process ends here and now, as in a power cut: nothing is
// closed, saved or removed, and the exit status is not 0.
void crash(const Command& c) {
    if (!c.driver.mayCrash) return c.error(QStringLiteral("crash is not allowed here"));
    endAbruptly(kCrashStatus);
}

// ---------------------------------------------------------------- what the script sees

void get(const Command& c) {
    const QString name = c.word(1);
    if (QWidget* w = c.driver.findControl(name)) return c.driver.emitLine(controlReport(name, w));
    if (std::optional<QString> line = floatingReport(c.driver.currentFamily(), name)) return c.driver.emitLine(*line);
    c.error(QStringLiteral("no control ") + name);
}

void pixel(const Command& c) {
    double x, y;
    if (!c.world(1, x, y)) return;
    const QImage& img = c.family->canvas().image();
    const QPoint p = c.family->canvas().pixelAt(x, y);
    if (!img.rect().contains(p)) return c.error(QStringLiteral("outside the canvas"));
    const QColor rgb = img.pixelColor(p);
    c.driver.emitLine(QStringLiteral("{\"pixel\":[%1,%2],\"rgb\":[%3,%4,%5]}")
                          .arg(jsonNumber(x), jsonNumber(y))
                          .arg(rgb.red())
                          .arg(rgb.green())
                          .arg(rgb.blue()));
}

// count R G B [X1 Y1 X2 Y2]: how many pixels have that colour in the whole
// picture, or in the world rectangle with those corners (a check that must
// not count the glyphs of the axes' numbers names a region away from them).
void count(const Command& c) {
    const QRgb want = qRgb(c.word(1).toInt(), c.word(2).toInt(), c.word(3).toInt());
    const QImage& img = c.family->canvas().image();
    QRect area = img.rect();
    if (!c.word(4).isEmpty()) {
        double x1, y1, x2, y2;
        if (!c.world(4, x1, y1) || !c.world(6, x2, y2)) return;
        const QPointF a = c.family->canvas().toPixel(x1, y1), b = c.family->canvas().toPixel(x2, y2);
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
    c.driver.emitLine(QStringLiteral("{\"count\":%1}").arg(n));
}

bool writeImage(const QImage& img, const QString& path) {
    return !path.isEmpty() && img.save(path, path.endsWith(QLatin1String(".bmp"), Qt::CaseInsensitive) ? "BMP" : "PNG");
}

// canvas PATH [SCALE]: the canvas's picture, drawn anew at a whole scale.
void canvas(const Command& c) {
    const QString args = c.rest(1);
    auto [path, last] = splitLast(args);
    int scale = 1;
    bool numeric = false;
    const double v = last.toDouble(&numeric);
    if (numeric) {
        if (!(v >= 1 && v <= 8 && v == std::floor(v)))
            return c.error(QStringLiteral("scale must be a whole number from 1 to 8: ") + last);
        scale = int(v);
    } else {
        path = args;
    }
    if (!c.driver.allowPath(path)) return;
    const QImage img = scale == 1 ? c.family->canvas().image() : c.family->canvas().render(scale);
    if (!writeImage(img, path)) c.error(QStringLiteral("cannot write ") + path);
}

// sound PATH: the current window's last curve as the sound a pupil hears
// (a WAV file); an error when no curve is drawn.
void sound(const Command& c) {
    QString path = c.rest(1);
    if (!c.driver.allowPath(path)) return;
    const QByteArray wav = curveSound(*c.family);
    if (wav.isEmpty()) return c.error(QStringLiteral("no curve is drawn"));
    QFile f(path);
    if (path.isEmpty() || !f.open(QIODevice::WriteOnly) || f.write(wav) != wav.size())
        c.error(QStringLiteral("cannot write ") + path);
}

// grab CONTROL PATH: what the control shows, at its device pixel ratio,
// floating items included.
void grab(const Command& c) {
    QString path = c.rest(2);
    if (!c.driver.allowPath(path)) return;
    if (!writeImage(c.control->grab().toImage(), path)) c.error(QStringLiteral("cannot write ") + path);
}

// compare PATH1 PATH2: whether two pictures the script wrote (canvas, grab)
// are the same pixel for pixel, and how many pixels differ (all of the
// larger one when their sizes differ).
void compare(const Command& c) {
    QString a = c.word(1), b = c.rest(2);
    if (!c.driver.allowPath(a) || !c.driver.allowPath(b)) return;
    QImage ia, ib;
    if (a.isEmpty() || !ia.load(a)) return c.error(QStringLiteral("cannot read ") + a);
    if (b.isEmpty() || !ib.load(b)) return c.error(QStringLiteral("cannot read ") + b);
    qint64 differ = 0;
    if (ia.size() != ib.size()) {
        differ = std::max(qint64(ia.width()) * ia.height(), qint64(ib.width()) * ib.height());
    } else {
        ia = ia.convertToFormat(QImage::Format_ARGB32);
        ib = ib.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < ia.height(); ++y) {
            const QRgb* ra = reinterpret_cast<const QRgb*>(ia.constScanLine(y));
            const QRgb* rb = reinterpret_cast<const QRgb*>(ib.constScanLine(y));
            for (int x = 0; x < ia.width(); ++x) differ += ra[x] != rb[x];
        }
    }
    c.driver.emitLine(QStringLiteral("{\"same\":%1,\"differ\":%2}")
                          .arg(differ == 0 ? QStringLiteral("true") : QStringLiteral("false"))
                          .arg(differ));
}

void clipboard(const Command& c) {
    const QImage img = c.driver.scripted().clipboardImage();
    QString path = c.rest(1);
    if (img.isNull()) c.error(QStringLiteral("no picture on the clipboard"));
    else if (!c.driver.allowPath(path)) return;
    else if (!img.save(path, path.endsWith(QLatin1String(".bmp"), Qt::CaseInsensitive) ? "BMP" : "PNG"))
        c.error(QStringLiteral("cannot write ") + path);
}

// One row per command; README's driver section describes each.
// clang-format off
const CommandRow kCommands[] = {
    {"start", Needs::Nothing, start},
    {"open", Needs::Nothing, open},
    {"window", Needs::Nothing, window},
    {"close", Needs::Nothing, close},
    {"windows", Needs::Nothing, windows},
    {"type", Needs::TextBox, type},
    {"click", Needs::Control, click},
    {"key", Needs::Control, key},
    {"slide", Needs::Slider, slide},
    {"choose", Needs::List, choose},
    {"press", Needs::Family, press},
    {"release", Needs::Family, release},
    {"move", Needs::Family, move},
    {"dblclick", Needs::Family, dblclick},
    {"hover", Needs::Nothing, hover},
    {"answer", Needs::Nothing, answer},
    {"savename", Needs::Nothing, savename},
    {"openname", Needs::Nothing, openname},
    {"printto", Needs::Nothing, printto},
    {"wait", Needs::Nothing, wait},
    {"get", Needs::Nothing, get},
    {"pixel", Needs::Family, pixel},
    {"count", Needs::Family, count},
    {"canvas", Needs::Family, canvas},
    {"sound", Needs::Family, sound},
    {"grab", Needs::Control, grab},
    {"clipboard", Needs::Nothing, clipboard},
    {"compare", Needs::Nothing, compare},
    {"crash", Needs::Nothing, crash},
};
// clang-format on

}  // namespace

const CommandRow* findCommand(const QString& name) {
    for (const CommandRow& row : kCommands)
        if (name == QLatin1String(row.name)) return &row;
    return nullptr;
}
