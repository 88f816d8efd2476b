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

// Messages quote at most this much of a line.
constexpr size_t NoteLength = 120;

LineNote Note(int64_t number, std::string_view text)
{
    return LineNote{number, std::string(text.substr(0, NoteLength))};
}

// One data line read into a record; false when its date or a price did not read.
bool ReadRecord(std::string_view line, const FileLayout& layout, PriceRecord& r)
{
    LineFields f;
    SplitLine(line, layout, f);
    r = PriceRecord{};
    r.Date = ParseDate(f.date, layout.dateFormat);
    bool whole = r.Date != 0 || layout.noDates();
    const bool comma = layout.decimalComma();
    double v = 0;
    if (ReadPrice(f.open, comma, v)) {
        r.Open = v;
        r.Valid |= OpenOk;
    }
    if (ReadPrice(f.high, comma, v)) {
        r.High = v;
        r.Valid |= HighOk;
    }
    if (ReadPrice(f.low, comma, v)) {
        r.Low = v;
        r.Valid |= LowOk;
    }
    if (ReadPrice(f.close, comma, v)) {
        r.Close = v;
        r.Valid |= CloseOk;
    }
    return whole && r.Valid == (OpenOk | HighOk | LowOk | CloseOk);
}
} // namespace

bool NextField(std::string_view& rest, char separator, std::string_view& field)
{
    if (rest.empty())
        return false;
    size_t lead = 0;
    while (lead < rest.size() && rest[lead] == ' ')
        ++lead;
    if (lead < rest.size() && rest[lead] == '"') {
        // A doubled quote inside stands for one quote and does not close the field.
        size_t close = rest.find('"', lead + 1);
        while (close != std::string_view::npos && close + 1 < rest.size() && rest[close + 1] == '"')
            close = rest.find('"', close + 2);
        if (close != std::string_view::npos) {
            field = rest.substr(lead + 1, close - lead - 1);
            const size_t after = rest.find(separator, close + 1);
            rest = after == std::string_view::npos ? std::string_view() : rest.substr(after + 1);
            return true;
        }
    }
    const size_t at = rest.find(separator);
    if (at == std::string_view::npos) {
        field = rest;
        rest = {};
    } else {
        field = rest.substr(0, at);
        rest.remove_prefix(at + 1);
    }
    return true;
}

void SplitLine(std::string_view line, const FileLayout& layout, LineFields& out)
{
    out = LineFields{};
    int k = 0;
    std::string_view field;
    while (NextField(line, layout.separator, field)) {
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

std::string_view ScanDateField(std::string_view line, const FileLayout& layout)
{
    std::string_view field;
    for (int k = 1; NextField(line, layout.separator, field); ++k)
        if (k >= layout.dateColumn)
            return field;
    return {};
}

ScanResult ScanPriceData(const PriceSource& source, const FileLayout& layout)
{
    ScanResult r;
    LineReader reader;
    if (QString err = reader.open(source); !err.isEmpty()) {
        r.error = err;
        return r;
    }
    std::string_view line;
    const int64_t header = layout.header ? 1 : 0;
    if (layout.header)
        reader.next(line);
    std::string first, last;
    int64_t count = 0;
    if (reader.next(line)) {
        first.assign(line.begin(), line.end());
        last = first;
        // The lines between matter only by their number: counted, not read.
        count = 1 + reader.countRest(last);
        if (count > INT32_MAX) {
            r.error = QStringLiteral("The file \"%1\" has too many lines.").arg(source.path);
            return r;
        }
    }
    if (!reader.error().isEmpty()) {
        r.error = reader.error();
        return r;
    }
    r.count = static_cast<int32_t>(std::max<int64_t>(count, 1));
    r.firstLine = Note(header + 1, first);
    r.lastLine = Note(header + r.count, last);
    r.firstDate = ParseDate(ScanDateField(first, layout), layout.dateFormat);
    r.lastDate = ParseDate(ScanDateField(last, layout), layout.dateFormat);
    // Dates that fall from the first line to the last: the newest day comes first.
    if (r.lastDate != 0 && r.lastDate < r.firstDate) {
        r.newestFirst = true;
        std::swap(r.firstDate, r.lastDate);
    }
    return r;
}

RangeResult ScanWholeRange(const PriceSource& source, const FileLayout& layout, double high,
                           double low)
{
    RangeResult r;
    r.high = high;
    r.low = low;
    LineReader reader;
    if (QString err = reader.open(source); !err.isEmpty()) {
        r.error = err;
        return r;
    }
    std::string_view line;
    if (layout.header)
        reader.next(line);
    LineFields f;
    const bool comma = layout.decimalComma();
    while (reader.next(line)) {
        SplitLine(line, layout, f);
        double v = 0;
        if (ReadPrice(f.high, comma, v) && v > r.high)
            r.high = v;
        if (ReadPrice(f.low, comma, v) && v < r.low)
            r.low = v;
    }
    r.error = reader.error();
    return r;
}

LoadResult LoadRange(const PriceSource& source, const FileLayout& layout, const LoadRequest& req,
                     std::vector<PriceRecord>& prices)
{
    LoadResult res;
    prices.resize(1);

    LineReader reader;
    if (QString err = reader.open(source); !err.isEmpty()) {
        res.error = err;
        return res;
    }
    const int64_t wanted = std::max<int64_t>(0, int64_t(req.lastRecord) - req.firstRecord + 1);
    // Records count in date order; newest first, record k is data line count - k + 1,
    // so the newest records are read from the start and nothing after them.
    const int64_t firstLine =
        req.newestFirst ? int64_t(req.recordCount) - req.lastRecord + 1 : int64_t(req.firstRecord);
    std::vector<PriceRecord> records;
    records.reserve(static_cast<size_t>(std::min<int64_t>(wanted, 1 << 20)));
    std::string_view line;
    const int64_t header = layout.header ? 1 : 0;
    const int64_t skip = std::max<int64_t>(0, firstLine - 1) + header;
    int64_t lineNo = skip;
    // The lines before the range matter only by their number.
    const bool more = reader.skip(skip) == skip;
    for (int64_t rec = 0; more && rec < wanted && reader.next(line); ++rec) {
        ++lineNo;
        PriceRecord r;
        if (!ReadRecord(line, layout, r) || reader.lineTooLong()) {
            if (res.unreadable++ == 0)
                res.firstUnreadable = Note(lineNo, line);
        }
        records.push_back(r);
    }
    if (!reader.error().isEmpty()) {
        res.error = reader.error();
        return res;
    }
    reader.close();
    if (req.newestFirst)
        std::reverse(records.begin(), records.end());

    prices.reserve(records.size() + static_cast<size_t>(std::max(req.blankDaysRight, 0)) + 1);
    double prevDate = 0;
    for (const PriceRecord& r : records) {
        if (req.holidaySpace && prices.size() > 1) {
            int d0 = DayOfWeek(prevDate) - 1;
            const int d1 = DayOfWeek(r.Date) - 1;
            if (d1 < d0) {
                while (d0 < 5) {
                    ++d0;
                    prevDate += 1;
                    AppendSlot(prices, prevDate, true);
                }
                // The days of the new week before the record, dated as they are.
                for (int n = 1; n < d1; ++n)
                    AppendSlot(prices, r.Date - (d1 - n), true);
            }
        }
        if (r.Valid & HighOk)
            res.high = std::max(res.high, r.High);
        if (r.Valid & LowOk)
            res.low = std::min(res.low, r.Low);
        prices.push_back(r);
        prevDate = r.Date;
    }
    res.loadedCount = static_cast<int32_t>(prices.size() - 1);
    res.totalSlots = res.loadedCount;
    for (int i = 0; i < req.blankDaysRight; ++i) {
        prevDate += DayOfWeek(prevDate) == 6 ? 3 : 1;
        AppendSlot(prices, prevDate, true);
        ++res.totalSlots;
    }
    return res;
}
