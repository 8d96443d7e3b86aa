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
            bad << where + QStringLiteral("%1 \"%2\" needs %3 of %4")
                               .arg(b->objectName(), b->text())
                               .arg(need)
                               .arg(room.width());
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
        const QRect room = b->style()->subElementRect(QStyle::SE_RadioButtonContents, &opt, b);
        const int need = b->fontMetrics().horizontalAdvance(b->text());
        if (need > room.width())
            bad << where + QStringLiteral("%1 \"%2\" needs %3 of %4")
                               .arg(b->objectName(), b->text())
                               .arg(need)
                               .arg(room.width());
    }
    return bad;
}
