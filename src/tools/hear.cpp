#include "tools/hear.h"

#include <QPushButton>
#include <QShortcut>

#include "frame/accessibility.h"
#include "frame/controls.h"
#include "frame/family_window.h"
#include "render/canvas_widget.h"
#include "curve/sound.h"

QByteArray curveSound(const FamilyWindow& window) {
    const auto& curves = window.drawnCurves();
    if (curves.empty() || curves.back().runs.empty()) return {};
    return sound::wav(sound::render(curves.back().runs));
}

HearTool::HearTool(FamilyWindow& window) : QObject(&window), w_(window) {
    // 听图像 ends the row of the frame's small buttons, after undo and redo.
    const QRect at = w_.smallButtonSlot(2);
    QPushButton* button = nullptr;
    buildControls(&w_, {
                           ::button("Cmdhear", at.x(), at.y(), at.width(), at.height(), "听图像")
                               .font("宋体", 9)
                               .tooltip("把最后画出的曲线播放成声音（Alt+T）")
                               .bind(&button),
                       });
    if (button) {
        button->setAccessibleName(QStringLiteral("听图像"));
        button->setAccessibleDescription(QStringLiteral("把最后画出的曲线播放成声音，快捷键 Alt+T"));
        connect(button, &QPushButton::clicked, this, &HearTool::hear);
    }
    auto* key = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_T), &w_);
    connect(key, &QShortcut::activated, this, &HearTool::hear);
}

void HearTool::hear() {
    const QByteArray wav = curveSound(w_);
    if (wav.isEmpty()) {
        a11y::announce(w_.canvasWidget(), w_.canvasDescription());
        return;
    }
    // A machine without sound says so once and goes on quietly after that.
    static bool toldNoSound = false;
    if (!platform().playSound(wav) && !toldNoSound) {
        toldNoSound = true;
        w_.message(QStringLiteral("这台电脑不能播放声音，听图像不可用。"));
    }
}
