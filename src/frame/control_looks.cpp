#include "frame/control_looks.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <cmath>

namespace looks {

namespace {

// Punctuation that belongs to the character before it and may not begin a line.
bool closing(QChar c) {
    static const QString set = QStringLiteral("，。、；：！？）》】」’”,.;:!?)]%");
    return set.contains(c);
}
// Punctuation that belongs to the character after it and may not end a line.
bool opening(QChar c) {
    static const QString set = QStringLiteral("（《【「‘“([");
    return set.contains(c);
}
// Letters, digits and signs of a formula or number, which stay together.
bool wordChar(QChar c) { return c.unicode() < 0x2E80 && !c.isSpace() && !closing(c) && !opening(c); }

// The text cut into pieces that a line break may not split.
QStringList units(const QString& text) {
    QStringList out;
    QString pending;  // opening punctuation waiting for what it opens
    const int n = int(text.size());
    int i = 0;
    while (i < n) {
        QString u;
        const QChar c = text.at(i);
        if (c == QChar(0x201C)) {  // “ … ” stays whole: a button's name
            const int end = int(text.indexOf(QChar(0x201D), i + 1));
            if (end > i) {
                u = text.mid(i, end - i + 1);
                i = end + 1;
            } else {
                pending += c;
                ++i;
                continue;
            }
        } else if (opening(c)) {
            pending += c;
            ++i;
            continue;
        } else if (wordChar(c)) {
            int j = i;
            while (j < n && wordChar(text.at(j))) ++j;
            u = text.mid(i, j - i);
            i = j;
        } else {
            u = c;
            ++i;
        }
        // Closing punctuation and blanks ride with the piece before them.
        while (i < n && (closing(text.at(i)) || text.at(i).isSpace())) u += text.at(i++);
        out << pending + u;
        pending.clear();
    }
    if (!pending.isEmpty()) out << pending;
    return out;
}

bool fits(const QFontMetricsF& fm, const QString& s, int width) {
    return fm.horizontalAdvance(s.trimmed()) <= width + 0.01;
}

QStringList greedy(const QString& text, const QFont& font, int width) {
    const QFontMetricsF fm(font);
    QStringList lines;
    QString line;
    for (const QString& u : units(text)) {
        if (fits(fm, line + u, width)) {
            line += u;
            continue;
        }
        if (!line.trimmed().isEmpty()) lines << line.trimmed();
        line.clear();
        if (fits(fm, u, width)) {
            line = u;
            continue;
        }
        // A piece wider than a whole line is cut where it must be.
        for (QChar c : u) {
            if (!line.isEmpty() && !fits(fm, line + c, width)) {
                lines << line.trimmed();
                line.clear();
            }
            line += c;
        }
    }
    if (!line.trimmed().isEmpty()) lines << line.trimmed();
    return lines;
}

}  // namespace

QStringList wrapText(const QString& text, const QFont& font, int width, bool noLoneLast) {
    const QStringList lines = greedy(text, font, width);
    if (!noLoneLast || lines.size() < 2 || lines.last().size() != 1) return lines;
    // Narrow the measure until one more character joins the last line,
    // as long as that costs no extra line.
    for (int w = width - 1; w > width / 2; --w) {
        const QStringList tried = greedy(text, font, w);
        if (tried.size() > lines.size()) break;
        if (tried.last().size() >= 2) return tried;
    }
    return lines;
}

LineMetrics lineMetrics(const QFont& font) {
    const QFontMetrics fm(font);
    const QRect ink = fm.tightBoundingRect(QStringLiteral("国说明图"));
    LineMetrics m;
    m.inkHeight = std::max(1, ink.height());
    m.baseline = -ink.top();
    // Lines of Chinese text need a little air between them: about a seventh
    // of the glyph height, at least 2 pixels.
    m.pitch = m.inkHeight + std::max(2, int(std::lround(m.inkHeight * 0.15)));
    return m;
}

TextBlock fitText(const QString& text, QFont font, int width, int height, bool noLoneLast) {
    TextBlock b;
    for (;;) {
        b.font = font;
        b.lines = wrapText(text, font, width, noLoneLast);
        const LineMetrics m = lineMetrics(font);
        b.height = b.lines.isEmpty() ? 0 : int(b.lines.size() - 1) * m.pitch + m.inkHeight;
        // A text that does not fit is set a little smaller rather than cut off.
        if (b.height <= height || font.pixelSize() <= 9) return b;
        font.setPixelSize(font.pixelSize() - 1);
    }
}

namespace {

void paintBlock(QPainter& p, const TextBlock& b, int left, int top) {
    const LineMetrics m = lineMetrics(b.font);
    p.setFont(b.font);
    for (int i = 0; i < b.lines.size(); ++i) p.drawText(QPointF(left, top + i * m.pitch + m.baseline), b.lines.at(i));
}

// A check box whose caption wraps onto further lines when the box is narrow
// and tall, as the windows' captions are laid out to do.
class WrapCheckBox : public QCheckBox {
public:
    using QCheckBox::QCheckBox;

    QRect captionRect() const {
        QStyleOptionButton opt;
        initStyleOption(&opt);
        QRect r = style()->subElementRect(QStyle::SE_CheckBoxContents, &opt, this);
        r.setRight(width() - 1);
        return r;
    }
    TextBlock caption() const {
        const QRect r = captionRect();
        return fitText(text(), font(), r.width(), r.height(), true);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        QStyleOptionButton opt;
        initStyleOption(&opt);
        opt.text.clear();
        style()->drawControl(QStyle::CE_CheckBox, &opt, &p, this);
        const QRect r = captionRect();
        const TextBlock b = caption();
        p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
        paintBlock(p, b, r.left(), r.top() + (r.height() - b.height) / 2);
    }
};

// A multi-line note: Chinese text with air between its lines.
class NoteLabel : public QLabel {
public:
    using QLabel::QLabel;

    TextBlock block() const { return fitText(text(), font(), width(), height(), true); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
        paintBlock(p, block(), 0, 0);
    }
};

// A panel drawn the classic way: an etched frame whose top line runs through
// the middle of the caption, so everything placed below the caption lies
// inside the frame and no line crosses a control.
class PanelFrame : public QGroupBox {
public:
    using QGroupBox::QGroupBox;

    int lineY() const { return QFontMetrics(font()).height() / 2; }
    QRect captionRect() const {
        if (title().isEmpty()) return {};
        const QFontMetrics fm(font());
        const int w = std::min(fm.horizontalAdvance(title()) + 4, std::max(0, width() - 16));
        return QRect(8, 0, w, fm.height());
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        const QRect box = rect().adjusted(0, lineY(), -1, -1);
        p.setPen(QColor(160, 160, 160));
        p.drawRect(box.adjusted(0, 0, -1, -1));
        p.setPen(QColor(255, 255, 255));
        p.drawRect(box.adjusted(1, 1, 0, 0));
        const QRect cap = captionRect();
        if (cap.isEmpty()) return;
        p.fillRect(cap, palette().color(backgroundRole()));
        p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
        p.setFont(font());
        p.drawText(cap.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, title());
    }
};

}  // namespace

TextBlock checkCaption(const QWidget* checkBox) {
    if (auto* b = dynamic_cast<const WrapCheckBox*>(checkBox)) return b->caption();
    return {};
}

TextBlock noteText(const QWidget* label) {
    if (auto* l = dynamic_cast<const NoteLabel*>(label)) return l->block();
    return {};
}

int panelLineY(const QGroupBox* panel) {
    if (auto* f = dynamic_cast<const PanelFrame*>(panel)) return f->lineY();
    return 0;
}

QRect panelCaptionRect(const QGroupBox* panel) {
    if (auto* f = dynamic_cast<const PanelFrame*>(panel)) return f->captionRect();
    return {};
}

QGroupBox* newPanel(const QString& caption, QWidget* parent) { return new PanelFrame(caption, parent); }
QCheckBox* newCheckBox(const QString& caption, QWidget* parent) { return new WrapCheckBox(caption, parent); }
QLabel* newNoteLabel(const QString& text, QWidget* parent) { return new NoteLabel(text, parent); }

bool isNote(const QString& text) { return text.startsWith(QStringLiteral("说明：")); }

void colourButton(QPushButton* button, const QColor& face) {
    // The style's gradient would wash the colour out; the face is painted
    // flat, darker while pressed, with a blue outline while focused.
    button->setStyleSheet(QStringLiteral("QPushButton { background-color: %1; border: 1px solid rgb(118, 118, 118);"
                                         " border-radius: 2px; padding: 1px 3px; }"
                                         "QPushButton:hover { border-color: rgb(0, 120, 215); }"
                                         "QPushButton:focus { border: 2px solid rgb(0, 120, 215); }"
                                         "QPushButton:pressed { background-color: %2; }"
                                         "QPushButton:disabled { color: rgb(128, 128, 128); }")
                              .arg(face.name(), face.darker(125).name()));
}

}  // namespace looks
