#include "tests/Support.h"

#include "data/Dates.h"

QByteArray WeekdayFile(int records, bool header, int startDay)
{
    QByteArray out;
    if (header)
        out += "Date,Open,High,Low,Close\n";
    int day = startDay;
    for (int i = 0; i < records; ++i) {
        while (DayOfWeek(day) == 1 || DayOfWeek(day) == 7)
            ++day;
        const QDate d = QDate(1899, 12, 30).addDays(day);
        const double c = 100.0 + i;
        out += QStringLiteral("%1,%2,%3,%4,%5\n")
                   .arg(d.toString(QStringLiteral("MM/dd/yyyy")))
                   .arg(c - 0.5, 0, 'f', 2)
                   .arg(c + 1, 0, 'f', 2)
                   .arg(c - 1, 0, 'f', 2)
                   .arg(c, 0, 'f', 2)
                   .toLatin1();
        ++day;
    }
    return out;
}

void SessionTest::SetUp()
{
    ASSERT_TRUE(dir.isValid());
    ResetSharedState();
    s = std::make_unique<ChartSession>(prompts);
    s->toClipboard = nullptr;
    s->FormCreate(dir.path());
    s->SplashAcknowledged(false);
    s->FinishFirstActivation(width, height);
}

void SessionTest::Open(const QString& path)
{
    prompts.openAnswer = path;
    s->FileBtnClick();
}

void SessionTest::OpenWeekdays(int records)
{
    Open(WriteFile(dir, QStringLiteral("prices.txt"), WeekdayFile(records)));
}
