// On a log price axis a level is drawn at its own price: extensions and
// corrections are worked out in linear prices and each line put on the axis.
#include <cmath>

#include "app/session/SharedInputs.h"
#include "chart/ChartMap.h"
#include "tests/Support.h"
#include "tools/FigureValues.h"

namespace {
class LogLevels : public SessionTest {
protected:
    void SetUp() override
    {
        SessionTest::SetUp();
        OpenWeekdays(300);
        s->PlotBtnClick();
        ASSERT_TRUE(s->GloVar.ChartShown);
    }
    void DrawAt(int type, QPoint p1, QPoint p2)
    {
        Anchors(p1, p2);
        s->ChooseChartType(type);
        s->DrawBtnClick();
    }
};
} // namespace

TEST_F(LogLevels, EachLevelLiesAtItsPriceOnEitherScale)
{
    const struct {
        const char* name;
        int type;
        QPoint p1, p2;
    } rows[] = {
        {"extensions of a rise", 4, {300, 480}, {500, 300}},
        {"extensions of a fall", 4, {300, 100}, {500, 300}},
        {"corrections of a rise", 5, {250, 500}, {700, 80}},
        {"corrections of a fall", 5, {250, 80}, {700, 500}},
    };
    for (bool log : {false, true}) {
        ASSERT_TRUE(s->LogScaleClick(log));
        const ChartMap map = CurrentChartMap(s->GloVar);
        ASSERT_EQ(map.logScale, log);
        for (const auto& row : rows) {
            const std::string name = std::string(row.name) + (log ? ", log" : ", linear");
            DrawAt(row.type, row.p1, row.p2);
            int levels = 0;
            for (const FigureElement& e : s->currentElements()) {
                if (e.shape != ElementShape::Level || !e.price || e.lines.empty())
                    continue;
                const int y = e.lines.front().y1;
                if (!(map.plotTop < y && y <= map.plotBottom))
                    continue;
                EXPECT_NEAR(y, map.priceToY(*e.price), 1) << name << ": " << e.name.toStdString();
                ++levels;
            }
            EXPECT_GE(levels, 1) << name;
            s->EraseBtnClick();
        }
    }
}
