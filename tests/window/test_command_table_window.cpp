#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

#include "app/session/Commands.h"
#include "tests/WindowFixture.h"

namespace {
QString Plain(QString text)
{
    return text.remove(QLatin1Char('&'));
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
        EXPECT_EQ(a->isCheckable(), row.checkable) << qPrintable(row.id);
    }
    // The Select tool is on the toolbar too, as the same action.
    auto* arrow = Find<QToolButton>("SelectTool");
    ASSERT_NE(arrow, nullptr);
    EXPECT_EQ(arrow->defaultAction(), form->selectAction());
}

// Handlers called straight on the session, with no script and no window
// path between: the menus follow on their own.
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

    form->session.DirBtnClick();
    QAction* undo = form->menuItem(QStringLiteral("Edit/Undo DIR"));
    ASSERT_NE(undo, nullptr);
    EXPECT_TRUE(undo->isEnabled());

    form->session.LevelValuesClick();
    EXPECT_EQ(form->command(QStringLiteral("LevelValuesItem"))->isChecked(),
              form->session.LevelValues());
    form->session.BarStyleClick(BarStyle::Line);
    EXPECT_TRUE(form->menuItem(QStringLiteral("View/Bar style/Line on close"))->isChecked());

    form->session.PlotBtnClick();
    EXPECT_FALSE(save->isEnabled());
    EXPECT_FALSE(range->isEnabled());
}

// A menu item whose rule no longer holds does nothing, even when reached by
// its action rather than the menu.
TEST_F(CommandTable, AnItemRunsOnlyWhenItsRuleHolds)
{
    QAction* undo = form->command(QStringLiteral("UndoItem"));
    ASSERT_NE(undo, nullptr);
    OpenAndPlot();
    form->session.DirBtnClick();
    const int dir1 = form->session.GloVar.Dir;
    form->session.ui.toolBar1Enabled = false; // as while a dialog is open
    undo->trigger();
    EXPECT_EQ(form->session.GloVar.Dir, dir1);
    form->session.ui.toolBar1Enabled = true;
    undo->trigger();
    EXPECT_NE(form->session.GloVar.Dir, dir1);
}
