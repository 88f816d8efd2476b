// The window as a trader uses it: menus, keys and wheel, resizing, the
// question before figures are lost, narrow windows and what is remembered.
#include <QApplication>
#include <QLabel>
#include <QMap>
#include <QMenu>
#include <QSettings>
#include <QStandardPaths>
#include <QToolBar>

#include "tools/FigureTable.h"
#include "tests/Trace.h"
#include "tests/WindowFixture.h"

namespace {
class Trader : public WindowFixture {
protected:
    void SetUp() override
    {
        StartWindow(QSize(1100, 760), true);
        if (HasFatalFailure())
            return;
        // Answers a question from the queue, as a script's answer line would.
        host.nextLine = [this](const QString& keyword) -> std::optional<QStringList> {
            if (keyword != QLatin1String("answer") || answers.isEmpty())
                return std::nullopt;
            return QStringList{keyword, answers.takeFirst()};
        };
    }
    int Questions() const
    {
        int n = 0;
        for (const QJsonObject& e : events)
            n += e.value(QStringLiteral("event")).toString() == QLatin1String("question");
        return n;
    }
    QStringList answers;
};

std::pair<int, int> Range()
{
    return {GloVar.FirstRecord, GloVar.LastRecord};
}
} // namespace

TEST_F(Trader, AResizeReplotsAtTheNewSizeWithTheFiguresOnTheirDates)
{
    OpenAndPlot();
    DrawSpiral();
    form->Press(Ctl::ClipButton);
    form->Press(Ctl::P1Btn);
    form->ChartMouseDown(MouseButton::Left, 300, 350);
    form->ChartMouseUp();
    form->menuItem(QStringLiteral("Figure/PHI - ELLIPSE"))->trigger();
    form->Press(Ctl::DrawBtn);
    form->Press(Ctl::DrawBtn); // grown once
    const Study before = form->session.CurrentStudy(QString());
    ASSERT_EQ(before.figures.size(), 2u);

    form->resize(760, 520);
    QApplication::processEvents();
    form->FlushResize();
    const QSize area = Find("Image1")->parentWidget()->size();
    EXPECT_EQ(QSize(GloVar.ChartWidth, GloVar.ChartHeight), area);
    EXPECT_EQ(form->session.chart.image().size(), area);
    EXPECT_TRUE(GloVar.ChartShown);
    EXPECT_TRUE(form->session.CurrentStudy(QString()).figures == before.figures);
    EXPECT_EQ(GloVar.ChartType, 2); // the figure in force stays chosen
    // The figures are drawn again: the chart differs from a plain plot.
    const QImage withFigures = form->session.chart.image();
    EXPECT_NE(withFigures, form->session.cleanChart);
    // A resize to the same size changes nothing and asks nothing.
    form->FlushResize();
    EXPECT_EQ(form->session.chart.image(), withFigures);
    EXPECT_EQ(Questions(), 0);
}

TEST_F(Trader, DateAndPriceLabelsKeepApartInANarrowWindow)
{
    OpenAndPlot(2000);
    Recorder trace(form->session.chart);
    for (QSize size : {QSize(640, 480), QSize(320, 240), QSize(1280, 400)}) {
        form->resize(size);
        QApplication::processEvents();
        form->FlushResize();
        trace.clear();
        form->Press(Ctl::RightBtn); // the whole file: the longest date labels
        // The date labels and the price labels, by the cells the canvas gives them.
        QMap<QString, std::vector<QRect>> cells;
        for (const QString& l : trace.starting(QStringLiteral("text"))) {
            const QStringList w = l.split(QLatin1Char(' '));
            const TextAlign align = w[3] == QLatin1String("center-top")     ? TextAlign::CenterTop
                                    : w[3] == QLatin1String("right-bottom") ? TextAlign::RightBottom
                                                                            : TextAlign::LeftBottom;
            if (align != TextAlign::LeftBottom)
                cells[w[3]].push_back(form->session.chart.textCell(
                    w[1].toInt(), w[2].toInt(), align, l.section(QLatin1Char('"'), 1, 1),
                    ChartFace::Label));
        }
        EXPECT_EQ(cells.size(), 2) << size.width();
        for (auto it = cells.cbegin(); it != cells.cend(); ++it)
            for (size_t i = 1; i < it->size(); ++i)
                EXPECT_FALSE((*it)[i - 1].intersects((*it)[i]))
                    << size.width() << " " << qPrintable(it.key()) << " " << i;
    }
    form->session.chart.setTrace(nullptr);
}

TEST_F(Trader, CtrlEWritesThePictureAsShown)
{
    OpenAndPlot();
    DrawSpiral();
    host.saveAnswer = dir.filePath(QStringLiteral("chart"));
    QTest::keyClick(form.get(), Qt::Key_E, Qt::ControlModifier);
    const QImage written(dir.filePath(QStringLiteral("chart.png")), "PNG");
    ASSERT_FALSE(written.isNull());
    EXPECT_EQ(written.convertToFormat(QImage::Format_RGB32),
              form->session.chart.image().convertToFormat(QImage::Format_RGB32));
    // A name ending in .bmp asks for a bitmap.
    host.saveAnswer = dir.filePath(QStringLiteral("chart.bmp"));
    form->menuItem(QStringLiteral("File/Export image..."))->trigger();
    EXPECT_FALSE(QImage(dir.filePath(QStringLiteral("chart.bmp")), "BMP").isNull());
}

TEST_F(Trader, EveryFigureIsInTheDrawMenuAndTheFigureMenu)
{
    OpenAndPlot();
    form->Press(Ctl::P1Btn);
    form->ChartMouseDown(MouseButton::Left, 400, 300);
    form->ChartMouseUp();
    const QList<QAction*> popup = form->PopupMenu3->actions();
    ASSERT_EQ(popup.size(), 8);
    for (int type = 1; type <= 8; ++type) {
        QAction* item = popup[type - 1];
        EXPECT_TRUE(item->isVisible()) << type;
        EXPECT_EQ(item->text(), QString::fromLatin1(FigureKindOf(type)->caption));
        host.menuAnswer = type;
        form->RightPress(Ctl::DrawBtn);
        EXPECT_EQ(GloVar.ChartType, type);
        EXPECT_TRUE(item->isChecked()) << type;
        // The menu bar's item says the same.
        QAction* bar = form->menuItem(QStringLiteral("Figure/") + QString::fromLatin1(FigureKindOf(type)->caption));
        ASSERT_NE(bar, nullptr) << type;
        EXPECT_TRUE(bar->isChecked()) << type;
    }
    form->menuItem(QStringLiteral("Figure/FAN LINES"))->trigger();
    EXPECT_EQ(GloVar.ChartType, 3);
    EXPECT_TRUE(popup[2]->isChecked());
    EXPECT_FALSE(popup[7]->isChecked());
}

TEST_F(Trader, DrawnFiguresAreAskedForBeforeTheyAreLostAndOnlyThen)
{
    OpenAndPlot();
    DrawSpiral();
    // Exit, Cancel: the window stays with its figure.
    answers = {QStringLiteral("Cancel")};
    QTest::mouseClick(Find<QToolButton>("ExitBtn"), Qt::LeftButton);
    EXPECT_EQ(Questions(), 1);
    EXPECT_TRUE(form->isVisible());
    EXPECT_FALSE(form->closedByUser());
    EXPECT_EQ(events.last().value(QStringLiteral("text")).toString(),
              QStringLiteral("Save the changes to the study?"));
    // Reset, Cancel: the chart stays.
    answers = {QStringLiteral("Cancel")};
    QTest::mouseClick(Find<QToolButton>("PlotBtn"), Qt::LeftButton);
    EXPECT_TRUE(GloVar.ChartShown);
    // Open, Discard: asked once, and the file is opened.
    answers = {QStringLiteral("Discard")};
    host.openAnswer = dir.filePath(QStringLiteral("prices.txt"));
    form->menuItem(QStringLiteral("File/Open price file..."))->trigger();
    EXPECT_EQ(Questions(), 3);
    EXPECT_FALSE(GloVar.ChartShown);
    EXPECT_TRUE(Find<QToolButton>("PlotBtn")->isEnabled());
    // Reset, Save: the study is written, then the chart goes.
    QTest::mouseClick(Find<QToolButton>("PlotBtn"), Qt::LeftButton);
    DrawSpiral(350);
    answers = {QStringLiteral("Save")};
    host.saveAnswer = dir.filePath(QStringLiteral("kept"));
    QTest::mouseClick(Find<QToolButton>("PlotBtn"), Qt::LeftButton);
    EXPECT_TRUE(QFileInfo::exists(dir.filePath(QStringLiteral("kept.aurigon"))));
    EXPECT_FALSE(GloVar.ChartShown);
    // Saved figures are not asked for: Exit closes at once.
    QTest::mouseClick(Find<QToolButton>("PlotBtn"), Qt::LeftButton);
    DrawSpiral();
    ASSERT_TRUE(form->session.SaveStudy(dir.filePath(QStringLiteral("s.aurigon"))));
    form->menuItem(QStringLiteral("File/Exit"))->trigger();
    EXPECT_EQ(Questions(), 4);
    EXPECT_TRUE(form->closedByUser());
}

TEST_F(Trader, ADoubleClickOnPlotIsOneClick)
{
    OpenAndPlot();
    QTest::mouseClick(Find<QToolButton>("PlotBtn"), Qt::LeftButton); // Reset, a click of its own
    ASSERT_FALSE(GloVar.ChartShown);
    QWidget* plot = Find<QToolButton>("PlotBtn");
    const QPoint at = plot->rect().center();
    const QPoint global = plot->mapToGlobal(at);
    const ulong t0 = 10'000'000;
    auto send = [&](QEvent::Type type, ulong t) {
        QMouseEvent e(type, QPointF(at), QPointF(global), Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
        e.setTimestamp(t);
        QApplication::sendEvent(plot, &e);
    };
    // Press, release, press, double click, release: as the system delivers it.
    send(QEvent::MouseButtonPress, t0);
    send(QEvent::MouseButtonRelease, t0 + 60);
    send(QEvent::MouseButtonPress, t0 + 150);
    send(QEvent::MouseButtonDblClick, t0 + 150);
    send(QEvent::MouseButtonRelease, t0 + 210);
    EXPECT_TRUE(GloVar.ChartShown);
    // A later click is a click again.
    const ulong later = t0 + 210 + ulong(QApplication::doubleClickInterval()) + 1;
    send(QEvent::MouseButtonPress, later);
    send(QEvent::MouseButtonRelease, later + 60);
    EXPECT_FALSE(GloVar.ChartShown);
}

TEST_F(Trader, NarrowWindowsKeepEveryControlWithinReachAndThePanelsApart)
{
    OpenAndPlot();
    QWidget* chart = Find("Image1");
    auto panel = [this](int i) { return Find<QLabel>(qPrintable(QStringLiteral("Panel%1").arg(i))); };
    for (int width : {1400, 800, 640, 400}) {
        form->resize(width, 480);
        QApplication::processEvents();
        form->FlushResize();
        QTest::mouseMove(chart, QPoint(width / 2, 40));
        QApplication::processEvents();
        EXPECT_FALSE(panel(7)->text().isEmpty()) << width;
        QRect previous;
        for (int i = 0; i < StatusBarPanels; ++i) {
            QLabel* l = panel(i);
            const QRect r(l->mapTo(form.get(), QPoint(0, 0)), l->size());
            EXPECT_LE(r.right(), form->width()) << width << " panel " << i;
            if (i > 0) {
                EXPECT_LE(previous.right(), r.left() - 1) << width << " panel " << i;
            }
            previous = r;
            // Wide enough for every panel at its own width: each text whole.
            if (width == 1400) {
                EXPECT_LE(QFontMetrics(l->font()).horizontalAdvance(l->text()), l->contentsRect().width())
                    << i << " " << l->text().toStdString();
            }
        }
    }
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(chart, &leave);
    for (int i : {7, 8, 9})
        EXPECT_TRUE(panel(i)->text().isEmpty()) << i;
    QTest::mouseMove(chart, QPoint(300, 300));
    QTest::mouseClick(Find<QToolButton>("PlotBtn"), Qt::LeftButton); // Reset
    EXPECT_TRUE(panel(8)->text().isEmpty());
    // Back in setup mode at 640 pixels: the rest of the tool bar is behind its button.
    form->resize(640, 480);
    QApplication::processEvents();
    QToolButton* more = Find<QToolBar>("ToolBar1")
                            ->findChild<QToolButton*>(QStringLiteral("qt_toolbar_ext_button"));
    ASSERT_NE(more, nullptr);
    ASSERT_TRUE(more->isVisible()); // 640 pixels do not hold the whole bar
    QWidget* exitBtn = Find<QToolButton>("ExitBtn");
    EXPECT_FALSE(exitBtn->isVisible());
    QTest::mouseClick(more, Qt::LeftButton);
    QApplication::processEvents();
    for (const char* name : {"ExitBtn", "PrintBtn", "PeriodCB", "UpBtn", "RightBtn"}) {
        QWidget* w = Find(name);
        ASSERT_NE(w, nullptr) << name;
        EXPECT_TRUE(w->isVisible()) << name;
        const QRect inForm(w->mapTo(form.get(), QPoint(0, 0)), w->size());
        EXPECT_TRUE(form->rect().contains(inForm)) << name;
    }
    QTest::mouseClick(exitBtn, Qt::LeftButton);
    EXPECT_TRUE(form->closedByUser());
}

TEST_F(Trader, KeysMoveTheRangeAsTheButtonsDo)
{
    const struct {
        const char* name;
        QKeySequence key;
        Ctl button;
    } moves[] = {
        {"Left", QKeySequence(Qt::Key_Left), Ctl::ToolButton1},
        {"Right", QKeySequence(Qt::Key_Right), Ctl::ToolButton2},
        {"Home", QKeySequence(Qt::Key_Home), Ctl::UpBtn},
        {"Up", QKeySequence(Qt::Key_Up), Ctl::LeftBtn},
        {"Plus", QKeySequence(Qt::Key_Plus), Ctl::LeftBtn},
        {"Down", QKeySequence(Qt::Key_Down), Ctl::DownBtn},
        {"Minus", QKeySequence(Qt::Key_Minus), Ctl::DownBtn},
    };
    OpenAndPlot(3000);
    for (const auto& m : moves) {
        form->Press(Ctl::ToolButton1); // somewhere in the middle
        form->Press(Ctl::ToolButton1);
        const auto start = Range();
        form->Press(m.button);
        const auto byButton = Range();
        GloVar.FirstRecord = start.first;
        GloVar.LastRecord = start.second;
        form->session.RedrawRange();
        QTest::keyClick(form.get(), m.key[0].key(), m.key[0].keyboardModifiers());
        EXPECT_EQ(Range(), byButton) << m.name;
    }
    // End: the last period of the file.
    QTest::keyClick(form.get(), Qt::Key_End);
    EXPECT_EQ(Range(), std::make_pair(3000 - 260 + 1, 3000));
    // In setup mode the keys do nothing.
    QTest::mouseClick(Find<QToolButton>("PlotBtn"), Qt::LeftButton);
    const auto setup = Range();
    QTest::keyClick(form.get(), Qt::Key_Left);
    EXPECT_EQ(Range(), setup);
}

TEST_F(Trader, TheWheelZoomsAndShiftWheelShifts)
{
    OpenAndPlot(3000);
    QWidget* chart = Find("Image1");
    auto wheel = [&](int angle, Qt::KeyboardModifiers mods) {
        QWheelEvent e(QPointF(300, 200), chart->mapToGlobal(QPointF(300, 200)), QPoint(),
                      QPoint(0, angle), Qt::NoButton, mods, Qt::NoScrollPhase, false);
        QApplication::sendEvent(chart, &e);
    };
    const int last = GloVar.LastRecord;
    wheel(120, Qt::NoModifier); // away: the next shorter period
    EXPECT_EQ(GloVar.PeriodLength, 130);
    EXPECT_EQ(Range(), std::make_pair(last - 130 + 1, last));
    wheel(-240, Qt::NoModifier); // toward, twice: two longer
    EXPECT_EQ(GloVar.PeriodLength, 520);
    EXPECT_EQ(GloVar.LastRecord, last);
    // Shift: away is the previous period, as ToolButton1.
    const auto start = Range();
    form->Press(Ctl::ToolButton1);
    const auto previous = Range();
    form->Press(Ctl::ToolButton2);
    ASSERT_EQ(Range(), start);
    wheel(120, Qt::ShiftModifier);
    EXPECT_EQ(Range(), previous);
    wheel(-120, Qt::ShiftModifier);
    EXPECT_EQ(Range(), start);
    // Half a notch does nothing until the other half comes.
    wheel(60, Qt::ShiftModifier);
    EXPECT_EQ(Range(), start);
    wheel(60, Qt::ShiftModifier);
    EXPECT_EQ(Range(), previous);
}

TEST_F(Trader, RememberedBetweenRunsWithoutTouchingTheUsersSettings)
{
    // The tests' own settings live in a temporary folder (see main.cpp).
    ASSERT_TRUE(QStandardPaths::isTestModeEnabled());
    TMainForm::Remembered().clear();
    form->RememberSettings();
    OpenAndPlot();
    ASSERT_EQ(form->recentPrices().size(), 1);
    form->menuItem(QStringLiteral("View/Color"))->trigger();
    EXPECT_EQ(form->session.chart.image().format(), QImage::Format_RGB32);
    form->resize(900, 600);
    form->close();
    const QString price = form->recentPrices().first();

    form.reset();
    ResetSharedState();
    form = std::make_unique<TMainForm>(host, dir.path());
    form->RememberSettings();
    EXPECT_EQ(form->recentPrices(), QStringList{price});
    EXPECT_EQ(form->session.priceFolder, QFileInfo(price).absolutePath());
    EXPECT_TRUE(form->forceColor);
    QMenu* recent = form->findChild<QMenu*>(QStringLiteral("RecentMenu"));
    ASSERT_NE(recent, nullptr);
    ASSERT_EQ(recent->actions().size(), 1);
    EXPECT_EQ(recent->actions().first()->text(), QStringLiteral("prices.txt"));
    TMainForm::Remembered().clear();
}

TEST_F(Trader, FiguresStayThroughTheKeysAndComeBackWithTheirValues)
{
    StartWindow(QSize(), true);
    OpenAndPlot(3000);
    DrawSpiral();
    form->Press(Ctl::ClipButton);
    DrawSpiral(300);
    const QString before = form->session.FigureValuesCsv();
    ASSERT_GT(before.count(QLatin1Char('\n')), 2);
    // A period back: the figures' days are off the chart, yet both stay.
    QTest::keyClick(form.get(), Qt::Key_Left);
    EXPECT_EQ(form->session.FigureCount(), 2);
    EXPECT_EQ(form->session.FigureValuesCsv().count(QLatin1Char('\n')), 1); // the header alone
    // And forward again: both are drawn where they were, with the same values.
    QTest::keyClick(form.get(), Qt::Key_Right);
    EXPECT_EQ(form->session.FigureCount(), 2);
    EXPECT_EQ(form->session.FigureValuesCsv(), before);
    EXPECT_NE(form->session.chart.image(), form->session.cleanChart);
    // Undo takes the move back, the figures with it.
    form->menuItem(QStringLiteral("Edit/Undo Next Period"))->trigger();
    EXPECT_EQ(form->session.FigureCount(), 2);
    EXPECT_EQ(form->session.FigureValuesCsv().count(QLatin1Char('\n')), 1);
}
