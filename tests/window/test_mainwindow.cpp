// The window as a trader uses it: menus, keys and wheel, resizing, the
// question before figures are lost, narrow windows and what is remembered.
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMap>
#include <QMenu>
#include <QSet>
#include <QSvgRenderer>
#include <QToolBar>
#include <cmath>

#include "app/session/UiModel.h"
#include "app/window/ChartView.h"
#include "tests/Trace.h"
#include "tests/WindowFixture.h"
#include "tools/FigureTable.h"

namespace {
class Trader : public WindowFixture {
protected:
    void SetUp() override { StartWindow(QSize(1100, 760), true); }
    // What the screen shows of the chart widget now, a pixel a chart pixel.
    QImage Shown(const QWidget* view) const
    {
        return form->screen()
            ->grabWindow(form->winId())
            .toImage()
            .convertToFormat(QImage::Format_RGB32)
            .copy(QRect(view->mapTo(form.get(), QPoint(0, 0)), view->size()));
    }
};

std::pair<int, int> Range(const ChartSession& s)
{
    return {s.GloVar.FirstRecord, s.GloVar.LastRecord};
}
} // namespace

// A resize replots at the new size; the figures keep their dates, and the
// values exported, in prices and dates, stay those of their first Draw.
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
    const auto exported = [this] {
        host.saveAnswer = dir.filePath(QStringLiteral("values.csv"));
        form->menuItem(QStringLiteral("File/Export figure values..."))->trigger();
        return ReadBytes(dir.filePath(QStringLiteral("values.csv")));
    };
    const QByteArray values = exported();
    ASSERT_GE(values.count('\n'), 3); // a header and a row for each figure

    QSet<int> widths{form->session.GloVar.ChartWidth};
    for (QSize size : {QSize(760, 520), QSize(700, 700), QSize(1400, 900)}) {
        form->resize(size);
        QApplication::processEvents();
        form->FlushResize();
        widths.insert(form->session.GloVar.ChartWidth);
        const QSize area = Find("Image1")->parentWidget()->size();
        EXPECT_EQ(QSize(form->session.GloVar.ChartWidth, form->session.GloVar.ChartHeight), area);
        EXPECT_EQ(form->session.chart.image().size(), area);
        EXPECT_TRUE(form->session.GloVar.ChartShown);
        EXPECT_TRUE(form->session.CurrentStudy(QString()).figures == before.figures);
        EXPECT_EQ(exported(), values) << size.width() << "x" << size.height();
    }
    EXPECT_EQ(widths.size(), 4);
    EXPECT_EQ(form->session.GloVar.ChartType, 2); // the figure in force stays chosen
    // The figures are drawn again: the chart differs from a plain plot.
    const QImage withFigures = form->session.chart.image();
    EXPECT_NE(withFigures, form->session.cleanChart);
    // A resize to the same size changes nothing and asks nothing.
    form->FlushResize();
    EXPECT_EQ(form->session.chart.image(), withFigures);
    for (const QJsonObject& e : events)
        EXPECT_NE(e[QStringLiteral("event")], QStringLiteral("question"));
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
    // SVG and PDF are drawn from the same operations as the picture.
    host.saveAnswer = dir.filePath(QStringLiteral("chart.svg"));
    form->menuItem(QStringLiteral("File/Export image..."))->trigger();
    QSvgRenderer svg(dir.filePath(QStringLiteral("chart.svg")));
    ASSERT_TRUE(svg.isValid());
    EXPECT_EQ(svg.viewBox(), form->session.chart.image().rect());
    QImage drawn(svg.viewBox().size(), QImage::Format_RGB32);
    drawn.fill(Qt::white);
    {
        QPainter p(&drawn);
        svg.render(&p);
    }
    // The spiral's curve is in it: a dark pixel wherever the picture has one, give or take one.
    const QImage shown = form->session.chart.image().convertToFormat(QImage::Format_Grayscale8);
    const QImage again = drawn.convertToFormat(QImage::Format_Grayscale8);
    long ink = 0, missed = 0;
    for (int y = 1; y + 1 < shown.height(); ++y)
        for (int x = 1; x + 1 < shown.width(); ++x)
            if (shown.constScanLine(y)[x] < 128) {
                ++ink;
                bool near = false;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx)
                        near = near || again.constScanLine(y + dy)[x + dx] < 160;
                missed += !near;
            }
    EXPECT_GT(ink, 1000);
    EXPECT_LT(missed, ink / 30) << missed << " of " << ink;
    host.saveAnswer = dir.filePath(QStringLiteral("chart.pdf"));
    form->menuItem(QStringLiteral("File/Export image..."))->trigger();
    QFile pdf(dir.filePath(QStringLiteral("chart.pdf")));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    const QByteArray bytes = pdf.readAll();
    EXPECT_TRUE(bytes.startsWith("%PDF-1.") && bytes.trimmed().endsWith("%%EOF"));
    EXPECT_TRUE(bytes.contains("/FontFile2")) << "the chart's faces are embedded";
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
        EXPECT_EQ(form->session.GloVar.ChartType, type);
        EXPECT_TRUE(item->isChecked()) << type;
        // The menu bar's item says the same.
        QAction* bar = form->menuItem(QStringLiteral("Figure/") +
                                      QString::fromLatin1(FigureKindOf(type)->caption));
        ASSERT_NE(bar, nullptr) << type;
        EXPECT_TRUE(bar->isChecked()) << type;
    }
    form->menuItem(QStringLiteral("Figure/FAN LINES"))->trigger();
    EXPECT_EQ(form->session.GloVar.ChartType, 3);
    EXPECT_TRUE(popup[2]->isChecked());
    EXPECT_FALSE(popup[7]->isChecked());
}

TEST_F(Trader, ADoubleClickOnPlotIsOneClick)
{
    OpenAndPlot();
    QTest::mouseClick(Find<QToolButton>("PlotBtn"), Qt::LeftButton); // Reset, a click of its own
    ASSERT_FALSE(form->session.GloVar.ChartShown);
    QWidget* plot = Find<QToolButton>("PlotBtn");
    const QPoint at = plot->rect().center();
    const QPoint global = plot->mapToGlobal(at);
    const ulong t0 = 10'000'000;
    auto send = [&](QEvent::Type type, ulong t) {
        QMouseEvent e(type, QPointF(at), QPointF(global), Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                      Qt::NoModifier);
        e.setTimestamp(t);
        QApplication::sendEvent(plot, &e);
    };
    // Press, release, press, double click, release: as the system delivers it.
    send(QEvent::MouseButtonPress, t0);
    send(QEvent::MouseButtonRelease, t0 + 60);
    send(QEvent::MouseButtonPress, t0 + 150);
    send(QEvent::MouseButtonDblClick, t0 + 150);
    send(QEvent::MouseButtonRelease, t0 + 210);
    EXPECT_TRUE(form->session.GloVar.ChartShown);
    // A later click is a click again.
    const ulong later = t0 + 210 + ulong(QApplication::doubleClickInterval()) + 1;
    send(QEvent::MouseButtonPress, later);
    send(QEvent::MouseButtonRelease, later + 60);
    EXPECT_FALSE(form->session.GloVar.ChartShown);
}

// Every control within reach at the least size:
// KeptFiles.AtItsLeastSizeEveryControlIsStillWithinReach.
TEST_F(Trader, NarrowWindowsKeepThePanelsApart)
{
    OpenAndPlot();
    QWidget* chart = Find("Image1");
    auto panel = [this](int i) {
        return Find<QLabel>(qPrintable(QStringLiteral("Panel%1").arg(i)));
    };
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
                EXPECT_LE(QFontMetrics(l->font()).horizontalAdvance(l->text()),
                          l->contentsRect().width())
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
    };
    OpenAndPlot(3000);
    for (const auto& m : moves) {
        form->Press(Ctl::ToolButton1); // somewhere in the middle
        form->Press(Ctl::ToolButton1);
        const auto start = Range(form->session);
        form->Press(m.button);
        const auto byButton = Range(form->session);
        form->session.GloVar.FirstRecord = start.first;
        form->session.GloVar.LastRecord = start.second;
        form->session.RedrawRange();
        QTest::keyClick(form.get(), m.key[0].key(), m.key[0].keyboardModifiers());
        EXPECT_EQ(Range(form->session), byButton) << m.name;
    }
    // End: the last period of the file.
    QTest::keyClick(form.get(), Qt::Key_End);
    EXPECT_EQ(Range(form->session), std::make_pair(3000 - 260 + 1, 3000));
    // Up/+ and Down/- take the next shorter or longer period of the list,
    // ending at the same record.
    const struct {
        Qt::Key key;
        int period;
    } steps[] = {{Qt::Key_Up, 130}, {Qt::Key_Plus, 130}, {Qt::Key_Down, 520}, {Qt::Key_Minus, 520}};
    auto* period = Find<QComboBox>("PeriodCB");
    ASSERT_NE(period, nullptr);
    for (const auto& step : steps) {
        form->ChoosePeriod(period->findText(QStringLiteral("260")));
        QTest::keyClick(form.get(), Qt::Key_End);
        ASSERT_EQ(form->session.GloVar.PeriodLength, 260);
        QTest::keyClick(form.get(), step.key);
        EXPECT_EQ(form->session.GloVar.PeriodLength, step.period) << step.key;
        EXPECT_EQ(Range(form->session), std::make_pair(3000 - step.period, 3000)) << step.key;
    }
    // In setup mode the keys do nothing.
    QTest::mouseClick(Find<QToolButton>("PlotBtn"), Qt::LeftButton);
    const auto setup = Range(form->session);
    QTest::keyClick(form.get(), Qt::Key_Left);
    EXPECT_EQ(Range(form->session), setup);
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
    const int last = form->session.GloVar.LastRecord;
    wheel(120, Qt::NoModifier); // away: the next shorter period
    EXPECT_EQ(form->session.GloVar.PeriodLength, 130);
    EXPECT_EQ(Range(form->session),
              std::make_pair(last - 130, last)); // 131 records, as the buttons load
    wheel(-240, Qt::NoModifier);                 // toward, twice: two longer
    EXPECT_EQ(form->session.GloVar.PeriodLength, 520);
    EXPECT_EQ(form->session.GloVar.LastRecord, last);
    // Shift: away is the previous period, as ToolButton1.
    const auto start = Range(form->session);
    form->Press(Ctl::ToolButton1);
    const auto previous = Range(form->session);
    form->Press(Ctl::ToolButton2);
    ASSERT_EQ(Range(form->session), start);
    wheel(120, Qt::ShiftModifier);
    EXPECT_EQ(Range(form->session), previous);
    wheel(-120, Qt::ShiftModifier);
    EXPECT_EQ(Range(form->session), start);
    // Half a notch does nothing until the other half comes.
    wheel(60, Qt::ShiftModifier);
    EXPECT_EQ(Range(form->session), start);
    wheel(60, Qt::ShiftModifier);
    EXPECT_EQ(Range(form->session), previous);
}

// The crosshair follows the pointer on the screen, tags the price and the
// slot's date, and never reaches the picture that exports and prints take.
TEST_F(Trader, TheCrosshairIsOnTheScreenOnly)
{
    OpenAndPlot();
    auto* view = Find<ChartView>("Image1");
    ASSERT_NE(view, nullptr);
    const QImage picture = form->session.chart.image().convertToFormat(QImage::Format_RGB32);
    const QPoint at(500, 300);
    QTest::mouseMove(view, at);
    const std::optional<PointerTags> tags = form->session.TagsAt(at.x(), at.y());
    ASSERT_TRUE(tags.has_value());
    EXPECT_EQ(tags->date, form->session.ui.panels[PanelDate]);
    // The readout's price, at the file's decimals.
    const qsizetype point = tags->price.indexOf(u'.');
    const int decimals = point < 0 ? 0 : int(tags->price.size() - point - 1);
    EXPECT_NEAR(tags->price.toDouble(), form->session.ui.panels[PanelPrice].trimmed().toDouble(),
                0.5 * std::pow(10.0, -decimals) + 1e-9);
    EXPECT_TRUE(view->crosshairRegion().contains(at));
    // Pixels of the pointer's row inside the plot that the screen shows otherwise.
    auto differing = [&] {
        const QImage shown = view->grab().toImage().convertToFormat(QImage::Format_RGB32);
        int n = 0;
        for (int x = tags->plot.left() + 1; x < tags->plot.right(); ++x)
            n += shown.pixel(x, at.y()) != picture.pixel(x, at.y());
        return n;
    };
    EXPECT_GT(differing(), tags->plot.width() / 4);
    EXPECT_EQ(form->session.chart.image().convertToFormat(QImage::Format_RGB32), picture);
    form->findChild<QAction*>(QStringLiteral("CrosshairItem"))->trigger();
    EXPECT_TRUE(view->crosshairRegion().isEmpty());
    EXPECT_EQ(differing(), 0);
    // Outside the plot there is nothing to tag.
    EXPECT_FALSE(form->session.TagsAt(2, 2).has_value());
}

// The screen is repainted part by part as the crosshair moves: the row it
// left shows the chart again, the row it went to shows the line.
TEST_F(Trader, TheScreenShowsTheChartWhereTheCrosshairWas)
{
    OpenAndPlot();
    auto* view = Find<ChartView>("Image1");
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    const QImage picture = form->session.chart.image().convertToFormat(QImage::Format_RGB32);
    const QPoint from(500, 300), to(620, 200);
    QTest::mouseMove(view, from);
    QTest::mouseMove(view, to);
    const std::optional<PointerTags> tags = form->session.TagsAt(to.x(), to.y());
    ASSERT_TRUE(tags.has_value());
    // What the screen holds for a row of the plot, away from the new line's
    // column and its tags, against the chart.
    auto differing = [&](int y) {
        const QImage shown = Shown(view);
        int n = 0;
        for (int x = tags->plot.left() + 1; x < tags->plot.right(); ++x)
            if (std::abs(x - to.x()) > 60)
                n += shown.pixel(x, y) != picture.pixel(x, y);
        return n;
    };
    EXPECT_TRUE(QTest::qWaitFor([&] { return differing(to.y()) > tags->plot.width() / 4; }));
    EXPECT_EQ(differing(from.y()), 0);
}

// A live ellipse dragged with the right button: after every move the screen
// shows the chart as it is, though only the parts along the outlines that
// changed were copied and repainted.
TEST_F(Trader, TheScreenFollowsALiveEllipseMoveByMove)
{
    OpenAndPlot();
    auto* view = Find<ChartView>("Image1");
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    // Without the crosshair the screen is the chart alone.
    if (view->crosshair())
        form->findChild<QAction*>(QStringLiteral("CrosshairItem"))->trigger();
    ASSERT_FALSE(view->crosshair());
    form->Press(Ctl::P1Btn);
    form->ChartMouseDown(MouseButton::Left, 300, 330);
    form->ChartMouseUp();
    form->Press(Ctl::P2Btn);
    form->ChartMouseDown(MouseButton::Left, 430, 250);
    form->ChartMouseUp();
    form->menuItem(QStringLiteral("Figure/PHI - ELLIPSE"))->trigger();
    form->Press(Ctl::DrawBtn);
    QTest::mousePress(view, Qt::RightButton, {}, QPoint(440, 240));
    ASSERT_TRUE(form->session.GloVar.EllipseLive);
    const QRect chartRect(0, 0, form->session.GloVar.ChartWidth, form->session.GloVar.ChartHeight);
    auto differing = [&](const QImage& picture) {
        const QImage shown = Shown(view);
        int n = 0;
        for (int y = chartRect.top(); y <= chartRect.bottom(); ++y)
            for (int x = chartRect.left(); x <= chartRect.right(); ++x)
                n += shown.pixel(x, y) != picture.pixel(x, y);
        return n;
    };
    QImage before = form->session.chart.image().convertToFormat(QImage::Format_RGB32);
    // Wider, narrower, turned and back: each move leaves parts of the last
    // outline to be put back.
    for (const QPoint to : {QPoint(470, 220), QPoint(520, 290), QPoint(380, 200), QPoint(445, 238),
                            QPoint(600, 150)}) {
        QTest::mouseMove(view, to);
        const QImage picture = form->session.chart.image().convertToFormat(QImage::Format_RGB32);
        EXPECT_NE(picture, before) << to.x() << "," << to.y();
        EXPECT_TRUE(QTest::qWaitFor([&] { return differing(picture) == 0; }))
            << differing(picture) << " pixels differ after the move to " << to.x() << "," << to.y();
        before = picture;
    }
    QTest::mouseRelease(view, Qt::RightButton, {}, QPoint(600, 150));
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
