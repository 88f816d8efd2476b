// Sessions side by side, as a watchlist renders several studies: each keeps
// its own file, layout, range, figures and values whatever the other does.
#include <QJsonObject>

#include "app/session/ValuesReport.h"
#include "tests/Support.h"

namespace {
struct Side {
    QTemporaryDir dir;
    RecordingPrompts prompts;
    ChartSession s{prompts};
    Side()
    {
        s.toClipboard = nullptr;
        s.FormCreate(dir.path());
        s.SplashAcknowledged(false);
        s.FinishFirstActivation(980, 590);
    }
    void Open(const QString& name, const QByteArray& bytes)
    {
        prompts.openAnswer = WriteFile(dir, name, bytes);
        s.FileBtnClick();
    }
    // Everything the session shows of itself: its values, controls and picture.
    struct Seen {
        QJsonObject values;
        std::array<QString, PanelCount> panels;
        QImage chart;
        bool operator==(const Seen&) const = default;
    };
    [[nodiscard]] Seen Now() { return {ValuesReport(s), s.ui.panels, s.chart.image()}; }
};
} // namespace

TEST(Sessions, TwoSessionsSideBySideKeepTheirOwnValues)
{
    RecordingPrompts none;
    const QJsonObject untouched = ValuesReport(ChartSession(none));

    Side a, b;
    ASSERT_TRUE(a.dir.isValid() && b.dir.isValid());
    a.Open(QStringLiteral("rising.txt"), WeekdayFile(400));
    ASSERT_EQ(a.s.DatesAccept(QStringLiteral("100"), QStringLiteral("300"), QStringLiteral("0")),
              DatesAnswer::Taken);
    a.s.PlotBtnClick();
    // The other file is laid out otherwise: semicolons and decimal commas.
    b.Open(QStringLiteral("german.csv"), SemicolonFile(300));
    b.s.PlotBtnClick();
    ASSERT_TRUE(a.s.ChartShown());
    ASSERT_TRUE(b.s.ChartShown());

    // A figure drawn in one leaves the other as it was, pixel for pixel.
    const Side::Seen bBefore = b.Now();
    a.s.P1BtnClick();
    a.s.Image1MouseDown(MouseButton::Left, 300, 300);
    a.s.P2BtnClick();
    a.s.Image1MouseDown(MouseButton::Left, 450, 250);
    a.s.Image1MouseUp();
    a.s.ChooseChartType(FigureNamed("spiral"));
    a.s.DrawBtnClick();
    EXPECT_EQ(a.s.FigureCount(), 1);
    EXPECT_TRUE(b.Now() == bBefore);
    EXPECT_EQ(b.s.FigureCount(), 0);
    EXPECT_EQ(b.s.AnchorPixelsNow().P1X, -1);

    // And the other way round: a move of one range leaves the figure's session alone.
    const Side::Seen aBefore = a.Now();
    b.s.LeftBtnClick();
    b.s.UndoClick();
    EXPECT_TRUE(a.Now() == aBefore);

    auto range = [](const ChartSession& s) {
        return QStringLiteral("%1-%2").arg(s.GloVar.FirstRecord).arg(s.GloVar.LastRecord);
    };
    struct Row {
        const char* name;
        QString seen, expected;
    };
    const Row rows[] = {
        {"file", a.s.PriceFile(), QDir(a.dir.path()).filePath(QStringLiteral("rising.txt"))},
        {"other file", b.s.PriceFile(), QDir(b.dir.path()).filePath(QStringLiteral("german.csv"))},
        {"separator", QString(QLatin1Char(a.s.Layout().separator)), QStringLiteral(",")},
        {"other separator", QString(QLatin1Char(b.s.Layout().separator)), QStringLiteral(";")},
        {"records", QString::number(a.s.GloVar.RecordCount), QStringLiteral("400")},
        {"other records", QString::number(b.s.GloVar.RecordCount), QStringLiteral("300")},
        {"range", range(a.s), QStringLiteral("100-300")},
        {"other range, as the first Plot picks it", range(b.s), QStringLiteral("40-300")},
        {"figure type", QString::number(a.s.ChartType()), QStringLiteral("1")},
        {"other figure type", QString::number(b.s.ChartType()), QStringLiteral("0")},
    };
    for (const Row& r : rows)
        EXPECT_EQ(r.seen, r.expected) << r.name;

    // A session made after all that starts from the values every session starts from.
    EXPECT_EQ(ValuesReport(ChartSession(none)), untouched);
}
