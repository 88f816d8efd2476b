#include <gtest/gtest.h>

#include "app/GloVar.h"

TEST(SharedState, InitDefaultsDerivesPlotRectangle)
{
    ResetSharedState();
    GloVar.ChartWidth = 800;
    GloVar.ChartHeight = 500;
    InitDefaults();
    EXPECT_EQ(GloVar.PlotLeft, 70);
    EXPECT_EQ(GloVar.PlotRight, 790);
    EXPECT_EQ(GloVar.PlotTop, 30);
    EXPECT_EQ(GloVar.PlotBottom, 460);
}
