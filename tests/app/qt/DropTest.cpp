// Drops as Qt delivers them: URLs that name no local file, the action the drag offers, and a
// container only FFmpeg reads.
#include "FormFixture.h"

#include "toolkit/qt/Peer.h"

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

namespace {

const String kMissing = "Diese Szene ist nicht vorhanden";
const String kOnlyLocal = "Nur lokale Dateien lassen sich öffnen";

// Drags a URL onto the window as the platform does (enter, then drop); true when both were taken.
bool Drop(TForm1& form, const QUrl& url) {
    QMimeData data;
    data.setUrls({url});
    QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(QtWidget(&form), &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent drop(QPointF(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(QtWidget(&form), &drop);
    return drop.isAccepted();
}

struct DropCase {
    const char* name;
    QUrl url;
    int frames;                   // loaded afterwards
    std::vector<String> messages; // message boxes, in order
};

void PrintTo(const DropCase& c, std::ostream* os) {
    *os << c.name;
}

class QtDrop : public FormTest, public ::testing::WithParamInterface<DropCase> {};

TEST_P(QtDrop, OpensOrSaysWhyNot) {
    const DropCase& c = GetParam();
    Make();
    ASSERT_TRUE(Drop(*form, c.url));
    EXPECT_FALSE(form->OpenRequested());
    app.ProcessMessages();
    EXPECT_EQ(form->FrameCount(), c.frames);
    EXPECT_EQ(form->SceneLoaded(), c.frames > 0);
    EXPECT_EQ(messages, c.messages);
    EXPECT_TRUE(errors.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Table, QtDrop,
    ::testing::Values(
        DropCase{"mp4Mpeg4Part2",
                 QUrl::fromLocalFile(QString::fromStdString(Fixture("mp4_mpeg4_10.mp4"))),
                 10,
                 {}},
        // A phone or a network share in a file manager hands out URLs that are no local path.
        DropCase{"phoneUrl", QUrl(QStringLiteral("mtp://Phone/DCIM/clip.mp4")), 0, {kOnlyLocal}},
        DropCase{"webUrl", QUrl(QStringLiteral("https://example.org/clip.avi")), 0, {kOnlyLocal}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FormTest, DropOfARemoteUrlKeepsTheScene) {
    Make();
    ASSERT_TRUE(ui::DropFiles(*form, {Fixture(kScenes.Ten)}));
    app.ProcessMessages();
    ASSERT_EQ(form->FrameCount(), 10);
    Drop(*form, QUrl(QStringLiteral("sftp://host/clip.avi")));
    app.ProcessMessages();
    EXPECT_EQ(messages, std::vector<String>{kOnlyLocal});
    EXPECT_EQ(form->FrameCount(), 10);
}

// A file manager deletes the original after a drop answered with a move.
TEST_F(FormTest, DropIsTakenAsACopyEvenWhenAMoveIsProposed) {
    Make();
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(Fixture(kScenes.Two)))});
    const Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction;
    QDragEnterEvent enter(QPoint(100, 100), offered, &data, Qt::LeftButton, Qt::ShiftModifier);
    enter.setDropAction(Qt::MoveAction);
    QApplication::sendEvent(QtWidget(form.get()), &enter);
    EXPECT_TRUE(enter.isAccepted());
    EXPECT_EQ(enter.dropAction(), Qt::CopyAction);
    QDropEvent drop(QPointF(100, 100), offered, &data, Qt::LeftButton, Qt::ShiftModifier);
    drop.setDropAction(Qt::MoveAction);
    QApplication::sendEvent(QtWidget(form.get()), &drop);
    EXPECT_TRUE(drop.isAccepted());
    EXPECT_EQ(drop.dropAction(), Qt::CopyAction);
    app.ProcessMessages();
    EXPECT_EQ(form->FrameCount(), 2);
}

} // namespace
