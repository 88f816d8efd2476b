#include <cmath>

#include "chart/ChartMap.h"
#include "tests/Support.h"
#include "tests/Trace.h"
#include "tools/FigureGeometry.h"
#include "tools/FigureTable.h"

namespace {
constexpr int Bottom = 550; // PlotBottom of a 980 by 590 chart

class Figures : public SessionTest {
protected:
    void SetUp() override
    {
        SessionTest::SetUp();
        OpenWeekdays(400);
        s->PlotBtnClick();
        ASSERT_TRUE(GloVar.ChartShown);
        rec = std::make_unique<Recorder>(s->chart);
    }
    // Clicks at column x and height h above PlotBottom.
    void Click(int x, int h)
    {
        s->Image1MouseDown(MouseButton::Left, x, Bottom - h), s->Image1MouseUp();
    }
    void Anchors(int x1, int h1, int x2, int h2)
    {
        s->P1BtnClick();
        Click(x1, h1);
        s->P2BtnClick();
        Click(x2, h2);
    }
    std::vector<TraceLine> Draw(int type)
    {
        s->ChooseChartType(type);
        rec->clear();
        s->DrawBtnClick();
        return rec->lines();
    }
    // Lines drawn with a pen of this colour ("R G B").
    static std::vector<TraceLine> InColour(const std::vector<TraceLine>& all, const char* rgb)
    {
        std::vector<TraceLine> out;
        for (const TraceLine& l : all)
            if (l.pen.startsWith(QLatin1String(rgb)))
                out.push_back(l);
        return out;
    }
    std::unique_ptr<Recorder> rec;
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
    Click(200, 100);
    s->ChooseChartType(1);
    s->DrawBtnClick();
    EXPECT_EQ(prompts.events,
              QStringList({QStringLiteral("beep"),
                           QStringLiteral("message:Information:P2 point not clicked!")}));
    EXPECT_EQ(s->ui.caption, GloVar.TitleText + QStringLiteral("  -  PHI - SPIRAL"));
}

TEST_F(Figures, FanAnglesDialogChecksAllThreeFirst)
{
    EXPECT_FALSE(
        s->ChartSetupAccept({QStringLiteral("40"), QStringLiteral("x1"), QStringLiteral("50")}));
    EXPECT_EQ(prompts.events,
              QStringList(QStringLiteral("error:'x1' is not a valid floating point value")));
    EXPECT_EQ(GloVar.FanAngle1, 38);
    EXPECT_FALSE(QFile::exists(s->SettingsPath()));
    ASSERT_TRUE(s->ChartSetupAccept(
        {QStringLiteral("40.0"), QStringLiteral("61,8"), QStringLiteral("45")}));
    QFile f(s->SettingsPath());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().endsWith("\r\n40\r\n61.8\r\n45\r\n,\r\n"));
}

TEST_F(Figures, EllipseOpensAtTheFarEndAndGrows)
{
    Anchors(300, 200, 500, 200);
    auto first = InColour(Draw(2), "0 128 0");
    ASSERT_FALSE(first.empty());
    EXPECT_DOUBLE_EQ(GloVar.EllipseRadius, 100);
    int minX = 10000, maxX = -1;
    for (const TraceLine& l : first)
        minX = std::min({minX, l.x1, l.x2}), maxX = std::max({maxX, l.x1, l.x2});
    EXPECT_EQ(minX, 300);
    EXPECT_LE(maxX, 500);
    EXPECT_GE(maxX, 499);
    // Flatness from RATIO: b / a read off the outline's height across the axis.
    const std::pair<double, double> flatness[] = {{-4, 0.9242}, {-3, 0.8740}, {-2, 0.7862},
                                                  {-1, 0.6180}, {0, 1.0},     {1, 0.7862},
                                                  {2, 0.6180},  {3, 0.4859},  {4, 0.3820}};
    for (const auto& [power, ratio] : flatness) {
        GloVar.Ratio = std::pow(GloVar.Phi, power);
        GloVar.LastEllipseRatio = -1; // a fresh ellipse of a = 100
        int top = 10000, bottom = -1;
        for (const TraceLine& l : InColour(Draw(2), "0 128 0"))
            top = std::min({top, l.y1, l.y2}), bottom = std::max({bottom, l.y1, l.y2});
        EXPECT_NEAR((bottom - top) / 200.0, ratio, 0.011) << power;
    }
    GloVar.Ratio = 1 / GloVar.Phi;
    Draw(2);
    // Drawing again with nothing changed grows it by half a slot's diagonal.
    Draw(2);
    const double step = std::sqrt(GloVar.BarSpacing * GloVar.BarSpacing + 1) / 2;
    EXPECT_NEAR(GloVar.EllipseRadius, 100 + step, 1e-9);
    // DIR -1 shrinks it through P1 and out the other side; nothing wraps.
    s->DirBtnClick();
    for (int i = 0; i < 200; ++i)
        Draw(2);
    EXPECT_LT(GloVar.EllipseRadius, 0);
}

TEST(FigureTable, OneRowPerMenuNumberWithItsCaptionAndKey)
{
    const std::pair<int, const char*> captions[] = {
        {1, "PHI - SPIRAL"}, {2, "PHI - ELLIPSE"},      {3, "FAN LINES"},     {4, "EXTENSIONS"},
        {5, "CORRECTIONS"},  {6, "TIME GOAL ANALYSIS"}, {7, "PHI - CHANNEL"}, {8, "ARCS"}};
    ASSERT_EQ(FigureKinds().size(), std::size(captions));
    for (const auto& [number, caption] : captions) {
        const FigureKind* k = FigureKindOf(number);
        ASSERT_NE(k, nullptr) << number;
        EXPECT_STREQ(k->caption, caption);
        EXPECT_EQ(FigureKindNamed(k->key), k) << k->key;
        EXPECT_EQ(k->inMenu, number != 3 && number != 8) << number;
    }
    for (int none : {0, -1, 9})
        EXPECT_EQ(FigureKindOf(none), nullptr) << none;
    EXPECT_EQ(FigureKindNamed("no such figure"), nullptr);
    EXPECT_EQ(LiveFigureKind().number, 2);
}

TEST_F(Figures, ArcsCrossTheAnchorLineAtTheRatios)
{
    Anchors(400, 100, 400, 300); // P2 straight above P1, D = 200
    std::vector<TraceLine> arcs;
    for (const TraceLine& l : Draw(8))
        if (l.pen == QLatin1String("255 0 0 1 solid"))
            arcs.push_back(l);
    ASSERT_GE(arcs.size(), 4u * 28);
    EXPECT_LE(arcs.size(), 4u * 29);
    // Crossings: 0.618 D and 1.618 D beyond P2 (heights 424, 624), the same beyond P1.
    for (int h : {424, 624, -24, -224}) {
        bool found = false;
        for (const TraceLine& l : arcs)
            found |= std::abs(l.x1 - 400) <= 12 && std::abs((Bottom - l.y1) - h) <= 1;
        EXPECT_TRUE(found) << h;
    }
    s->DirBtnClick();
    s->RatioBtnClick();
    std::vector<TraceLine> again;
    for (const TraceLine& l : Draw(8))
        if (l.pen == QLatin1String("255 0 0 1 solid"))
            again.push_back(l);
    ASSERT_EQ(again.size(), arcs.size()); // DIR and RATIO do not change arcs
    EXPECT_EQ(again.front().x1, arcs.front().x1);
    EXPECT_EQ(again.back().y2, arcs.back().y2);
}
