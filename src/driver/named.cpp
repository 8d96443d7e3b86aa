#include "driver/named.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

#include "frame/family_window.h"
#include "render/canvas_widget.h"

QWidget* namedControl(const QWidget* window, const QString& name) {
    if (!window || name.isEmpty()) return nullptr;
    if (auto* f = qobject_cast<const FamilyWindow*>(window); f && name == QLatin1String("Picture1"))
        return const_cast<FamilyWindow*>(f)->canvasWidget();
    return window->findChild<QWidget*>(name);
}

QString namedText(const QWidget* window, const QString& name) {
    QWidget* w = namedControl(window, name);
    if (auto* e = qobject_cast<QLineEdit*>(w)) return e->text();
    if (auto* l = qobject_cast<QLabel*>(w)) return l->text();
    if (auto* b = qobject_cast<QAbstractButton*>(w)) return b->text();
    if (auto* g = qobject_cast<QGroupBox*>(w)) return g->title();
    if (auto* c = qobject_cast<QComboBox*>(w)) return c->currentText();
    return {};
}
