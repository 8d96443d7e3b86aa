#include "frame/curve_log.h"

#include <QRegularExpression>
#include <algorithm>

#include "curve/curve_facts.h"
#include "numfmt/numfmt.h"

QStringList sameWriting(const QStringList& stated, QStringList found) {
    static const QRegularExpression point(
        QStringLiteral("\\((-?[0-9.]+(?:E[-+][0-9]+)?),(-?[0-9.]+(?:E[-+][0-9]+)?)\\)"));
    for (const QString& s : stated) {
        for (auto it = point.globalMatch(s); it.hasNext();) {
            const QRegularExpressionMatch m = it.next();
            bool okX = false, okY = false;
            const QPointF p(m.captured(1).toDouble(&okX), m.captured(2).toDouble(&okY));
            if (!okX || !okY) continue;
            const QString rounded = curvefacts::pointText(p);
            if (rounded == m.captured(0)) continue;
            for (QString& f : found) f.replace(rounded, m.captured(0));
        }
    }
    return found;
}

bool CurveLog::add(QString label, Runs runs, QStringList features) {
    DrawnCurve drawn{std::move(label), std::move(runs)};
    // Crossings and turns are read off the order of the drawn points, which
    // needs a drawn line: a cloud of separate dots (the conics plot their
    // upper and lower halves in turn) has none, and its window says what
    // its curve is.
    size_t points = 0;
    for (const auto& run : drawn.runs) points += run.size();
    const bool cloud = points < 2 * drawn.runs.size();
    if (!cloud) features << sameWriting(features, curvefacts::features(drawn.runs));
    // The trace and the sound walk along the curve: the dots linked into
    // lines, a closed curve into one loop.
    else drawn.runs = curvefacts::chain(drawn.runs);
    if (!features.isEmpty())
        drawn.text += QStringLiteral("（") + features.join(QStringLiteral("，")) + QStringLiteral("）");
    if (drawn.runs.empty()) return false;
    // A curve drawn again over its marks (the vertex, the axis) is still one curve.
    if (!curves_.empty() && curves_.back().text == drawn.text) curves_.back() = std::move(drawn);
    else curves_.push_back(std::move(drawn));
    return true;
}

void CurveLog::clear() {
    curves_.clear();
    annotations_ = 0;
}

void CurveLog::takeSnapshot() {
    snapshotCurves_ = curves_;
    snapshotAnnotations_ = annotations_;
}

void CurveLog::restoreSnapshot() {
    curves_ = snapshotCurves_;
    annotations_ = snapshotAnnotations_;
}

void CurveLog::noteAnnotation() {
    if (annotations_ < 1000000) ++annotations_;
}

QString CurveLog::description(bool axesHidden, bool gridOn) const {
    QString d;
    // A long overlay session keeps only the last curves in words.
    constexpr size_t kSaid = 8;
    if (curves_.empty()) {
        d = QStringLiteral("还没有画出曲线。");
    } else if (curves_.size() == 1) {
        d = curves_.front().text + QStringLiteral("。");
    } else {
        d = QStringLiteral("共 %1 条曲线").arg(curves_.size());
        const size_t from = curves_.size() > kSaid ? curves_.size() - kSaid : 0;
        if (from > 0) d += QStringLiteral("，最后 %1 条").arg(kSaid);
        d += QStringLiteral("：");
        for (size_t i = from; i < curves_.size(); ++i)
            d += QStringLiteral("第 %1 条，").arg(i + 1) + curves_[i].text + (i + 1 < curves_.size() ? "；" : "。");
    }
    d += axesHidden ? QStringLiteral("坐标系已隐藏。") : QStringLiteral("显示坐标轴。");
    if (gridOn) d += QStringLiteral("显示网格。");
    if (annotations_ > 0) d += QStringLiteral("手绘标注 %1 处。").arg(annotations_);
    // Said, not shown: the expressions as they are read aloud.
    return numfmt::spoken(d);
}

namespace {
// The curves as a shared list: the one handed out last while they are the
// same (point for point), a new one when they changed.
SharedCurves share(SharedCurves& last, const std::vector<DrawnCurve>& now) {
    if (!last || !std::equal(last->begin(), last->end(), now.begin(), now.end(), sameCurve))
        last = std::make_shared<const std::vector<DrawnCurve>>(now);
    return last;
}
}  // namespace

void CurveLog::toView(View& v) const {
    v.curves = share(shared_, curves_);
    v.overlayCurves = share(sharedSnapshot_, snapshotCurves_);
    v.annotations = annotations_;
    v.overlayAnnotations = snapshotAnnotations_;
}

void CurveLog::fromView(const View& v) {
    curves_ = v.curves ? *v.curves : std::vector<DrawnCurve>();
    snapshotCurves_ = v.overlayCurves ? *v.overlayCurves : std::vector<DrawnCurve>();
    annotations_ = std::clamp(v.annotations, 0, 1000000);
    snapshotAnnotations_ = std::clamp(v.overlayAnnotations, 0, 1000000);
}
