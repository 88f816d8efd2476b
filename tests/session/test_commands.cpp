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

TEST(CommandTable, EveryRowHasAUniqueIdAndACaption)
{
    std::set<QString> ids;
    for (const MenuCommand& row : MenuCommands()) {
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
    }
    EXPECT_EQ(MenuCommandOf(QStringLiteral("NoSuchItem")), nullptr);
}

// Every control is the row of its own name, in the order of the controls,
// and a name finds its control back.
TEST(CommandTable, EveryControlIsTheRowOfItsName)
{
    std::vector<Ctl> inTable;
    for (const MenuCommand& row : MenuCommands())
        if (row.place)
            inTable.push_back(row.place->ctl);
    ASSERT_EQ(inTable.size(), size_t(CtlCount));
    for (int i = 0; i < CtlCount; ++i) {
        const Ctl c = static_cast<Ctl>(i);
        EXPECT_EQ(inTable[size_t(i)], c) << CtlName(c);
        const MenuCommand& row = CommandOf(c);
        ASSERT_TRUE(row.place) << CtlName(c);
        EXPECT_EQ(row.place->ctl, c) << CtlName(c);
        EXPECT_EQ(row.id, QLatin1String(CtlName(c)));
        EXPECT_EQ(CtlFromName(row.id), c) << CtlName(c);
        EXPECT_EQ(MenuCommandOf(row.id), &row) << CtlName(c);
        // Every control a person presses has a click; the period list is chosen.
        EXPECT_EQ(row.place->click != nullptr, row.place->pressable) << CtlName(c);
        EXPECT_EQ(bool(row.run), row.place->pressable) << CtlName(c);
    }
    EXPECT_FALSE(CtlFromName(QStringLiteral("OpenPriceItem")));
    EXPECT_FALSE(CtlFromName(QStringLiteral("NoSuchBtn")));
}

// What a control shows when the program starts, read from its row.
TEST(CommandTable, ControlRowsKeepTheirCaptionsTipsAndPlaces)
{
    struct Want {
        Ctl ctl;
        const char* caption;
        const char* tip;
        int image;
        bool enabled, visible;
        ToolPlace::Bar bar;
        ToolPlace::After after;
    } rows[] = {
        {Ctl::FileBtn, "File", "Select data file - Click right mouse to setup  file spec", 0, true,
         true, ToolPlace::Main, ToolPlace::Nothing},
        {Ctl::DateBtn, "Dates", "Selet Date Range", 1, false, true, ToolPlace::Main,
         ToolPlace::Nothing},
        {Ctl::RatioBtn, "RATIO", "Increase or Decrease Ratio value", 17, true, true,
         ToolPlace::Main, ToolPlace::RatioLabel},
        {Ctl::SaveBtn, "Save", "Save the snap shot of current chart", 8, false, false,
         ToolPlace::Main, ToolPlace::Nothing},
        {Ctl::DownBtn, "", "Lengthen drawing period", 19, true, true, ToolPlace::Nav,
         ToolPlace::Separator},
        {Ctl::PeriodCB, "260", "# of Days per chart when shift buttons are used", -1, false, true,
         ToolPlace::Nav, ToolPlace::Nothing},
        {Ctl::ToolBar2, "", "", -1, false, true, ToolPlace::Main, ToolPlace::Separator},
    };
    for (const Want& w : rows) {
        const MenuCommand& row = CommandOf(w.ctl);
        EXPECT_EQ(row.caption, QLatin1String(w.caption)) << CtlName(w.ctl);
        EXPECT_EQ(row.tip, QLatin1String(w.tip)) << CtlName(w.ctl);
        EXPECT_EQ(row.place->image, w.image) << CtlName(w.ctl);
        EXPECT_EQ(row.place->enabled, w.enabled) << CtlName(w.ctl);
        EXPECT_EQ(row.place->visible, w.visible) << CtlName(w.ctl);
        EXPECT_EQ(row.place->bar, w.bar) << CtlName(w.ctl);
        EXPECT_EQ(row.place->after, w.after) << CtlName(w.ctl);
    }
    // Pressed by a script: every control but the period list; three want a dialog line.
    QStringList answers;
    for (int i = 0; i < CtlCount; ++i) {
        const ToolPlace& p = *CommandOf(static_cast<Ctl>(i)).place;
        EXPECT_EQ(p.pressable, p.ctl != Ctl::PeriodCB) << CtlName(p.ctl);
        if (p.answer)
            answers << QLatin1String(CtlName(p.ctl)) + QLatin1Char('=') + QLatin1String(p.answer);
    }
    EXPECT_EQ(answers,
              (QStringList{QStringLiteral("FileBtn=open"), QStringLiteral("SaveBtn=saveas"),
                           QStringLiteral("PrintBtn=printto")}));
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

TEST(CommandTable, EveryItemSitsInAMenuMadeBeforeIt)
{
    std::set<QString> menus;
    for (const MenuCommand& row : MenuCommands()) {
        if (row.menu.isEmpty())
            continue;
        const QString top = row.menu.section(QLatin1Char('/'), 0, 0);
        if (!row.menu.contains(QLatin1Char('/')))
            menus.insert(top);
        EXPECT_TRUE(menus.count(row.menu)) << qPrintable(row.id) << " in " << qPrintable(row.menu);
        if (row.kind == MenuCommand::Submenu)
            menus.insert(row.menu + QLatin1Char('/') + row.caption);
        // Every item runs a handler of the session or one the window answers.
        if (row.kind == MenuCommand::Item && !row.run) {
            EXPECT_TRUE(
                row.id == QLatin1String("ExitItem") || row.id == QLatin1String("AboutItem") ||
                row.id == QLatin1String("SelectFiguresItem") ||
                row.id == QLatin1String("FiguresItem") || row.id == QLatin1String("CrosshairItem"))
                << qPrintable(row.id);
        }
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
