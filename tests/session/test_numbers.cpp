// Numbers a trader reads off the chart: the bar under the cursor, exact
// snapped prices, and record ranges chosen by date.
#include "app/session/SharedInputs.h"
#include "chart/ChartMap.h"
#include "chart/Readout.h"
#include "data/Dates.h"
#include "data/RecordDates.h"
#include "tests/Support.h"
#include "tests/Trace.h"
#include "tools/FigureValues.h"

#include <QSet>

namespace {
// Mon 10 Feb 2025 to Wed 19 Feb 2025 without Monday 17 (a holiday).
const char* const HolidayWeek = "Date,Open,High,Low,Close\n"
                                "02/10/2025,160.00,161.50,159.25,161.00\n"
                                "02/11/2025,161.00,163.10,160.40,162.75\n"
                                "02/12/2025,162.00,163.00,161.00,162.50\n"
                                "02/13/2025,163.00,166.20,162.90,165.80\n"
                                "02/14/2025,168.10,170.02,166.95,167.88\n"
                                "02/18/2025,167.00,168.00,165.00,166.00\n"
                                "02/19/2025,166.00,169.00,165.50,168.50\n";

class Numbers : public SessionTest {
protected:
    void PlotHolidayWeek(bool holidaySpace, int blankDays)
    {
        Open(WriteFile(dir, QStringLiteral("week.txt"), HolidayWeek));
        s->LeaveSpaceClick(holidaySpace);
        ASSERT_EQ(s->DatesAccept(QStringLiteral("1"), QString::number(s->GloVar.RecordCount),
                                 QString::number(blankDays)),
                  DatesAnswer::Taken);
        s->PlotBtnClick();
        ASSERT_TRUE(s->GloVar.ChartShown);
    }
    // The bar panel with the pointer over slot k, halfway up the plot.
    QString BarAt(int slot)
    {
        const ChartMap map = CurrentChartMap(s->GloVar);
        s->Image1MouseMove(map.slotToX(slot), (map.plotTop + map.plotBottom) / 2);
        return s->ui.panels[PanelBar];
    }
};
} // namespace

TEST_F(Numbers, BarUnderTheCursorAtABarAHolidayAndABlankSlot)
{
    PlotHolidayWeek(true, 2);
    // Slots: Mon 10 .. Fri 14, (Mon 17), Tue 18, Wed 19, then two blank days.
    ASSERT_EQ(s->GloVar.LoadedCount, 8);
    EXPECT_EQ(BarAt(5), QStringLiteral("Fri 14 Feb 2025  O 168.10  H 170.02  L 166.95  C 167.88"));
    EXPECT_EQ(BarAt(6), QStringLiteral("Mon 17 Feb 2025"));
    EXPECT_EQ(BarAt(9), QStringLiteral("Thu 20 Feb 2025"));
    const ChartMap map = CurrentChartMap(s->GloVar);
    s->Image1MouseMove(map.plotLeft, map.plotTop + 5); // on the axis: outside
    EXPECT_TRUE(s->ui.panels[PanelBar].isEmpty());
    BarAt(5);
    s->Image1MouseLeave();
    EXPECT_TRUE(s->ui.panels[PanelBar].isEmpty());
}

namespace {
PriceRecord Bar(double open, double high, double low, double close,
                uint8_t valid = OpenOk | HighOk | LowOk | CloseOk)
{
    return {*DayFromYmd(2025, 2, 14), false, open, high, low, close, valid};
}
} // namespace

TEST(BarText, DecimalsFollowThePricesAsWritten)
{
    const struct {
        const char* name;
        PriceRecord bar;
        int decimals;
    } rows[] = {
        {"whole numbers", Bar(100, 101, 99, 100), 0},
        {"cents", Bar(168.1, 170.02, 166.95, 167.88), 2},
        {"one decimal", Bar(10.5, 11.5, 10.0, 11.0), 1},
        {"forex", Bar(1.08345, 1.0841, 1.0829, 1.08372), 5},
        {"eight decimals", Bar(1.12345678, 1.2, 1.1, 1.15), 8},
        {"endless fraction capped", Bar(1.0 / 3, 1, 1, 1), 6},
        {"sixteen significant digits", Bar(1.08345, 1.083451234567891, 1.0829, 1.08372), 6},
    };
    for (const auto& r : rows)
        EXPECT_EQ(PriceDecimalsOf(std::vector<PriceRecord>{{}, r.bar}, 1), r.decimals) << r.name;
    // A price that did not read is left out of the text.
    EXPECT_EQ(BarText(Bar(0, 12.5, 11.25, 12, HighOk | CloseOk), 2),
              QStringLiteral("Fri 14 Feb 2025  H 12.50  C 12.00"));
    // Day 0 is a day like any other.
    EXPECT_EQ(BarText(PriceRecord{}, 2), QStringLiteral("Sat 30 Dec 1899"));
}

TEST(RecordDates, DatesPickTheNearestRecordOnTheirSide)
{
    // Thu 2, Fri 3, Mon 6, Tue 7 January 2025: a weekend inside.
    RecordDates r;
    r.days = {DayFromYmd(2025, 1, 2), DayFromYmd(2025, 1, 3), DayFromYmd(2025, 1, 6),
              DayFromYmd(2025, 1, 7)};
    struct Row {
        const char* name;
        int y, m, d;
        int first, last;
    } rows[] = {
        {"a record's own day", 2025, 1, 3, 2, 2},
        {"saturday", 2025, 1, 4, 3, 2},
        {"sunday", 2025, 1, 5, 3, 2},
        {"before the file", 2024, 12, 31, 1, 0},
        {"the file's first day", 2025, 1, 2, 1, 1},
        {"the file's last day", 2025, 1, 7, 4, 4},
        {"after the file", 2025, 1, 8, 0, 4},
    };
    for (const Row& row : rows) {
        const double day = *DayFromYmd(row.y, row.m, row.d);
        EXPECT_EQ(r.firstOnOrAfter(day), row.first) << row.name;
        EXPECT_EQ(r.lastOnOrBefore(day), row.last) << row.name;
    }
    EXPECT_FALSE(r.dayOf(0));
    EXPECT_FALSE(r.dayOf(5));
}

TEST(RecordDates, IsoTextReadsOnlyRealDates)
{
    EXPECT_EQ(DayFromIsoText(QStringLiteral("2025-02-14")), DayFromYmd(2025, 2, 14));
    EXPECT_EQ(DayFromIsoText(QStringLiteral(" 2025-2-3 ")), DayFromYmd(2025, 2, 3));
    for (const char* bad : {"2025-02-30", "14/02/2025", "2025-02", "", "2025-02-14x"})
        EXPECT_FALSE(DayFromIsoText(QLatin1String(bad))) << bad;
    EXPECT_EQ(IsoText(DayFromYmd(2024, 2, 29)), QStringLiteral("2024-02-29"));
    EXPECT_TRUE(IsoText(std::nullopt).isEmpty());
    // Day 0 and the days before it are days like the others.
    EXPECT_EQ(IsoText(0), QStringLiteral("1899-12-30"));
    EXPECT_EQ(DayFromIsoText(QStringLiteral("1800-01-01")), -36522.0);
}

// The oldest first is the Dates dialog's test through the window.
TEST_F(Numbers, RecordDatesOfANewestFirstFileStartAtTheOldestDay)
{
    QByteArray reversed = "Date,Open,High,Low,Close\n";
    const QList<QByteArray> lines = QByteArray(HolidayWeek).split('\n');
    for (qsizetype i = lines.size() - 1; i >= 1; --i)
        if (!lines[i].isEmpty())
            reversed += lines[i] + '\n';
    Open(WriteFile(dir, QStringLiteral("newest.txt"), reversed));
    ASSERT_TRUE(s->GloVar.NewestFirst);
    const RecordDates& n = s->RecordDatesOfFile();
    ASSERT_EQ(n.count(), 7);
    EXPECT_EQ(n.dayOf(1), DayFromYmd(2025, 2, 10));
    EXPECT_EQ(n.lastOnOrBefore(*DayFromYmd(2025, 2, 17)), 5);
    EXPECT_EQ(n.firstOnOrAfter(*DayFromYmd(2025, 2, 16)), 6);
}

TEST_F(Numbers, CtrlClickKeepsTheExactHighInTheAnchorAndTheStudy)
{
    PlotHolidayWeek(false, 0);
    const ChartMap map = CurrentChartMap(s->GloVar);
    // Friday's slot, a few pixels off its high of 170.02.
    const int x = map.slotToX(5);
    const int highRow = map.priceToY(170.02);
    s->P1BtnClick();
    Click({x, highRow + 3}, true);
    EXPECT_EQ(s->GloVar.PlotBottom - s->AnchorPixelsNow().P1Y,
              highRow); // the marker sits on the high's row
    s->P2BtnClick();
    Click({map.slotToX(2), map.priceToY(160.4) - 2}, true); // Tuesday's low
    s->ChooseChartType(FigureNamed("extensions"));
    s->DrawBtnClick();
    // Saved and opened again, the figure and the anchors keep the same prices.
    ASSERT_TRUE(s->SaveStudy(dir.filePath(QStringLiteral("x.aurigon"))));
    ASSERT_TRUE(s->OpenStudy(dir.filePath(QStringLiteral("x.aurigon"))));
    EXPECT_EQ(s->GloVar.P1Anchor.price, 170.02);
    const Study again = s->CurrentStudy(dir.filePath(QStringLiteral("x.aurigon")));
    ASSERT_EQ(again.figures.size(), 1u);
    EXPECT_EQ(again.figures[0].p1.price, 170.02);
    EXPECT_EQ(again.figures[0].p2.price, 160.4);
    EXPECT_EQ(again.figures[0].p1.date, DayFromYmd(2025, 2, 14));
}

namespace {
// Figures on 300 weekdays and the texts they draw.
class Levels : public SessionTest {
protected:
    void SetUp() override
    {
        SessionTest::SetUp();
        OpenWeekdays(300);
        s->PlotBtnClick();
        ASSERT_TRUE(s->GloVar.ChartShown);
    }
    // The texts Draw wrote for a figure type, with the option on or off.
    QStringList Texts(int type, bool on)
    {
        s->GloVar.LevelValues = on;
        Recorder trace(s->chart);
        s->ChooseChartType(type);
        s->DrawBtnClick();
        QStringList texts = trace.starting(QStringLiteral("text"));
        s->chart.setTrace(nullptr);
        return texts;
    }
    QString Price(double v) const { return QString::number(v, 'f', s->GloVar.PriceDecimals); }
};
} // namespace

TEST_F(Levels, LabelsSayThePriceRatioOrDateWhereTheLevelEnds)
{
    Anchors({400, 350}, {600, 250});
    const ChartMap map = CurrentChartMap(s->GloVar);
    const double p1 = s->GloVar.P1Anchor.price, p2 = s->GloVar.P2Anchor.price, move = p2 - p1;
    const QString right = QString::number(map.plotRight - 3);
    struct Row {
        const char* name;
        int type;
        QString text;
    } rows[] = {
        // Corrections by the part of the move retraced from P2.
        {"correction 61.8 % retraced", 5,
         Price(p1 + move / (s->GloVar.Phi * s->GloVar.Phi)) + QStringLiteral("  61.8%")},
        {"correction 38.2 % retraced", 5,
         Price(p1 + move / s->GloVar.Phi) + QStringLiteral("  38.2%")},
        {"fan angle", 3, QStringLiteral("45°")},
        {"spiral ratio", 1, QStringLiteral("0.618")},
        {"ellipse ratio", 2, QStringLiteral("0.618")},
        {"arc ratio", 8, QStringLiteral("2.618")},
    };
    for (const Row& r : rows) {
        const QStringList texts = Texts(r.type, true);
        EXPECT_TRUE(texts.filter(QStringLiteral("\"") + r.text).size() +
                        texts.filter(r.text + QStringLiteral("\"")).size() >
                    0)
            << r.name << ": " << texts.join(QLatin1Char('|')).toStdString();
    }
    // An extension's label ends at the plot's right, just above its line.
    const QStringList ext = Texts(4, true);
    const int row = s->currentElements().back().lines.front().y1;
    EXPECT_TRUE(ext.contains(QStringLiteral("text %1 %2 right-bottom \"%3  0.618\"")
                                 .arg(right)
                                 .arg(row - 1)
                                 .arg(Price(p2 + move * 0.6180339887498948))))
        << ext.join(QLatin1Char('|')).toStdString();
    // The time goal's date at its foot, as the slot it falls on reads.
    const QStringList goal = Texts(6, true);
    const int t = s->currentElements().back().lines.front().x1;
    EXPECT_FALSE(
        goal.filter(QStringLiteral("\"%1\"").arg(ShortDate(TradingDayAt(map, s->GloVar.Prices, t))))
            .isEmpty())
        << goal.join(QLatin1Char('|')).toStdString();
}

// A slanted line's label carries the line's own price at the plot's right end
// and its ratio. Where the line leaves the plot across the top, or is cut at
// its foot, first, the label sits where it leaves and says that price lies
// above or below the scale: the price where it leaves is the same for all.
TEST_F(Levels, ChannelLabelsSayEachLinesPriceAtThePlotsRightEnd)
{
    struct Row {
        const char* name;
        QPoint p1, p2, p3;
        const char* beyond;
    } rows[] = {
        {"a gentle rise reaches the right end", {300, 330}, {600, 300}, {600, 360}, ""},
        {"a steep rise leaves across the top", {300, 500}, {500, 100}, {500, 160}, "\u2191 "},
        {"a steep fall leaves across the bottom", {300, 100}, {500, 500}, {500, 440}, "\u2193 "},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Anchors(row.p1, row.p2);
        Click(row.p3);
        const ChartMap map = CurrentChartMap(s->GloVar);
        const QStringList texts = Texts(7, true);
        QStringList prices;
        for (const FigureElement& e : s->currentElements()) {
            if (e.shape != ElementShape::Slanted)
                continue;
            // The line through its drawn ends, at the plot's right column.
            const Segment& l = e.lines.back();
            ASSERT_LT(l.x1, l.x2);
            const double start = map.yToPrice(l.y1), end = map.yToPrice(l.y2);
            const double at = start + (end - start) * (map.plotRight - l.x1) / (l.x2 - l.x1);
            const QString label =
                QString::fromUtf8(row.beyond) + Price(at) + QStringLiteral("  ") + e.mark;
            EXPECT_EQ(texts.filter(QStringLiteral("\"%1\"").arg(label)).size(), 1)
                << e.name.toStdString() << " wants " << label.toStdString() << " in "
                << texts.join(QLatin1Char('|')).toStdString();
            prices << Price(at);
        }
        EXPECT_EQ(prices.size(), 3);
        EXPECT_EQ(QSet<QString>(prices.begin(), prices.end()).size(), prices.size())
            << prices.join(' ').toStdString();
        s->EraseBtnClick();
    }
}

TEST_F(Levels, LevelsOffTheChartAreListedWhetherShownOrNot)
{
    // A rise of most of the plot: its extension lies above the top.
    Anchors({300, 500}, {500, 100});
    const double p1 = s->GloVar.P1Anchor.price, p2 = s->GloVar.P2Anchor.price;
    for (bool on : {false, true}) {
        Texts(4, on);
        EXPECT_EQ(s->ui.panels[PanelLevels], QStringLiteral("1 level off the chart: ") +
                                                 Price(p2 + (p2 - p1) * 0.6180339887498948));
    }
    s->EraseBtnClick();
    EXPECT_TRUE(s->ui.panels[PanelLevels].isEmpty());
}

TEST_F(Levels, FigureValuesFollowEachFiguresOwnGeometry)
{
    Anchors({400, 350}, {600, 250});
    const ChartMap map = CurrentChartMap(s->GloVar);
    const int decimals = s->GloVar.PriceDecimals + 2;
    // Every type once, each kept by Clip, so the file holds all eight.
    for (int type = 1; type <= 8; ++type) {
        s->ChooseChartType(type);
        s->DrawBtnClick();
        s->ClipButtonClick();
    }
    const QStringList rows = s->FigureValuesCsv().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_FALSE(rows.isEmpty());
    EXPECT_EQ(rows[0],
              QStringLiteral("figure,type,element,price,date,end_price,end_date,p1_date,p1_price,"
                             "p2_date,p2_price,p3_date,p3_price"));
    // Each element's values against the lines its figure drew.
    int figure = 0;
    qsizetype row = 1;
    for (const auto& drawn : s->keptElements()) {
        ++figure;
        for (const FigureElement& e : drawn) {
            ASSERT_LT(row, rows.size());
            const QStringList f = rows[row++].split(QLatin1Char(','));
            ASSERT_EQ(f.size(), 13) << rows[row - 1].toStdString();
            EXPECT_EQ(f[0].toInt(), figure);
            EXPECT_EQ(f[2], e.name);
            // The anchors in dates and prices, with the file's decimals and two more.
            EXPECT_EQ(f[7], IsoText(s->GloVar.P1Anchor.date));
            EXPECT_EQ(f[8], QString::number(s->GloVar.P1Anchor.price, 'f', decimals));
            EXPECT_EQ(f[10], QString::number(s->GloVar.P2Anchor.price, 'f', decimals));
            const Segment& first = e.lines.front();
            switch (e.shape) {
            case ElementShape::Level:
                EXPECT_LE(std::abs(map.priceToY(f[3].toDouble()) - first.y1), 1)
                    << e.name.toStdString();
                EXPECT_TRUE(f[4].isEmpty());
                break;
            case ElementShape::Vertical:
                EXPECT_EQ(f[4], IsoText(TradingDayAt(map, s->GloVar.Prices, first.x1)))
                    << e.name.toStdString();
                EXPECT_TRUE(f[3].isEmpty());
                break;
            case ElementShape::Slanted: {
                // Worked out before the drawing rounds to pixels: within a
                // pixel of the line drawn.
                const double pixel = map.scaleRange / map.plotHeight;
                EXPECT_NEAR(f[3].toDouble(), map.yToPrice(first.y1), pixel) << e.name.toStdString();
                EXPECT_NEAR(f[5].toDouble(), map.yToPrice(e.lines.back().y2), pixel)
                    << e.name.toStdString();
                EXPECT_EQ(f[4], IsoText(TradingDayAt(map, s->GloVar.Prices, first.x1)));
                break;
            }
            case ElementShape::Curve: {
                int top = first.y1, bottom = first.y1;
                for (const Segment& l : e.lines) {
                    top = std::min({top, l.y1, l.y2});
                    bottom = std::max({bottom, l.y1, l.y2});
                }
                EXPECT_NEAR(f[3].toDouble(), map.yToPrice(top), 1e-6) << e.name.toStdString();
                EXPECT_NEAR(f[5].toDouble(), map.yToPrice(bottom), 1e-6) << e.name.toStdString();
                EXPECT_FALSE(f[4].isEmpty());
                EXPECT_FALSE(f[6].isEmpty());
                break;
            }
            }
        }
    }
    EXPECT_EQ(figure, 8);
    EXPECT_EQ(row, rows.size());

    // Written as listed; a write that fails says so.
    ASSERT_TRUE(s->ExportFigureValues(dir.filePath(QStringLiteral("values.csv"))));
    EXPECT_EQ(QString::fromUtf8(ReadBytes(dir.filePath(QStringLiteral("values.csv")))),
              s->FigureValuesCsv());
    const QString nowhere = dir.filePath(QStringLiteral("no/such/folder.csv"));
    const Result<void> failed = s->ExportFigureValues(nowhere);
    ASSERT_FALSE(failed);
    EXPECT_TRUE(
        failed.error().message().startsWith(QStringLiteral("Cannot create file ") + nowhere))
        << failed.error().message().toStdString();
    EXPECT_FALSE(prompts.any(QStringLiteral("error:"))); // the caller says it
    prompts.saveAnswer = nowhere;
    s->ExportFigureValuesClick();
    EXPECT_EQ(prompts.events.filter(QStringLiteral("error:")),
              QStringList(QStringLiteral("error:") + failed.error().message()));
}

TEST(TradingDays, PastTheLastSlotTheDaysAreWeekdays)
{
    // Thu 13 and Fri 14 Feb 2025 in slots 1 and 2 of a 100-pixel plot.
    const std::vector<PriceRecord> prices = {PriceRecord{}, PriceRecord{*DayFromYmd(2025, 2, 13)},
                                             PriceRecord{*DayFromYmd(2025, 2, 14)}};
    ChartMap map;
    map.plotLeft = 0;
    map.plotWidth = 100;
    map.slotCount = 10; // ten pixels a slot
    map.totalSlots = 2;
    struct Row {
        const char* name;
        int x;
        int y, m, d;
    } rows[] = {
        {"a slot of the file", 20, 2025, 2, 14},
        {"the next trading day", 30, 2025, 2, 17},
        {"a week on", 70, 2025, 2, 21},
        {"before the first slot", 0, 2025, 2, 12},
        {"over a weekend back", -20, 2025, 2, 10},
    };
    for (const Row& r : rows)
        EXPECT_EQ(TradingDayAt(map, prices, r.x), DayFromYmd(r.y, r.m, r.d)) << r.name;
}

TEST(Corrections, NamedByThePartRetracedFromP2)
{
    // A fall from 4796.64 to 3810.32: the level nearer P2 has given back 38.2%
    // of the fall, the one nearer P1 61.8% (4419.90), whatever the direction.
    const struct {
        const char* name;
        double p1, p2;
    } moves[] = {{"a fall", 4796.64, 3810.32}, {"a rise", 3810.32, 4796.64}};
    FigureInput in;
    Figure solid;
    solid.strokes.push_back(
        Stroke{QColor(128, 0, 0), PenStyle::Solid, {{10, 50, 90, 50}, {10, 70, 90, 70}}});
    for (const auto& m : moves) {
        const std::vector<FigureElement> e =
            CorrectionElements({solid}, in, AnchorPrices{m.p1, m.p2, {}, {}, 0, 0});
        ASSERT_EQ(e.size(), 2u) << m.name;
        const double move = m.p2 - m.p1;
        EXPECT_EQ(e[0].name, QStringLiteral("level 61.8%")) << m.name;
        EXPECT_EQ(e[0].mark, QStringLiteral("61.8%")) << m.name;
        EXPECT_NEAR(*e[0].price, m.p2 - 0.618034 * move, 0.01) << m.name;
        EXPECT_EQ(e[1].name, QStringLiteral("level 38.2%")) << m.name;
        EXPECT_NEAR(*e[1].price, m.p2 - 0.381966 * move, 0.01) << m.name;
    }
}
