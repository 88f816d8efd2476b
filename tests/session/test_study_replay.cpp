// A study's figures are rebuilt from their dates and prices: opened in a
// window of any size, each gives the same values, and the anchors and
// choices it was kept with.
#include "app/session/GloVar.h"
#include "app/session/SharedInputs.h"
#include "data/WholeFile.h"
#include "tests/Support.h"
#include "tools/FigureTable.h"

namespace {
class StudyReplay : public SessionTest {
protected:
    // A figure of the kind named on two anchors, kept by Clip; DIR turned
    // after each, so that they alternate.
    void Draw(const char* key, double x1, double x2)
    {
        s->ChooseChartType(FigureKindNamed(key)->number);
        Anchors(PlotPoint(x1, 0.8), PlotPoint(x2, 0.3));
        s->DrawBtnClick();
        s->DirBtnClick();
        s->ClipButtonClick();
    }
    // The study opened by a new session whose chart has the size given.
    QString ValuesAt(const QString& study, int w, int h)
    {
        width = w;
        height = h;
        SessionTest::SetUp();
        EXPECT_TRUE(s->OpenStudy(study));
        return s->FigureValuesCsv();
    }
};
} // namespace

TEST_F(StudyReplay, ValuesDoNotDependOnTheWindowSize)
{
    PlotWeekdays();
    Draw("extensions", 0.2, 0.4);
    Draw("corrections", 0.3, 0.5);
    Draw("fan-lines", 0.35, 0.6);
    Draw("channel", 0.4, 0.7);
    Draw("time-goals", 0.5, 0.6);
    const QString values = s->FigureValuesCsv();
    const Study kept = s->CurrentStudy(QString());
    ASSERT_EQ(kept.figures.size(), 5u);
    ASSERT_NE(kept.figures[0].dir, kept.figures[1].dir);
    const QString study = dir.filePath(QStringLiteral("sizes.aurigon"));
    ASSERT_TRUE(s->SaveStudy(study));

    const struct {
        const char* name;
        int width, height;
    } sizes[] = {{"as drawn", 980, 590}, {"wider", 1400, 590}, {"smaller", 640, 420}};
    for (const auto& size : sizes) {
        SCOPED_TRACE(size.name);
        EXPECT_EQ(ValuesAt(study, size.width, size.height), values);
        // Each figure keeps the anchors and choices it was drawn with.
        const Study again = s->CurrentStudy(QString());
        ASSERT_EQ(again.figures.size(), kept.figures.size());
        for (size_t i = 0; i < kept.figures.size(); ++i) {
            EXPECT_EQ(again.figures[i].type, kept.figures[i].type) << i;
            EXPECT_EQ(again.figures[i].dir, kept.figures[i].dir) << i;
            EXPECT_EQ(again.figures[i].p1, kept.figures[i].p1) << i;
            EXPECT_EQ(again.figures[i].p2, kept.figures[i].p2) << i;
        }
        // The last figure's choices are the session's after the replay.
        EXPECT_EQ(s->GloVar.ChartType, kept.figures.back().type);
        EXPECT_EQ(s->GloVar.Dir, kept.figures.back().dir);
        EXPECT_EQ(s->GloVar.P1Anchor.date, kept.figures.back().p1.date);
        EXPECT_EQ(s->GloVar.P2Anchor.price, kept.figures.back().p2.price);
        EXPECT_TRUE(prompts.events.filter(QStringLiteral("error:")).isEmpty())
            << qPrintable(prompts.events.join('\n'));
    }
}

// Opening a study that fails hands back the error without a box; whoever
// asked shows it, once.
TEST_F(StudyReplay, AStudyThatDoesNotOpenIsSaidOnceByWhoeverAsked)
{
    PlotWeekdays();
    const QString kept = dir.filePath(QStringLiteral("kept.aurigon"));
    ASSERT_TRUE(s->SaveStudy(kept));
    const QByteArray study = ReadBytes(kept);
    const struct {
        const char* name;
        QByteArray studyText;
        std::optional<QByteArray> prices; // none: no price file beside it
        const char* opening;              // the message's opening words after its path
    } rows[] = {
        {"not a study", "{ not json", WeekdayFile(400), "Cannot open study %1. "},
        {"its dates gone from the prices", study, WeekdayFile(50),
         "Cannot open study %1. Its dates "},
        {"no price file", study, std::nullopt, "Cannot open the price file of study %1. "},
    };
    for (const auto& r : rows) {
        const QString folder = dir.filePath(QLatin1String(r.name));
        ASSERT_TRUE(QDir().mkpath(folder));
        const QString path = folder + QStringLiteral("/s.aurigon");
        ASSERT_TRUE(WriteWholeBytes(path, r.studyText));
        if (r.prices) {
            ASSERT_TRUE(WriteWholeBytes(folder + QStringLiteral("/prices.txt"), *r.prices));
        }
        prompts.events.clear();
        const Result<void> opened = s->OpenStudy(path);
        ASSERT_FALSE(opened) << r.name;
        const QString message = opened.error().message();
        EXPECT_TRUE(message.startsWith(QString::fromLatin1(r.opening).arg(path)))
            << r.name << ": " << message.toStdString();
        EXPECT_TRUE(prompts.events.filter(QStringLiteral("error:")).isEmpty()) << r.name;

        prompts.events.clear();
        prompts.openAnswer = path;
        s->StudyOpenClick();
        EXPECT_EQ(prompts.events.filter(QStringLiteral("error:")),
                  QStringList(QStringLiteral("error:") + message))
            << r.name;
    }
}

// Each kind of figure drawn by clicks and rebuilt from its study's days and
// prices gives the same picture, values and anchors.
TEST_F(StudyReplay, EachFigureRebuiltFromItsStudyIsTheOneDrawnByClicks)
{
    for (const FigureKind& kind : FigureKinds()) {
        SCOPED_TRACE(kind.key);
        SessionTest::SetUp();
        PlotWeekdays();
        s->ChooseChartType(kind.number);
        Anchors(PlotPoint(0.3, 0.7), PlotPoint(0.55, 0.45));
        s->DrawBtnClick();
        const QImage drawn = s->chart.image();
        const QString values = s->FigureValuesCsv();
        const AnchorPixels anchors = s->AnchorPixelsNow();
        const QString study = dir.filePath(QStringLiteral("%1.aurigon").arg(kind.key));
        ASSERT_TRUE(s->SaveStudy(study));
        ASSERT_TRUE(s->OpenStudy(study));
        EXPECT_EQ(s->FigureValuesCsv(), values);
        EXPECT_EQ(s->AnchorPixelsNow(), anchors);
        // Below the header, which names the figure type of the plot.
        const QRect below(0, 20, drawn.width(), drawn.height() - 20);
        EXPECT_TRUE(s->chart.image().copy(below) == drawn.copy(below));
    }
}
