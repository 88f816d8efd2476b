#include "data/LayoutDetect.h"

#include <QDate>
#include <QStringList>
#include <algorithm>
#include <array>
#include <climits>
#include <set>
#include <string>
#include <vector>

#include "data/Dates.h"
#include "data/HeaderNames.h"
#include "data/LineReader.h"
#include "data/Numbers.h"

namespace {
// Lines looked at to decide everything but the order of day and month.
constexpr int HeadLines = 40;
// Lines looked at from the end.
constexpr int TailLines = 12;

std::vector<std::string_view> Fields(std::string_view line, char separator)
{
    std::vector<std::string_view> out;
    while (const std::optional<std::string_view> f = NextField(line, separator))
        out.push_back(TrimBlanks(*f));
    return out;
}

std::string Normal(std::string_view name)
{
    return NormalName(name);
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
    for (int l :
         {MonthDayYear, DayMonthYear, MonthDayShortYear, DayMonthShortYear, YearMonthDayDigits,
          YearMonthDay, DayMonthYearDots, MonthNameDayYear, DayMonthNameYear, DayMonthNameShortYear,
          DayMonthNameYearDashes, YearMonthNameDay, EpochTime}) {
        const bool shortYear = l == MonthDayShortYear || l == DayMonthShortYear;
        const bool longYear = l == MonthDayYear || l == DayMonthYear;
        if ((shortYear && yearDigits > 2) || (longYear && yearDigits < 4))
            continue;
        if (ParseDate(text, l))
            out.push_back(l);
    }
    return out;
}

// hh:mm or hh:mm:ss, a fraction of a second allowed: a time of day, never a price.
bool TimeOfDay(std::string_view t)
{
    t = TrimBlanks(t);
    auto digits = [&t](size_t min, size_t max) {
        size_t n = 0;
        while (n < t.size() && t[n] >= '0' && t[n] <= '9')
            ++n;
        t.remove_prefix(n);
        return n >= min && n <= max;
    };
    auto mark = [&t](char c) {
        if (t.empty() || t.front() != c)
            return false;
        t.remove_prefix(1);
        return true;
    };
    if (!digits(1, 2) || !mark(':') || !digits(2, 2))
        return false;
    if (mark(':') && (!digits(2, 2) || (mark('.') && !digits(1, 9))))
        return false;
    return t.empty();
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
    return ReadPrice(f.open, decimalComma) && ReadPrice(f.high, decimalComma) &&
           ReadPrice(f.low, decimalComma) && ReadPrice(f.close, decimalComma);
}

bool SameColumns(const FileLayout& a, const FileLayout& b)
{
    return a.dateColumn == b.dateColumn && a.openColumn == b.openColumn &&
           a.highColumn == b.highColumn && a.lowColumn == b.lowColumn &&
           a.closeColumn == b.closeColumn;
}

// The header named all four prices, each in a column of its own: it is the file's word.
bool AllNamed(const FileLayout& l)
{
    const std::array<int, 4> c{l.openColumn, l.highColumn, l.lowColumn, l.closeColumn};
    for (size_t i = 0; i < c.size(); ++i)
        for (size_t j = i + 1; j < c.size(); ++j)
            if (c[i] == c[j])
                return false;
    return true;
}

bool HasDate(std::string_view line, char separator)
{
    for (std::string_view f : Fields(line, separator))
        if (!LayoutsReading(f).empty())
            return true;
    return false;
}

// Lines whose four prices read and disagree: High below Low, or Open or
// Close outside them.
int Disagreeing(const std::vector<std::string_view>& lines, const FileLayout& l)
{
    int n = 0;
    const bool comma = l.decimalComma();
    for (std::string_view line : lines) {
        LineFields f;
        SplitLine(line, l, f);
        const std::optional<double> o = ReadPrice(f.open, comma), h = ReadPrice(f.high, comma),
                                    lo = ReadPrice(f.low, comma), c = ReadPrice(f.close, comma);
        if (o && h && lo && c)
            n += *h < *lo || *o > *h || *o < *lo || *c > *h || *c < *lo;
    }
    return n;
}

// The checks a reading of the prices must pass before it is charted: on
// at least 95% of the lines the four prices read, High is not below Low,
// and Open and Close lie within them; no price column is constant or a
// copy of another while the rest move. Empty when the reading passes; else
// the check failed, with the first line failing it and what was read there.
struct Verdict {
    QString failed;
    size_t unread = 0;       // lines whose four prices do not all read
    bool closesOnly = false; // four columns of one number on every line
    size_t line = 0;
    QString read;
};
Verdict Check(const std::vector<std::string_view>& lines, const FileLayout& l)
{
    Verdict v;
    if (lines.empty())
        return v;
    const bool comma = l.decimalComma();
    std::vector<std::array<double, 4>> prices;
    size_t failing = 0, first = lines.size();
    std::array<double, 4> firstRead{};
    std::array<bool, 4> firstOk{};
    for (size_t i = 0; i < lines.size(); ++i) {
        LineFields f;
        SplitLine(lines[i], l, f);
        const std::array<std::optional<double>, 4> read{
            ReadPrice(f.open, comma), ReadPrice(f.high, comma), ReadPrice(f.low, comma),
            ReadPrice(f.close, comma)};
        std::array<double, 4> p{};
        std::array<bool, 4> ok{};
        for (size_t k = 0; k < read.size(); ++k) {
            ok[k] = read[k].has_value();
            p[k] = read[k].value_or(0);
        }
        const bool all = ok[0] && ok[1] && ok[2] && ok[3];
        // Prices that do not read are the load's to name, line by line.
        const bool bad =
            all && (p[1] < p[2] || p[0] > p[1] || p[0] < p[2] || p[3] > p[1] || p[3] < p[2]);
        if (all)
            prices.push_back(p);
        else
            ++v.unread;
        if (bad && failing++ == 0)
            first = i, firstRead = p, firstOk = ok;
    }
    auto what = [](const std::array<double, 4>& p, const std::array<bool, 4>& ok) {
        const char* names[] = {"Open", "High", "Low", "Close"};
        QStringList parts;
        for (size_t k = 0; k < 4; ++k)
            parts << QStringLiteral("%1 %2").arg(QLatin1String(names[k]),
                                                 ok[k] ? QString::number(p[k], 'g', 10)
                                                       : QStringLiteral("(no number)"));
        return parts.join(QStringLiteral(", "));
    };
    if (failing * 20 > lines.size()) {
        v.failed = QStringLiteral("%1 of the %2 lines looked at have High below Low, or Open or "
                                  "Close outside them")
                       .arg(failing)
                       .arg(lines.size());
        v.line = first;
        v.read = what(firstRead, firstOk);
        return v;
    }
    // Constant or copied columns tell of a column taken for the wrong one;
    // a few lines prove nothing.
    if (prices.size() < 20)
        return v;
    const std::array<int, 4> cols{l.openColumn, l.highColumn, l.lowColumn, l.closeColumn};
    const char* names[] = {"Open", "High", "Low", "Close"};
    auto same = [&prices](size_t a, size_t b) {
        for (const auto& p : prices)
            if (p[a] != p[b])
                return false;
        return true;
    };
    bool allSame = true;
    for (size_t a = 1; a < 4; ++a)
        allSame = allSame && same(0, a);
    if (allSame) {
        v.closesOnly = std::set<int>(cols.begin(), cols.end()).size() > 1;
        return v;
    }
    for (size_t a = 0; a < 4; ++a) {
        bool constant = true;
        for (const auto& p : prices)
            constant = constant && p[a] == prices.front()[a];
        if (constant) {
            v.failed =
                QStringLiteral("the %1 is the same on every line").arg(QLatin1String(names[a]));
            v.read = what(prices.front(), {true, true, true, true});
            return v;
        }
        for (size_t b = a + 1; b < 4; ++b)
            if (cols[a] != cols[b] && same(a, b)) {
                v.failed = QStringLiteral("the %1 is a copy of the %2 on every line")
                               .arg(QLatin1String(names[b]), QLatin1String(names[a]));
                v.read = what(prices.front(), {true, true, true, true});
                return v;
            }
    }
    return v;
}

// The price columns reassigned to the order that the most lines agree with;
// the given order wins every tie.
int BestAssignment(const std::vector<std::string_view>& lines, FileLayout& l)
{
    int best = Disagreeing(lines, l);
    if (!TooInconsistent(best, int64_t(lines.size())))
        return best;
    std::array<int, 4> cols{l.openColumn, l.highColumn, l.lowColumn, l.closeColumn};
    const std::array<int, 4> given = cols;
    std::sort(cols.begin(), cols.end());
    FileLayout chosen = l;
    do {
        FileLayout t = l;
        t.openColumn = cols[0];
        t.highColumn = cols[1];
        t.lowColumn = cols[2];
        t.closeColumn = cols[3];
        if (cols == given)
            continue;
        const int n = Disagreeing(lines, t);
        if (n < best) {
            best = n;
            chosen = t;
        }
    } while (std::next_permutation(cols.begin(), cols.end()));
    l = chosen;
    return best;
}
} // namespace

namespace {
QString LanguageOf(const std::vector<std::string_view>& names, char separator)
{
    std::vector<std::string> normals;
    for (std::string_view n : names)
        for (std::string_view f : Fields(n, separator))
            normals.push_back(Normal(f));
    return HeaderLanguage(normals);
}
} // namespace

QString LayoutInWords(const FileLayout& l, bool newestFirst, const QString& language)
{
    QStringList words;
    words << (l.separator == ';'    ? QStringLiteral("semicolons")
              : l.separator == '\t' ? QStringLiteral("tabs")
                                    : QStringLiteral("commas"));
    words << (l.decimalComma() ? QStringLiteral("decimal comma") : QStringLiteral("decimal point"));
    if (!l.noDates())
        words << DateLayoutNames().value(l.dateFormat);
    if (newestFirst)
        words << QStringLiteral("newest first");
    if (!l.header)
        words << QStringLiteral("no header line");
    else if (!language.isEmpty())
        words << QStringLiteral("header in %1").arg(language);
    return words.join(QStringLiteral(", "));
}

QString PreviewOf(const PriceSource& source, const FileLayout& layout)
{
    const Result<FileScan> scan = ScanPriceData(source, layout);
    if (!scan)
        return scan.error().message();
    const FileLayout l = WithDecimalMark(source, layout);
    QString language;
    if (l.header) {
        LineReader reader;
        std::optional<std::string_view> line;
        if (reader.open(source) && (line = reader.next())) {
            const std::string first(*line);
            language = LanguageOf({first}, l.separator);
        }
    }
    QStringList out{LayoutInWords(l, scan->newestFirst, language)};
    auto price = [](const PriceRecord& r, uint8_t bit, double v) {
        return (r.Valid & bit) ? QString::number(v, 'g', 10) : QStringLiteral("-");
    };
    auto records = [&](int32_t first, int32_t last) {
        LoadRequest req;
        req.firstRecord = first;
        req.lastRecord = last;
        req.newestFirst = scan->newestFirst;
        req.recordCount = scan->count;
        req.skipLines = scan->skipLines;
        std::vector<PriceRecord> prices;
        if (!LoadRange(source, layout, req, prices))
            return;
        for (size_t i = 1; i < prices.size(); ++i) {
            const PriceRecord& r = prices[i];
            out << QStringLiteral("%1  %2  %3  %4  %5")
                       .arg(layout.noDates() ? QStringLiteral("(no date)") : IsoDayText(r.Date),
                            price(r, OpenOk, r.Open), price(r, HighOk, r.High),
                            price(r, LowOk, r.Low), price(r, CloseOk, r.Close));
        }
    };
    const int32_t n = scan->count;
    out << QStringLiteral("%1 records; the first and the last five:").arg(n);
    records(1, std::min(5, n));
    if (n > 5) {
        if (n > 10)
            out << QStringLiteral("...");
        records(std::max(6, n - 4), n);
    }
    return out.join(QLatin1Char('\n'));
}

bool TooInconsistent(int64_t disagreeing, int64_t n)
{
    return disagreeing > 2 && disagreeing * 10 > n;
}

std::optional<FileLayout> ColumnsFromHeader(const std::vector<std::string_view>& lines,
                                            char separator, FileLayout layout)
{
    // Each part by its best name: a lower rank wins, the first column among equals.
    struct Part {
        int column = 0, rank = INT_MAX;
        void offer(int k, int r)
        {
            if (r < rank)
                column = k, rank = r;
        }
    } date, open, high, low, close;
    std::vector<std::vector<std::string>> names;
    for (std::string_view line : lines) {
        names.emplace_back();
        for (std::string_view f : Fields(line, separator))
            names.back().push_back(Normal(f));
    }
    // A field number the settings cannot hold names nothing.
    constexpr size_t MaxColumn = INT16_MAX;
    // A time of day names the date only where nothing else does (seconds since 1970).
    for (const auto& row : names)
        for (size_t i = 0; i < row.size() && i < MaxColumn; ++i) {
            int rank = 0;
            const Column c = ColumnOf(row[i], &rank);
            if (c == Column::Date)
                date.offer(int(i) + 1, rank);
            else if (c == Column::Time)
                date.offer(int(i) + 1, 5);
        }
    for (const auto& row : names)
        for (size_t i = 0; i < row.size() && i < MaxColumn; ++i) {
            const int k = int(i) + 1;
            if (k == date.column)
                continue;
            int rank = 0;
            switch (ColumnOf(row[i], &rank)) {
            case Column::Open: open.offer(k, rank); break;
            case Column::High: high.offer(k, rank); break;
            case Column::Low: low.offer(k, rank); break;
            case Column::Close:
            case Column::AdjClose: close.offer(k, rank); break;
            default: break;
            }
        }
    // High and Low named with no close under a name known here (Schluss,
    // Cierre...): the close is the first price column left unnamed, failing
    // that the open, so the bars still span each day's High and Low.
    if (date.column != 0 && close.column == 0 && high.column != 0 && low.column != 0) {
        const auto& row = names.front();
        for (size_t i = 0; i < row.size() && i < MaxColumn && close.column == 0; ++i) {
            const int k = int(i) + 1;
            const std::string& n = row[i];
            const bool taken =
                k == date.column || k == open.column || k == high.column || k == low.column;
            const bool notPrice = n.empty() || ColumnOf(n) != Column::None ||
                                  n.rfind("vol", 0) == 0 || n.rfind("change", 0) == 0 ||
                                  n.rfind("chg", 0) == 0 || n.find('%') != std::string::npos ||
                                  n == "oi" || n == "openinterest" || n == "amount" ||
                                  n == "turnover" || n == "trades" || n == "count" ||
                                  n == "ticker" || n == "symbol" || n == "name";
            if (!taken && !notPrice)
                close.column = k;
        }
        if (close.column == 0)
            close.column = open.column;
    }
    if (date.column == 0 || close.column == 0)
        return std::nullopt;
    layout.dateColumn = date.column;
    layout.closeColumn = close.column;
    // A file of closes only draws each day as a tick at its close.
    layout.openColumn = open.column ? open.column : close.column;
    layout.highColumn = high.column ? high.column : close.column;
    layout.lowColumn = low.column ? low.column : close.column;
    return layout;
}

std::optional<FileLayout> ColumnsFromHeader(std::string_view header, char separator,
                                            const FileLayout& layout)
{
    return ColumnsFromHeader(std::vector<std::string_view>{header}, separator, layout);
}

Result<LayoutCheck> CheckLayout(const PriceSource& source, const FileLayout& current)
{
    LayoutCheck out;
    LineReader reader;
    if (auto opened = reader.open(source); !opened)
        return opened.error();
    std::vector<std::string> head;
    std::optional<std::string_view> line;
    while (head.size() < size_t(HeadLines) && (line = reader.next()))
        head.emplace_back(*line);
    if (reader.error())
        return *reader.error();
    if (head.empty() || current.noDates())
        return out;
    const std::vector<std::string> tail = reader.lastLines(TailLines, reader.position());
    if (reader.error())
        return *reader.error();

    // Nothing after the first line but blank lines: nothing to go by.
    {
        bool blank = true;
        for (size_t i = 1; i < head.size() && blank; ++i)
            blank = TrimBlanks(head[i]).empty();
        for (size_t i = 0; i < tail.size() && blank; ++i)
            blank = TrimBlanks(tail[i]).empty();
        if (blank)
            return out;
    }
    // The layout in force, as the scan and the load will read the file.
    {
        const FileLayout c = WithDecimalMark(source, current);
        const size_t from = c.header ? 1 : 0;
        // More header lines: names only, before the first record.
        size_t first = from;
        while (first < head.size() && KindOf(head[first], c) != LineKind::Record &&
               NamesOnly(head[first]))
            ++first;
        std::vector<std::string_view> names(head.begin(), head.begin() + std::ptrdiff_t(first));
        std::vector<std::string_view> data;
        bool datesRead = true;
        auto look = [&](std::string_view d) {
            const LineKind k = KindOf(d, c);
            if (k == LineKind::Record)
                data.push_back(d);
            else if (k == LineKind::NoDate && !NamesOnly(d))
                datesRead = false;
        };
        for (size_t i = first; i < head.size(); ++i)
            look(head[i]);
        for (const std::string& d : tail)
            look(d);
        LineFields f;
        if (!data.empty())
            SplitLine(data.front(), c, f);
        const std::optional<FileLayout> namedLayout =
            c.header ? ColumnsFromHeader(names, c.separator, c) : std::nullopt;
        const bool headerNames = namedLayout.has_value();
        const FileLayout named = namedLayout.value_or(c);
        const bool firstIsRecord = c.header && KindOf(head[0], c) == LineKind::Record;
        // A first line of names where the layout expects none.
        const bool unexpectedHeader = !c.header && head.size() > 1 &&
                                      !HasDate(head[0], c.separator) &&
                                      KindOf(head[0], c) != LineKind::Record;
        FileLayout reassigned = c;
        const bool consistent =
            data.empty() || (headerNames && AllNamed(named) && Check(data, c).failed.isEmpty()) ||
            !TooInconsistent(Disagreeing(data, c), int64_t(data.size())) ||
            (BestAssignment(data, reassigned), SameColumns(reassigned, c));
        if (headerNames)
            out.language = LanguageOf(names, c.separator);
        if (!data.empty() && !firstIsRecord && !unexpectedHeader && datesRead &&
            PricesRead(f, c.decimalComma()) && (!headerNames || SameColumns(named, c)) &&
            consistent && Check(data, c).failed.isEmpty()) {
            out.looked = int(data.size());
            return out;
        }
    }

    FileLayout l = current;
    // The separator is judged on the first line that has one: a title line has none.
    size_t firstText = 0;
    while (firstText + 1 < head.size() &&
           head[firstText].find_first_of(",;\t") == std::string::npos)
        ++firstText;
    l.separator = SeparatorOf(head[firstText]);
    // Header lines: a first line without a date, then lines of names only.
    size_t first = 0;
    if (!HasDate(head[0], l.separator) && head.size() > 1) {
        first = 1;
        while (first < head.size() && !HasDate(head[first], l.separator) && NamesOnly(head[first]))
            ++first;
    }
    l.header = first > 0;
    // The first data line: the first after the header that holds a date.
    size_t firstData = first;
    while (firstData < head.size() && !HasDate(head[firstData], l.separator))
        ++firstData;
    if (firstData >= head.size())
        firstData = first < head.size() ? first : head.size() - 1;
    out.firstData = LineNote{int64_t(firstData) + 1, head[firstData].substr(0, 120)};
    const std::vector<std::string_view> names(head.begin(), head.begin() + std::ptrdiff_t(first));
    const std::optional<FileLayout> namedLayout =
        l.header ? ColumnsFromHeader(names, l.separator, l) : std::nullopt;
    const bool headerNames = namedLayout.has_value();
    if (headerNames)
        l = *namedLayout;
    if (headerNames)
        out.language = LanguageOf(names, l.separator);
    if (!headerNames) {
        const auto fields = Fields(head[firstData], l.separator);
        int date = 0;
        for (size_t i = 0; i < fields.size() && date == 0; ++i)
            if (!LayoutsReading(fields[i]).empty())
                date = static_cast<int>(i) + 1;
        if (date == 0) {
            out.outcome = LayoutCheck::NoDate;
            return out;
        }
        // A time of day beside the date is no price.
        if (size_t(date) < fields.size() && TimeOfDay(fields[size_t(date)]))
            ++date, l.dateColumn = date - 1;
        else
            l.dateColumn = date;
        l.openColumn = date + 1;
        l.highColumn = date + 2;
        l.lowColumn = date + 3;
        l.closeColumn = date + 4;
    }

    // The layouts that read the first data line, narrowed by the others
    // looked at (a line no candidate reads narrows nothing).
    std::vector<int> candidates = LayoutsReading(ScanDateField(head[firstData], l));
    if (candidates.empty()) {
        out.outcome = LayoutCheck::NoDate;
        return out;
    }
    std::vector<std::string_view> dated(head.begin() + std::ptrdiff_t(firstData) + 1, head.end());
    for (const std::string& d : tail)
        dated.push_back(d);
    for (std::string_view d : dated) {
        if (candidates.size() <= 1)
            break;
        const std::string_view text = ScanDateField(d, l);
        std::vector<int> next;
        for (int c : candidates)
            if (ParseDate(text, c))
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
        if (all.open(source)) {
            (void)all.skip(int64_t(firstData));
            while (settled < 0 && (line = all.next())) {
                const std::string_view text = ScanDateField(*line, l);
                const bool a = ParseDate(text, chosen).has_value();
                const bool b = ParseDate(text, Swapped(chosen)).has_value();
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

    l.decimal = 0;
    l = WithDecimalMark(source, l);
    // The price columns checked against each other on the records looked at.
    std::vector<std::string_view> data;
    for (size_t i = firstData; i < head.size(); ++i)
        if (KindOf(head[i], l) == LineKind::Record)
            data.push_back(head[i]);
    for (const std::string& d : tail)
        if (KindOf(d, l) == LineKind::Record)
            data.push_back(d);
    out.looked = int(data.size());
    const int disagreeing =
        headerNames && AllNamed(l) ? Disagreeing(data, l) : BestAssignment(data, l);
    if (TooInconsistent(disagreeing, out.looked))
        out.inconsistent = disagreeing;
    // A reading that fails the checks is not charted: the other readings
    // the numbers allow are tried, the columns shifted by one either way
    // and the prices reordered; the first that passes is taken.
    const Verdict v = Check(data, l);
    out.closesOnly = v.closesOnly;
    if (!v.failed.isEmpty()) {
        std::vector<FileLayout> others;
        for (int shift : {1, -1}) {
            FileLayout t = l;
            t.openColumn += shift, t.highColumn += shift, t.lowColumn += shift,
                t.closeColumn += shift;
            const int lowest = std::min({t.openColumn, t.highColumn, t.lowColumn, t.closeColumn});
            if (lowest >= 1 && lowest != t.dateColumn && t.dateColumn != t.openColumn &&
                t.dateColumn != t.highColumn && t.dateColumn != t.lowColumn &&
                t.dateColumn != t.closeColumn)
                others.push_back(t);
        }
        for (FileLayout t : std::vector<FileLayout>(others)) {
            BestAssignment(data, t);
            others.push_back(t);
        }
        FileLayout reordered = l;
        BestAssignment(data, reordered);
        others.push_back(reordered);
        bool passed = false;
        for (const FileLayout& t : others) {
            // Another reading must also read the prices the first one read.
            const Verdict w = Check(data, t);
            if (!w.failed.isEmpty() || w.unread > v.unread)
                continue;
            out.reread = QStringLiteral("With Open in field %1, High %2, Low %3 and Close %4, %5; "
                                        "read from fields %6, %7, %8 and %9 they pass")
                             .arg(l.openColumn)
                             .arg(l.highColumn)
                             .arg(l.lowColumn)
                             .arg(l.closeColumn)
                             .arg(v.failed)
                             .arg(t.openColumn)
                             .arg(t.highColumn)
                             .arg(t.lowColumn)
                             .arg(t.closeColumn);
            l = t;
            out.inconsistent = 0;
            passed = true;
            break;
        }
        if (!passed) {
            out.outcome = LayoutCheck::Refused;
            out.refusal = v.failed;
            out.read = v.read;
            const std::string_view at = data[v.line];
            int64_t number = 0;
            for (size_t i = 0; i < head.size() && number == 0; ++i)
                if (head[i].data() == at.data())
                    number = int64_t(i) + 1;
            out.firstData = LineNote{number, std::string(at.substr(0, 120))};
            l.decimal = 0;
            out.layout = l;
            return out;
        }
    }
    // The decimal mark is the file's own, decided again whenever it is read.
    l.decimal = 0;
    out.layout = l;
    // Nothing better than the layout in force: what does not read stays unread.
    out.outcome = l == current ? LayoutCheck::Fits : LayoutCheck::Detected;
    return out;
}
