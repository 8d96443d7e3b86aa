#pragma once
// Captions that fit their controls: a push button's caption inside the part
// of the button its style leaves for it, an option button's beside its
// indicator, and no label reaching into a push button. Checked at the
// screen's scale with the faces the program maps its font names to.
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QWidget>
#include <QtTest>

#include "frame/family_manager.h"
#include "frame/family_window.h"

// "NAME \"caption\" needs N of M" when the caption is wider than its room,
// "... needs N high of M" when a line of it is taller (cut at top and bottom).
inline void reportOverflow(QStringList& bad, const QString& where, QAbstractButton* b, const QRect& room) {
    const int need = b->fontMetrics().horizontalAdvance(b->text());
    if (need > room.width())
        bad << where + QStringLiteral("%1 \"%2\" needs %3 of %4")
                           .arg(b->objectName(), b->text())
                           .arg(need)
                           .arg(room.width());
    const int high = b->fontMetrics().height();
    if (high > room.height())
        bad << where + QStringLiteral("%1 \"%2\" needs %3 high of %4")
                           .arg(b->objectName(), b->text())
                           .arg(high)
                           .arg(room.height());
}

inline QStringList captionsThatDoNotFit(QWidget* window) {
    QStringList bad;
    const QString where = window->objectName() + QLatin1Char(':');
    for (QPushButton* b : window->findChildren<QPushButton*>()) {
        QStyleOptionButton opt;
        opt.initFrom(b);
        opt.text = b->text();
        opt.features = b->autoDefault() ? QStyleOptionButton::AutoDefaultButton : QStyleOptionButton::None;
        reportOverflow(bad, where, b, b->style()->subElementRect(QStyle::SE_PushButtonContents, &opt, b));
        // A label to the right of the button on the same row starts clear
        // of it (its text may come later).
        const QRect g = b->geometry();
        for (QLabel* l : b->parentWidget()->findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
            const QRect lg = l->geometry();
            if (lg.bottom() < g.top() || lg.top() > g.bottom() || !l->pixmap().isNull()) continue;
            const bool clash = lg.left() > g.center().x() && lg.left() < g.right() + 4;
            if (clash) bad << where + QStringLiteral("%1 touches %2").arg(l->objectName(), b->objectName());
        }
    }
    for (QRadioButton* b : window->findChildren<QRadioButton*>()) {
        QStyleOptionButton opt;
        opt.initFrom(b);
        opt.text = b->text();
        reportOverflow(bad, where, b, b->style()->subElementRect(QStyle::SE_RadioButtonContents, &opt, b));
    }
    return bad;
}

// What a group of controls placed from a table must keep, whatever the
// numbers: every control inside its parent, none overlapping another, and
// each caption (a label's or a button's text) fitting its control in width
// and in height at the control's own font. One line per fault.
inline QStringList placementFaults(QWidget* parent) {
    QStringList bad;
    const auto children = parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* c : children) {
        const QRect g = c->geometry();
        if (!parent->rect().contains(g))
            bad << QStringLiteral("%1 %2,%3 %4x%5 leaves %6")
                       .arg(c->objectName())
                       .arg(g.x())
                       .arg(g.y())
                       .arg(g.width())
                       .arg(g.height())
                       .arg(parent->objectName());
        // Places converted from the design's units may share a row or a
        // column of pixels at an edge: more than that is an overlap.
        for (QWidget* other : children) {
            const QRect both = g.intersected(other->geometry());
            if (other != c && c->objectName() < other->objectName() && both.width() > 1 && both.height() > 1)
                bad << QStringLiteral("%1 overlaps %2 by %3x%4")
                           .arg(c->objectName(), other->objectName())
                           .arg(both.width())
                           .arg(both.height());
        }
        QString caption;
        if (auto* l = qobject_cast<QLabel*>(c)) caption = l->text();
        else if (auto* b = qobject_cast<QAbstractButton*>(c)) caption = b->text();
        if (caption.isEmpty()) continue;
        const QFontMetrics fm(c->font());
        const int wide = fm.horizontalAdvance(caption), high = fm.height();
        if (wide > g.width() || high > g.height())
            bad << QStringLiteral("%1 \"%2\" needs %3x%4 of %5x%6")
                       .arg(c->objectName(), caption)
                       .arg(wide)
                       .arg(high)
                       .arg(g.width())
                       .arg(g.height());
    }
    return bad;
}

// The same over every family window, each opened as the bar opens it.
inline QStringList captionsThatDoNotFitInAnyFamily() {
    QStringList bad;
    for (const FamilyEntry& e : familyTable()) {
        FamilyWindow* w = FamilyManager::instance().open(e);
        if (!QTest::qWaitForWindowExposed(w)) bad << w->objectName() + QStringLiteral(": never shown");
        bad << captionsThatDoNotFit(w);
        w->close();
    }
    return bad;
}
