// The Qt back end's painting of a tick: which widgets paint, and in how many passes.
#include "FormFixture.h"

#include "toolkit/qt/Peer.h"

#include <QEvent>
#include <QWidget>

#include <map>

namespace {

// Counts the paints of some widgets and the paint passes of their window.
struct PaintCounter : QObject {
    std::map<QObject*, int> paints;
    int passes = 0;
    QObject* window;
    PaintCounter(QWidget* top, std::initializer_list<QWidget*> watched) : window(top) {
        top->installEventFilter(this);
        for (QWidget* w : watched) {
            paints[w] = 0;
            w->installEventFilter(this);
        }
    }
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::Paint && paints.count(o))
            ++paints[o];
        if (e->type() == QEvent::UpdateRequest && o == window)
            ++passes;
        return false;
    }
};

// A tick only schedules its paints; the event loop it runs from (the program's, a box's or the
// loader's yield) paints the picture and the slider in one pass, and a frame smaller than the
// area paints the uncovered strip itself, so the panel under it is not painted.
TEST_F(FormTest, TickPaintsPictureAndSliderInOnePass) {
    Make();
    Open(Fixture(kScenes.Ten)); // 64 x 48
    ASSERT_TRUE(ui::ShowAndWait(*form));
    Tick(2);
    app.ProcessMessages();
    QWidget* image = QtWidget(form->Image3);
    QWidget* slider = QtWidget(form->TrackBar1);
    QWidget* panel = QtWidget(form->Panel3);
    PaintCounter counter(QtWidget(form.get()), {image, slider, panel});
    Tick(); // frame 2, slider 1 -> 2
    EXPECT_EQ(counter.paints[image], 0);
    app.ProcessMessages();
    EXPECT_EQ(counter.paints[image], 1);
    EXPECT_EQ(counter.paints[slider], 1);
    EXPECT_EQ(counter.paints[panel], 0);
    EXPECT_EQ(counter.passes, 1);
    EXPECT_EQ(Shown(), 2);
    const auto shot = Rendered();
    EXPECT_EQ(shot.At(64, 24), clWhite);
    EXPECT_EQ(shot.At(500, 500), clWhite);
}

} // namespace
