#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QRegularExpression>

#include "ABOUT.h"
#include "ClientState.h"
#include "ClientWindows.h"
#include "Dialogs.h"

namespace {

class AboutBoxTest : public ClientWindowTest {
protected:
    void SetUp() override
    {
        ClientWindowTest::SetUp();
        AboutBox->move(400, 300);
        AboutBox->show();
    }
    void TearDown() override
    {
        AboutBox->CursorPos = [] { return QPoint(); };
        ClientWindowTest::TearDown();
    }

    // The one picture visible after a tick with the pointer at `pointer`; 0 when not exactly one.
    int pictureAt(QPoint pointer)
    {
        AboutBox->CursorPos = [pointer] { return pointer; };
        AboutBox->Timer1Timer();
        int shown = 0;
        for (int i = 0; i < 9; ++i) {
            if (AboutBox->Images[i]->isHidden())
                continue;
            if (shown)
                return 0;
            shown = i + 1;
        }
        return shown;
    }

    // The reference rectangle's top-left corner on the screen.
    QPoint origin() const { return AboutBox->frameGeometry().topLeft() + AboutBox->Images[0]->pos(); }
};

TEST_F(AboutBoxTest, ThePointersRegionChoosesThePicture)
{
    const QPoint o = origin();
    EXPECT_EQ(pictureAt(o - QPoint(500, 500)), 1);
    EXPECT_EQ(pictureAt(o + QPoint(50, 50)), 5);
    EXPECT_EQ(pictureAt(o + QPoint(0, 0)), 5);
    EXPECT_EQ(pictureAt(o + QPoint(99, 99)), 5);
    EXPECT_EQ(pictureAt(o + QPoint(100, 50)), 6);  // x = x0 + w is already the right column
    EXPECT_EQ(pictureAt(o + QPoint(-1, 100)), 7);
    EXPECT_EQ(pictureAt(o + QPoint(1000, 1000)), 9);
}

TEST_F(AboutBoxTest, ThePanelOffsetIsNotPartOfTheRectangle)
{
    // The lower part of the drawn picture lies below the rectangle, which leaves out the panel's offset.
    const QPoint lowerPart = AboutBox->Images[4]->mapToGlobal(QPoint(50, 96));
    ASSERT_GE(lowerPart.y(), origin().y() + 100);
    EXPECT_EQ(pictureAt(lowerPart), 8);
}

TEST_F(AboutBoxTest, TheTimerKeepsChoosingWhileTheBoxIsHidden)
{
    ASSERT_EQ(pictureAt(origin() - QPoint(500, 500)), 1);
    AboutBox->hide();
    const QPoint belowRight = origin() + QPoint(1000, 1000);
    AboutBox->CursorPos = [belowRight] { return belowRight; };
    ASSERT_TRUE(waitUntil([] { return AboutBox->Images[8]->isVisibleTo(AboutBox->Panel1); }));
    for (int i = 0; i < 8; ++i)
        EXPECT_FALSE(AboutBox->Images[i]->isVisibleTo(AboutBox->Panel1)) << "Image" << i + 1;
}

TEST_F(AboutBoxTest, ALeftClickOnTheLinkOpensTheProgramPage)
{
    auto release = [](Qt::MouseButton button, QPoint at) {
        QMouseEvent event(QEvent::MouseButtonRelease, at, AboutBox->Comments->mapToGlobal(at), button, Qt::NoButton,
                          Qt::NoModifier);
        QApplication::sendEvent(AboutBox->Comments, &event);
    };
    release(Qt::RightButton, QPoint(10, 10));
    release(Qt::LeftButton, QPoint(-10, 10));  // pressed on the link, released beside it
    EXPECT_TRUE(dialogs.opened.empty());
    release(Qt::LeftButton, QPoint(10, 10));
    ASSERT_EQ(dialogs.opened.size(), 1u);
    EXPECT_TRUE(QRegularExpression("^https://[^/]+/product\\.php\\?id=73$")
                    .match(QString::fromStdString(dialogs.opened[0]))
                    .hasMatch())
        << dialogs.opened[0];
}

}  // namespace
