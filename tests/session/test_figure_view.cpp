// Figures in view: labels that never cover one another, what lies past the
// plot marked at its edges, the scale and blank days grown to the figures,
// and figures hidden and shown again.
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include "app/session/SharedInputs.h"
#include "chart/ChartMap.h"
#include "data/Dates.h"
#include "data/Program.h"
#include "tests/Support.h"
#include "tests/Trace.h"
#include "tools/FigureValues.h"

namespace {
class FigureView : public SessionTest {
protected:
    void SetUp() override
    {
        SessionTest::SetUp();
        OpenWeekdays(300);
        s->PlotBtnClick();
        ASSERT_TRUE(s->GloVar.ChartShown);
    }
    void Draw(int type)
    {
        s->ChooseChartType(type);
        s->DrawBtnClick();
    }
    // The cells of the texts drawn inside the plot.
    std::vector<std::pair<QRect, QString>> PlotTexts(const QStringList& trace) const
    {
        static const QRegularExpression text(
            QStringLiteral("^text (-?\\d+) (-?\\d+) (\\S+) \"(.*)\"$"));
        const ChartMap map = CurrentChartMap(s->GloVar);
        const QRect plot(QPoint(map.plotLeft, map.plotTop), QPoint(map.plotRight, map.plotBottom));
        std::vector<std::pair<QRect, QString>> out;
        for (const QString& line : trace) {
            const QRegularExpressionMatch m = text.match(line);
            if (!m.hasMatch())
                continue;
            const QString align = m.captured(3);
            const TextAlign a = align == QLatin1String("right-bottom") ? TextAlign::RightBottom
                                : align == QLatin1String("center-top") ? TextAlign::CenterTop
                                                                       : TextAlign::LeftBottom;
            QString letters = m.captured(4);
            letters.replace(QLatin1String("\\\""), QLatin1String("\""));
            // The maker's line is in a face of its own.
            const ChartFace face =
                letters == QLatin1String(MakerWebAddress) ? ChartFace::Header : ChartFace::Label;
            const QRect cell =
                s->chart.textCell(m.captured(1).toInt(), m.captured(2).toInt(), a, letters, face);
            // The maker's line is written again by every Draw, at its one place.
            const bool again = face == ChartFace::Header &&
                               std::any_of(out.begin(), out.end(), [&](const auto& o) {
                                   return o.first == cell && o.second == letters;
                               });
            if (plot.contains(cell) && !again)
                out.emplace_back(cell, letters);
        }
        return out;
    }
};
} // namespace

// Labels without room are left out and listed; a new chart starts with
// nothing left out.
TEST_F(FigureView, LevelLabelsNeverCoverOneAnother)
{
    s->GloVar.LevelValues = true;
    struct Row {
        const char* name;
        std::vector<int> types; // drawn one after another on the same anchors, each kept
        QPoint p1, p2;
        bool crowded = false; // more labels than the plot has rows for
    } rows[] = {
        {"forty corrections", std::vector<int>(40, 5), {300, 450}, {700, 150}, true},
        {"a default channel", {7}, {430, 350}, {560, 190}},
        {"the same corrections twice", {5, 5}, {300, 450}, {700, 150}},
        {"extensions, corrections and time goals on one move", {4, 5, 6}, {300, 450}, {600, 300}},
        {"a channel over corrections", {5, 7}, {300, 330}, {600, 300}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        s->PlotBtnClick(); // Reset: a clean chart for each row
        s->PlotBtnClick();
        Recorder trace(s->chart);
        Anchors(row.p1, row.p2);
        for (int type : row.types) {
            Draw(type);
            s->ClipButtonClick();
        }
        const auto texts = PlotTexts(trace.all);
        s->chart.setTrace(nullptr);
        ASSERT_GE(texts.size(), 3u);
        for (size_t i = 0; i < texts.size(); ++i)
            for (size_t j = i + 1; j < texts.size(); ++j)
                EXPECT_FALSE(texts[i].first.intersects(texts[j].first))
                    << texts[i].second.toStdString() << " covers " << texts[j].second.toStdString();
        EXPECT_EQ(s->ui.panels[PanelLevels].contains(QStringLiteral("no room to label: ")),
                  row.crowded)
            << s->ui.panels[PanelLevels].toStdString();
    }
}

TEST_F(FigureView, WhatLiesPastThePlotIsMarkedAtItsEdge)
{
    const ChartMap map = CurrentChartMap(s->GloVar);
    struct Row {
        const char* name;
        int type;
        QPoint p1, p2;
        bool levelValues;
        const char* starts; // the mark's first letters; empty: no mark
        const char* ends;
    } rows[] = {
        {"an extension above the scale", 4, {300, 500}, {500, 100}, true, "\u2191 ", "  0.618"},
        {"an extension of a fall below the scale",
         4,
         {300, 100},
         {500, 500},
         true,
         "\u2193 ",
         "  0.618"},
        {"a time goal past the last slot",
         6,
         {300, 450},
         {map.plotRight - 20, 300},
         true,
         "",
         " \u2192"},
        {"a time goal before the first slot",
         6,
         {map.plotRight - 200, 450},
         {map.plotLeft + 20, 300},
         true,
         "\u2190 ",
         ""},
        {"nothing marked with Level values off", 4, {300, 500}, {500, 100}, false, "", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        s->GloVar.LevelValues = row.levelValues;
        Anchors(row.p1, row.p2);
        Recorder trace(s->chart);
        Draw(row.type);
        const QStringList texts = trace.starting(QStringLiteral("text"));
        s->chart.setTrace(nullptr);
        QStringList marks;
        for (const QString& t : texts)
            if (t.contains(QStringLiteral("\u2191")) || t.contains(QStringLiteral("\u2193")) ||
                t.contains(QStringLiteral("\u2192")) || t.contains(QStringLiteral("\u2190")))
                marks << t;
        const bool left = QByteArray(row.starts) == "\u2190 ";
        if (QByteArray(row.ends).isEmpty() && !left) {
            EXPECT_TRUE(marks.isEmpty()) << marks.join('|').toStdString();
            continue;
        }
        ASSERT_EQ(marks.size(), 1) << texts.join('|').toStdString();
        const QString mark = marks.front();
        EXPECT_TRUE(mark.contains(QStringLiteral("\"") + QString::fromUtf8(row.starts)))
            << mark.toStdString();
        EXPECT_TRUE(mark.endsWith(QString::fromUtf8(row.ends) + QStringLiteral("\"")))
            << mark.toStdString();
        if (row.type == 6) {
            // The goal's own trading day, at the right edge.
            const FigureElement* goal = nullptr;
            for (const FigureElement& e : s->currentElements())
                if (e.shape == ElementShape::Vertical &&
                    (left ? e.lines.front().x1 < map.plotLeft : e.lines.front().x1 > map.plotRight))
                    goal = &e;
            ASSERT_NE(goal, nullptr);
            const ElementValues v = ValuesOf(*goal, map, s->GloVar.Prices);
            ASSERT_TRUE(v.date.has_value());
            const QString day = ShortDate(*v.date);
            EXPECT_TRUE(mark.contains(day)) << mark.toStdString() << " wants " << day.toStdString();
            if (!left)
                EXPECT_TRUE(mark.startsWith(QStringLiteral("text %1 ").arg(map.plotRight - 3)))
                    << mark.toStdString();
            else
                EXPECT_LT(mark.section(u' ', 1, 1).toInt(), map.plotLeft + 200)
                    << mark.toStdString();
        }
        s->EraseBtnClick();
    }
}

TEST_F(FigureView, ScaleAndBlankDaysGrowToTheFiguresAndBack)
{
    const double top = s->GloVar.ScaleTop;
    const int slotsBefore = s->GloVar.TotalSlots;
    Anchors({300, 500}, {500, 100});
    Draw(4);
    s->ClipButtonClick();
    double level = 0;
    for (const FigureElement& e : s->keptElements().back())
        if (e.shape == ElementShape::Level && e.price)
            level = std::max(level, *e.price);
    ASSERT_GT(level, top);
    Anchors({300, 450}, {CurrentChartMap(s->GloVar).plotRight - 20, 300});
    Draw(6);
    const QString values = s->FigureValuesCsv();

    s->ScaleToFiguresClick();
    EXPECT_GE(s->GloVar.ScaleTop, level);
    EXPECT_EQ(s->GloVar.TotalSlots, slotsBefore);
    s->TimeGoalRoomClick();
    EXPECT_GT(s->GloVar.TotalSlots, slotsBefore);
    EXPECT_EQ(s->GloVar.BlankDaysRight, 0); // the person's own blank days stay
    // Every goal now stands inside the plot.
    const ChartMap map = CurrentChartMap(s->GloVar);
    for (const FigureElement& e : s->currentElements()) {
        if (e.shape == ElementShape::Vertical) {
            EXPECT_LE(e.lines.front().x1, map.plotRight) << e.name.toStdString();
        }
    }
    // The figures' own numbers do not move with the room they are given.
    EXPECT_EQ(s->FigureValuesCsv().split('\n').size(), values.split('\n').size());
    EXPECT_EQ(s->FigureCount(), 2);
    // The old view file is never written again; off again gives the bars' own scale.
    EXPECT_FALSE(QFileInfo::exists(s->ViewSettingsPath()));
    s->ScaleToFiguresClick();
    s->TimeGoalRoomClick();
    EXPECT_DOUBLE_EQ(s->GloVar.ScaleTop, top);
    EXPECT_EQ(s->GloVar.TotalSlots, slotsBefore);
}

TEST_F(FigureView, HiddenFiguresAreNotDrawnAndComeBackWithUndoAndStudies)
{
    const QImage clean = s->chart.image();
    Anchors({300, 450}, {600, 300});
    Draw(5);
    s->ClipButtonClick();
    const QImage drawn = s->chart.image();
    ASSERT_NE(drawn, clean);
    const std::vector<Segment> lines = s->FigureLines(1);
    const int steps = s->UndoDepth();
    ASSERT_TRUE(s->SetFigureHidden(1, true));
    // Along its level lines the picture is the clean chart's again (the
    // markers at the anchors aside).
    const QImage hidden = s->chart.image();
    int onLines = 0, clear = 0;
    for (const Segment& l : lines) {
        if (l.y1 != l.y2 || !hidden.rect().contains(l.x1, l.y1))
            continue;
        for (int x = std::max(l.x1, 0); x < std::min(l.x2, hidden.width()); x += 3) {
            ++onLines;
            clear += hidden.pixel(x, l.y1) == clean.pixel(x, l.y1);
        }
    }
    ASSERT_GT(onLines, 50);
    EXPECT_GT(clear, onLines * 95 / 100) << clear << " of " << onLines;
    EXPECT_EQ(s->UndoDepth(), steps + 1);
    EXPECT_EQ(s->FigureCount(), 1);
    EXPECT_TRUE(s->FigureLines(1).empty());
    EXPECT_TRUE(s->FigureRows().at(0).hidden);
    // Nothing of it in the figure values either.
    const std::vector<FigureElement>& kept = s->keptElements().at(0);
    EXPECT_TRUE(kept.empty());
    EXPECT_FALSE(s->SetFigureHidden(2, true));

    // Saved hidden, opened hidden.
    const QString path = dir.filePath(QStringLiteral("hidden.aurigon"));
    ASSERT_TRUE(s->SaveStudy(path));
    EXPECT_TRUE(ReadBytes(path).contains("\"hidden\": true"));
    ASSERT_TRUE(s->OpenStudy(path));
    ASSERT_EQ(s->FigureCount(), 1);
    EXPECT_TRUE(s->FigureRows().at(0).hidden);

    // Shown again: the same picture as before it was hidden.
    ASSERT_TRUE(s->SetFigureHidden(1, false));
    EXPECT_FALSE(s->FigureLines(1).empty());
    s->UndoClick();
    EXPECT_TRUE(s->FigureRows().at(0).hidden);
    s->RedoClick();
    EXPECT_FALSE(s->FigureRows().at(0).hidden);

    // A study written before figures could be hidden opens with them shown.
    QJsonObject study = QJsonDocument::fromJson(ReadBytes(path)).object();
    QJsonArray figures = study[QStringLiteral("figures")].toArray();
    ASSERT_EQ(figures.size(), 1);
    QJsonObject figure = figures[0].toObject();
    ASSERT_TRUE(figure.contains(QStringLiteral("hidden")));
    figure.remove(QStringLiteral("hidden"));
    figures[0] = figure;
    study[QStringLiteral("figures")] = figures;
    const QByteArray old = QJsonDocument(study).toJson();
    const QString oldPath = WriteFile(dir, QStringLiteral("old.aurigon"), old);
    ASSERT_TRUE(s->OpenStudy(oldPath));
    ASSERT_EQ(s->FigureCount(), 1);
    EXPECT_FALSE(s->FigureRows().at(0).hidden);
}

TEST_F(FigureView, TheListNamesEachFiguresTypeAndAnchors)
{
    Anchors({300, 450}, {600, 300});
    Draw(4);
    s->ClipButtonClick();
    s->ChooseChartType(FigureNamed("fan-lines")); // fan lines stand on P1 alone
    s->DrawBtnClick();
    const auto rows = s->FigureRows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].number, 1);
    EXPECT_EQ(rows[0].type, QStringLiteral("EXTENSIONS"));
    EXPECT_EQ(rows[1].type, QStringLiteral("FAN LINES"));
    const StudyFigure first = s->CurrentStudy(QString()).figures.at(0);
    EXPECT_TRUE(rows[0].anchors.startsWith(QStringLiteral("P1 ") + IsoText(first.p1.date)))
        << rows[0].anchors.toStdString();
    EXPECT_TRUE(rows[0].anchors.contains(QStringLiteral(", P2 ") + IsoText(first.p2.date)));
    EXPECT_FALSE(rows[1].anchors.contains(QStringLiteral("P2")));
}
