// Targets in sight through scripts: the scale grown to an extension, the
// labels of a default channel apart, a time goal past the last bar marked.
#include <QDate>
#include <QFileInfo>
#include <QJsonArray>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "data/Dates.h"
#include "tests/Support.h"

namespace {
const char* const Plot = R"(ack
press FileBtn
open "@SAMPLES@/sample.txt"
dates FRecordEdit=2340 LRecordEdit=2600 NdayEdit=0
press PlotBtn
)";

QString Anchors(int x1, int y1, int x2, int y2)
{
    return QStringLiteral("press P1Btn\nclick %1 %2\npress P2Btn\nclick %3 %4\n")
        .arg(x1)
        .arg(y1)
        .arg(x2)
        .arg(y2);
}

class FigureViewScript : public ScriptInFolder {
protected:
    ScriptRun Run(const QString& body)
    {
        return ScriptInFolder::Run(QString::fromLatin1(Plot) + body);
    }
    // The state reports' values of a name, in order.
    static std::vector<double> Values(const ScriptRun& r, const char* name)
    {
        std::vector<double> out;
        for (const QJsonObject& e : r.events)
            if (e[QStringLiteral("event")] == QStringLiteral("state"))
                out.push_back(e[QStringLiteral("vars")]
                                  .toObject()[QLatin1String(name)]
                                  .toVariant()
                                  .toDouble());
        return out;
    }
    // The texts written since the picture was last restored.
    QStringList LastTexts(const char* trace) const
    {
        QStringList texts;
        for (const QString& line : Rows(trace)) {
            if (line == QLatin1String("restore"))
                texts.clear();
            else if (line.startsWith(QLatin1String("text ")))
                texts << line;
        }
        return texts;
    }
};

struct Text {
    int x = 0, y = 0;
    QString align, letters;
};

Text ParseText(const QString& line)
{
    static const QRegularExpression re(QStringLiteral("^text (-?\\d+) (-?\\d+) (\\S+) \"(.*)\"$"));
    const QRegularExpressionMatch m = re.match(line);
    if (!m.hasMatch())
        return {};
    return {m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3), m.captured(4)};
}
} // namespace

TEST_F(FigureViewScript, AnExtensionAboveTheScaleLiesInsideItWithScaleToFigures)
{
    ASSERT_TRUE(dir.isValid());
    // A rise over most of the plot: its 0.618 extension lies above the bars.
    const ScriptRun r =
        Run(Anchors(300, 500, 400, 80) +
            QStringLiteral("type 4\npress DrawBtn\nvalues before.csv\nstate\n"
                           "menu \"View/Scale to figures\"\nvalues after.csv\nstate\n"
                           "menu \"View/Scale to figures\"\nstate\n"
                           "menu \"View/Scale to figures\"\nkey Left\nstate\n"));
    ASSERT_EQ(r.status, 0) << r.kinds().join(' ').toStdString();
    double level = 0;
    for (const QString& row : Rows("before.csv"))
        if (row.section(',', 2, 2) == QLatin1String("level 0.618"))
            level = row.section(',', 3, 3).toDouble();
    ASSERT_GT(level, 0);
    const std::vector<double> top = Values(r, "ScaleTop"), bottom = Values(r, "ScaleBottom"),
                              on = Values(r, "ScaleToFigures");
    ASSERT_EQ(top.size(), 4u);
    EXPECT_LT(top[0], level);
    EXPECT_EQ(on, (std::vector<double>{0, 1, 0, 1}));
    // On, and on again after a move: the level within the scale.
    for (size_t i : {1u, 3u}) {
        EXPECT_GE(top[i], level) << i;
        EXPECT_LE(bottom[i], level) << i;
    }
    // Off: the bars' own scale again.
    EXPECT_DOUBLE_EQ(top[2], top[0]);
    EXPECT_DOUBLE_EQ(bottom[2], bottom[0]);
    // The figure itself is the same one, only the scale grew around it.
    EXPECT_EQ(Rows("after.csv"), Rows("before.csv"));

    // A script keeps no settings: the next run starts from the defaults again,
    // and nothing is left beside the layout file.
    const ScriptRun next = Run(QStringLiteral("state\n"));
    ASSERT_EQ(next.status, 0);
    EXPECT_EQ(Values(next, "ScaleToFigures"), std::vector<double>{0});
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("fview.dat"))));
}

TEST_F(FigureViewScript, LabelsOfADefaultChannelNeverOverlap)
{
    ASSERT_TRUE(dir.isValid());
    const ScriptRun r =
        Run(QStringLiteral("menu \"View/Level values\"\n") + Anchors(430, 350, 560, 190) +
            QStringLiteral("type 7\ntrace t.txt\npress DrawBtn\ntrace off\nstate\n"));
    ASSERT_EQ(r.status, 0);
    Canvas measure;
    measure.create(16, 16, true);
    std::vector<std::pair<QRect, QString>> cells;
    for (const QString& line : LastTexts("t.txt")) {
        const Text t = ParseText(line);
        const TextAlign a = t.align == QLatin1String("right-bottom") ? TextAlign::RightBottom
                            : t.align == QLatin1String("center-top") ? TextAlign::CenterTop
                                                                     : TextAlign::LeftBottom;
        const ChartFace face =
            t.letters.startsWith(QLatin1String("www.")) ? ChartFace::Header : ChartFace::Label;
        cells.emplace_back(measure.textCell(t.x, t.y, a, t.letters, face), t.letters);
    }
    // The channel's three lines and the maker's line.
    ASSERT_GE(cells.size(), 4u);
    for (size_t i = 0; i < cells.size(); ++i)
        for (size_t j = i + 1; j < cells.size(); ++j)
            EXPECT_FALSE(cells[i].first.intersects(cells[j].first))
                << cells[i].second.toStdString() << " over " << cells[j].second.toStdString();
}

TEST_F(FigureViewScript, ATimeGoalPastTheLastBarIsMarkedAtTheRightEdge)
{
    ASSERT_TRUE(dir.isValid());
    const ScriptRun r =
        Run(QStringLiteral("menu \"View/Level values\"\n") + Anchors(600, 450, 850, 300) +
            QStringLiteral("type 6\ntrace t.txt\npress DrawBtn\ntrace off\nvalues v.csv\nstate\n"
                           "menu \"View/Room for time goals\"\nstate\n"));
    ASSERT_EQ(r.status, 0);
    const std::vector<double> right = Values(r, "PlotRight"), totalSlots = Values(r, "TotalSlots"),
                              room = Values(r, "TimeGoalRoom"), blank = Values(r, "BlankDaysRight");
    ASSERT_EQ(right.size(), 2u);
    // The furthest goal's day from the values file, as the chart writes days.
    double furthest = 0;
    for (const QString& row : Rows("v.csv"))
        if (row.section(',', 2, 2).startsWith(QLatin1String("time goal"))) {
            const QDate d = QDate::fromString(row.section(',', 4, 4), Qt::ISODate);
            furthest =
                std::max(furthest, DayFromYmd(d.year(), d.month(), d.day()).value_or(furthest));
        }
    ASSERT_GT(furthest, 0);
    QStringList marks;
    for (const QString& line : LastTexts("t.txt"))
        if (line.contains(QStringLiteral("\u2192")))
            marks << line;
    ASSERT_FALSE(marks.isEmpty());
    const Text mark = ParseText(marks.back());
    EXPECT_EQ(mark.x, int(right[0]) - 3);
    EXPECT_TRUE(marks.join('|').contains(ShortDate(furthest))) << marks.join('|').toStdString();
    // Room for time goals: blank days up to the goal, the person's own left as set.
    EXPECT_EQ(room, (std::vector<double>{0, 1}));
    EXPECT_GT(totalSlots[1], totalSlots[0]);
    EXPECT_EQ(blank, (std::vector<double>{0, 0}));
}
