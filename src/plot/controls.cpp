#include "plot/controls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

#include "platform/platform.h"

#include <QPainter>
#include <QStyleOptionButton>

namespace {

// A check box whose caption wraps onto further lines when the box is narrow
// and tall, as the windows' captions are laid out to do.
class WrapCheckBox : public QCheckBox {
public:
    using QCheckBox::QCheckBox;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        QStyleOptionButton opt;
        initStyleOption(&opt);
        const QString caption = opt.text;
        opt.text.clear();
        style()->drawControl(QStyle::CE_CheckBox, &opt, &p, this);
        QRect r = style()->subElementRect(QStyle::SE_CheckBoxContents, &opt, this);
        r.setRight(width() - 1);
        p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
        // A caption that would not fit even wrapped is set a little smaller
        // rather than cut off.
        const int flags = Qt::AlignVCenter | Qt::AlignLeft | Qt::TextWrapAnywhere;
        QFont f = font();
        while (f.pixelSize() > 9 && QFontMetrics(f).boundingRect(r, flags, caption).height() > r.height())
            f.setPixelSize(f.pixelSize() - 1);
        p.setFont(f);
        p.drawText(r, flags, caption);
    }
};

}  // namespace

void buildControls(QWidget* window, std::initializer_list<Ctl> table) {
    for (const Ctl& c : table) {
        QWidget* parent = window;
        if (!c.parent.isEmpty()) {
            if (auto* p = window->findChild<QWidget*>(c.parent)) parent = p;
        }
        QWidget* w = nullptr;
        switch (c.kind) {
        case CtlKind::Label: {
            auto* l = new QLabel(c.text, parent);
            l->setWordWrap(true);
            l->setAlignment(c.center ? Qt::AlignHCenter | Qt::AlignTop : Qt::AlignLeft | Qt::AlignTop);
            l->setTextFormat(Qt::PlainText);
            w = l;
            break;
        }
        case CtlKind::Text: {
            auto* e = new QLineEdit(c.text, parent);
            e->setMaxLength(65535);
            w = e;
            break;
        }
        case CtlKind::Button: w = new QPushButton(c.text, parent); break;
        case CtlKind::Check: {
            auto* b = new WrapCheckBox(c.text, parent);
            // Check boxes use the smaller 9-point face unless the table says otherwise.
            if (c.face.isEmpty() && c.pt <= 0) b->setFont(uiFont(QStringLiteral("宋体"), 9));
            b->setChecked(c.checked);
            w = b;
            break;
        }
        case CtlKind::Radio: {
            auto* b = new QRadioButton(c.text, parent);
            if (c.face.isEmpty() && c.pt <= 0) b->setFont(uiFont(QStringLiteral("宋体"), 9));
            b->setChecked(c.checked);
            w = b;
            break;
        }
        case CtlKind::Frame: w = new QGroupBox(c.text, parent); break;
        case CtlKind::Combo: w = new QComboBox(parent); break;
        case CtlKind::Bar: {
            auto* f = new QFrame(parent);
            f->setFrameShape(QFrame::NoFrame);
            f->setAutoFillBackground(true);
            QPalette pal = f->palette();
            pal.setColor(QPalette::Window, c.fg.isValid() ? c.fg : QColor(0, 0, 0));
            f->setPalette(pal);
            w = f;
            break;
        }
        case CtlKind::Slider: {
            auto* s = new QScrollBar(Qt::Horizontal, parent);
            s->setRange(c.min, c.max);
            s->setSingleStep(c.small);
            s->setPageStep(c.large);
            s->setValue(c.value);
            // A change is reported once, when a movement ends, never while
            // the thumb is dragged.
            s->setTracking(false);
            w = s;
            break;
        }
        }
        w->setObjectName(c.name);
        w->setGeometry(c.x, c.y, c.w, c.h);
        if (!c.face.isEmpty() || c.pt > 0) {
            QFont base = parent->font();
            QFont f = uiFont(c.face.isEmpty() ? base.family() : c.face,
                             c.pt > 0 ? c.pt : base.pixelSize() * 72.0 / 96.0, c.bold);
            w->setFont(f);
        } else if (c.bold) {
            QFont f = w->font();
            f.setBold(true);
            w->setFont(f);
        }
        if (c.kind != CtlKind::Bar && (c.fg.isValid() || c.bg.isValid())) {
            QPalette pal = w->palette();
            if (c.fg.isValid()) {
                pal.setColor(QPalette::WindowText, c.fg);
                pal.setColor(QPalette::ButtonText, c.fg);
                pal.setColor(QPalette::Text, c.fg);
            }
            if (c.bg.isValid()) {
                pal.setColor(QPalette::Button, c.bg);
                pal.setColor(QPalette::Window, c.bg);
                if (c.kind == CtlKind::Label) w->setAutoFillBackground(true);
            }
            w->setPalette(pal);
        }
        if (!c.tip.isEmpty()) w->setToolTip(c.tip);
        if (c.disabled) w->setEnabled(false);
        if (c.hidden) w->setVisible(false);
    }
}
