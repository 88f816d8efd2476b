#include <QAction>
#include <QComboBox>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QToolBar>
#include <QToolButton>

#include "app/automation/ScriptRunner.h"
#include "app/session/Commands.h"
#include "tests/WindowFixture.h"

namespace {
QString Plain(QString text)
{
    return text.remove(QLatin1Char('&'));
}

// The item a person reaches through the menu bar's own menus by their texts.
QAction* OnMenuBar(QMenuBar* bar, const QString& path)
{
    QList<QAction*> level = bar->actions();
    QAction* found = nullptr;
    for (const QString& part : path.split(QLatin1Char('/'))) {
        found = nullptr;
        for (QAction* a : level)
            if (!a->isSeparator() && Plain(a->text()) == part) {
                found = a;
                break;
            }
        if (!found)
            return nullptr;
        level = found->menu() ? found->menu()->actions() : QList<QAction*>();
    }
    return found;
}

class CommandTable : public WindowFixture {};
} // namespace

TEST_F(CommandTable, EveryRowIsAnItemOfTheWindowWithItsKeys)
{
    for (const MenuCommand& row : MenuCommands()) {
        if (row.kind == MenuCommand::Separator)
            continue;
        QAction* a = form->command(row.id);
        ASSERT_NE(a, nullptr) << qPrintable(row.id);
        EXPECT_EQ(a->shortcuts(), row.shortcuts()) << qPrintable(row.id);
        if (row.menu.isEmpty())
            continue;
        // Found by its visible texts, as a script's menu line finds it.
        const QString path = Plain(row.menu) + QLatin1Char('/') + Plain(a->text());
        EXPECT_EQ(form->menuItem(path), a) << qPrintable(path);
        EXPECT_EQ(OnMenuBar(form->menuBar(), path), a) << qPrintable(path);
        EXPECT_EQ(a->isCheckable(), row.checkable) << qPrintable(row.id);
    }
    // The Select tool is on the toolbar too, as the same action.
    auto* arrow = Find<QToolButton>("SelectTool");
    ASSERT_NE(arrow, nullptr);
    EXPECT_EQ(arrow->defaultAction(), form->selectAction());
}

// Handlers called straight on the session, with no script and no window
// path between: the menus follow on their own, and their rules hold.
TEST_F(CommandTable, MenuItemsFollowTheSessionWithoutBeingTold)
{
    QAction* save = form->menuItem(QStringLiteral("File/Save study"));
    QAction* range = form->menuItem(QStringLiteral("View/Range..."));
    ASSERT_TRUE(save && range);
    EXPECT_FALSE(save->isEnabled());
    EXPECT_FALSE(range->isEnabled());

    form->session.OpenPriceFile(WriteFile(dir, QStringLiteral("prices.txt"), WeekdayFile(600)));
    form->session.PlotBtnClick();
    EXPECT_TRUE(save->isEnabled());
    EXPECT_TRUE(range->isEnabled());
    EXPECT_TRUE(Find<QToolButton>("PlotBtn")->isEnabled());
    EXPECT_EQ(Find<QToolButton>("PlotBtn")->text(), QStringLiteral("Reset"));
    EXPECT_FALSE(Find<QToolButton>("FileBtn")->isEnabled());

    form->session.DirBtnClick();
    QAction* undo = form->menuItem(QStringLiteral("Edit/Undo DIR"));
    ASSERT_NE(undo, nullptr);
    EXPECT_TRUE(undo->isEnabled());
    // An item whose rule no longer holds does nothing, even when reached by
    // its action rather than the menu.
    const int dir1 = form->session.GloVar.Dir;
    form->session.ui.toolBar1Enabled = false; // as while a dialog is open
    form->command(QStringLiteral("UndoItem"))->trigger();
    EXPECT_EQ(form->session.GloVar.Dir, dir1);
    form->session.ui.toolBar1Enabled = true;
    form->command(QStringLiteral("UndoItem"))->trigger();
    EXPECT_NE(form->session.GloVar.Dir, dir1);

    form->session.LevelValuesClick();
    EXPECT_EQ(form->command(QStringLiteral("LevelValuesItem"))->isChecked(),
              form->session.LevelValues());
    form->session.BarStyleClick(BarStyle::Line);
    EXPECT_TRUE(form->menuItem(QStringLiteral("View/Bar style/Line on close"))->isChecked());

    form->session.PlotBtnClick();
    EXPECT_FALSE(save->isEnabled());
    EXPECT_FALSE(range->isEnabled());
    EXPECT_EQ(Find<QToolButton>("PlotBtn")->text(), QStringLiteral("Plot"));
    EXPECT_TRUE(Find<QToolButton>("FileBtn")->isEnabled());
}

// Every control is a row of the table, shown in the real window under the
// row's id with the row's caption and tip, and on the bar the row names.
TEST_F(CommandTable, EveryToolbarControlIsARowOfTheWindow)
{
    auto* nav = Find<QFrame>("ToolBar2");
    ASSERT_NE(nav, nullptr);
    int controls = 0;
    for (const MenuCommand& row : MenuCommands()) {
        if (!row.place)
            continue;
        ++controls;
        const QByteArray name = row.id.toLatin1();
        QWidget* w = Find(name.constData());
        ASSERT_NE(w, nullptr) << name.constData();
        EXPECT_EQ(row.place->bar == ToolPlace::Nav, w != nav && nav->isAncestorOf(w))
            << name.constData();
        // The same action whether pressed on the bar or reached from a menu.
        EXPECT_EQ(form->command(row.id), form->action(row.place->ctl)) << name.constData();
        if (auto* b = qobject_cast<QToolButton*>(w)) {
            EXPECT_EQ(b->text(), row.caption) << name.constData();
            EXPECT_EQ(b->toolTip(), row.tip) << name.constData();
            EXPECT_EQ(b->isVisible(), row.place->visible) << name.constData();
        }
    }
    EXPECT_EQ(controls, CtlCount);
    EXPECT_NE(qobject_cast<QComboBox*>(Find("PeriodCB")), nullptr);
}

// A script's press line finds every control it may press through the table,
// and refuses the rest with the same words as ever.
TEST_F(CommandTable, EveryPressableRowIsPressedByAScript)
{
    QStringList lines;
    for (const MenuCommand& row : MenuCommands()) {
        if (!row.place || !row.place->pressable || row.place->ctl == Ctl::ExitBtn)
            continue;
        lines << QStringLiteral("press ") + row.id;
        if (row.place->answer)
            lines << QLatin1String(row.place->answer) + QStringLiteral(" cancel");
    }
    lines << QStringLiteral("press ExitBtn");
    EXPECT_EQ(lines.filter(QRegularExpression(QStringLiteral("^press "))).size(), CtlCount - 1);
    {
        ScriptRunner runner(*form, host);
        EXPECT_EQ(runner.run(lines), 0) << qPrintable(lines.join(QLatin1Char('\n')));
    }
    struct Refused {
        const char* name;
        const char* line;
    } refused[] = {{"the period list", "press PeriodCB"},
                   {"a menu item", "press OpenPriceItem"},
                   {"no row", "press NoSuchBtn"}};
    for (const Refused& r : refused) {
        StartWindow();
        ScriptRunner runner(*form, host);
        EXPECT_EQ(runner.run({QLatin1String(r.line)}), 2) << r.name;
        ASSERT_FALSE(events.isEmpty()) << r.name;
        EXPECT_EQ(events.last().value(QStringLiteral("text")).toString(),
                  QStringLiteral("no control named ") + QString::fromLatin1(r.line).mid(6))
            << r.name;
    }
}

// Menu lines find items through the table by their visible texts, the ones
// whose caption follows the session and what a submenu holds of its own too.
TEST_F(CommandTable, MenuLinesResolveThroughTheTable)
{
    OpenAndPlot();
    const int dirAtStart = form->session.GloVar.Dir;
    struct Line {
        const char* name;
        const char* line;
        int status;
    } lines[] = {
        {"a recent file", "menu \"File/Recent files/prices.txt\"", 0},
        {"an item", "menu \"View/Level values\"", 0},
        {"a submenu's item", "menu \"View/Bar style/Candlesticks\"", 0},
        {"a control", "press DirBtn", 0},
        {"a caption that follows the session", "menu \"Edit/Undo DIR\"", 0},
        {"a submenu itself", "menu \"File/Recent files\"", 2},
        {"a menu itself", "menu File", 2},
        {"no such item", "menu \"View/Nothing\"", 2},
        {"a control by menu", "menu FileBtn", 2},
    };
    for (const Line& l : lines) {
        ScriptRunner runner(*form, host);
        EXPECT_EQ(runner.run({QLatin1String(l.line)}), l.status) << l.name;
        if (l.status != 0) {
            ASSERT_FALSE(events.isEmpty()) << l.name;
            EXPECT_TRUE(events.last()
                            .value(QStringLiteral("text"))
                            .toString()
                            .startsWith(QStringLiteral("the menu bar has no item ")))
                << l.name;
        }
    }
    EXPECT_EQ(form->session.ChartStyle(), BarStyle::Candles);
    EXPECT_EQ(form->session.GloVar.Dir, dirAtStart);
}

// What each step gives back: History.EveryStepIsUndoneAndRedoneExactly;
// here the Edit menu's side and the script's lines.
TEST_F(CommandTable, UndoAndRedoFromAScriptAndTheEditMenu)
{
    OpenAndPlot();
    const int dir0 = form->session.GloVar.Dir;
    form->session.DirBtnClick();
    QAction* undo = form->menuItem(QStringLiteral("Edit/Undo DIR"));
    QAction* redo = form->menuItem(QStringLiteral("Edit/Redo"));
    ASSERT_TRUE(undo && redo);
    EXPECT_TRUE(undo->isEnabled());
    EXPECT_FALSE(redo->isEnabled());
    ScriptRunner runner(*form, host);
    ASSERT_EQ(runner.run({QStringLiteral("undo")}), 0);
    EXPECT_EQ(form->session.GloVar.Dir, dir0);
    EXPECT_EQ(redo->text(), QStringLiteral("&Redo DIR"));
    EXPECT_TRUE(redo->isEnabled());
    EXPECT_FALSE(undo->isEnabled());
    // Nothing left to replay after the redo: the line does nothing, as the greyed item would.
    for (int i = 0; i < 2; ++i) {
        ASSERT_EQ(runner.run({QStringLiteral("redo")}), 0);
        EXPECT_EQ(form->session.GloVar.Dir, -dir0) << i;
    }
}
