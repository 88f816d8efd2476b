#include "data/RecordDates.h"

#include <QDate>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>

#include "data/Dates.h"
#include "data/PriceReader.h"

std::optional<double> RecordDates::dayOf(long long record) const
{
    if (record < 1 || record > count())
        return std::nullopt;
    return days[size_t(record - 1)];
}

int RecordDates::firstOnOrAfter(double day) const
{
    for (int k = 1; k <= count(); ++k)
        if (const auto& d = days[size_t(k - 1)]; d && *d >= day)
            return k;
    return 0;
}

int RecordDates::lastOnOrBefore(double day) const
{
    for (int k = count(); k >= 1; --k)
        if (const auto& d = days[size_t(k - 1)]; d && *d <= day)
            return k;
    return 0;
}

Result<RecordDates> ReadRecordDates(const PriceSource& source, const FileLayout& layout,
                                    int recordCount, bool newestFirst, int64_t skipLines)
{
    RecordDates out;
    LineReader reader;
    if (auto opened = reader.open(source); !opened)
        return opened.error();
    if (layout.header)
        (void)reader.next();
    if (skipLines > 0)
        reader.skip(skipLines);
    out.days.reserve(size_t(std::max(recordCount, 0)));
    std::optional<std::string_view> line;
    while (out.count() < recordCount && (line = reader.next()))
        out.days.push_back(ParseDate(ScanDateField(*line, layout), layout.dateFormat));
    if (reader.error())
        return *reader.error();
    if (newestFirst)
        std::reverse(out.days.begin(), out.days.end());
    return out;
}

std::optional<double> DayFromIsoText(const QString& text)
{
    static const QRegularExpression iso(QStringLiteral("^\\s*(\\d{4})-(\\d{1,2})-(\\d{1,2})\\s*$"));
    const QRegularExpressionMatch m = iso.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    return DayFromYmd(m.captured(1).toLongLong(), m.captured(2).toLongLong(),
                      m.captured(3).toLongLong());
}

QString IsoText(std::optional<double> day)
{
    return IsoDayText(day);
}
