#include "data/PriceReader.h"

#include <algorithm>

#include "data/Dates.h"
#include "data/LineReader.h"
#include "data/Numbers.h"

namespace {
void AppendSlot(std::vector<PriceRecord>& prices, double date, bool blank)
{
    PriceRecord r;
    r.Date = date;
    r.IsBlank = blank;
    prices.push_back(r);
}
} // namespace

void SplitLine(std::string_view line, const FileLayout& layout, LineFields& out)
{
    out = LineFields{};
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
        if (k == layout.dateColumn)
            out.date = field;
        if (k == layout.openColumn)
            out.open = field;
        if (k == layout.highColumn)
            out.high = field;
        if (k == layout.lowColumn)
            out.low = field;
        if (k == layout.closeColumn)
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

ScanResult ScanPriceData(const QString& path, const FileLayout& layout)
{
    ScanResult r;
    LineReader reader;
    if (QString err = reader.open(path); !err.isEmpty()) {
        r.error = err;
        return r;
    }
    std::string_view line;
    if (layout.header)
        reader.next(line);
    std::string first, last;
    int64_t count = 0;
    while (reader.next(line)) {
        if (count == 0)
            first.assign(line.begin(), line.end());
        ++count;
        if (count > INT32_MAX) {
            r.error = QStringLiteral("The file \"%1\" has too many lines.").arg(path);
            return r;
        }
        last.assign(line.begin(), line.end());
    }
    if (!reader.error().isEmpty()) {
        r.error = reader.error();
        return r;
    }
    r.count = static_cast<int32_t>(std::max<int64_t>(count, 1));
    r.firstDate = ParseDate(ScanDateField(first, layout.dateColumn), layout.dateFormat);
    r.lastDate = ParseDate(ScanDateField(last, layout.dateColumn), layout.dateFormat);
    return r;
}

RangeResult ScanWholeRange(const QString& path, const FileLayout& layout, double high, double low)
{
    RangeResult r;
    r.high = high;
    r.low = low;
    LineReader reader;
    if (QString err = reader.open(path); !err.isEmpty()) {
        r.error = err;
        return r;
    }
    std::string_view line;
    if (layout.header)
        reader.next(line);
    LineFields f;
    while (reader.next(line)) {
        SplitLine(line, layout, f);
        double v = 0;
        if (ParsePrice(f.high, v) && v > r.high)
            r.high = v;
        if (ParsePrice(f.low, v) && v < r.low)
            r.low = v;
    }
    r.error = reader.error();
    return r;
}

LoadResult LoadRange(const QString& path, const FileLayout& layout, const LoadRequest& req,
                     std::vector<PriceRecord>& prices)
{
    LoadResult res;
    prices.resize(1);
    double prevDate = 0;

    LineReader reader;
    if (QString err = reader.open(path); !err.isEmpty()) {
        res.error = err;
        return res;
    }
    const int64_t wanted = std::max<int64_t>(0, int64_t(req.lastRecord) - req.firstRecord + 1);
    prices.reserve(static_cast<size_t>(wanted + req.blankDaysRight + 1));
    std::string_view line;
    int64_t skip = std::max<int64_t>(0, int64_t(req.firstRecord) - 1) + (layout.header ? 1 : 0);
    bool more = true;
    while (skip-- > 0 && (more = reader.next(line))) {
    }
    LineFields f;
    for (int64_t rec = 0; more && rec < wanted && reader.next(line); ++rec) {
        SplitLine(line, layout, f);
        const double date = ParseDate(f.date, layout.dateFormat);
        if (req.holidaySpace && prices.size() > 1) {
            int d0 = DayOfWeek(prevDate) - 1;
            const int d1 = DayOfWeek(date) - 1;
            if (d1 < d0) {
                while (d0 < 5) {
                    ++d0;
                    prevDate += 1;
                    AppendSlot(prices, prevDate, true);
                }
                // The days of the new week before the record, dated as they are.
                for (int n = 1; n < d1; ++n)
                    AppendSlot(prices, date - (d1 - n), true);
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
            res.high = std::max(res.high, v);
        }
        if (ParsePrice(f.low, v)) {
            r.Low = v;
            r.Valid |= LowOk;
            res.low = std::min(res.low, v);
        }
        if (ParsePrice(f.close, v)) {
            r.Close = v;
            r.Valid |= CloseOk;
        }
        prices.push_back(r);
        prevDate = date;
    }
    if (!reader.error().isEmpty()) {
        res.error = reader.error();
        res.loadedCount = static_cast<int32_t>(prices.size() - 1);
        return res;
    }
    reader.close();
    res.loadedCount = static_cast<int32_t>(prices.size() - 1);
    res.totalSlots = res.loadedCount;
    for (int i = 0; i < req.blankDaysRight; ++i) {
        prevDate += DayOfWeek(prevDate) == 6 ? 3 : 1;
        AppendSlot(prices, prevDate, true);
        ++res.totalSlots;
    }
    return res;
}
