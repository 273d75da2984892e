#include "FormFixture.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

namespace {

TEST_F(FormTest, VollbildGivenTwiceEntersOnceAndCoversTheScreen) {
    Make({QStringLiteral("-vollbild"), QStringLiteral("-vollbild")});
    EXPECT_TRUE(QtWidget(form.get())->windowFlags() & Qt::FramelessWindowHint); // from FormCreate
    ShowMain();
    ASSERT_TRUE(form->FullScreen());
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const int w = std::max(screen.width(), 560), h = std::max(screen.height(), 660);
    EXPECT_EQ(QtWidget(form.get())->geometry(), QRect(screen.topLeft(), QSize(w, h)));
    EXPECT_EQ(QtWidget(form->Panel1)->pos(), QPoint(w / 2 - 269, h / 2 - 322));
    const QRect before = QtWidget(form.get())->geometry();
    form->setfullscreen(true); // the current mode: nothing changes
    EXPECT_EQ(QtWidget(form.get())->geometry(), before);
}

TEST_F(FormTest, FullScreenIsOnScreenDuringTheDecode) {
    Make({QStringLiteral("-vollbild"), Fixture("raw24_10.avi")});
    bool visibleDuringDecode = false;
    form->Timer1->OnTimer = nullptr;
    auto* probe = new QTimer(QtWidget(form.get()));
    probe->setInterval(0);
    QObject::connect(probe, &QTimer::timeout, QtWidget(form.get()), [&] {
        if (form->Decoding())
            visibleDuringDecode = visibleDuringDecode || QtWidget(form.get())->isVisible();
    });
    probe->start();
    ShowMain();
    EXPECT_TRUE(visibleDuringDecode);
    EXPECT_EQ(form->FrameCount(), 10);
}

TEST_F(FormTest, LeavingFullScreenRestoresGeometryAndState) {
    Make();
    ShowMain();
    const QRect before = QtWidget(form.get())->frameGeometry();
    const Qt::WindowFlags flags = QtWidget(form.get())->windowFlags();
    form->setfullscreen(true);
    EXPECT_TRUE(QtWidget(form.get())->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_NE(QtWidget(form.get())->frameGeometry(), before);
    form->setfullscreen(false);
    EXPECT_FALSE(form->FullScreen());
    EXPECT_EQ(QtWidget(form.get())->windowFlags(), flags);
    EXPECT_EQ(QtWidget(form.get())->frameGeometry(), before);
    EXPECT_EQ(form->WindowState(), TWindowState::Normal);
    EXPECT_TRUE(QtWidget(form.get())->isVisible());
}

} // namespace
