// The files the window keeps by a fixed name (view settings, layout
// settings, its own settings file) when something else lies at the name, a
// remembered window geometry someone else wrote, saving over what is open, a
// failed open and dates that give no range.
#include <QApplication>
#include <QDataStream>
#include <QDate>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QTimer>
#include <QToolBar>
#include <climits>
#include <sys/stat.h>
#include <unistd.h>

#include "app/session/Host.h"
#include "app/session/KeptSettings.h"
#include "chart/ui/DateDlg.h"
#include "tests/WindowFixture.h"

namespace {
bool IsPipe(const QString& path)
{
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISFIFO(st.st_mode);
}

QString SettingsFileName()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/aurigon/aurigon.conf");
}

class KeptFiles : public WindowFixture {
protected:
    void TearDown() override
    {
        form.reset();
        QFile::remove(SettingsFileName());
        QDir().rmdir(SettingsFileName());
    }
    // The window as main() starts it: settings read, then shown as last time.
    void StartRemembering()
    {
        form.reset();
        qputenv("AURIGON_CHART_SIZE", "980x590");
        form = std::make_unique<TMainForm>(host, dir.path());
        form->RememberSettings();
        form->ShowAsLastTime();
        form->FormActivate();
        host.acknowledge();
        qunsetenv("AURIGON_CHART_SIZE");
    }
};

// The geometry a window of that place and size saves.
QByteArray SavedBy(const QRect& r)
{
    QWidget w;
    w.setGeometry(r);
    return w.saveGeometry();
}

// A saved geometry of the normal place given, as restoreGeometry reads it,
// whatever the place; of a window left maximised on a screen, when given.
QByteArray GeometryOf(const QRect& normal, const std::optional<QRect>& maximisedOn = {})
{
    const QRect shown = maximisedOn.value_or(normal);
    QByteArray out;
    QDataStream s(&out, QIODevice::WriteOnly);
    s.setVersion(QDataStream::Qt_4_0);
    s << quint32(0x1D9D0CB) << quint16(3) << quint16(0) << shown << normal << qint32(0)
      << quint8(maximisedOn.has_value()) << quint8(0) << qint32(maximisedOn ? shown.width() : 1600)
      << shown;
    return out;
}
} // namespace

// With the recent files and the colour, and never in the person's own
// settings: the tests' own live in a temporary folder (see main.cpp).
TEST_F(KeptFiles, ViewTogglesSurviveARestart)
{
    ASSERT_TRUE(QStandardPaths::isTestModeEnabled());
    StartRemembering();
    ASSERT_TRUE(form->session.FirstActivationDone());
    OpenAndPlot();
    ASSERT_EQ(form->recentPrices().size(), 1);
    const QString price = form->recentPrices().first();
    // The figures' room is off by default: the chart is drawn as it always was.
    EXPECT_FALSE(form->session.ScaleToFigures());
    EXPECT_FALSE(form->session.TimeGoalRoom());
    for (const char* item :
         {"View/Level values", "View/Scale to figures", "View/Room for time goals",
          "View/Bar style/Candlesticks", "View/Crosshair", "View/Color"}) {
        QAction* a = form->menuItem(QString::fromLatin1(item));
        ASSERT_NE(a, nullptr) << item;
        a->trigger();
    }
    const bool levels = form->session.LevelValues();
    const bool scale = form->session.ScaleToFigures();
    const bool room = form->session.TimeGoalRoom();
    EXPECT_TRUE(scale && room);
    EXPECT_EQ(form->session.ChartStyle(), BarStyle::Candles);
    EXPECT_EQ(form->session.chart.image().format(), QImage::Format_RGB32);
    form->close();
    form.reset();
    StartRemembering();
    ASSERT_TRUE(form->session.FirstActivationDone());
    EXPECT_TRUE(form->forceColor);
    EXPECT_EQ(form->recentPrices(), QStringList{price});
    EXPECT_EQ(form->session.priceFolder, QFileInfo(price).absolutePath());
    auto* recent = Find<QMenu>("RecentMenu");
    ASSERT_NE(recent, nullptr);
    ASSERT_EQ(recent->actions().size(), 1);
    EXPECT_EQ(recent->actions().first()->text(), QStringLiteral("prices.txt"));
    EXPECT_EQ(form->session.LevelValues(), levels);
    EXPECT_EQ(form->session.ScaleToFigures(), scale);
    EXPECT_EQ(form->session.TimeGoalRoom(), room);
    EXPECT_EQ(form->session.ChartStyle(), BarStyle::Candles);
    EXPECT_EQ(form->menuItem(QStringLiteral("View/Level values"))->isChecked(), levels);
    EXPECT_EQ(form->menuItem(QStringLiteral("View/Scale to figures"))->isChecked(), scale);
    EXPECT_EQ(form->menuItem(QStringLiteral("View/Room for time goals"))->isChecked(), room);
    EXPECT_TRUE(form->menuItem(QStringLiteral("View/Bar style/Candlesticks"))->isChecked());
    EXPECT_FALSE(form->menuItem(QStringLiteral("View/Crosshair"))->isChecked());
    // Nothing but the one settings file holds them.
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("fview.dat"))));
}

TEST_F(KeptFiles, AnOldViewFileIsTakenOverOnceAndNeverWritten)
{
    const QString view = dir.filePath(QStringLiteral("fview.dat"));
    const QByteArray old = "LevelValues=1\nScaleToFigures=0\nTimeGoalRoom=1\n";
    WriteFile(dir, QStringLiteral("fview.dat"), old);
    StartRemembering();
    ASSERT_TRUE(form->session.FirstActivationDone());
    EXPECT_TRUE(form->session.LevelValues());
    EXPECT_FALSE(form->session.ScaleToFigures());
    EXPECT_TRUE(form->session.TimeGoalRoom());
    EXPECT_TRUE(form->menuItem(QStringLiteral("View/Level values"))->isChecked());
    form->menuItem(QStringLiteral("View/Level values"))->trigger();
    EXPECT_FALSE(form->session.LevelValues());
    form->close();
    form.reset();
    // The file stays as it was, and the change made since is not undone by it.
    EXPECT_EQ(ReadBytes(view), old);
    StartRemembering();
    EXPECT_FALSE(form->session.LevelValues());
    EXPECT_TRUE(form->session.TimeGoalRoom());
    EXPECT_EQ(ReadBytes(view), old);
}

// Reading a pipe would wait for a writer that never comes: the old view and
// layout settings and the settings file, when they are not files, hang
// nothing and are neither read nor replaced; the old ones are noted once.
TEST_F(KeptFiles, KeptFilesThatAreNotFilesAreNeitherReadNorReplaced)
{
    const QString view = dir.filePath(QStringLiteral("fview.dat"));
    const QString layout = dir.filePath(QStringLiteral("fsetup.dat"));
    const struct {
        const char* name;
        bool pipe; // else a folder
        bool old;  // the old view and layout settings, else the settings file
        QStringList paths;
    } rows[] = {
        {"old settings, a pipe", true, true, {view, layout}},
        {"old settings, a folder", false, true, {view, layout}},
        {"the settings file, a pipe", true, false, {SettingsFileName()}},
        {"the settings file, a folder", false, false, {SettingsFileName()}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        for (const QString& path : row.paths) {
            ASSERT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
            ASSERT_TRUE(row.pipe ? ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0
                                 : QDir().mkdir(path));
        }
        const qsizetype before = Kept::Notes().filter(view).size();
        for (int start = 0; start < 2; ++start) {
            StartRemembering();
            ASSERT_TRUE(form->session.FirstActivationDone());
            OpenAndPlot();
            EXPECT_EQ(form->recentPrices().size(), 1);
            if (row.old) {
                events.clear();
                form->menuItem(QStringLiteral("View/Level values"))->trigger();
                // The toggle goes to the settings file; the pipe is no error of its.
                for (const QJsonObject& e : events)
                    EXPECT_NE(e[QStringLiteral("event")], QStringLiteral("error"))
                        << e[QStringLiteral("text")].toString().toStdString();
            }
            form->close();
            form.reset();
        }
        if (row.old) {
            const QStringList notes = Kept::Notes().filter(view).mid(before);
            ASSERT_EQ(notes.size(), 1);
            EXPECT_TRUE(notes.front().startsWith(
                QStringLiteral("the old view settings are not taken over")))
                << notes.front().toStdString();
            // Still remembered where they belong: toggled twice, off again.
            EXPECT_FALSE(
                TMainForm::Remembered().value(QLatin1String(Kept::LevelValuesKey)).toBool());
        }
        for (const QString& path : row.paths) {
            EXPECT_EQ(IsPipe(path), row.pipe);
            EXPECT_EQ(QFileInfo(path).isDir(), !row.pipe);
            QFile::remove(path);
            QDir().rmdir(path);
        }
        QFile::remove(SettingsFileName());
    }
}

// Only a sane remembered geometry is restored or saved again; restored from
// maximised, the window is smaller than the screen and on it.
TEST_F(KeptFiles, OnlyASaneRememberedGeometryIsRestoredAndTheWindowIsOnTheScreen)
{
    QScreen* screen = QGuiApplication::primaryScreen();
    ASSERT_NE(screen, nullptr);
    const QRect avail = screen->availableGeometry();
    const QRect sane(avail.topLeft() + QPoint(40, 30), avail.size() * 3 / 4);
    const QRect kept(avail.topLeft() + QPoint(60, 50), QSize(900, 640));
    enum Shown { Fits, Anyhow, Maximised };
    const struct {
        const char* name;
        QByteArray saved;
        Shown shown;
        std::optional<QRect> normal; // of a maximised one: the place kept, or a fresh one
    } rows[] = {
        {"a window that fits", SavedBy(sane), Fits, {}},
        {"a billion pixels square", GeometryOf(QRect(0, 0, 1000000000, 1000000000)), Anyhow, {}},
        {"the whole range of int",
         GeometryOf(QRect(QPoint(INT_MIN, INT_MIN), QPoint(INT_MAX, INT_MAX))),
         Anyhow,
         {}},
        {"below the screen",
         GeometryOf(QRect(avail.left(), avail.bottom() + 10, 800, 600)),
         Anyhow,
         {}},
        {"too small to use", GeometryOf(QRect(avail.topLeft(), QSize(57, 98))), Anyhow, {}},
        {"cut short", GeometryOf(sane).left(30), Anyhow, {}},
        {"nothing remembered", QByteArray(), Maximised, {}},
        {"maximised over a place of its own", GeometryOf(kept, avail), Maximised, kept},
        {"maximised over the whole screen", GeometryOf(avail, avail), Maximised, {}},
        {"maximised over a place off the screen",
         GeometryOf(QRect(avail.right() + 500, 0, 800, 600), avail),
         Maximised,
         {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        {
            QSettings st = TMainForm::Remembered();
            st.clear();
            if (!row.saved.isEmpty())
                st.setValue(QStringLiteral("window/geometry"), row.saved);
        }
        StartRemembering();
        ASSERT_TRUE(form->session.FirstActivationDone());
        if (row.shown == Fits) {
            // The window grows to its smallest layout on a small screen.
            EXPECT_EQ(form->geometry().size(),
                      sane.size().expandedTo(form->minimumSizeHint()).boundedTo(avail.size()));
        }
        // Maximised, or moved back onto the screen by Qt itself: all of it seen.
        EXPECT_TRUE(form->isMaximized() || avail.contains(form->geometry()))
            << form->geometry().x() << "," << form->geometry().y() << " " << form->width() << "x"
            << form->height();
        EXPECT_GE(form->width(), 100);
        EXPECT_GE(form->height(), 100);
        EXPECT_LE(form->width(), avail.width());
        EXPECT_LE(form->height(), avail.height());
        EXPECT_LE(form->session.GloVar.ChartWidth, 16384);
        EXPECT_LE(form->session.GloVar.ChartHeight, 16384);
        if (row.shown == Maximised) {
            EXPECT_TRUE(form->isMaximized());
            const QRect normal = form->normalGeometry();
            // The offscreen platform has no window manager to hand back the
            // place kept under a maximised window; every other check holds there too.
            if (row.normal && QGuiApplication::platformName() != QLatin1String("offscreen")) {
                EXPECT_EQ(normal, *row.normal);
            }
            EXPECT_TRUE(avail.contains(normal));
            EXPECT_LT(normal.width(), avail.width());
            EXPECT_LT(normal.height(), avail.height());
            form->showNormal();
            EXPECT_TRUE(QTest::qWaitFor(
                [&] { return !form->isMaximized() && form->geometry() == normal; }, 10000))
                << form->geometry().width() << "x" << form->geometry().height();
            EXPECT_GE(form->frameGeometry().top(), avail.top());
        }
        form->close();
        form.reset();
        // What is saved again restores to something that fits the screen.
        const QByteArray again =
            TMainForm::Remembered().value(QStringLiteral("window/geometry")).toByteArray();
        if (!again.isEmpty()) {
            QWidget probe;
            ASSERT_TRUE(probe.restoreGeometry(again));
            EXPECT_LE(probe.normalGeometry().width(), avail.width());
            EXPECT_LE(probe.normalGeometry().height(), avail.height());
        }
    }
    TMainForm::Remembered().clear();
}

TEST_F(KeptFiles, AtItsLeastSizeEveryControlIsStillWithinReach)
{
    OpenAndPlot();
    const QSize least = form->minimumSize();
    // Well below the smallest screens in use, and never the 60x98 of before.
    EXPECT_GE(least.width(), 300);
    EXPECT_GE(least.height(), 200);
    EXPECT_LE(least.width(), 800);
    EXPECT_LE(least.height(), 600);
    form->resize(1, 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->size() == least; }, 10000))
        << form->width() << "x" << form->height();
    form->FlushResize();
    QToolButton* more = Find<QToolBar>("ToolBar1")
                            ->findChild<QToolButton*>(QStringLiteral("qt_toolbar_ext_button"));
    ASSERT_NE(more, nullptr);
    ASSERT_TRUE(more->isVisible()); // the bar does not fit: the rest is behind »
    QTest::mouseClick(more, Qt::LeftButton);
    QApplication::processEvents();
    int reached = 0;
    for (int i = 0; i < CtlCount; ++i) {
        const Ctl c = static_cast<Ctl>(i);
        QWidget* w = Find(CtlName(c));
        if (!w || !form->session.ui[c].visible)
            continue;
        EXPECT_TRUE(w->isVisible()) << CtlName(c);
        const QRect inForm(w->mapTo(form.get(), QPoint(0, 0)), w->size());
        EXPECT_TRUE(form->rect().contains(inForm))
            << CtlName(c) << " at " << inForm.x() << "," << inForm.y() << " " << inForm.width()
            << "x" << inForm.height() << " in " << least.width() << "x" << least.height();
        ++reached;
    }
    EXPECT_GE(reached, 20);
    // The menus are there too, and the chart still has room.
    EXPECT_TRUE(form->menuBar()->isVisible());
    EXPECT_GT(Find("Image1")->height(), 0);
    // Exit, reached behind the bar's button, closes the window.
    QTest::mouseClick(Find<QToolButton>("ExitBtn"), Qt::LeftButton);
    EXPECT_TRUE(form->closedByUser());
}

// --- Saving over what is open ---------------------------------------------------

class OverOpenFiles : public WindowFixture {};

TEST_F(OverOpenFiles, NoSaveOrExportFromTheWindowReplacesTheOpenPriceFile)
{
    OpenAndPlot();
    const QString prices = dir.filePath(QStringLiteral("prices.txt"));
    const QByteArray before = ReadBytes(prices);
    const QString hard = dir.filePath(QStringLiteral("hard.csv"));
    const QString soft = dir.filePath(QStringLiteral("soft.png"));
    ASSERT_EQ(::link(QFile::encodeName(prices).constData(), QFile::encodeName(hard).constData()),
              0);
    ASSERT_TRUE(QFile::link(prices, soft));
    const struct {
        const char* name;
        const char* item; // a menu item, or null for the snapshot's Save
        QString path;
    } rows[] = {
        {"export values", "File/Export figure values...", prices},
        {"export values by a hard link", "File/Export figure values...", hard},
        {"save study as", "File/Save study as...", prices},
        {"export image by a link", "File/Export image...", soft},
        {"the snapshot's Save", nullptr, prices},
    };
    for (const auto& row : rows) {
        events.clear();
        host.saveAnswer = row.path;
        if (row.item)
            form->menuItem(QLatin1String(row.item))->trigger();
        else
            form->session.SaveBtnClick();
        ASSERT_EQ(events.size(), 1) << row.name;
        EXPECT_EQ(events[0][QStringLiteral("event")], QStringLiteral("error")) << row.name;
        EXPECT_TRUE(events[0][QStringLiteral("text")].toString().contains(
            QStringLiteral("It is the open price file; choose another name.")))
            << row.name << ": " << events[0][QStringLiteral("text")].toString().toStdString();
        EXPECT_EQ(ReadBytes(prices), before) << row.name;
    }
    EXPECT_TRUE(QFileInfo(soft).isSymLink());
    // Saving the open study onto itself is what Save is for.
    events.clear();
    host.saveAnswer = dir.filePath(QStringLiteral("mine.aurigon"));
    form->menuItem(QStringLiteral("File/Save study as..."))->trigger();
    form->menuItem(QStringLiteral("File/Save study"))->trigger();
    host.saveAnswer = dir.filePath(QStringLiteral("mine.aurigon"));
    form->menuItem(QStringLiteral("File/Save study as..."))->trigger();
    EXPECT_TRUE(events.isEmpty()) << events.size();
    EXPECT_TRUE(ReadBytes(dir.filePath(QStringLiteral("mine.aurigon"))).contains("aurigon"));
}

// A study that does not open is said once, by the box, and the chart stays.
TEST_F(OverOpenFiles, AStudyThatDoesNotOpenFromTheMenuIsSaidOnce)
{
    OpenAndPlot();
    const QString bad = WriteFile(dir, QStringLiteral("bad.aurigon"), "{ not json");
    const QString caption = form->windowTitle();
    events.clear();
    host.openAnswer = bad;
    form->menuItem(QStringLiteral("File/Open study..."))->trigger();
    ASSERT_EQ(events.size(), 1);
    EXPECT_EQ(events[0][QStringLiteral("event")], QStringLiteral("error"));
    EXPECT_TRUE(events[0][QStringLiteral("text")].toString().startsWith(
        QStringLiteral("Cannot open study %1. ").arg(bad)))
        << events[0][QStringLiteral("text")].toString().toStdString();
    EXPECT_TRUE(form->session.ChartShown());
    EXPECT_EQ(form->windowTitle(), caption);
}

TEST_F(OverOpenFiles, TheWindowsSaveDialogsAskBeforeReplacingAFile)
{
    GuiHost gui(form.get());
    bool seen = false, asks = false;
    QTimer::singleShot(0, form.get(), [&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* dialog = qobject_cast<QFileDialog*>(w); dialog && dialog->isVisible()) {
                seen = true;
                asks = !dialog->testOption(QFileDialog::DontConfirmOverwrite);
                dialog->reject();
            }
    });
    EXPECT_FALSE(
        gui.saveFileName(QStringLiteral("CSV files|*.csv"), QStringLiteral("csv"), dir.path()));
    ASSERT_TRUE(seen);
    EXPECT_TRUE(asks);
}

// --- A failed open and the Dates dialog's refusals ------------------------------

class OpenAndDates : public WindowFixture {
protected:
    // The Dates dialog, as a person fills it: the two dates typed, then OK.
    // Returns the messages it gave.
    QStringList TypeDates(const QString& first, const QString& last)
    {
        events.clear();
        bool stayedOpen = false;
        host.dialogAnswer = [&](QDialog& d) {
            auto& dates = static_cast<TDatesDlg&>(d);
            dates.show();
            for (auto [edit, text] : {std::pair{dates.FDateEdit, first}, {dates.LDateEdit, last}}) {
                if (text.isEmpty())
                    continue;
                edit->selectAll();
                QTest::keyClicks(edit, text);
            }
            QTest::mouseClick(dates.BitBtn1, Qt::LeftButton);
            stayedOpen = dates.isVisible();
            focused = dates.focusWidget() ? dates.focusWidget()->objectName() : QString();
            dates.reject();
        };
        QTest::mouseClick(Find<QToolButton>("DateBtn"), Qt::LeftButton);
        QStringList said;
        EXPECT_EQ(stayedOpen, !events.isEmpty()) << "open after a refusal, closed after OK";
        for (const QJsonObject& e : events)
            if (e[QStringLiteral("event")] == QLatin1String("message"))
                said << e[QStringLiteral("text")].toString();
        return said;
    }
    // The dialog's field with the focus as it was left.
    QString focused;
};

TEST_F(OpenAndDates, AFailedOpenLeavesNoPlotOrDatesOfTheFileBefore)
{
    const QString folder = dir.filePath(QStringLiteral("folder.txt"));
    ASSERT_TRUE(QDir().mkdir(folder));
    const struct {
        const char* name;
        QString path;
    } rows[] = {{"a missing file", dir.filePath(QStringLiteral("none.txt"))}, {"a folder", folder}};
    for (const auto& row : rows) {
        host.openAnswer = WriteFile(dir, QStringLiteral("prices.txt"), WeekdayFile(600));
        QTest::mouseClick(Find<QToolButton>("FileBtn"), Qt::LeftButton);
        ASSERT_TRUE(Find<QToolButton>("PlotBtn")->isEnabled()) << row.name;
        ASSERT_FALSE(Find<QLabel>("Panel1")->text().isEmpty()) << row.name;
        events.clear();
        host.openAnswer = row.path;
        QTest::mouseClick(Find<QToolButton>("FileBtn"), Qt::LeftButton);
        ASSERT_FALSE(events.isEmpty()) << row.name;
        EXPECT_EQ(events.first()[QStringLiteral("event")], QStringLiteral("error")) << row.name;
        EXPECT_FALSE(Find<QToolButton>("PlotBtn")->isEnabled()) << row.name;
        EXPECT_FALSE(Find<QToolButton>("DateBtn")->isEnabled()) << row.name;
        EXPECT_TRUE(Find<QLabel>("Panel1")->text().isEmpty())
            << row.name << ": " << Find<QLabel>("Panel1")->text().toStdString();
    }
}

TEST_F(OpenAndDates, DatesThatGiveNoRangeAreRefusedByNameAndReason)
{
    host.openAnswer = WriteFile(dir, QStringLiteral("prices.txt"), WeekdayFile(600));
    QTest::mouseClick(Find<QToolButton>("FileBtn"), Qt::LeftButton);
    const RecordDates& days = form->session.RecordDatesOfFile();
    ASSERT_GT(days.count(), 10);
    // A Friday inside the file: the next record is three days on.
    int friday = days.count() / 2;
    while (friday < days.count() && *days.dayOf(friday + 1) - *days.dayOf(friday) != 3)
        ++friday;
    ASSERT_LT(friday, days.count());
    const double fri = *days.dayOf(friday);
    const auto words = [](double day) {
        return QLocale(QLocale::English)
            .toString(QDate::fromString(IsoText(day), Qt::ISODate), QStringLiteral("d MMM yyyy"));
    };
    const double after = *days.dayOf(days.count()) + 400, before = *days.dayOf(1) - 400;
    // Each refusal leaves the person at the date to fix.
    const QString first = QStringLiteral("FDateEdit"), last = QStringLiteral("LDateEdit");
    const struct {
        const char* name;
        QString first, last, says, fix;
    } rows[] = {
        {"a first date after the file's last", IsoText(after), QString(),
         QStringLiteral("No record on or after %1.   Enter again.").arg(words(after)), first},
        {"a last date before the file's first", QString(), IsoText(before),
         QStringLiteral("No record on or before %1.   Enter again.").arg(words(before)), last},
        {"reversed dates", IsoText(fri), IsoText(fri - 7),
         QStringLiteral("The first date, %1, comes after the last, %2.   Enter again.")
             .arg(words(fri), words(fri - 7)),
         first},
        {"a weekend", IsoText(fri + 1), IsoText(fri + 2),
         QStringLiteral("No record from %1 to %2.   Enter again.")
             .arg(words(fri + 1), words(fri + 2)),
         first},
        {"a single day", IsoText(fri), IsoText(fri),
         QStringLiteral("Only one record from %1 to %2: a chart needs two.   Enter again.")
             .arg(words(fri), words(fri)),
         first},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(TypeDates(row.first, row.last), QStringList(row.says)) << row.name;
        EXPECT_EQ(focused, row.fix) << row.name;
    }
    // A range the dates do give is taken, with no word.
    EXPECT_EQ(TypeDates(IsoText(fri - 14), IsoText(fri)), QStringList());
}
