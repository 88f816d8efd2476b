// The days a figure's slots stand for on bars of several days: counted in
// the file's own trading days from P1's (a holiday left out of the file is
// skipped), weekdays past the file's end, and nothing on daily bars or when
// the file's days are not known.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "app/session/FigureFrames.h"
#include "data/RecordDates.h"

namespace {
double Day(const char* iso)
{
    return *DayFromIsoText(QString::fromLatin1(iso));
}

// Three weeks of records, Monday 1 January 2024 on, without Wednesday the 10th.
RecordDates ThreeWeeks()
{
    RecordDates dates;
    for (const char* d : {"2024-01-01", "2024-01-02", "2024-01-03", "2024-01-04", "2024-01-05",
                          "2024-01-08", "2024-01-09", "2024-01-11", "2024-01-12", "2024-01-15",
                          "2024-01-16", "2024-01-17", "2024-01-18", "2024-01-19"})
        dates.days.push_back(Day(d));
    return dates;
}

// The weeks of those records as bars 1 to 3 (slot 0 is none).
std::vector<PriceRecord> WeekBars()
{
    std::vector<PriceRecord> bars(4);
    bars[1].Date = Day("2024-01-01");
    bars[2].Date = Day("2024-01-08");
    bars[3].Date = Day("2024-01-15");
    return bars;
}

// Those bars shown, on the timeframe given.
FrameView WeekView(const std::vector<PriceRecord>& bars, Timeframe tf,
                   const std::optional<RecordDates>& dates)
{
    ChartMap shown;
    shown.totalSlots = 3;
    return FrameView{.shown = shown,
                     .scaleInput = {},
                     .input = {},
                     .prices = bars,
                     .p1Date = {},
                     .p2Date = {},
                     .timeframe = tf,
                     .recordDates = dates};
}

struct SlotDayCase {
    const char* name;
    Timeframe timeframe;
    bool datesKnown;
    const char* p1;
    double slot;
    const char* expected; // nullptr: no day
};

void PrintTo(const SlotDayCase& c, std::ostream* os)
{
    *os << c.name;
}

std::string RowName(const ::testing::TestParamInfo<SlotDayCase>& info)
{
    return info.param.name;
}
} // namespace

class FigureSlotDay : public ::testing::TestWithParam<SlotDayCase> {};

TEST_P(FigureSlotDay, CountsTheFilesTradingDaysFromP1)
{
    const SlotDayCase& c = GetParam();
    const std::vector<PriceRecord> bars = WeekBars();
    const std::optional<RecordDates> dates =
        c.datesKnown ? std::optional(ThreeWeeks()) : std::nullopt;
    const FrameView view = WeekView(bars, c.timeframe, dates);
    StudyFigure f;
    f.p1.date = Day(c.p1);
    const std::optional<double> day = FigureFrames::DayOfFigureSlot(f, c.slot, view);
    if (!c.expected)
        EXPECT_FALSE(day.has_value()) << IsoText(day).toStdString();
    else
        EXPECT_EQ(IsoText(day), QString::fromLatin1(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    SessionParts, FigureSlotDay,
    ::testing::Values(
        SlotDayCase{"P1sOwnBar", Timeframe::Weekly, true, "2024-01-03", 1, "2024-01-03"},
        SlotDayCase{"AShareOfABar", Timeframe::Weekly, true, "2024-01-03", 1.4, "2024-01-05"},
        SlotDayCase{"NextBarSkipsTheHoliday", Timeframe::Weekly, true, "2024-01-03", 2,
                    "2024-01-11"},
        SlotDayCase{"AnEarlierBar", Timeframe::Weekly, true, "2024-01-17", 2, "2024-01-09"},
        SlotDayCase{"PastTheFileInWeekdays", Timeframe::Weekly, true, "2024-01-03", 5,
                    "2024-02-01"},
        SlotDayCase{"DailyBarsGiveNone", Timeframe::Daily, true, "2024-01-03", 2, nullptr},
        SlotDayCase{"UnknownDaysGiveNone", Timeframe::Weekly, false, "2024-01-03", 2, nullptr},
        SlotDayCase{"P1OffTheChart", Timeframe::Weekly, true, "2024-02-07", 2, nullptr},
        SlotDayCase{"NoNumberSlot", Timeframe::Weekly, true, "2024-01-03",
                    std::numeric_limits<double>::quiet_NaN(), nullptr}),
    RowName);

// A line from anchor to anchor on weekly bars ends on the anchors' own days,
// not on their bars' first days.
TEST(SessionParts, AnAnchorsBarIsDatedByTheAnchor)
{
    const std::vector<PriceRecord> bars = WeekBars();
    const std::optional<RecordDates> dates = ThreeWeeks();
    FrameView view = WeekView(bars, Timeframe::Weekly, dates);
    StudyFigure f;
    f.p1.date = Day("2024-01-03");
    f.p2.date = Day("2024-01-18");
    EXPECT_EQ(IsoText(FigureFrames::AnchorDayOfSlot(f, 1, view)), "2024-01-03");
    EXPECT_EQ(IsoText(FigureFrames::AnchorDayOfSlot(f, 3, view)), "2024-01-18");
    EXPECT_FALSE(FigureFrames::AnchorDayOfSlot(f, 2, view));
    view.timeframe = Timeframe::Daily;
    EXPECT_FALSE(FigureFrames::AnchorDayOfSlot(f, 1, view));
}
