// Draw and the fan angles through the handlers; the figures' own lines are
// in the geometry tests.
#include "tests/Support.h"
#include "tools/FigureTable.h"

namespace {
class Figures : public SessionTest {
protected:
    void SetUp() override
    {
        SessionTest::SetUp();
        OpenWeekdays(400);
        s->PlotBtnClick();
        ASSERT_TRUE(s->GloVar.ChartShown);
    }
};
} // namespace

TEST_F(Figures, DrawRefusesWithoutTypeOrP2)
{
    s->DrawBtnClick();
    ASSERT_EQ(prompts.events.size(), 2);
    EXPECT_EQ(prompts.events[0], QStringLiteral("beep"));
    EXPECT_TRUE(prompts.events[1].startsWith(
        QStringLiteral("message:Information:NO Chart type is selected!\r\rClick right mouse")));
    prompts.events.clear();
    s->P1BtnClick();
    s->Image1MouseDown(MouseButton::Left, 200, 450);
    s->Image1MouseUp();
    s->ChooseChartType(FigureNamed("spiral"));
    s->DrawBtnClick();
    EXPECT_EQ(prompts.events,
              QStringList({QStringLiteral("beep"),
                           QStringLiteral("message:Information:P2 point not clicked!")}));
    EXPECT_EQ(s->ui.caption, s->GloVar.TitleText + QStringLiteral("  -  PHI - SPIRAL"));
}

// The refused text itself is the script test's; here nothing is kept of a
// refused set, not even the angles before the bad one.
TEST_F(Figures, FanAnglesDialogChecksAllThreeFirst)
{
    EXPECT_FALSE(
        s->ChartSetupAccept({QStringLiteral("40"), QStringLiteral("x1"), QStringLiteral("50")}));
    EXPECT_EQ(s->GloVar.FanAngle1, 38);
    EXPECT_FALSE(QFile::exists(s->SettingsPath()));
    ASSERT_TRUE(s->ChartSetupAccept(
        {QStringLiteral("40.0"), QStringLiteral("61,8"), QStringLiteral("45")}));
    QFile f(s->SettingsPath());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().endsWith("\r\n40\r\n61.8\r\n45\r\n,\r\n"));
}

// The demo draws repeats that grow; none shrinks an ellipse past P1.
TEST_F(Figures, AShrinkingEllipsePassesThroughP1AndOnWithoutWrapping)
{
    s->P1BtnClick();
    s->Image1MouseDown(MouseButton::Left, 300, 350), s->Image1MouseUp();
    s->P2BtnClick();
    s->Image1MouseDown(MouseButton::Left, 500, 350), s->Image1MouseUp();
    s->ChooseChartType(FigureNamed("ellipse"));
    s->DrawBtnClick();
    EXPECT_DOUBLE_EQ(s->GloVar.EllipseRadius, 100);
    s->DirBtnClick();
    for (int i = 0; i < 200; ++i)
        s->DrawBtnClick();
    EXPECT_LT(s->GloVar.EllipseRadius, -100);
}

// Studies written by hand name their figures by key instead of number.
TEST(FigureTable, KeysAndNumbersFindTheirRowAndNothingElse)
{
    for (const FigureKind& k : FigureKinds()) {
        EXPECT_EQ(FigureKindNamed(k.key), &k) << k.key;
        EXPECT_EQ(FigureKindOf(k.number), &k) << k.key;
    }
    for (int none : {0, -1, 9})
        EXPECT_EQ(FigureKindOf(none), nullptr) << none;
    EXPECT_EQ(FigureKindNamed("no such figure"), nullptr);
}
