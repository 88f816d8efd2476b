#include "data/PriceReader.h"

#include <algorithm>

#include "app/GloVar.h"
#include "app/Prompts.h"
#include "app/UiModel.h"
#include "data/Dates.h"
#include "data/LineReader.h"

namespace {
constexpr double LowStart = 99999999.0;

void ResetExtremesAndAnchors()
{
    auto& g = GloVar;
    g.ChartHigh = 0;
    g.ChartLow = LowStart;
    g.FileHigh = 0;
    g.FileLow = LowStart;
    g.P1Date = -1.0;
    g.P2Date = -1.0;
}

void AppendSlot(double date, bool blank)
{
    PriceRecord r;
    r.Date = date;
    r.IsBlank = blank;
    GloVar.Prices.push_back(r);
}
} // namespace

void SplitLine(std::string_view line, LineFields& out)
{
    out = LineFields{};
    const auto& g = GloVar;
    int k = 0;
    while (!line.empty()) {
        const size_t comma = line.find(',');
        std::string_view field;
        if (comma == std::string_view::npos) {
            field = line;
            line = {};
        } else {
            field = line.substr(0, comma);
            line.remove_prefix(comma + 1);
        }
        ++k;
        if (k == g.DateColumn)
            out.date = field;
        if (k == g.OpenColumn)
            out.open = field;
        if (k == g.HighColumn)
            out.high = field;
        if (k == g.LowColumn)
            out.low = field;
        if (k == g.CloseColumn)
            out.close = field;
    }
}

std::string_view ScanDateField(std::string_view line, int dateColumn)
{
    for (int i = 1; i < dateColumn && !line.empty(); ++i) {
        const size_t comma = line.find(',');
        line = comma == std::string_view::npos ? std::string_view() : line.substr(comma + 1);
    }
    return line.substr(0, std::min(line.size(), line.find(',')));
}

void ScanPriceFile(UiModel& ui, Prompts& prompts)
{
    auto& g = GloVar;
    g.RecordCount = 0;
    g.FirstFileDate = 0;
    g.LastFileDate = 0;
    if (!g.DataFileName.isEmpty()) {
        LineReader reader;
        if (QString err = reader.open(g.DataFileName); !err.isEmpty()) {
            prompts.error(err);
            return;
        }
        std::string_view line;
        if (g.HasHeaderLine)
            reader.next(line);
        std::string first, last;
        int64_t count = 0;
        while (reader.next(line)) {
            if (count == 0)
                first.assign(line.begin(), line.end());
            ++count;
            if (count > INT32_MAX) {
                prompts.error(QStringLiteral("The file \"%1\" has too many lines.").arg(g.DataFileName));
                return;
            }
            last.assign(line.begin(), line.end());
        }
        if (!reader.error().isEmpty()) {
            prompts.error(reader.error());
            return;
        }
        // An empty file after the header still counts one (empty) line.
        count = std::max<int64_t>(count, 1);
        g.FirstFileDate = ParseDate(ScanDateField(first, g.DateColumn), g.DateFormat);
        g.LastFileDate = ParseDate(ScanDateField(last, g.DateColumn), g.DateFormat);
        if (g.LastFileDate < g.FirstFileDate) {
            ui.enable(Ctl::DateBtn, false);
            ui.enable(Ctl::PlotBtn, false);
        } else {
            g.RecordCount = static_cast<int32_t>(count);
            ui.enable(Ctl::DateBtn);
            g.LastRecord = g.RecordCount;
            g.FirstRecord = std::max(g.LastRecord - g.PeriodLength, 1);
            ui.panels[1] = QStringLiteral("%1 - %2").arg(g.FirstRecord).arg(g.LastRecord);
            if (g.LastRecord > g.FirstRecord)
                ui.enable(Ctl::PlotBtn);
        }
    }
    ResetExtremesAndAnchors();
}

bool ScanWholeFileRange(Prompts& prompts)
{
    auto& g = GloVar;
    LineReader reader;
    if (QString err = reader.open(g.DataFileName); !err.isEmpty()) {
        prompts.error(err);
        return false;
    }
    std::string_view line;
    if (g.HasHeaderLine)
        reader.next(line);
    LineFields f;
    while (reader.next(line)) {
        SplitLine(line, f);
        double v = 0;
        if (ParsePrice(f.high, v) && v > g.FileHigh)
            g.FileHigh = v;
        if (ParsePrice(f.low, v) && v < g.FileLow)
            g.FileLow = v;
    }
    if (!reader.error().isEmpty()) {
        prompts.error(reader.error());
        return false;
    }
    g.ChartHigh = g.FileHigh;
    g.ChartLow = g.FileLow;
    return true;
}

bool LoadChartRange(UiModel& ui, Prompts& prompts)
{
    auto& g = GloVar;
    g.LoadedCount = 0;
    g.TotalSlots = 0;
    g.Prices.resize(1);
    double prevDate = 0;
    double rangeHigh = 0;
    double rangeLow = LowStart;

    LineReader reader;
    if (QString err = reader.open(g.DataFileName); !err.isEmpty()) {
        prompts.error(err);
        return false;
    }
    const int64_t wanted = std::max<int64_t>(0, int64_t(g.LastRecord) - g.FirstRecord + 1);
    g.Prices.reserve(static_cast<size_t>(wanted + g.BlankDaysRight + 1));
    std::string_view line;
    int64_t skip = std::max<int64_t>(0, int64_t(g.FirstRecord) - 1) + (g.HasHeaderLine ? 1 : 0);
    bool more = true;
    while (skip-- > 0 && (more = reader.next(line))) {
    }
    LineFields f;
    // A file shortened since the scan ends the range where it ends.
    for (int64_t rec = 0; more && rec < wanted && reader.next(line); ++rec) {
        SplitLine(line, f);
        const double date = ParseDate(f.date, g.DateFormat);
        if (g.LeaveHolidaySpace && g.LoadedCount >= 1) {
            int d0 = DayOfWeek(prevDate) - 1;
            const int d1 = DayOfWeek(date) - 1;
            if (d1 < d0) {
                while (d0 < 5) {
                    ++d0;
                    prevDate += 1;
                    AppendSlot(prevDate, true);
                }
                // The days of the new week before the record, dated as they are.
                for (int n = 1; n < d1; ++n)
                    AppendSlot(date - (d1 - n), true);
                g.LoadedCount = static_cast<int32_t>(g.Prices.size() - 1);
            }
        }
        PriceRecord r;
        r.Date = date;
        double v = 0;
        if (ParsePrice(f.open, v)) {
            r.Open = v;
            r.Valid |= OpenOk;
        }
        if (ParsePrice(f.high, v)) {
            r.High = v;
            r.Valid |= HighOk;
            rangeHigh = std::max(rangeHigh, v);
        }
        if (ParsePrice(f.low, v)) {
            r.Low = v;
            r.Valid |= LowOk;
            rangeLow = std::min(rangeLow, v);
        }
        if (ParsePrice(f.close, v)) {
            r.Close = v;
            r.Valid |= CloseOk;
        }
        g.Prices.push_back(r);
        g.LoadedCount = static_cast<int32_t>(g.Prices.size() - 1);
        prevDate = date;
    }
    if (!reader.error().isEmpty()) {
        prompts.error(reader.error());
        return false;
    }
    reader.close();
    g.TotalSlots = g.LoadedCount;
    for (int i = 0; i < g.BlankDaysRight; ++i) {
        prevDate += DayOfWeek(prevDate) == 6 ? 3 : 1;
        AppendSlot(prevDate, true);
        ++g.TotalSlots;
    }
    if (g.LoadedCount > 0)
        ui.panels[1] = ShortDate(g.Prices[1].Date) + QStringLiteral(" - ") +
                       ShortDate(g.Prices[static_cast<size_t>(g.LoadedCount)].Date);
    g.BarSpacing = g.TotalSlots > 0 ? double(g.PlotRight - g.PlotLeft) / g.TotalSlots : 0;
    g.EllipseAspect = 1.0;
    if (!g.WholeScale) {
        g.ChartHigh = rangeHigh;
        g.ChartLow = rangeLow;
    }
    return true;
}
