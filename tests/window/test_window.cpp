// The real window driven by mouse and key events on its own widgets, as a
// person would use it (offscreen, or under Xvfb from ./test.sh).
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

#include "app/window/ChartView.h"
#include "app/window/Splash.h"
#include "chart/Canvas.h"
#include "chart/ui/DateDlg.h"
#include "data/ui/FileSetupDlg.h"
#include "tests/WindowFixture.h"

namespace {
class Window : public WindowFixture {
protected:
    // A right click as the platform delivers it: press, release, then the
    // context menu event. A menu that opens from it is closed and counted by a
    // timer that runs on every turn of any event loop, a menu's own included.
    int RightClick(QWidget* w)
    {
        int stray = 0;
        QTimer closer;
        closer.setInterval(0);
        QObject::connect(&closer, &QTimer::timeout, [&stray] {
            if (QWidget* popup = QApplication::activePopupWidget()) {
                ++stray;
                popup->close();
            }
        });
        closer.start();
        QTest::mouseClick(w, Qt::RightButton);
        QContextMenuEvent e(QContextMenuEvent::Mouse, QPoint(5, 5), w->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(w, &e);
        // What the click posted, a menu opened later included, is handled now.
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
        closer.stop();
        return stray + (QApplication::activePopupWidget() ? 1 : 0);
    }
};
} // namespace

TEST_F(Window, RightClicksLeaveNoStrayMenuAndTheToolbarStays)
{
    // In setup mode: the layout dialog (answered by closing) and the angles.
    for (const char* name : {"FileBtn", "DirBtn"}) {
        EXPECT_EQ(RightClick(Find<QToolButton>(name)), 0) << name;
        EXPECT_TRUE(Find<QToolBar>("ToolBar1")->isVisible()) << name;
    }
    // In chart mode with P1 set: the figure menu of Draw.
    OpenAndPlot();
    QTest::mouseClick(Find<QToolButton>("P1Btn"), Qt::LeftButton);
    QTest::mouseClick(Find("Image1"), Qt::LeftButton, {}, QPoint(400, 300));
    ASSERT_TRUE(Find<QToolButton>("DrawBtn")->isEnabled());
    host.menuAnswer = 1;
    EXPECT_EQ(RightClick(Find<QToolButton>("DrawBtn")), 0);
    EXPECT_EQ(form->session.GloVar.ChartType, 1); // the figure menu was answered
    // The natural next click on Draw reaches Draw, and the toolbar stays.
    QTest::mouseClick(Find<QToolButton>("DrawBtn"), Qt::LeftButton);
    EXPECT_TRUE(Find<QToolBar>("ToolBar1")->isVisible());
}

TEST_F(Window, OneScaleShowsAGreenBarAndHasAnAreaToClick)
{
    OpenAndPlot();
    QWidget* area = Find("ToolBar2Area");
    ASSERT_NE(area, nullptr);
    EXPECT_GE(area->width(), 20);
    const double top = form->session.GloVar.ScaleTop;
    QTest::mouseClick(area, Qt::LeftButton);
    EXPECT_TRUE(form->session.GloVar.WholeScale);
    EXPECT_EQ(form->session.GloVar.ChartLow, 99); // the whole file's low
    QApplication::processEvents();
    auto greenShare = [this] {
        const QImage img = Find("ToolBar2")->grab().toImage();
        long green = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                green += img.pixel(x, y) == qRgb(0, 128, 0);
        return double(green) / (img.width() * img.height());
    };
    EXPECT_GT(greenShare(), 0.2);
    QTest::mouseClick(area, Qt::LeftButton);
    EXPECT_FALSE(form->session.GloVar.WholeScale);
    EXPECT_EQ(form->session.GloVar.ScaleTop, top);
    QApplication::processEvents();
    EXPECT_LT(greenShare(), 0.01);
    // The buttons of the bar still do their own work.
    const int last = form->session.GloVar.LastRecord;
    QTest::mouseClick(Find<QToolButton>("ToolButton1"), Qt::LeftButton);
    EXPECT_EQ(form->session.GloVar.LastRecord, last - 260);
}

TEST_F(Window, DialogsKeepTheirWayOutTheirSizeAndTheirFocus)
{
    TFileSetupDlg* layout = form->FileSetupDlg();
    layout->show();
    QTest::keyClick(layout, Qt::Key_Escape);
    EXPECT_TRUE(layout->isVisible()); // OK is the only way out
    QTest::mouseClick(layout->BitBtn1, Qt::LeftButton);
    EXPECT_FALSE(layout->isVisible());
    for (QDialog* d :
         {static_cast<QDialog*>(form->FileSetupDlg()), static_cast<QDialog*>(form->DatesDlg())}) {
        const Qt::WindowFlags f = d->windowFlags();
        EXPECT_FALSE(f & Qt::WindowMinimizeButtonHint) << d->objectName().toStdString();
        EXPECT_FALSE(f & Qt::WindowMaximizeButtonHint) << d->objectName().toStdString();
    }

    TDatesDlg* dates = form->DatesDlg();
    dates->show();
    const QSize first = dates->size();
    dates->LRecordEdit->setFocus();
    dates->hide();
    form->session.GloVar.DataFileName =
        QStringLiteral("/a/very/long/folder/name/that/goes/on/and/on/and/on/"
                       "for/quite/a/while/before/it/ends/prices.txt");
    dates->show();
    EXPECT_EQ(dates->size(), first);
    EXPECT_EQ(dates->focusWidget(), dates->FRecordEdit);
    dates->hide();

    // Help, About: the version, left by its OK.
    QStringList about;
    host.dialogAnswer = [&about](QDialog& d) {
        about << d.windowTitle();
        for (const QLabel* l : d.findChildren<QLabel*>())
            about << l->text();
        QTest::mouseClick(static_cast<AboutBox1&>(d).OKButton, Qt::LeftButton);
    };
    form->menuItem(QStringLiteral("Help/About"))->trigger();
    EXPECT_EQ(about.mid(0, 1), QStringList{QStringLiteral("About")});
    EXPECT_TRUE(about.contains(QStringLiteral("Version 2,6  (04/01/2001)")))
        << about.join(u'|').toStdString();
    EXPECT_EQ(form->AboutBox()->result(), QDialog::Accepted);
}

TEST_F(Window, ExitLeavesNoClipboardToHandOver)
{
    OpenAndPlot();
    QClipboard* cb = QGuiApplication::clipboard();
    ASSERT_FALSE(cb->image().isNull()); // the base image is on the clipboard
    form->close();
    EXPECT_FALSE(cb->ownsClipboard() && !cb->image().isNull());
}

// The figures' and markers' colours: the demo's trace and
// History.AClearIsUndoneOnAnotherChart (its colour row).
TEST_F(Window, ColourOnRequest)
{
    StartWindow(QSize(), false, false);
    SplashForm* splash = form->SplashFormPtr();
    ASSERT_TRUE(splash->ColorCheck->isVisibleTo(splash));
    EXPECT_FALSE(splash->ColorCheck->isChecked());
    splash->ColorCheck->setChecked(true);
    host.acknowledge();
    OpenAndPlot();
    EXPECT_EQ(form->session.chart.image().format(), QImage::Format_RGB32);
}

TEST(ChartScreen, AScreenOfTwoDevicePixelsAPixelShowsTheScreenPictureUnscaled)
{
    Canvas chart;
    chart.setDisplayRatio(2);
    chart.create(60, 40, true);
    chart.line(10, 5, 10, 30);
    chart.textOut(30, 20, TextAlign::CenterTop, QStringLiteral("5 Jul"), ChartFace::Label);
    ChartView view(chart, nullptr);
    view.resize(70, 40);
    view.chartChanged(chart.takeDirty());
    // Painted as on such a screen: the widget's own backing image.
    QImage shown(140, 80, QImage::Format_RGB32);
    shown.setDevicePixelRatio(2);
    shown.fill(Qt::red);
    view.render(&shown);
    shown.setDevicePixelRatio(1);
    EXPECT_EQ(shown.copy(0, 0, 120, 80), chart.displayImage());
    // The bar is one device pixel wide; right of the chart is the window.
    EXPECT_EQ(shown.pixel(20, 30), qRgb(0, 0, 0));
    EXPECT_EQ(shown.pixel(21, 30), qRgb(255, 255, 255));
    EXPECT_EQ(shown.pixel(130, 40), view.palette().color(QPalette::Window).rgb());
}
