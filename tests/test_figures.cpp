#include <cmath>

#include "chart/ChartMap.h"
#include "tests/Support.h"
#include "tests/Trace.h"
#include "tools/FigureGeometry.h"
#include "tools/Figures.h"

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
    static bool Has(const std::vector<TraceLine>& all, int x1, int y1, int x2, int y2,
                    const char* style = nullptr)
    {
        for (const TraceLine& l : all)
            if (l.x1 == x1 && l.y1 == y1 && l.x2 == x2 && l.y2 == y2 &&
                (!style || l.pen.endsWith(QLatin1String(style))))
                return true;
        return false;
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

TEST_F(Figures, FanLinesEndHeightsAndCuts)
{
    s->P1BtnClick();
    Click(200, 100);
    Click(300, 300); // third point above P1
    auto fan = InColour(Draw(3), "0 0 0 1 dot");
    EXPECT_TRUE(Has(fan, 200, Bottom - 100, 980, Bottom - 709));
    EXPECT_TRUE(Has(fan, 200, Bottom - 100, 980, Bottom - 880));
    EXPECT_TRUE(Has(fan, 200, Bottom - 100, 980, Bottom - 1567));

    Click(300, 20); // below P1: the fan opens downward, cut at height 0
    fan = Draw(3);
    EXPECT_TRUE(Has(fan, 200, Bottom - 100, 328, Bottom));

    // Straight up and down angles draw a vertical line; 0 runs along P1's height.
    ASSERT_TRUE(
        s->ChartSetupAccept({QStringLiteral("90"), QStringLiteral("0"), QStringLiteral("270")}));
    Click(300, 300);
    fan = Draw(3);
    EXPECT_TRUE(Has(fan, 200, Bottom - 100, 200, GloVar.PlotTop));
    EXPECT_TRUE(Has(fan, 200, Bottom - 100, 980, Bottom - 100));
    EXPECT_TRUE(Has(fan, 200, Bottom - 100, 200, Bottom));
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

TEST_F(Figures, ExtensionCorrectionAndTimeLevels)
{
    Anchors(300, 100, 400, 200);
    auto lines = Draw(4);
    EXPECT_TRUE(Has(lines, 300, Bottom - 100, 400, Bottom - 200, "solid"));
    bool level = false;
    for (const TraceLine& l : lines)
        level |=
            l.y1 == Bottom - 262 && l.y2 == Bottom - 262 && l.pen.endsWith(QLatin1String("dot"));
    EXPECT_TRUE(level);
    Anchors(300, 200, 400, 100);
    lines = Draw(4);
    level = false;
    for (const TraceLine& l : lines)
        level |= l.y1 == Bottom - 38 && l.y2 == Bottom - 38;
    EXPECT_TRUE(level);

    Anchors(300, 100, 400, 200);
    lines = InColour(Draw(5), "128 0 0");
    EXPECT_TRUE(Has(lines, 300, Bottom - 138, 980, Bottom - 138, "solid"));
    EXPECT_TRUE(Has(lines, 300, Bottom - 162, 980, Bottom - 162, "solid"));
    int dotted = 0;
    for (const TraceLine& l : Draw(5))
        dotted += l.pen.endsWith(QLatin1String("dot")) ? 1 : 0;
    EXPECT_EQ(dotted, 0); // Ratio below 1
    s->RatioBtnClick();
    s->RatioBtnClick(); // Ratio = Phi, redrawn at once
    ASSERT_NEAR(GloVar.Ratio, GloVar.Phi, 1e-12);
    lines = Draw(5);
    std::vector<int> dots;
    for (const TraceLine& l : lines)
        if (l.pen.endsWith(QLatin1String("dot")) && l.y1 == l.y2)
            dots.push_back(Bottom - l.y1);
    EXPECT_NE(std::find(dots.begin(), dots.end(), 138), dots.end());
    EXPECT_NE(std::find(dots.begin(), dots.end(), 162), dots.end());
    // The marker of the third point that follows has solid lines again.
    EXPECT_TRUE(lines.back().pen.endsWith(QLatin1String("solid")));

    GloVar.Ratio = 1 / GloVar.Phi;
    Anchors(300, 100, 400, 200);
    lines = Draw(6);
    bool at462 = false, at238 = false;
    for (const TraceLine& l : lines)
        at462 |= l.x1 == 462 && l.x2 == 462;
    Anchors(400, 100, 300, 200);
    for (const TraceLine& l : Draw(6))
        at238 |= l.x1 == 238 && l.x2 == 238;
    EXPECT_TRUE(at462);
    EXPECT_TRUE(at238);
}

TEST_F(Figures, ChannelLinesAndTheirExchange)
{
    for (bool swapped : {false, true}) {
        if (swapped)
            Anchors(300, 200, 100, 100);
        else
            Anchors(100, 100, 300, 200);
        Click(200, 250);
        auto lines = InColour(Draw(7), "128 0 128");
        ASSERT_EQ(lines.size(), 3u) << swapped;
        EXPECT_TRUE(Has(lines, 100, Bottom - 100, 980, Bottom - 540, "dashdot")) << swapped;
        EXPECT_TRUE(Has(lines, 100, Bottom - 200, 980, Bottom - 640, "dash")) << swapped;
        EXPECT_TRUE(Has(lines, 100, Bottom - 38, 980, Bottom - 478, "dot")) << swapped;
    }
    // A level base line with the third point 50 above: the PHI line 81 above it.
    Anchors(100, 100, 300, 100);
    Click(200, 150);
    EXPECT_TRUE(Has(Draw(7), 100, Bottom - 181, 980, Bottom - 181, "dot"));
    // P1 and P2 on one column: a beep and no channel.
    Anchors(100, 100, 100, 200);
    prompts.events.clear();
    EXPECT_TRUE(InColour(Draw(7), "128 0 128").empty());
    EXPECT_EQ(prompts.events, QStringList(QStringLiteral("beep")));
}

TEST_F(Figures, SpiralSegmentsAndStartAngles)
{
    Anchors(400, 200, 500, 200);
    GloVar.Ratio = 1;
    auto spiral = InColour(Draw(1), "0 0 255");
    EXPECT_EQ(spiral.size(), 125u); // a circle, open just before P2
    ASSERT_FALSE(spiral.empty());
    EXPECT_EQ(spiral.front().x1, 500);
    EXPECT_EQ(spiral.front().y1, Bottom - 200);
    EXPECT_NE(spiral.back().y2, Bottom - 200);

    // Start angles for P2 above, below and left of P1.
    EXPECT_DOUBLE_EQ(DirectionAngle(0, 5, GloVar.Pi), GloVar.Pi / 2);
    EXPECT_DOUBLE_EQ(DirectionAngle(0, -5, GloVar.Pi), -GloVar.Pi / 2);
    const double left = DirectionAngle(-3, 2, GloVar.Pi);
    EXPECT_GT(left, GloVar.Pi / 2);
    EXPECT_LT(left, 3 * GloVar.Pi / 2);

    GloVar.Ratio = 1 / GloVar.Phi;
    Anchors(400, 200, 400, 200); // P2 on P1: nothing, no message
    prompts.events.clear();
    EXPECT_TRUE(InColour(Draw(1), "0 0 255").empty());
    EXPECT_TRUE(prompts.events.isEmpty());
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
    s->DirBtnClick();
    // An ellipse grown far past the image keeps its far end saturated, not wrapped.
    GloVar.EllipseRadius = 1e7;
    DrawEllipse(s->chart);
    EXPECT_EQ(GloVar.EllipseEndX, std::numeric_limits<int16_t>::max());
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
