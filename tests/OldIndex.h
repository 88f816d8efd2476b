#pragma once
// A real-looking index history from Friday 1 December 1899: a line a
// weekday, the exchange's holidays left out and a Saturday session now and
// then, as exchanges of the time kept them. Saturday 30 December 1899 is
// such a session: day 0 of the day count.
#include <QByteArray>
#include <QDate>
#include <QString>
#include <algorithm>
#include <cmath>
#include <vector>

struct OldSession {
    QDate date;
    double open, high, low, close;
};

inline std::vector<OldSession> OldIndexSessions(const QDate& last = QDate(1900, 12, 31))
{
    const QDate holidays[] = {{1899, 12, 25}, {1900, 1, 1}, {1900, 2, 22},  {1900, 5, 30},
                              {1900, 7, 4},   {1900, 9, 3}, {1900, 11, 29}, {1900, 12, 25}};
    const QDate saturdays[] = {{1899, 12, 2}, {1899, 12, 30}, {1900, 6, 2}};
    auto among = [](const auto& list, const QDate& d) {
        return std::find(std::begin(list), std::end(list), d) != std::end(list);
    };
    auto cents = [](double v) { return std::round(v * 100) / 100; };
    std::vector<OldSession> out;
    double close = 66.08;
    int n = 0;
    for (QDate d(1899, 12, 1); d <= last; d = d.addDays(1)) {
        if ((d.dayOfWeek() >= 6 && !among(saturdays, d)) || among(holidays, d))
            continue;
        const double open = cents(close + 0.03 * std::cos(n * 1.3));
        close = cents(open + 0.9 * std::sin(n * 0.7) + 0.05);
        const double high = cents(std::max(open, close) + 0.25 + 0.1 * (n % 3));
        const double low = cents(std::min(open, close) - 0.2 - 0.1 * (n % 4));
        out.push_back({d, open, high, low, close});
        ++n;
    }
    return out;
}

// As an index download writes it: a header, mm/dd/yyyy dates, two decimals.
inline QByteArray OldIndexFile(const std::vector<OldSession>& sessions)
{
    QByteArray out = "Date,Open,High,Low,Close\n";
    for (const OldSession& s : sessions)
        out += QStringLiteral("%1,%2,%3,%4,%5\n")
                   .arg(s.date.toString(QStringLiteral("MM/dd/yyyy")))
                   .arg(s.open, 0, 'f', 2)
                   .arg(s.high, 0, 'f', 2)
                   .arg(s.low, 0, 'f', 2)
                   .arg(s.close, 0, 'f', 2)
                   .toLatin1();
    return out;
}

// The day number of a date: whole days from 30 December 1899.
inline double OldDay(const QDate& d)
{
    return double(QDate(1899, 12, 30).daysTo(d));
}
