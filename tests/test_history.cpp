// Undo and redo: every step gives back the figures, anchors and range as
// they were, in the state report and in the picture, and redo replays it.
#include <QJsonArray>
#include <QJsonObject>

#include "app/SharedInputs.h"
#include "app/StateReport.h"
#include "chart/ChartMap.h"
#include "tests/Support.h"

namespace {
class History : public SessionTest {
protected:
    void Plot()
    {
        OpenWeekdays(400);
        int focus = -1;
        ASSERT_TRUE(s->DatesAccept(QStringLiteral("100"), QStringLiteral("300"), QStringLiteral("0"), focus));
        s->PlotBtnClick();
        ASSERT_TRUE(GloVar.ChartShown);
    }
    // A pixel of the plot, as fractions of its width and height.
    static QPoint At(double fx, double fy)
    {
        const ChartMap m = CurrentChartMap();
        return {m.plotLeft + int(fx * m.plotWidth), m.plotTop + int(fy * m.plotHeight)};
    }
    void Click(MouseButton b, QPoint p, bool snap = false)
    {
        s->Image1MouseDown(b, p.x(), p.y(), snap);
        s->Image1MouseUp();
    }
    struct State {
        QJsonObject report;
        QImage image, base;
        QString values;
        // The figure in the making is an ellipse dragged live.
        bool dragged = false;
    };
    // After a live drag the markers of the drag's end and of the third
    // point may stack in another order when replayed; the figures do not.
    static constexpr int MarkerPixels = 30;
    static int PixelsApart(const QImage& a, const QImage& b)
    {
        if (a.size() != b.size())
            return a.width() * a.height() + 1;
        int n = 0;
        for (int y = 0; y < a.height(); ++y)
            for (int x = 0; x < a.width(); ++x)
                n += a.pixel(x, y) != b.pixel(x, y);
        return n;
    }
    State Now()
    {
        QJsonObject report = StateReport(*s);
        // The readout follows the pointer, not the figures.
        QJsonArray panels = report[QStringLiteral("panels")].toArray();
        for (int i : {int(PanelDate), int(PanelPrice), int(PanelPosition), int(PanelBar)})
            panels[i] = QString();
        report[QStringLiteral("panels")] = panels;
        const Study study = s->CurrentStudy(QString());
        const bool dragged = !study.figures.empty() && !study.figures.back().kept && study.figures.back().ellipseDragged;
        return {report, s->chart.image(), s->baseImage, s->FigureValuesCsv(), dragged};
    }
    static QString Diff(const State& a, const State& b)
    {
        QStringList d;
        const QJsonObject va = a.report[QStringLiteral("vars")].toObject();
        const QJsonObject vb = b.report[QStringLiteral("vars")].toObject();
        for (auto it = va.begin(); it != va.end(); ++it)
            if (vb[it.key()] != it.value())
                d << QStringLiteral("%1: %2 / %3").arg(it.key(), it.value().toVariant().toString(),
                                                       vb[it.key()].toVariant().toString());
        if (a.dragged != b.dragged)
            d << QStringLiteral("dragged");
        if (a.report != b.report && d.isEmpty())
            d << QStringLiteral("controls or panels");
        if (PixelsApart(a.image, b.image) > (a.dragged && b.dragged ? MarkerPixels : 0))
            d << QStringLiteral("picture");
        if (a.base != b.base)
            d << QStringLiteral("base picture");
        if (a.values != b.values)
            d << QStringLiteral("figure values");
        return d.join(QStringLiteral("; "));
    }
};

struct Step {
    const char* name; // as the Edit menu names it
    std::function<void()> act;
    // What comes before the step and is no step itself: arming P1 or P2.
    std::function<void()> arm = nullptr;
};
} // namespace

TEST_F(History, EveryStepIsUndoneAndRedoneExactly)
{
    Plot();
    const QPoint low = At(0.2, 0.8), high = At(0.5, 0.2), third = At(0.7, 0.5);
    auto* self = this;
    const std::vector<Step> steps = {
        {"Figure Type", [&] { s->ChooseChartType(4); }},
        {"Set P1", [&] { self->Click(MouseButton::Left, low); }, [&] { s->P1BtnClick(); }},
        {"Set P2", [&] { self->Click(MouseButton::Left, high, true); }, [&] { s->P2BtnClick(); }},
        {"Draw", [&] { s->DrawBtnClick(); }},
        {"RATIO", [&] { s->RatioBtnClick(); }},
        {"DIR", [&] { s->DirBtnClick(); }},
        {"Clip", [&] { s->ClipButtonClick(); }},
        {"Figure Type", [&] { s->ChooseChartType(2); }},
        {"Draw", [&] { s->DrawBtnClick(); }},
        {"Ellipse Drag",
         [&] {
             s->Image1MouseDown(MouseButton::Right, high.x(), high.y());
             s->Image1MouseMove(high.x() + 15, high.y() + 10);
             s->Image1MouseMove(high.x() + 30, high.y() + 25);
             s->Image1MouseUp();
         }},
        {"Set Third Point", [&] { self->Click(MouseButton::Left, third); }},
        {"Figure Type", [&] { s->ChooseChartType(7); }},
        {"Draw", [&] { s->DrawBtnClick(); }},
        {"Clear", [&] { s->EraseBtnClick(); }},
        {"Figure Type", [&] { s->ChooseChartType(5); }},
        {"Draw", [&] { s->DrawBtnClick(); }},
        {"Previous Period", [&] { s->ToolButton1Click(); }},
        {"Dates",
         [&] {
             s->PlotBtnClick();
             int focus = -1;
             ASSERT_TRUE(s->DatesAccept(QStringLiteral("50"), QStringLiteral("250"), QStringLiteral("3"), focus));
             s->PlotBtnClick();
         }},
    };
    std::vector<State> before;
    for (const Step& step : steps) {
        if (step.arm)
            step.arm();
        before.push_back(Now());
        const int depth = s->UndoDepth();
        step.act();
        EXPECT_EQ(s->UndoDepth(), depth + 1) << step.name;
        EXPECT_EQ(s->UndoCaption(), QStringLiteral("Undo ") + QLatin1String(step.name));
        EXPECT_FALSE(s->CanRedo());
    }
    const State last = Now();
    std::vector<State> after(before.begin() + 1, before.end());
    after.push_back(last);
    for (size_t i = steps.size(); i-- > 0;) {
        EXPECT_EQ(s->UndoCaption(), QStringLiteral("Undo ") + QLatin1String(steps[i].name));
        s->UndoClick();
        EXPECT_EQ(s->RedoCaption(), QStringLiteral("Redo ") + QLatin1String(steps[i].name));
        const QString diff = Diff(Now(), before[i]);
        EXPECT_TRUE(diff.isEmpty()) << "undo " << steps[i].name << " (" << i << "): " << qPrintable(diff);
    }
    EXPECT_FALSE(s->CanUndo());
    EXPECT_EQ(s->UndoCaption(), QStringLiteral("Undo"));
    for (size_t i = 0; i < steps.size(); ++i) {
        s->RedoClick();
        const QString diff = Diff(Now(), after[i]);
        EXPECT_TRUE(diff.isEmpty()) << "redo " << steps[i].name << " (" << i << "): " << qPrintable(diff);
    }
    EXPECT_FALSE(s->CanRedo());
    EXPECT_TRUE(prompts.events.filter(QStringLiteral("error:")).isEmpty()) << qPrintable(prompts.events.join('\n'));
}

TEST_F(History, AStepAfterAnUndoDropsWhatCouldBeRedone)
{
    Plot();
    s->ChooseChartType(1);
    s->DirBtnClick();
    s->UndoClick();
    EXPECT_TRUE(s->CanRedo());
    s->RatioBtnClick();
    EXPECT_FALSE(s->CanRedo());
    EXPECT_EQ(s->UndoCaption(), QStringLiteral("Undo RATIO"));
    // Nothing changed, nothing kept: a figure type chosen again is no step.
    const int depth = s->UndoDepth();
    s->ChooseChartType(1);
    EXPECT_EQ(s->UndoDepth(), depth);
}

TEST_F(History, KeepsTheLastHundredSteps)
{
    Plot();
    s->ChooseChartType(4);
    const int steps = ChartSession::HistoryLimit + 20;
    for (int i = 0; i < steps; ++i)
        s->DirBtnClick();
    EXPECT_EQ(s->UndoDepth(), ChartSession::HistoryLimit);
    int undone = 0;
    while (s->CanUndo()) {
        s->UndoClick();
        ++undone;
    }
    EXPECT_EQ(undone, ChartSession::HistoryLimit);
    // The oldest steps are gone: the figure type chosen first stays.
    EXPECT_EQ(GloVar.ChartType, 4);
    EXPECT_EQ(GloVar.Dir, (steps - ChartSession::HistoryLimit) % 2 ? -1 : 1);
}

TEST_F(History, SavingKeepsTheHistoryOpeningStartsANewOne)
{
    Plot();
    s->ChooseChartType(4);
    s->P1BtnClick();
    Click(MouseButton::Left, At(0.2, 0.8));
    s->P2BtnClick();
    Click(MouseButton::Left, At(0.6, 0.3));
    s->DrawBtnClick();
    const QString study = dir.filePath(QStringLiteral("kept.aurigon"));
    ASSERT_TRUE(s->SaveStudy(study));
    EXPECT_EQ(s->UndoDepth(), 4);
    EXPECT_EQ(s->UndoCaption(), QStringLiteral("Undo Draw"));
    s->EraseBtnClick();
    ASSERT_TRUE(s->OpenStudy(study));
    EXPECT_FALSE(s->CanUndo());
    EXPECT_FALSE(s->CanRedo());
    s->DirBtnClick();
    ASSERT_TRUE(s->CanUndo());
    OpenWeekdays(300);
    EXPECT_FALSE(s->CanUndo());
}

TEST_F(History, AClearIsUndoneOnAChartOfAnotherSize)
{
    Plot();
    s->ChooseChartType(5);
    s->P1BtnClick();
    Click(MouseButton::Left, At(0.1, 0.9));
    s->P2BtnClick();
    Click(MouseButton::Left, At(0.5, 0.1), true);
    s->DrawBtnClick();
    const Study drawn = s->CurrentStudy(QString());
    const double p2Price = GloVar.P2Price;
    s->EraseBtnClick();
    s->ResizeChart(width + 120, height - 60);
    s->UndoClick();
    const Study back = s->CurrentStudy(QString());
    ASSERT_EQ(back.figures.size(), 1u);
    // The figure and the snapped anchor in dates and prices, not in pixels.
    EXPECT_EQ(back.figures[0].p1.date, drawn.figures[0].p1.date);
    EXPECT_EQ(back.figures[0].p2.date, drawn.figures[0].p2.date);
    EXPECT_EQ(back.figures[0].p2.price, drawn.figures[0].p2.price);
    EXPECT_EQ(GloVar.P2Price, p2Price);
    EXPECT_EQ(GloVar.ChartWidth, width + 120);
}
