// The open price file grows while the window shows it: the watcher picks the
// append up with no step of the person's.
#include <QFile>
#include <QLabel>

#include "tests/WindowFixture.h"

namespace {
class GrowingWindow : public WindowFixture {};
} // namespace

TEST_F(GrowingWindow, ThreeAppendedLinesExtendTheChartAndKeepTheFigure)
{
    OpenAndPlot(600);
    ASSERT_EQ(form->session.GloVar.LastRecord, 600);
    DrawSpiral();
    const int figures = form->session.FigureCount();
    const QImage before = form->session.chart.image();
    {
        QFile f(dir.filePath(QStringLiteral("prices.txt")));
        ASSERT_TRUE(f.open(QIODevice::Append));
        f.write(WeekdayFile(603).mid(WeekdayFile(600).size()));
    }
    ASSERT_TRUE(QTest::qWaitFor([this] { return form->session.GloVar.RecordCount == 603; }, 10000));
    EXPECT_EQ(form->session.GloVar.LastRecord, 603);
    EXPECT_TRUE(form->session.GloVar.ChartShown);
    EXPECT_EQ(form->session.GloVar.Prices[size_t(form->session.GloVar.LoadedCount)].Close,
              100.0 + 602);
    EXPECT_EQ(form->session.FigureCount(), figures);
    EXPECT_NE(form->session.chart.image(), before);
    bool said = false;
    for (const QLabel* l : form->findChildren<QLabel*>())
        said = said || l->text() == QLatin1String("3 new records");
    EXPECT_TRUE(said);
}
