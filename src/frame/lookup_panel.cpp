#include "frame/lookup_panel.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <vector>

#include "frame/controls.h"

namespace {

Ctl at(CtlKind kind, const QString& name, const QRect& r, const QString& text = {}) {
    return {kind, name, r.x(), r.y(), r.width(), r.height(), text};
}

}  // namespace

LookupControls buildLookupPanel(QWidget* window, const LookupPanel& p) {
    const bool y = p.forY;
    const QString idx = y ? "(0)" : "(1)";
    const QString frame = "Frame1" + idx;
    const QString var = y ? "y" : "X";
    const QString suffix = p.indexed ? idx : QString();
    const bool two = !p.caption2.isEmpty();
    const QString title = !p.title.isEmpty() ? p.title : y ? "速查y值" : "速查x值";
    // A screen reader says what each box holds (the value the pupil types,
    // the results the button fills in) and which panel's button it is.
    const QString given = y ? "X" : "y";
    const QString result = QStringLiteral("速查结果：") + var;
    LookupControls out;
    using enum CtlKind;
    std::vector<Ctl> rows = {
        at(Frame, frame, p.frame, title).tooltip(p.tip).bind(&out.frame),
        at(Label, "Label10" + idx, {8, 24, 41, 17}, y ? "当 X=" : "当 y=").in(frame),
        at(Text, y ? "Tx1" : "Ty2", p.input, p.start)
            .in(frame)
            .spoken(QStringLiteral("速查：") + given + QStringLiteral(" 的值"))
            .bind(&out.input),
        at(Label, "Label11" + idx, p.when, "时，").in(frame),
        at(Button, y ? "cay" : "cax", p.button, "计算得")
            .in(frame)
            .spoken(y ? QStringLiteral("速查 y：计算得") : QStringLiteral("速查 x：计算得"))
            .bind(&out.button),
        at(Label, "Label12" + idx, p.caption, var + (two ? "1=" : "=")).in(frame),
        at(Text, y ? "Ty1" : "Tx2", p.result)
            .in(frame)
            .spoken(result + (two || !p.result2.isEmpty() ? "1" : ""))
            .bind(&out.result),
    };
    if (two) rows.push_back(at(Label, "Label13" + suffix, p.caption2, var + "2=").in(frame));
    if (!p.result2.isEmpty())
        rows.push_back(at(Text, y ? "ty3" : "Tx3", p.result2).in(frame).spoken(result + "2").bind(&out.result2));
    if (!p.equation.isEmpty()) {
        rows.push_back(at(Label, "Label16" + suffix, p.eqCaption, "此时方程为：").in(frame));
        if (p.smallCaption) rows.back().font("宋体", 9);
        rows.push_back(at(Label, y ? "Labfc3" : "Labfc2", p.equation).in(frame).color(192, 0, 0).bind(&out.equation));
    }
    buildControls(window, rows.data(), rows.data() + rows.size());
    return out;
}
