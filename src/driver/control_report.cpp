#include "driver/control_report.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>

#include "driver/json.h"
#include "render/canvas_widget.h"
#include "frame/family_window.h"

std::optional<QString> floatingReport(FamilyWindow* f, const QString& name) {
    if (!f || !f->canvasWidget()) return std::nullopt;
    CanvasWidget* cw = f->canvasWidget();
    const FloatingLine* line = name == QLatin1String("Linex")   ? &cw->linex
                               : name == QLatin1String("Liney") ? &cw->liney
                               : name == QLatin1String("Line1") ? &cw->line1
                                                                : nullptr;
    const FloatingShape* shape = name == QLatin1String("Shape1")   ? &cw->shape1
                                 : name == QLatin1String("Shape2") ? &cw->shape2
                                                                   : nullptr;
    if (!line && !shape) return std::nullopt;
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
    return QStringLiteral("{\"get\":%1,\"visible\":%2,\"x1\":%3,\"y1\":%4,\"x2\":%5,\"y2\":%6}")
        .arg(jsonString(name), jsonBool(visible), jsonNumber(corners.x1()), jsonNumber(corners.y1()),
             jsonNumber(corners.x2()), jsonNumber(corners.y2()));
}

QString controlReport(const QString& name, QWidget* w) {
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
    // What a screen reader is told about it beyond its name (the picture:
    // the curves and their features, or the point a trace has reached).
    if (!w->accessibleDescription().isEmpty())
        extra += QStringLiteral(",\"description\":%1").arg(jsonString(w->accessibleDescription()));
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
    return line + QLatin1Char('}');
}
