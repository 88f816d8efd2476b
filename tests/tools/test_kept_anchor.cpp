// An anchor kept as its day, slot offset and price: the pixel worked out
// from it is the one clicked, and follows the day and price on another map.
#include <gtest/gtest.h>

#include "tools/ChartPoints.h"

namespace {
// 250 daily records on a 980 by 590 chart of 291 slots: slots 251 on are blank.
ChartMap Map(int plotRight = 970)
{
    ChartMap m;
    m.plotLeft = 70, m.plotTop = 30, m.plotRight = plotRight, m.plotBottom = 550;
    m.plotWidth = plotRight - 70, m.plotHeight = 520;
    m.slotCount = 291, m.totalSlots = 291;
    m.scaleBottom = 100, m.scaleRange = 52;
    return m;
}

std::vector<PriceRecord> Records()
{
    std::vector<PriceRecord> p(251);
    for (size_t k = 1; k < p.size(); ++k)
        p[k].Date = 45000 + double(k);
    return p;
}
} // namespace

TEST(KeptAnchor, AClickedAnchorStandsOnThePixelClicked)
{
    const ChartMap m = Map();
    const std::vector<PriceRecord> prices = Records();
    struct Row {
        const char* name;
        int x, y;
        std::optional<double> snapped;
        std::optional<double> day; // the day the anchor keeps
    } rows[] = {
        {"on a bar", m.slotToX(100), 300, std::nullopt, 45100},
        {"at a slot's edge", m.slotPositionToX(100.5), 301, std::nullopt, 45101},
        {"left of the plot", 12, 300, std::nullopt, 45001},
        {"below the plot", m.slotToX(20), 585, std::nullopt, 45020},
        {"on a blank slot past the records", m.slotToX(270), 200, std::nullopt, std::nullopt},
        {"snapped to a bar's price", m.slotToX(40), m.priceToY(137.37), 137.37, 45040},
    };
    for (const Row& r : rows) {
        const KeptAnchor a = AnchorAtPixel(m, prices, r.x, r.y, r.snapped);
        EXPECT_TRUE(a.placed) << r.name;
        EXPECT_EQ(a.date, r.day) << r.name;
        if (r.snapped) {
            EXPECT_EQ(a.price, *r.snapped) << r.name;
        }
        EXPECT_EQ(AnchorPixel(m, prices, a), QPoint(r.x, r.y)) << r.name;
    }
}

TEST(KeptAnchor, AMovedAnchorKeepsItsDayAndPriceWhileThePixelStandsOnThem)
{
    const ChartMap m = Map();
    const std::vector<PriceRecord> prices = Records();
    const KeptAnchor was = AnchorAtPixel(m, prices, m.slotToX(60), m.priceToY(130.25), 130.25);
    struct Row {
        const char* name;
        int x, y;
        double day;
        bool samePrice;
    } rows[] = {
        {"the same pixel", m.slotToX(60), m.priceToY(130.25), 45060, true},
        {"another row of the slot", m.slotToX(60), 200, 45060, false},
        {"another slot on the row", m.slotToX(61), m.priceToY(130.25), 45061, true},
    };
    for (const Row& r : rows) {
        const KeptAnchor a = AnchorMovedTo(m, prices, was, r.x, r.y);
        EXPECT_EQ(a.date, r.day) << r.name;
        EXPECT_EQ(a.price == was.price, r.samePrice) << r.name;
        EXPECT_EQ(AnchorPixel(m, prices, a), QPoint(r.x, r.y)) << r.name;
    }
    EXPECT_EQ(AnchorMovedTo(m, prices, was, m.slotToX(60), m.priceToY(130.25)), was);
}

TEST(KeptAnchor, ItsPixelFollowsItsDayAndPriceOnAnotherChart)
{
    const std::vector<PriceRecord> prices = Records();
    const KeptAnchor a = AnchorAtPixel(Map(), prices, Map().slotToX(100), 300, std::nullopt);
    struct Row {
        const char* name;
        ChartMap map;
        std::vector<PriceRecord> prices;
        Timeframe tf;
        std::optional<QPoint> pixel;
    };
    ChartMap taller = Map();
    taller.scaleRange = 104;
    std::vector<PriceRecord> later(prices.begin() + 51, prices.end()); // from 45051
    later.insert(later.begin(), PriceRecord{});
    std::vector<PriceRecord> weeks(1);
    for (double d = 44998; d < 45250; d += 7) { // 44998 is a Monday
        weeks.emplace_back();
        weeks.back().Date = d;
    }
    // The same place between slots, on the slot of its day.
    auto at = [&](const ChartMap& m, int slot) {
        return QPoint(m.slotPositionToX(slot + a.slotOffset), m.priceToY(a.price));
    };
    const Row rows[] = {
        {"narrower", Map(770), prices, Timeframe::Daily, at(Map(770), 100)},
        {"a wider price scale", taller, prices, Timeframe::Daily, at(taller, 100)},
        {"a later range", Map(), later, Timeframe::Daily, at(Map(), 50)},
        {"its week's bar", Map(), weeks, Timeframe::Weekly, at(Map(), 15)},
        {"its day not charted", Map(),
         std::vector<PriceRecord>(prices.begin(), prices.begin() + 90), Timeframe::Daily,
         std::nullopt},
    };
    for (const Row& r : rows)
        EXPECT_EQ(AnchorPixel(r.map, r.prices, a, r.tf), r.pixel) << r.name;
    EXPECT_EQ(at(Map(), 100), QPoint(Map().slotToX(100), 300)); // where it was clicked
    KeptAnchor off = a;
    off.placed = false;
    EXPECT_EQ(AnchorPixel(Map(), prices, off), std::nullopt);
}
