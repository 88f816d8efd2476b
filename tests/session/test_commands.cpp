#include <QKeySequence>
#include <map>
#include <set>

#include "app/session/ChartSession.h"
#include "app/session/Commands.h"
#include "tests/Support.h"

namespace {
// The changes the window would hear, with the model as it was shown before each.
struct Heard {
    int times = 0;
    unsigned what = 0;
    QStringList plotCaptions; // PlotBtn's caption at each telling
    QString before;           // PlotBtn's caption the window showed before the last
};

void Listen(ChartSession& s, Heard& h)
{
    QObject::connect(&s, &ChartSession::changed, [&s, &h](unsigned what, const UiModel* before) {
        ++h.times;
        h.what |= what;
        h.plotCaptions << s.ui[Ctl::PlotBtn].caption;
        h.before = before ? (*before)[Ctl::PlotBtn].caption : QStringLiteral("(none)");
        // The window takes the picture's changes as it shows them.
        s.chart.takeDirty();
    });
}

class Publishing : public SessionTest {};
} // namespace

// Each control's row shown in the window and pressed by a script, by its
// name: the window's CommandTable tests.
TEST(CommandTable, EveryRowHasAUniqueIdACaptionAndAMenuMadeBeforeIt)
{
    std::set<QString> ids, menus;
    for (const MenuCommand& row : MenuCommands()) {
        if (!row.menu.contains(QLatin1Char('/')))
            menus.insert(row.menu);
        EXPECT_TRUE(row.menu.isEmpty() || menus.count(row.menu))
            << qPrintable(row.id) << " in " << qPrintable(row.menu);
        if (row.kind == MenuCommand::Submenu)
            menus.insert(row.menu + QLatin1Char('/') + row.caption);
        if (row.kind == MenuCommand::Separator) {
            EXPECT_FALSE(row.menu.isEmpty()) << "a separator outside any menu";
            continue;
        }
        EXPECT_FALSE(row.id.isEmpty());
        EXPECT_TRUE(ids.insert(row.id).second) << qPrintable(row.id) << " twice";
        // A control has a place on the bars and sits in no menu.
        EXPECT_EQ(row.kind == MenuCommand::Control, row.place.has_value()) << qPrintable(row.id);
        if (row.place) {
            EXPECT_TRUE(row.menu.isEmpty()) << qPrintable(row.id);
            continue;
        }
        // Only the window's keys go without a caption, and they sit in no menu.
        EXPECT_EQ(row.caption.isEmpty(), row.menu.isEmpty()) << qPrintable(row.id);
        EXPECT_EQ(MenuCommandOf(row.id), &row);
        // A tick rule belongs to an item that can be ticked.
        if (row.checked) {
            EXPECT_TRUE(row.checkable) << qPrintable(row.id);
        }
        // Every menu item runs a handler of the session or one the window answers.
        const QStringList windows{"ExitItem", "AboutItem", "SelectFiguresItem", "FiguresItem",
                                  "CrosshairItem"};
        EXPECT_TRUE(row.menu.isEmpty() || row.kind != MenuCommand::Item || row.run ||
                    windows.contains(row.id))
            << qPrintable(row.id);
    }
    EXPECT_EQ(MenuCommandOf(QStringLiteral("NoSuchItem")), nullptr);
}

TEST(CommandTable, EachKeyIsBoundOnceAndReadsBack)
{
    std::map<QString, QString> boundTo;
    for (const MenuCommand& row : MenuCommands()) {
        if (row.keys.isEmpty())
            continue;
        const QList<QKeySequence> keys = row.shortcuts();
        EXPECT_EQ(keys.size(), row.keys.count(QLatin1Char(';')) + 1) << qPrintable(row.keys);
        for (const QKeySequence& k : keys) {
            ASSERT_EQ(k.count(), 1) << qPrintable(row.id);
            EXPECT_NE(k[0].key(), Qt::Key_unknown) << qPrintable(row.id);
            const QString text = k.toString(QKeySequence::PortableText);
            const auto [at, fresh] = boundTo.emplace(text, row.id);
            EXPECT_TRUE(fresh) << qPrintable(text) << " is bound to " << qPrintable(at->second)
                               << " and " << qPrintable(row.id);
        }
    }
    // The keys a person knows from the manual, read as the window reads them.
    struct Key {
        const char* name;
        QKeyCombination key;
        const char* id;
    } known[] = {
        {"open", Qt::CTRL | Qt::Key_O, "OpenPriceItem"},
        {"redo", Qt::CTRL | Qt::Key_Y, "RedoItem"},
        {"delete", QKeyCombination(Qt::Key_Delete), "DeleteFigureItem"},
        {"shorten", QKeyCombination(Qt::Key_Plus), "ShortenPeriodItem"},
        {"lengthen", QKeyCombination(Qt::Key_Minus), "LengthenPeriodItem"},
        {"leave select", QKeyCombination(Qt::Key_Escape), "LeaveSelectKey"},
    };
    for (const Key& k : known) {
        const auto it = boundTo.find(QKeySequence(k.key).toString(QKeySequence::PortableText));
        ASSERT_NE(it, boundTo.end()) << k.name;
        EXPECT_EQ(it->second, QLatin1String(k.id)) << k.name;
    }
}

TEST_F(Publishing, NestedHandlersTellTheWindowOnce)
{
    OpenWeekdays(600);
    Heard plot;
    Listen(*s, plot);
    s->PlotBtnClick();
    EXPECT_EQ(plot.times, 1);
    EXPECT_EQ(plot.before, QStringLiteral("Plot"));
    EXPECT_TRUE(plot.what & ChartSession::ControlsChanged);

    // A resize re-plots through the range's redraw, which plots again inside
    // it: the window hears the end only, with the chart shown.
    Heard resize;
    Listen(*s, resize);
    s->ResizeChart(800, 500);
    EXPECT_EQ(resize.times, 1);
    EXPECT_EQ(resize.plotCaptions, QStringList{QStringLiteral("Reset")});
    EXPECT_TRUE(resize.what & ChartSession::PictureChanged);

    // Nothing shown changed: nothing is told.
    s->Image1MouseLeave();
    Heard again;
    Listen(*s, again);
    s->Image1MouseLeave();
    EXPECT_EQ(again.times, 0);
}

TEST_F(Publishing, AnswersInTheDatesDialogAreShownWhileItWaits)
{
    OpenWeekdays(600);
    Heard h;
    Listen(*s, h);
    int heardInside = -1;
    s->showDatesDialog = [&] {
        s->LeaveSpaceClick(!s->GloVar.LeaveHolidaySpace);
        heardInside = h.times;
    };
    s->DateBtnClick();
    EXPECT_EQ(heardInside, 1);
    EXPECT_GE(h.times, 1);
}
