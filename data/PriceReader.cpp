#include "data/PriceReader.h"

#include <algorithm>

#include "data/Dates.h"
#include "data/LineReader.h"
#include "data/Numbers.h"
#include "data/Volume.h"

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

// One data line read into a record and its day; false when its date or a
// price did not read.
bool ReadRecord(std::string_view line, const FileLayout& layout, PriceRecord& r,
                std::optional<double>& day)
{
    LineFields f;
    SplitLine(line, layout, f);
    r = PriceRecord{};
    day = ParseDate(f.date, layout.dateFormat);
    r.Date = day.value_or(0);
    const bool whole = day || layout.noDates();
    const bool comma = layout.decimalComma();
    if (const std::optional<double> v = ReadPrice(f.open, comma)) {
        r.Open = *v;
        r.Valid |= OpenOk;
    }
    if (const std::optional<double> v = ReadPrice(f.high, comma)) {
        r.High = *v;
        r.Valid |= HighOk;
    }
    if (const std::optional<double> v = ReadPrice(f.low, comma)) {
        r.Low = *v;
        r.Valid |= LowOk;
    }
    if (const std::optional<double> v = ReadPrice(f.close, comma)) {
        r.Close = *v;
        r.Valid |= CloseOk;
    }
    return whole && r.Valid == (OpenOk | HighOk | LowOk | CloseOk);
}
} // namespace

std::optional<std::string_view> NextField(std::string_view& rest, char separator)
{
    if (rest.empty())
        return std::nullopt;
    size_t lead = 0;
    while (lead < rest.size() && rest[lead] == ' ')
        ++lead;
    if (lead < rest.size() && rest[lead] == '"') {
        // A doubled quote inside stands for one quote and does not close the field.
        size_t close = rest.find('"', lead + 1);
        while (close != std::string_view::npos && close + 1 < rest.size() && rest[close + 1] == '"')
            close = rest.find('"', close + 2);
        if (close != std::string_view::npos) {
            const std::string_view field = rest.substr(lead + 1, close - lead - 1);
            const size_t after = rest.find(separator, close + 1);
            rest = after == std::string_view::npos ? std::string_view() : rest.substr(after + 1);
            return field;
        }
    }
    const size_t at = rest.find(separator);
    std::string_view field = rest;
    if (at == std::string_view::npos) {
        rest = {};
    } else {
        field = rest.substr(0, at);
        rest.remove_prefix(at + 1);
    }
    return field;
}

void SplitLine(std::string_view line, const FileLayout& layout, LineFields& out)
{
    out = LineFields{};
    int k = 0;
    while (const std::optional<std::string_view> field = NextField(line, layout.separator)) {
        ++k;
        if (k == layout.dateColumn)
            out.date = *field;
        if (k == layout.openColumn)
            out.open = *field;
        if (k == layout.highColumn)
            out.high = *field;
        if (k == layout.lowColumn)
            out.low = *field;
        if (k == layout.closeColumn)
            out.close = *field;
    }
}

std::string_view ScanDateField(std::string_view line, const FileLayout& layout)
{
    for (int k = 1; const std::optional<std::string_view> field = NextField(line, layout.separator);
         ++k)
        if (k >= layout.dateColumn)
            return *field;
    return {};
}

namespace {
// A price field that holds nothing: empty, blanks, or a word for no value.
bool Missing(std::string_view t)
{
    t = TrimBlanks(t);
    if (t.size() >= 2 && t.front() == '"' && t.back() == '"')
        t = TrimBlanks(t.substr(1, t.size() - 2));
    if (t.size() > 4)
        return false;
    std::string w;
    for (char c : t)
        w += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return w.empty() || w == "null" || w == "nan" || w == "n/a" || w == "na" || w == "-" ||
           w == "--" || w == "none";
}
} // namespace

LineKind KindOf(std::string_view line, const FileLayout& layout)
{
    LineFields f;
    SplitLine(line, layout, f);
    if (Missing(f.open) && Missing(f.high) && Missing(f.low) && Missing(f.close))
        return LineKind::NoPrices;
    if (!layout.noDates() && !ParseDate(f.date, layout.dateFormat))
        return LineKind::NoDate;
    return LineKind::Record;
}

bool NamesOnly(std::string_view line)
{
    // A word with digits in it (a ticker such as 0700.HK or 6E=F) is still a
    // name; a number or a date is not.
    bool letters = false;
    size_t start = 0;
    while (start <= line.size()) {
        size_t end = line.find_first_of(",;\t", start);
        if (end == std::string_view::npos)
            end = line.size();
        const std::string_view word = TrimBlanks(line.substr(start, end - start));
        bool hasLetter = false, hasDigit = false;
        for (char c : word) {
            hasDigit |= c >= '0' && c <= '9';
            // Bytes of letters beyond ASCII count as letters: headers in other scripts.
            hasLetter |= (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                         static_cast<unsigned char>(c) >= 0x80;
        }
        if (hasDigit) {
            if (!hasLetter || ReadPrice(word, false))
                return false;
            for (int l = 0; l < DateLayoutCount; ++l)
                if (l != NoDateLayout && ParseDate(word, l))
                    return false;
        }
        letters |= hasLetter;
        start = end + 1;
    }
    return letters;
}

FileLayout WithDecimalMark(const PriceSource& source, const FileLayout& layout, LineNote* unclear)
{
    FileLayout out = layout;
    if (out.decimal != 0)
        return out;
    out.decimal = out.separator == ';' ? ',' : '.';
    // A small block: only the first lines are wanted.
    LineReader reader(1 << 14);
    if (!reader.open(source))
        return out;
    constexpr int Lines = 40;
    std::vector<std::string> lines;
    std::optional<std::string_view> line;
    while (int(lines.size()) < Lines && (line = reader.next()))
        lines.emplace_back(*line);
    std::vector<std::string_view> fields;
    std::vector<size_t> lineOf;
    for (size_t i = 0; i < lines.size(); ++i) {
        std::string_view rest = lines[i];
        for (int k = 1; const std::optional<std::string_view> f = NextField(rest, layout.separator);
             ++k)
            if (k != layout.dateColumn) {
                fields.push_back(*f);
                lineOf.push_back(i);
            }
    }
    const DecimalMark m = DecimalMarkOf(fields, out.decimal);
    out.decimal = m.mark;
    if (m.ambiguous && unclear && m.ambiguousField < lineOf.size()) {
        const size_t i = lineOf[m.ambiguousField];
        *unclear = Note(int64_t(i) + 1, lines[i]);
    }
    return out;
}

namespace {
// Dated records looked at for the file's order: this many at each end.
constexpr int OrderSample = 12;

struct Dated {
    int64_t number;
    std::optional<double> date;
    std::string text;
};
} // namespace

Result<FileScan> ScanPriceData(const PriceSource& source, const FileLayout& given)
{
    FileScan r;
    const FileLayout layout = WithDecimalMark(source, given, &r.decimalUnclear);
    r.decimal = layout.decimal;
    LineReader reader;
    if (auto opened = reader.open(source); !opened)
        return opened.error();
    r.size = reader.size();
    r.modified = reader.modified();
    // The last line read, which the searches below go on from.
    std::string_view line;
    std::optional<std::string_view> read;
    const int64_t header = layout.header ? 1 : 0;
    if (layout.header && (read = reader.next()))
        line = *read;
    int64_t lineNo = header;
    auto leftOut = [&r](int64_t number, std::string_view text) {
        if (r.endsLeftOut++ == 0)
            r.firstLeftOut = Note(number, text);
    };
    // Up to the first record: more header lines, and lines that hold none.
    std::string firstData;
    bool anyData = false, found = false;
    while (!found && (read = reader.next())) {
        line = *read;
        ++lineNo;
        if (!anyData)
            firstData.assign(line);
        anyData = true;
        if (KindOf(line, layout) == LineKind::Record)
            found = true;
        else if (!(NamesOnly(line) && r.endsLeftOut == 0))
            leftOut(lineNo, line);
    }
    if (reader.error())
        return *reader.error();
    if (!found) {
        // No record anywhere: the first and the last line, as they are.
        r.endsLeftOut = 0;
        r.firstLeftOut = {};
        std::string last = firstData;
        if (anyData) {
            LineReader again;
            (void)again.open(source);
            (void)again.skip(header + 1);
            const int64_t more = again.countRest(last);
            r.count = int32_t(std::min<int64_t>(1 + more, INT32_MAX));
        }
        r.count = std::max(r.count, 1);
        r.firstLine = Note(header + 1, firstData);
        r.lastLine = Note(header + r.count, last);
        r.firstDate = ParseDate(ScanDateField(firstData, layout), layout.dateFormat);
        r.lastDate = ParseDate(ScanDateField(last, layout), layout.dateFormat);
        if (r.lastDate && r.firstDate && *r.lastDate < *r.firstDate) {
            r.newestFirst = true;
            std::swap(r.firstDate, r.lastDate);
        }
        return r;
    }
    const int64_t firstNo = lineNo;
    r.skipLines = firstNo - header - 1;
    r.firstLine = Note(firstNo, line);
    auto dateOf = [&layout](std::string_view text) {
        LineFields f;
        SplitLine(text, layout, f);
        return ParseDate(f.date, layout.dateFormat);
    };
    // The first dozen lines from the first record on, read; the rest counted.
    std::vector<Dated> head, tail;
    head.push_back({firstNo, dateOf(line), std::string(line)});
    int64_t lastRecordNo = firstNo;
    std::string lastRecord(line);
    std::vector<std::pair<int64_t, std::string>> headJunk; // no record, after the first
    while (int(head.size()) < OrderSample && (read = reader.next())) {
        line = *read;
        ++lineNo;
        if (KindOf(line, layout) == LineKind::Record) {
            head.push_back({lineNo, dateOf(line), std::string(line)});
            lastRecordNo = lineNo;
            lastRecord.assign(line);
        } else {
            headJunk.emplace_back(lineNo, std::string(line));
        }
    }
    const int64_t afterHead = reader.position();
    std::string last;
    int64_t lastAt = 0;
    const int64_t rest = reader.countRest(last, &lastAt, &r.marks);
    if (reader.error())
        return *reader.error();
    for (LineMark& m : r.marks)
        m.lines += lineNo;
    r.lines = lineNo + rest;
    // From the end back: lines that hold no record, then a dozen records.
    int64_t trailing = 0;
    LineNote earliest;
    bool recordSeen = false;
    for (int64_t no = lineNo + rest, at = lastAt;
         rest > 0 && no > lineNo && int(tail.size()) < OrderSample;) {
        if (KindOf(last, layout) == LineKind::Record) {
            if (!recordSeen) {
                lastRecordNo = no;
                lastRecord = last;
            }
            recordSeen = true;
            tail.push_back({no, dateOf(last), last});
        } else if (!recordSeen) {
            ++trailing;
            earliest = Note(no, last);
        }
        --no;
        if (at <= afterHead)
            break;
        std::optional<LineReader::LineAt> before = reader.lineBefore(at - 1);
        if (!before)
            break;
        last = std::move(before->text);
        at = before->start;
    }
    if (reader.error())
        return *reader.error();
    std::reverse(tail.begin(), tail.end());
    if (!recordSeen)
        for (const auto& [no, text] : headJunk)
            if (no > lastRecordNo)
                leftOut(no, text);
    if (trailing > 0) {
        if (r.endsLeftOut == 0)
            r.firstLeftOut = earliest;
        r.endsLeftOut += trailing;
    }
    const int64_t count = lastRecordNo - firstNo + 1;
    if (count > INT32_MAX) {
        return Error{Error::Doing::Counting, source.path, 0, QStringLiteral("has too many lines.")};
    }
    r.count = int32_t(count);
    r.lastLine = Note(lastRecordNo, lastRecord);

    // The order: which way most neighbours among those looked at go.
    std::vector<const Dated*> sample;
    for (const Dated& d : head)
        sample.push_back(&d);
    for (const Dated& d : tail)
        if (d.number > head.back().number)
            sample.push_back(&d);
    int up = 0, down = 0;
    for (size_t i = 1; i < sample.size(); ++i) {
        const std::optional<double> a = sample[i - 1]->date, b = sample[i]->date;
        if (!a || !b)
            continue;
        up += *b > *a;
        down += *b < *a;
    }
    r.newestFirst = down > up;
    std::optional<double> lo, hi;
    for (size_t i = 0; i < sample.size(); ++i) {
        if (!sample[i]->date)
            continue;
        const double d = *sample[i]->date;
        lo = lo ? std::min(*lo, d) : d;
        hi = hi ? std::max(*hi, d) : d;
        if (i == 0 || r.outOfOrder.number != 0)
            continue;
        const std::optional<double> before = sample[i - 1]->date;
        if (before && (r.newestFirst ? d > *before : d < *before)) {
            r.outOfOrder = Note(sample[i]->number, sample[i]->text);
            r.outOfOrderDate = d;
            r.outOfOrderAfter = *before;
        }
    }
    if (r.outOfOrder.number == 0) {
        // In order as far as looked at: the ends give the dates, as ever.
        r.firstDate = head.front().date;
        r.lastDate = dateOf(lastRecord);
        if (r.newestFirst)
            std::swap(r.firstDate, r.lastDate);
    } else {
        r.firstDate = lo;
        r.lastDate = hi;
    }
    return r;
}

Result<PriceExtremes> ScanWholeRange(const PriceSource& source, const FileLayout& given,
                                     double high, double low)
{
    const FileLayout layout = WithDecimalMark(source, given);
    PriceExtremes r;
    r.high = high;
    r.low = low;
    LineReader reader;
    if (auto opened = reader.open(source); !opened)
        return opened.error();
    if (layout.header)
        (void)reader.next();
    LineFields f;
    const bool comma = layout.decimalComma();
    while (const std::optional<std::string_view> line = reader.next()) {
        SplitLine(*line, layout, f);
        if (const std::optional<double> v = ReadPrice(f.high, comma); v && *v > r.high)
            r.high = *v;
        if (const std::optional<double> v = ReadPrice(f.low, comma); v && *v < r.low)
            r.low = *v;
    }
    if (reader.error())
        return *reader.error();
    return r;
}

namespace {
// High below Low, or Open or Close outside them.
bool Inconsistent(const PriceRecord& r)
{
    if ((r.Valid & (OpenOk | HighOk | LowOk | CloseOk)) != (OpenOk | HighOk | LowOk | CloseOk))
        return false;
    return r.High < r.Low || r.Open > r.High || r.Open < r.Low || r.Close > r.High ||
           r.Close < r.Low;
}
} // namespace

Result<LoadedRange> LoadRange(const PriceSource& source, const FileLayout& given,
                              const LoadRequest& req, std::vector<PriceRecord>& prices)
{
    const FileLayout layout = WithDecimalMark(source, given);
    LoadedRange res;
    prices.resize(1);

    LineReader reader;
    if (auto opened = reader.open(source); !opened)
        return opened.error();
    res.size = reader.size();
    const int64_t wanted = std::max<int64_t>(0, int64_t(req.lastRecord) - req.firstRecord + 1);
    // Records count in date order; newest first, record k is data line count - k + 1,
    // so the newest records are read from the start and nothing after them.
    const int64_t firstLine =
        req.newestFirst ? int64_t(req.recordCount) - req.lastRecord + 1 : int64_t(req.firstRecord);
    std::vector<PriceRecord> records;
    std::vector<int64_t> numbers;
    records.reserve(static_cast<size_t>(std::min<int64_t>(wanted, 1 << 20)));
    numbers.reserve(records.capacity());
    const int64_t header = layout.header ? 1 : 0;
    const int64_t skip =
        std::max<int64_t>(0, firstLine - 1) + header + std::max<int64_t>(0, req.skipLines);
    // The lines before the range matter only by their number: counted on
    // from the scan's last mark before the range while the file is as scanned,
    // or back from its last line end when the range is nearer to that (the
    // latest days of a long file: a few lines read, not most of a block).
    int64_t from = 0;
    if (!req.marks.empty() && reader.size() == req.scannedSize &&
        reader.modified() == req.scannedModified) {
        const auto after =
            std::upper_bound(req.marks.begin(), req.marks.end(), skip,
                             [](int64_t lines, const LineMark& m) { return lines < m.lines; });
        const LineMark* before = after != req.marks.begin() ? &*std::prev(after) : nullptr;
        const LineMark& lastEnd = req.marks.back();
        // Back only from within the last marked block, so that no more is
        // read back than a block however long the lines after the range.
        std::optional<int64_t> start;
        if (after == std::prev(req.marks.end()) &&
            lastEnd.lines - skip < skip - (before ? before->lines : 0))
            start = reader.startAfterEndsBefore(lastEnd.offset - 1, lastEnd.lines - skip);
        if (start && reader.seek(*start))
            from = skip;
        else if (before && reader.seek(before->offset))
            from = before->lines;
    }
    int64_t lineNo = skip;
    const bool more = reader.skip(skip - from) == skip - from;
    int64_t rec = 0;
    // Each record's day, none while no day is known for it.
    std::vector<std::optional<double>> days;
    std::optional<double> lastDate;
    for (std::optional<std::string_view> read; more && rec < wanted && (read = reader.next());
         ++rec) {
        const std::string_view line = *read;
        ++lineNo;
        PriceRecord r;
        std::optional<double> day;
        if (!reader.lineTooLong() && KindOf(line, layout) == LineKind::NoPrices) {
            // A slot without a bar, dated where the line says or as the record before.
            if (res.noPrices++ == 0)
                res.firstNoPrices = Note(lineNo, line);
            LineFields f;
            SplitLine(line, layout, f);
            r.IsBlank = true;
            day = ParseDate(f.date, layout.dateFormat);
            if (!day)
                day = lastDate;
        } else if (ReadRecord(line, layout, r, day) && !reader.lineTooLong()) {
            if (req.volumeColumn > 0) {
                std::string_view rest = line;
                std::optional<std::string_view> field;
                int k = 0;
                while (k < req.volumeColumn && (field = NextField(rest, layout.separator)))
                    ++k;
                std::optional<double> v;
                if (k == req.volumeColumn && (v = ReadVolume(*field, layout.decimalComma()))) {
                    r.Volume = *v;
                    r.Valid |= VolumeOk;
                }
            }
        } else {
            if (res.unreadable++ == 0)
                res.firstUnreadable = Note(lineNo, line);
            // A line whose date does not read has no place on the time axis:
            // it keeps its slot, without a bar, rather than a bar on a made-up day.
            if (!day && !layout.noDates()) {
                r = PriceRecord{};
                r.IsBlank = true;
                day = lastDate;
            }
        }
        r.Date = day.value_or(0);
        if (Inconsistent(r) && res.inconsistent++ == 0)
            res.firstInconsistent = Note(lineNo, line);
        if (day)
            lastDate = day;
        records.push_back(r);
        days.push_back(day);
        numbers.push_back(lineNo);
    }
    if (reader.error())
        return *reader.error();
    res.endedEarly = rec < wanted;
    reader.close();
    if (req.newestFirst) {
        std::reverse(records.begin(), records.end());
        std::reverse(days.begin(), days.end());
        std::reverse(numbers.begin(), numbers.end());
    }
    // Slots without a date before the range's first dated record take its date.
    if (!layout.noDates()) {
        std::optional<double> next;
        for (size_t i = records.size(); i-- > 0;) {
            if (days[i]) {
                next = days[i];
            } else if (records[i].IsBlank && next) {
                days[i] = next;
                records[i].Date = *next;
            }
        }
    }
    // Dates out of order: named, and the range drawn in date order. A slot
    // whose date did not read goes with the one before it.
    std::vector<double> keys(records.size());
    bool sorted = true;
    for (size_t i = 0; i < records.size(); ++i) {
        const PriceRecord& r = records[i];
        keys[i] = (!r.IsBlank && days[i]) || i == 0 ? r.Date : keys[i - 1];
        if (i > 0 && keys[i] < keys[i - 1] && sorted) {
            sorted = false;
            res.outOfOrder = Note(numbers[i], {});
            res.outOfOrderDate = keys[i];
            res.outOfOrderAfter = keys[i - 1];
        }
    }
    if (!sorted) {
        std::vector<size_t> order(records.size());
        for (size_t i = 0; i < order.size(); ++i)
            order[i] = i;
        std::stable_sort(order.begin(), order.end(),
                         [&keys](size_t a, size_t b) { return keys[a] < keys[b]; });
        std::vector<PriceRecord> inOrder;
        inOrder.reserve(records.size());
        for (size_t i : order)
            inOrder.push_back(records[i]);
        records.swap(inOrder);
    }

    prices.reserve(records.size() + static_cast<size_t>(std::max(req.blankDaysRight, 0)) + 1);
    double prevDate = 0;
    bool anyRecord = false;
    for (const PriceRecord& r : records) {
        if (r.IsBlank) {
            prices.push_back(r);
            continue;
        }
        if (req.holidaySpace && anyRecord) {
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
        anyRecord = true;
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
