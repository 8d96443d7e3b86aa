#pragma once
// How the windows' own controls draw what Qt's style would draw differently:
// panels with the caption on the frame line, captions and notes that wrap
// the way Chinese text should, buttons whose face is exactly their colour.
// The layout functions are pure, so tests can check what a control shows.
#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>
#include <QStringList>

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QWidget;

namespace looks {

// Breaks `text` into lines no wider than `width` pixels in `font`. A line
// never starts with closing punctuation nor ends with opening punctuation, a
// quoted name (“…”) and a run of Latin letters or digits stay on one line
// when they fit one, and with `noLoneLast` a last line of a single character
// is avoided by moving a character down when the line count allows it.
QStringList wrapText(const QString& text, const QFont& font, int width, bool noLoneLast = false);

// The vertical rhythm of wrapped text: the distance between baselines, the
// height of a line's ink (glyph box) and the baseline below a line's top.
struct LineMetrics {
    int pitch = 0;
    int inkHeight = 0;
    int baseline = 0;
};
LineMetrics lineMetrics(const QFont& font);

// What a wrapped block shows inside a box: the font it is set in (the given
// one, or smaller when the text would not fit the height otherwise) and its
// lines.
struct TextBlock {
    QFont font;
    QStringList lines;
    int height = 0;  // from the first line's top to the last line's ink bottom
};
TextBlock fitText(const QString& text, QFont font, int width, int height, bool noLoneLast);

// The caption as a check box built by buildControls paints it.
TextBlock checkCaption(const QWidget* checkBox);
// The text as a note label (a multi-line "说明" label) paints it.
TextBlock noteText(const QWidget* label);

// The y of a panel's frame line, and the rectangle its caption covers, in
// the panel's coordinates.
int panelLineY(const QGroupBox* panel);
QRect panelCaptionRect(const QGroupBox* panel);

// The controls that draw themselves so.
QGroupBox* newPanel(const QString& caption, QWidget* parent);
QCheckBox* newCheckBox(const QString& caption, QWidget* parent);
QLabel* newNoteLabel(const QString& text, QWidget* parent);
// The button's face becomes exactly `face`, with a darker face while pressed
// and a blue outline while it has the focus.
void colourButton(QPushButton* button, const QColor& face);

// Whether a label's text is a note ("说明：…"), drawn by newNoteLabel.
bool isNote(const QString& text);

}  // namespace looks
