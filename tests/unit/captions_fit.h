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
#include <algorithm>

inline QStringList captionsThatDoNotFit(QWidget* window) {
    QStringList bad;
    const QString where = window->objectName() + QLatin1Char(':');
    for (QPushButton* b : window->findChildren<QPushButton*>()) {
        QStyleOptionButton opt;
        opt.initFrom(b);
        opt.text = b->text();
        opt.features = b->autoDefault() ? QStyleOptionButton::AutoDefaultButton : QStyleOptionButton::None;
        const QRect room = b->style()->subElementRect(QStyle::SE_PushButtonContents, &opt, b);
        const int need = b->fontMetrics().horizontalAdvance(b->text());
        if (need > room.width())
            bad << where + QStringLiteral("%1 \"%2\" needs %3 of %4").arg(b->objectName(), b->text()).arg(need).arg(room.width());
        // A label on the same row keeps a gap from the button: one to its
        // right starts clear of it (its text may come later), one to its
        // left ends its text before it.
        const QRect g = b->geometry();
        for (QLabel* l : b->parentWidget()->findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
            const QRect lg = l->geometry();
            if (lg.bottom() < g.top() || lg.top() > g.bottom() || !l->pixmap().isNull()) continue;
            const int textEnd = lg.left() + std::min(lg.width(), l->fontMetrics().horizontalAdvance(l->text()));
            const bool clash = lg.left() > g.center().x() ? lg.left() < g.right() + 4
                                                          : !l->text().isEmpty() && textEnd > g.left() - 3;
            if (clash) bad << where + QStringLiteral("%1 touches %2").arg(l->objectName(), b->objectName());
        }
    }
    for (QRadioButton* b : window->findChildren<QRadioButton*>()) {
        QStyleOptionButton opt;
        opt.initFrom(b);
        opt.text = b->text();
        const QRect room = b->style()->subElementRect(QStyle::SE_RadioButtonContents, &opt, b);
        const int need = b->fontMetrics().horizontalAdvance(b->text());
        if (need > room.width())
            bad << where + QStringLiteral("%1 \"%2\" needs %3 of %4").arg(b->objectName(), b->text()).arg(need).arg(room.width());
    }
    return bad;
}
