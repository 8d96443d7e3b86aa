// What a window's view keeps (undo, plot files, the recovery file) is
// declared in the layout rows. These are the controls the views kept when
// they were still found by walking the window's named children: the marks
// must keep exactly these, and every named control of a window must carry a
// mark, so that a new control cannot join or leave the view unseen.
#include <QWidget>
#include <algorithm>
#include <map>

#include "frame/controls.h"
#include "render/canvas_widget.h"
#include "test_support.h"

namespace {

const std::map<QString, QString> kKeptBefore = {
    {"linear",
     "Check1,Checkhide,Cmdcopy,Cmdhear,Cmdsave,Combo1sh,Command1(0),Command1(1),Command1(2),Command2,Command5,Commandfgqd,Commandquanpin,Frame1(0),Frame1(1),Frmdraw,HScroll1,HScroll2,Labcolor,Label1(0),Label1(1),Label1(2),Label10(0),Label10(1),Label11(0),Label11(1),Label12(0),Label12(1),Label16,Label2(0),Label2(1),Label4,Labfc2,Labzb,Option1sh,Option2sh,Option3sh,Option4sh,Option5sh,Option6sh,Text1(0),Text1(1),Tx1,Tx2,Ty1,Ty2,cax,cay"},
    {"quadratic",
     "Check1,Checkhide,Cmdcopy,Cmdhear,Cmdsave,Combo1sh,Command1,Command2,Command3,Command5,Commandfgqd,Commandquanpin,Frame1(0),Frame1(1),Frmdraw,HScroll1,HScroll2,HScroll3,Labcolor,Label10(0),Label10(1),Label11(0),Label11(1),Label12(0),Label12(1),Label13,Label14,Label16,Label17,Label4(0),Label4(1),Label4(2),Label6,Label7,Labfc,Labfc2,Labzb,Option1sh,Option2sh,Option3sh,Option4sh,Option5sh,Option6sh,Text1(0),Text1(1),Text1(2),Tx1,Tx2,Tx3,Ty1,Ty2,cax,cay,fugai,wangge"},
    {"inverse",
     "Check1,Checkhide,Cmdcopy,Cmdhear,Cmdsave,Combo1sh,Command1,Command2,Command3,Command5,Commandfgqd,Commandquanpin,Frame1(0),Frame1(1),Frmdraw,HScroll1,Labcolor,Label1(0),Label1(2),Label10(0),Label10(1),Label11(0),Label11(1),Label12(0),Label12(1),Label16,Label2(0),Label2(2),Labfc2,Labzb,Option1sh,Option2sh,Option3sh,Option4sh,Option5sh,Option6sh,Text1(0),Tx1,Tx2,Ty1,Ty2,cax,cay"},
    {"power",
     "Check1,Checkhide,Cmdcopy,Cmdhear,Cmdprint,Cmdsave,Combo1sh,Command1,Commandfgqd,Commandquanpin,Frame1(0),Frame1(1),Frame2,Frame3,Frmdraw,HScroll1,HScroll2,HScroll3,Labcolor,Label1(0),Label1(1),Label10(0),Label10(1),Label11(0),Label11(1),Label12(0),Label12(1),Label16,Label17,Label2,Labfc,Labfc2,Labzb,Line3,Option1,Option1sh,Option2,Option2sh,Option3,Option3sh,Option4,Option4sh,Option5sh,Option6sh,Text1,Text2(0),Text2(1),Tx1,Tx2,Tx3,Ty1,Ty2,cax,cay,fugai,wangge"},
    {"exponential",
     "Check1,Checkhide,Cmdcopy,Cmdhear,Cmdprint,Cmdsave,Combo1sh,Command1,Commandfgqd,Commandquanpin,Frame1(0),Frame1(1),Frmdraw,HScroll1,HScroll2,Labcolor,Label1,Label10(0),Label10(1),Label11(0),Label11(1),Label12(0),Label12(1),Label16,Label17,Label2,Labfc,Labfc2,Labzb,Option1sh,Option2sh,Option3sh,Option4sh,Option5sh,Option6sh,Text1,Tx1,Tx2,Ty1,Ty2,cax,cay,fugai,wangge"},
    {"logarithm",
     "Check1,Checkhide,Cmdcopy,Cmdhear,Cmdprint,Cmdsave,Combo1sh,Command1,Commandfgqd,Commandquanpin,Frame1(0),Frame1(1),Frmdraw,HScroll1,HScroll2,Labcolor,Label1,Label10(0),Label10(1),Label11(0),Label11(1),Label12(0),Label12(1),Label16,Label17,Label2,Label3,Labfc,Labfc2,Labzb,Option1sh,Option2sh,Option3sh,Option4sh,Option5sh,Option6sh,Text1,Tx1,Tx2,Ty1,Ty2,cax,cay,fugai,wangge"},
    {"sine",
     "Check1,Checkhide,Cmdcopy,Cmdhear,Cmdprint,Cmdsave,Combo1sh,Command1,Command2,Command3,Commandfgqd,Commandquanpin,Frame1(0),Frame1(1),Frame2,Frmdraw,HScroll1,HScroll2,HScroll4,HScroll5,Labcolor,Label1(0),Label1(1),Label10(0),Label10(1),Label10(2),Label11(0),Label11(1),Label12(0),Label12(1),Label16,Label17,Label2(0),Label2(2),Label2(3),Label3(0),Label3(1),Label3(2),Label4,Label5,Labfc,Labfc2,Labzb,Line2(0),Line2(1),Option1,Option1sh,Option2,Option2sh,Option3,Option3sh,Option4,Option4sh,Option5sh,Option6sh,Text1,Text2,Text4,Text5,Tx1,Tx2,Tx3,Ty1,Ty2,cax,cay,fugai,wangge"},
    {"cosine",
     "Check1,Checkhide,Cmdcopy,Cmdhear,Cmdprint,Cmdsave,Combo1sh,Command1,Command2,Command3,Commandfgqd,Commandquanpin,Frame1(0),Frame1(1),Frame2,Frmdraw,HScroll1,HScroll2,HScroll4,HScroll5,Labcolor,Label1(0),Label1(1),Label10(0),Label10(1),Label10(2),Label11(0),Label11(1),Label12(0),Label12(1),Label16,Label17,Label2(0),Label2(2),Label2(3),Label3(0),Label3(1),Label3(2),Label4,Label5,Labfc,Labfc2,Labzb,Line2(0),Line2(1),Option1,Option1sh,Option2,Option2sh,Option3,Option3sh,Option4,Option4sh,Option5sh,Option6sh,Text1,Text2,Text4,Text5,Tx1,Tx2,Tx3,Ty1,Ty2,cax,cay,fugai,wangge"},
    {"tangent",
     "Check1,Checkhide,Cmdcopy,Cmdhear,Cmdprint,Cmdsave,Combo1sh,Command1,Command2,Command3,Commandfgqd,Commandquanpin,Frame1(0),Frame1(1),Frame2,Frmdraw,HScroll2,HScroll4,HScroll5,Labcolor,Label1(0),Label1(1),Label10(0),Label10(1),Label10(2),Label11(0),Label11(1),Label12(0),Label12(1),Label16,Label17,Label2(0),Label2(3),Label3(0),Label3(1),Label3(2),Label4,Label5,Labfc,Labfc2,Labzb,Line2(0),Line2(1),Option1,Option1sh,Option2,Option2sh,Option3,Option3sh,Option4,Option4sh,Option5sh,Option6sh,Text2,Text4,Text5,Tx1,Tx2,Tx3,Ty1,Ty2,cax,cay,fugai,wangge"},
    {"cotangent",
     "Check1,Checkhide,Cmdcopy,Cmdhear,Cmdprint,Cmdsave,Combo1sh,Command1,Command2,Command3,Commandfgqd,Commandquanpin,Frame1(0),Frame1(1),Frame2,Frmdraw,HScroll2,HScroll4,HScroll5,Labcolor,Label1(0),Label1(1),Label10(0),Label10(1),Label10(2),Label11(0),Label11(1),Label12(0),Label12(1),Label16,Label17,Label2(0),Label2(3),Label3(0),Label3(1),Label3(2),Label4,Label5,Labfc,Labfc2,Labzb,Line2(0),Line2(1),Option1,Option1sh,Option2,Option2sh,Option3,Option3sh,Option4,Option4sh,Option5sh,Option6sh,Text2,Text4,Text5,Tx1,Tx2,Tx3,Ty1,Ty2,cax,cay,fugai,wangge"},
    {"circle",
     "Check1,Checkhide,Cmdcopy,Cmdhear,Cmdsave,Combo1sh,Command1,Command2,Command3,Command5,Commandfgqd,Commandquanpin,Frame1(0),Frame1(1),Frmdraw,HScroll1,HScroll2,HScroll3,Labcolor,Label1,Label10(0),Label10(1),Label11(0),Label11(1),Label12(0),Label12(1),Label13(0),Label13(1),Label16(0),Label16(1),Label17,Label4(0),Label4(1),Label4(2),Label6,Label7,Labfc,Labfc2,Labfc3,Labzb,Option1sh,Option2sh,Option3sh,Option4sh,Option5sh,Option6sh,Text1(0),Text1(1),Text1(2),Tx1,Tx2,Tx3,Ty1,Ty2,cax,cay,fugai,ty3,wangge"},
    {"ellipse",
     "Check1,Checkhide,Cmdcopy,Cmdhear,Cmdsave,Combo1sh,Command1,Command2,Command3,Command4,Command5,Commandfgqd,Commandquanpin,Frame1(0),Frame1(1),Frmdraw,HScroll1,HScroll2,Labcolor,Label1(0),Label10(0),Label10(1),Label11(0),Label11(1),Label12(0),Label12(1),Label13(0),Label13(1),Label16(0),Label16(1),Label17,Label2,Label4(0),Label4(1),Label6,Label7,Labfc,Labfc2,Labfc3,Labzb,Option1sh,Option2sh,Option3sh,Option4sh,Option5sh,Option6sh,Text1(0),Text1(1),Tx1,Tx2,Tx3,Ty1,Ty2,cax,cay,fugai,ty3,wangge"},
    {"hyperbola",
     "Check1,Checkhide,Cmdcopy,Cmdhear,Cmdsave,Combo1sh,Command1,Command2,Command3,Command4,Command5,Command6,Command7,Commandfgqd,Commandquanpin,Frame1(0),Frame1(1),Frmdraw,HScroll1,HScroll2,Labcolor,Label1,Label10(0),Label10(1),Label11(0),Label11(1),Label12(0),Label12(1),Label13(0),Label13(1),Label16(0),Label16(1),Label17,Label2,Label3,Label4(0),Label4(1),Label6,Label7,Labfc,Labfc2,Labfc3,Labzb,Option1,Option1sh,Option2,Option2sh,Option3sh,Option4sh,Option5sh,Option6sh,Text1(0),Text1(1),Tx1,Tx2,Tx3,Ty1,Ty2,cax,cay,fugai,ty3,wangge"},
    {"parabola",
     "Check1,Checkhide,Cmdcopy,Cmdhear,Cmdsave,Combo1sh,Command1,Command2,Command3,Command4,Command5,Commandfgqd,Commandquanpin,Frame1(0),Frame1(1),Frmdraw,HScroll1,Labcolor,Label10(0),Label10(1),Label11(0),Label11(1),Label12(0),Label12(1),Label13(0),Label13(1),Label16(0),Label16(1),Label17,Label2,Label4(0),Label6,Label7,Labfc,Labfc2,Labfc3,Labzb,Option1,Option1sh,Option2,Option2sh,Option3sh,Option4sh,Option5sh,Option6sh,Text1,Tx1,Tx2,Tx3,Ty1,Ty2,cax,cay,fugai,ty3,wangge"},
    {"own",
     "Check1,Checkhide,Cmdcopy,Cmdhear,Cmdsave,Combo1sh,Command1,Command2,Command3,Command4,Command5,Command6,Commandfgqd,Commandquanpin,Domfrom,Domto,Exprtext,Frame1(0),Frame1(1),Frmdraw,HScroll1,HScroll2,HScroll3,HScroll4,Labcolor,Label1(0),Label10(0),Label10(1),Label11(0),Label11(1),Label12(0),Label12(1),Label2(0),Label3(0),Label3(1),Label3(2),Label3(3),Label4(0),Label4(1),Label5(0),Label5(1),Label5(2),Label5(3),Labzb,Option1sh,Option2sh,Option3sh,Option4sh,Option5sh,Option6sh,Text1(0),Text1(1),Text1(2),Text1(3),Tx1,Tx2,Ty1,Ty2,cax,cay,fugai,wangge"},
};

// The tools' own controls: a plot file brings them back, undo leaves them.
const QStringList kToolOwned = {"Combo1sh",  "Frmdraw",   "Labcolor",  "Labzb",     "Option1sh",
                                "Option2sh", "Option3sh", "Option4sh", "Option5sh", "Option6sh"};

QStringList sorted(QStringList l) {
    l.sort();
    return l;
}

}  // namespace

class KeptControlsTest : public QObject {
    Q_OBJECT
private slots:
    void init() { s_ = std::make_unique<DriverSession>(); }
    void cleanup() { s_.reset(); }

    void viewsKeepWhatTheyKeptBefore() {
        QCOMPARE(int(kKeptBefore.size()), int(familyTable().size()));
        for (const FamilyEntry& e : familyTable()) {
            FamilyWindow* w = s_->open(e.key);
            QStringList kept, toolOwned;
            for (const auto& [name, value] : w->views().take().controls)
                if (!name.startsWith(QLatin1String("Anim"))) kept << name;
            // The animator's settings, one row per parameter of the window.
            QStringList animator;
            for (const BuiltControl& c : builtControls(w)) {
                if (!c.widget || c.keep != Keep::Tool) continue;
                if (c.widget->objectName().startsWith(QLatin1String("Anim"))) animator << c.widget->objectName();
                else toolOwned << c.widget->objectName();
            }
            const int rows = int(w->frameControls().sliders.size());
            QCOMPARE(int(animator.size()), 3 * rows + 5);
            for (const char* name : {"Animframes", "Animspeed", "Animmode", "Animtrail", "Animscale"})
                QVERIFY2(animator.contains(QLatin1String(name)), name);
            const auto it = kKeptBefore.find(e.key);
            QVERIFY(it != kKeptBefore.end());
            QCOMPARE(sorted(kept), sorted(it->second.split(QLatin1Char(','))));
            QCOMPARE(sorted(toolOwned), kToolOwned);
            w->close();
        }
    }

    // Every named control outside the picture was made from a layout row,
    // so it carries a mark (kept, a tool's own, or explicitly not kept).
    void everyNamedControlIsMarked() {
        for (const FamilyEntry& e : familyTable()) {
            FamilyWindow* w = s_->open(e.key);
            std::vector<const QWidget*> marked;
            for (const BuiltControl& c : builtControls(w)) marked.push_back(c.widget);
            for (const QWidget* c : w->findChildren<QWidget*>()) {
                const QString name = c->objectName();
                if (name.isEmpty() || name.startsWith(QLatin1String("qt_"))) continue;
                if (c == w->canvasWidget() || w->canvasWidget()->isAncestorOf(c)) continue;
                QVERIFY2(std::find(marked.begin(), marked.end(), c) != marked.end(),
                         qPrintable(e.key + QStringLiteral(": ") + name + QStringLiteral(" has no mark")));
            }
            w->close();
        }
    }

private:
    std::unique_ptr<DriverSession> s_;
};

VESMAR_WINDOW_TEST_MAIN(KeptControlsTest)
#include "kept_controls_test.moc"
