#include <QImage>
#include <cmath>

#include "app/session/SharedInputs.h"
#include "chart/Output.h"
#include "data/Dates.h"
#include "tests/Support.h"
#include "tests/Trace.h"

namespace {
class Session : public SessionTest {
protected:
    std::pair<int, int> Now() const { return {s->GloVar.FirstRecord, s->GloVar.LastRecord}; }
    static std::pair<int, int> R(int f, int l) { return {f, l}; }
};

} // namespace

TEST_F(Session, FileLayoutDialogTakesAllOrNothing)
{
    EXPECT_FALSE(s->FileSetupAccept(false,
                                    {QStringLiteral("3"), QStringLiteral("x"), QStringLiteral("1"),
                                     QStringLiteral("1"), QStringLiteral("1")},
                                    4));
    EXPECT_EQ(prompts.events,
              QStringList({QStringLiteral("beep"),
                           QStringLiteral("message:Aurigon:Wrong field number!   Enter again.")}));
    EXPECT_TRUE(s->GloVar.HasHeaderLine);
    EXPECT_EQ(s->GloVar.DateColumn, 1);
    EXPECT_FALSE(QFile::exists(s->SettingsPath()));

    ASSERT_TRUE(s->FileSetupAccept(false,
                                   {QStringLiteral("3"), QStringLiteral(" 4"), QStringLiteral("5"),
                                    QStringLiteral("6"), QStringLiteral("7")},
                                   4));
    EXPECT_FALSE(s->GloVar.HasHeaderLine);
    EXPECT_EQ(s->GloVar.OpenColumn, 4);
    EXPECT_EQ(s->GloVar.DateFormat, 4);
    QFile f(s->SettingsPath());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().startsWith("0\r\n3\r\n 4\r\n5\r\n6\r\n7\r\n4\r\n38\r\n"));
}

TEST_F(Session, DatesDialogAcceptsAndRefuses)
{
    OpenWeekdays(2000);
    struct Case {
        const char *first, *last, *blank;
        bool accepted;
        int focus; // of a refusal; of an acceptance, the blank days kept
        bool plot;
    } cases[] = {
        {"1000", "1260", "0", true, 0, true},
        {"1000", "1260", "75", true, 50, true},
        {"1000", "1260", "-3", true, 0, true},
        {"1260", "1260", "0", false, 1, false},
        {"1", "2001", "0", false, 1, false},
        {"0", "0", "0", true, 0, false},
        {"0", "100", "0", true, 0, false},
        {"", "100", "0", false, 0, false},
        {"10", "abc", "0", false, 0, false},
        {"10", "20", "x", false, 0, false},
        {"99999999999", "100", "0", false, 0, false},
        {"1", "70000", "0", false, 1, false},
    };
    for (const Case& c : cases) {
        s->GloVar.FirstRecord = 5;
        s->GloVar.LastRecord = 50;
        s->GloVar.BlankDaysRight = 7;
        prompts.events.clear();
        const DatesAnswer answer =
            s->DatesAccept(QString::fromLatin1(c.first), QString::fromLatin1(c.last),
                           QString::fromLatin1(c.blank));
        const bool ok = answer == DatesAnswer::Taken;
        EXPECT_EQ(ok, c.accepted) << c.first << " " << c.last;
        if (!ok) {
            EXPECT_EQ(answer, c.focus == 0 ? DatesAnswer::FixFirst : DatesAnswer::FixLast)
                << c.first << " " << c.last;
            EXPECT_EQ(prompts.events,
                      QStringList(
                          {QStringLiteral("beep"),
                           QStringLiteral("message:Aurigon:Wrong Record Number!   Enter again.")}));
            // A refused entry stores nothing.
            EXPECT_EQ(s->GloVar.FirstRecord, 5);
            EXPECT_EQ(s->GloVar.LastRecord, 50);
            EXPECT_EQ(s->GloVar.BlankDaysRight, 7);
        } else {
            EXPECT_TRUE(prompts.events.isEmpty());
            EXPECT_EQ(s->ui[Ctl::PlotBtn].enabled, c.plot) << c.first << " " << c.last;
            EXPECT_EQ(s->GloVar.BlankDaysRight, c.focus) << c.blank;
        }
    }
    ASSERT_EQ(s->DatesAccept(QStringLiteral("1000"), QStringLiteral("1260"), QStringLiteral("75")),
              DatesAnswer::Taken);
    EXPECT_EQ(s->ui.panels[1], QStringLiteral("1000 - 1260   (50)"));

    s->LeaveSpaceClick(true);
    EXPECT_EQ(s->ui.panels[2], QStringLiteral("Holiday"));
    s->LeaveSpaceClick(false);
    EXPECT_EQ(s->ui.panels[2], QString());
    s->WholeScaleClick(true);
    s->AfterDatesDialog();
    EXPECT_TRUE(s->ui.toolbar2Green);
    s->WholeScaleClick(false);
    s->GloVar.FileHigh = 5;
    s->AfterDatesDialog();
    EXPECT_FALSE(s->ui.toolbar2Green);
    EXPECT_EQ(s->GloVar.FileHigh, 0);
    EXPECT_EQ(s->GloVar.FileLow, 99999999.0);
}

TEST_F(Session, NavigationCommands)
{
    OpenWeekdays(2000);
    EXPECT_EQ(Now(), R(1740, 2000));
    s->PlotBtnClick();
    const struct {
        const char* name;
        void (ChartSession::*press)();
        std::pair<int, int> from, to;
    } moves[] = {
        {"next at the end", &ChartSession::ToolButton2Click, {1740, 2000}, {1740, 2000}},
        {"previous", &ChartSession::ToolButton1Click, {1740, 2000}, {1480, 1740}},
        {"previous near the start", &ChartSession::ToolButton1Click, {100, 360}, {1, 261}},
        {"next near the end", &ChartSession::ToolButton2Click, {1600, 1900}, {1700, 2000}},
        {"shorter than two periods", &ChartSession::LeftBtnClick, {1740, 2000}, {1740, 2000}},
        {"shorter", &ChartSession::LeftBtnClick, {1000, 2000}, {1000, 1740}},
        {"longer", &ChartSession::DownBtnClick, {1480, 1740}, {1480, 2000}},
        {"beginning", &ChartSession::UpBtnClick, {1480, 2000}, {1, 260}},
        {"whole", &ChartSession::RightBtnClick, {1, 260}, {1, 2000}},
    };
    for (const auto& m : moves) {
        s->GloVar.FirstRecord = m.from.first;
        s->GloVar.LastRecord = m.from.second;
        (s.get()->*m.press)();
        EXPECT_EQ(Now(), m.to) << m.name;
    }
    EXPECT_EQ(s->GloVar.LoadedCount, 2000);
    EXPECT_TRUE(s->GloVar.ChartShown);

    Recorder rec(s->chart);
    s->PeriodCBChange(7); // "22": no redraw
    EXPECT_EQ(s->GloVar.PeriodLength, 22);
    EXPECT_TRUE(rec.all.isEmpty());
    s->PeriodCBChange(10); // "1": a single record
    s->UpBtnClick();
    EXPECT_EQ(Now(), R(1, 1));
    EXPECT_EQ(s->GloVar.TotalSlots, 1);
}

TEST_F(Session, ReadoutAndTooltip)
{
    OpenWeekdays(300);
    s->PlotBtnClick();
    auto& g = s->GloVar;
    s->Image1MouseMove(g.PlotLeft, 300);
    EXPECT_EQ(s->ui.panels[PanelDate], QString());
    EXPECT_EQ(s->ui.panels[9], QString());
    s->Image1MouseMove(g.PlotLeft + 1, 300);
    EXPECT_EQ(s->ui.panels[PanelDate], ShortDate(g.Prices[1].Date));
    s->Image1MouseMove(300, g.PlotTop);
    EXPECT_EQ(s->ui.panels[8], QString());
    s->Image1MouseMove(g.PlotRight, g.PlotBottom);
    EXPECT_EQ(s->ui.panels[9], QStringLiteral("%1 : %2").arg(g.PlotRight).arg(g.PlotBottom));
    g.ScaleBottom = 95;
    g.ScaleRange = 20;
    g.PlotHeight = 400;
    s->Image1MouseMove(345, g.PlotBottom - 100);
    EXPECT_EQ(s->ui.panels[8], QStringLiteral(" 100.00000"));
    s->P2BtnClick();
    s->Image1MouseMove(345, 120);
    EXPECT_EQ(s->ui.hint, QStringLiteral("P2"));
    s->P1BtnClick();
    s->Image1MouseMove(345, 121);
    EXPECT_EQ(s->ui.hint, QStringLiteral("P1"));
}

// What the drag and the markers draw and what Clip keeps: the demo's
// pictures and the all-figures trace (Demo.PicturesAndDrawingOperationsAreUnchanged).
TEST_F(Session, TheLiveEllipseFollowsTheRightButtonAndEraseLeavesTheAnchors)
{
    OpenWeekdays(300);
    s->PlotBtnClick();
    s->P1BtnClick();
    s->Image1MouseDown(MouseButton::Left, 300, 300);
    s->P2BtnClick();
    s->Image1MouseDown(MouseButton::Left, 450, 250);
    s->Image1MouseUp();
    s->ChooseChartType(FigureNamed("ellipse"));
    s->DrawBtnClick();
    ASSERT_TRUE(s->GloVar.EllipseLive);
    s->Image1MouseDown(MouseButton::Right, 500, 200);
    for (int x = 500; x <= 560; x += 20)
        s->Image1MouseMove(x, 200);
    EXPECT_EQ(s->ui.cursor, ChartCursor::SizeAll);
    EXPECT_EQ(s->AnchorPixelsNow().P2X, 560);
    s->Image1MouseUp();
    EXPECT_EQ(s->ui.cursor, ChartCursor::Arrow);

    const QImage withFigure = s->chart.image();
    s->EraseBtnClick();
    EXPECT_FALSE(s->ui[Ctl::EraseBtn].enabled);
    EXPECT_NE(s->chart.image(), withFigure);
    EXPECT_TRUE(s->GloVar.P1MarkerShown);
    EXPECT_TRUE(s->GloVar.P2MarkerShown);
}

TEST_F(Session, RatioStepsThroughThePowersItCanReturnFrom)
{
    s->RatioBtnClick();
    EXPECT_EQ(s->ui.panels[PanelRatio], QStringLiteral("Ratio = 1.0000"));
    s->RatioBtnClick();
    EXPECT_EQ(s->ui.label1, QStringLiteral("1.6180"));
    s->GloVar.Ratio = 1 / s->GloVar.Phi;
    s->DirBtnClick();
    EXPECT_EQ(s->ui.panels[6], QStringLiteral("DIR = -1"));
    EXPECT_EQ(s->ui[Ctl::DirBtn].image, 13);
    s->RatioBtnClick();
    EXPECT_EQ(s->ui.label1, QStringLiteral("0.3820"));
    // Thousands of presses stop at the sixtieth power and come back from it.
    OpenWeekdays(300);
    s->PlotBtnClick();
    s->DirBtnClick();
    for (int i = 0; i < 2000; ++i)
        s->RatioBtnClick();
    EXPECT_NEAR(std::log(s->GloVar.Ratio) / std::log(s->GloVar.Phi), 60, 1e-6);
    EXPECT_LE(s->ui.panels[PanelRatio].size(), 20) << s->ui.panels[PanelRatio].toStdString();
    EXPECT_LE(s->ui.label1.size(), 7);
    s->DirBtnClick();
    for (int i = 0; i < 2000; ++i)
        s->RatioBtnClick();
    EXPECT_NEAR(std::log(s->GloVar.Ratio) / std::log(s->GloVar.Phi), -60, 1e-6);
    s->DirBtnClick();
    for (int i = 0; i < 59; ++i)
        s->RatioBtnClick();
    EXPECT_NEAR(s->GloVar.Ratio, 1 / s->GloVar.Phi, 1e-9);
    EXPECT_EQ(s->ui.panels[PanelRatio], QStringLiteral("Ratio = 0.6180"));
}

TEST_F(Session, SaveAndPrint)
{
    OpenWeekdays(300);
    s->PlotBtnClick();
    const struct {
        const char *asked, *written, *magic;
    } saves[] = {
        {"snap", "snap.bmp", "BM"},
        {"snap.PNG", "snap.PNG", "\x89PNG"},
        {"snap.jpg", "snap.jpg", "BM"}, // BMP whatever else
    };
    for (const auto& row : saves) {
        prompts.saveAnswer = dir.filePath(QLatin1String(row.asked));
        s->SaveBtnClick();
        const QString path = dir.filePath(QLatin1String(row.written));
        EXPECT_TRUE(ReadBytes(path).startsWith(row.magic)) << row.asked;
        EXPECT_EQ(QImage(path).size(), QSize(980, 590)) << row.asked;
        EXPECT_EQ(QImage(path).depth(), 1) << row.asked;
    }
    prompts.saveAnswer = dir.filePath(QStringLiteral("no/such/folder/x.bmp"));
    s->SaveBtnClick();
    EXPECT_TRUE(prompts.any(QStringLiteral("error:Cannot create file ")));

    QRect where;
    prompts.printAnswer = std::make_unique<PagePrinter>(QSize(4800, 6600), &where);
    s->PrintBtnClick();
    EXPECT_EQ(where, QRect(440, 2120, 3920, 2360));
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("TmpPrint.bmp"))));
    EXPECT_EQ(PrintPlacement(QSize(6600, 4800), QSize(980, 590)), QRect(360, 630, 5880, 3540));
    // A page smaller than the chart: scaled down to fit, proportions kept, centred.
    EXPECT_EQ(PrintPlacement(QSize(490, 1000), QSize(980, 590)), QRect(0, 352, 490, 295));
}

// What a click repaints: its marker, not the chart, and nothing on a move;
// at the limits of int, nothing outside the picture. What each click sets:
// the session tests and the demo's trace.
TEST_F(Session, TheMouseToolChangesOnlyWhatItDraws)
{
    OpenWeekdays(400);
    s->PlotBtnClick();
    (void)s->chart.takeDirty();
    AnchorTool& tool = s->tool;
    tool.armP1();
    const QRect marker = tool.press(MouseButton::Left, 300, 200).changed;
    EXPECT_TRUE(marker.contains(QRect(296, 196, 9, 9)));
    EXPECT_LT(marker.width(), 40);
    (void)s->chart.takeDirty();
    EXPECT_EQ(tool.move(410, 110).effect, AnchorTool::Effect::None);
    EXPECT_TRUE(s->chart.dirty().isEmpty());
    tool.armP2();
    const QRect far = tool.press(MouseButton::Left, std::numeric_limits<int>::max(),
                                 std::numeric_limits<int>::min())
                          .changed;
    EXPECT_TRUE(far.isEmpty() || s->chart.image().rect().contains(far));
}
