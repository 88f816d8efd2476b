#include "data/LayoutDetect.h"

#include <QFile>
#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "data/Dates.h"
#include "data/LineReader.h"
#include "data/Numbers.h"

namespace {
// Lines looked at to decide everything but the order of day and month.
constexpr int HeadLines = 40;

std::vector<std::string_view> Fields(std::string_view line, char separator)
{
    std::vector<std::string_view> out;
    std::string_view f;
    while (NextField(line, separator, f))
        out.push_back(TrimBlanks(f));
    return out;
}

std::string Normal(std::string_view name)
{
    std::string s;
    for (char c : name) {
        if (c == '<' || c == '>' || c == '"' || c == ' ' || c == '_' || c == '.')
            continue;
        s += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    }
    return s;
}

char SeparatorOf(std::string_view line)
{
    int tabs = 0, semis = 0, commas = 0;
    bool quoted = false;
    for (char c : line) {
        if (c == '"')
            quoted = !quoted;
        else if (!quoted)
            tabs += c == '\t', semis += c == ';', commas += c == ',';
    }
    if (tabs > 0)
        return '\t';
    if (semis > 0)
        return ';';
    return ',';
}

// The layouts under which a date text reads. A slash date with a year of two
// digits is not read as a year of the first century, nor one of four digits
// by the two-digit rule.
std::vector<int> LayoutsReading(std::string_view text)
{
    std::vector<int> out;
    text = TrimBlanks(text);
    const size_t lastSlash = text.rfind('/');
    const size_t yearDigits = lastSlash == std::string_view::npos ? 0 : text.size() - lastSlash - 1;
    for (int l : {MonthDayYear, DayMonthYear, MonthDayShortYear, DayMonthShortYear,
                  YearMonthDayDigits, YearMonthDay, DayMonthYearDots}) {
        const bool shortYear = l == MonthDayShortYear || l == DayMonthShortYear;
        const bool longYear = l == MonthDayYear || l == DayMonthYear;
        if ((shortYear && yearDigits > 2) || (longYear && yearDigits < 4))
            continue;
        if (ParseDate(text, l) != 0)
            out.push_back(l);
    }
    return out;
}

bool DayFirst(int layout)
{
    return layout == DayMonthYear || layout == DayMonthShortYear;
}

int Swapped(int layout)
{
    switch (layout) {
    case MonthDayYear: return DayMonthYear;
    case DayMonthYear: return MonthDayYear;
    case MonthDayShortYear: return DayMonthShortYear;
    case DayMonthShortYear: return MonthDayShortYear;
    default: return layout;
    }
}

bool PricesRead(const LineFields& f, bool decimalComma)
{
    double v = 0;
    return ReadPrice(f.open, decimalComma, v) && ReadPrice(f.high, decimalComma, v) &&
           ReadPrice(f.low, decimalComma, v) && ReadPrice(f.close, decimalComma, v);
}

// The file's last line as the scan reads it, from its end alone; empty
// when the file has no more than the head or its last line is too long.
std::string LastLineOf(const PriceSource& source, size_t headBytes)
{
    constexpr qint64 Tail = 1 << 16;
    QByteArray tail;
    if (source.bytes) {
        const std::string_view b = *source.bytes;
        if (b.size() <= headBytes)
            return {};
        const size_t from = b.size() - std::min<size_t>(b.size(), Tail);
        tail = QByteArray(b.data() + from, qsizetype(b.size() - from));
    } else {
        QFile f(source.path);
        // The reader has refused anything but a regular file by now.
        if (!f.open(QIODevice::ReadOnly) || f.isSequential())
            return {};
        const qint64 size = f.size();
        if (size <= qint64(headBytes) || !f.seek(std::max<qint64>(0, size - Tail)))
            return {};
        tail = f.read(Tail);
    }
    if (tail.endsWith('\n'))
        tail.chop(1);
    const qsizetype nl = tail.lastIndexOf('\n');
    if (nl < 0)
        return {};
    std::string line = tail.mid(nl + 1).toStdString();
    while (!line.empty() && line.back() == '\r')
        line.pop_back();
    return line;
}

bool SameColumns(const FileLayout& a, const FileLayout& b)
{
    return a.dateColumn == b.dateColumn && a.openColumn == b.openColumn &&
           a.highColumn == b.highColumn && a.lowColumn == b.lowColumn &&
           a.closeColumn == b.closeColumn;
}
} // namespace

bool ColumnsFromHeader(std::string_view header, char separator, FileLayout& layout)
{
    int date = 0, open = 0, high = 0, low = 0, close = 0, adjusted = 0;
    const auto names = Fields(header, separator);
    for (size_t i = 0; i < names.size(); ++i) {
        const std::string n = Normal(names[i]);
        const int k = static_cast<int>(i) + 1;
        auto take = [k](int& column) {
            if (column == 0)
                column = k;
        };
        if (n == "date" || n == "day" || n == "datetime" || n == "timestamp" || n == "time")
            take(date);
        else if (n == "open")
            take(open);
        else if (n == "high")
            take(high);
        else if (n == "low")
            take(low);
        else if (n == "close" || n == "close/last" || n == "last" || n == "price")
            take(close);
        else if (n == "adjclose" || n == "adjustedclose")
            take(adjusted);
    }
    if (close == 0)
        close = adjusted;
    if (date == 0 || close == 0)
        return false;
    layout.dateColumn = date;
    layout.closeColumn = close;
    // A file of closes only draws each day as a tick at its close.
    layout.openColumn = open ? open : close;
    layout.highColumn = high ? high : close;
    layout.lowColumn = low ? low : close;
    return true;
}

LayoutCheck CheckLayout(const PriceSource& source, const FileLayout& current)
{
    LayoutCheck out;
    LineReader reader;
    if (QString err = reader.open(source); !err.isEmpty()) {
        out.error = err;
        return out;
    }
    std::vector<std::string> head;
    std::string_view line;
    size_t headBytes = 0;
    while (head.size() < size_t(HeadLines) && reader.next(line)) {
        head.emplace_back(line);
        headBytes += line.size() + 1;
    }
    if (!reader.error().isEmpty()) {
        out.error = reader.error();
        return out;
    }
    if (head.empty() || current.noDates())
        return out;
    // The dated lines looked at: the head and the file's last line.
    std::vector<std::string_view> dated(head.begin() + (current.header ? 1 : 0), head.end());
    const std::string last = LastLineOf(source, headBytes);
    if (!last.empty())
        dated.push_back(last);
    auto readAll = [&dated](const FileLayout& l, int format) {
        for (std::string_view d : dated)
            if (!d.empty() && ParseDate(ScanDateField(d, l), format) == 0)
                return false;
        return true;
    };

    // The layout in force, as the scan and the load will read the first data line.
    const size_t firstData = current.header ? 1 : 0;
    if (firstData >= head.size())
        return out; // no data line to go by
    {
        LineFields f;
        SplitLine(head[firstData], current, f);
        FileLayout named = current;
        const bool headerNames =
            current.header && ColumnsFromHeader(head[0], current.separator, named);
        if (ParseDate(ScanDateField(head[firstData], current), current.dateFormat) != 0 &&
            PricesRead(f, current.decimalComma()) &&
            (!headerNames || SameColumns(named, current)) && readAll(current, current.dateFormat))
            return out;
    }

    FileLayout l = current;
    l.separator = SeparatorOf(head[0]);
    auto datesIn = [&](std::string_view text) {
        for (std::string_view f : Fields(text, l.separator))
            if (!LayoutsReading(f).empty())
                return true;
        return false;
    };
    l.header = !datesIn(head[0]) && head.size() > 1;
    const size_t first = l.header ? 1 : 0;
    out.firstData = LineNote{int64_t(first) + 1, head[first].substr(0, 120)};
    if (!l.header || !ColumnsFromHeader(head[0], l.separator, l)) {
        const auto fields = Fields(head[first], l.separator);
        int date = 0;
        for (size_t i = 0; i < fields.size() && date == 0; ++i)
            if (!LayoutsReading(fields[i]).empty())
                date = static_cast<int>(i) + 1;
        if (date == 0) {
            out.outcome = LayoutCheck::NoDate;
            return out;
        }
        l.dateColumn = date;
        l.openColumn = date + 1;
        l.highColumn = date + 2;
        l.lowColumn = date + 3;
        l.closeColumn = date + 4;
    }

    // The layouts that read the first data line, narrowed by the others
    // looked at (a line no candidate reads narrows nothing).
    std::vector<int> candidates = LayoutsReading(ScanDateField(head[first], l));
    if (candidates.empty()) {
        out.outcome = LayoutCheck::NoDate;
        return out;
    }
    dated.assign(head.begin() + std::ptrdiff_t(first) + 1, head.end());
    if (!last.empty())
        dated.push_back(last);
    for (std::string_view d : dated) {
        if (candidates.size() <= 1)
            break;
        const std::string_view text = ScanDateField(d, l);
        std::vector<int> next;
        for (int c : candidates)
            if (ParseDate(text, c) != 0)
                next.push_back(c);
        if (!next.empty())
            candidates = next;
    }
    int chosen = candidates.front();
    const bool ambiguous =
        candidates.size() > 1 && Swapped(chosen) != chosen &&
        std::find(candidates.begin(), candidates.end(), Swapped(chosen)) != candidates.end();
    if (ambiguous) {
        // The first later line with a day above 12 settles the order.
        int settled = -1;
        LineReader all;
        if (all.open(source).isEmpty()) {
            if (l.header)
                all.next(line);
            while (settled < 0 && all.next(line)) {
                const std::string_view text = ScanDateField(line, l);
                const bool a = ParseDate(text, chosen) != 0;
                const bool b = ParseDate(text, Swapped(chosen)) != 0;
                if (a != b)
                    settled = a ? chosen : Swapped(chosen);
            }
        }
        if (settled >= 0) {
            chosen = settled;
        } else {
            out.guessedOrder = true;
            if (current.dateFormat == chosen || current.dateFormat == Swapped(chosen))
                chosen = current.dateFormat;
            else
                chosen = DayFirst(chosen) ? Swapped(chosen) : chosen;
        }
    }
    l.dateFormat = chosen;
    out.layout = l;
    // Nothing better than the layout in force: what does not read stays unread.
    out.outcome = l == current ? LayoutCheck::Fits : LayoutCheck::Detected;
    return out;
}
