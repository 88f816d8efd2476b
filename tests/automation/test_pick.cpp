// Picking one figure and deleting it or dragging one of its anchors, each
// one step of the history that Undo takes back to the very same values.
#include "tests/FiguresScript.h"

namespace {
class PickFigures : public FiguresScript {
protected:
    ScriptRun Run(const QString& moves) { return RunWith(moves, QStringLiteral("state\n")); }
    // The rows of figure n, without its number.
    static QStringList RowsOf(const QStringList& rows, int n)
    {
        QStringList out;
        const QString prefix = QString::number(n) + QLatin1Char(',');
        for (const QString& r : rows)
            if (r.startsWith(prefix))
                out << r.mid(prefix.size());
        return out;
    }
};
} // namespace

TEST_F(PickFigures, DeleteTakesThePickedFigureAndUndoBringsItBackExactly)
{
    const struct {
        const char* name;
        int figure;
        const char* remove;
    } rows[] = {
        {"the first kept figure by Delete", 1, "key Delete"},
        {"the second kept figure by Backspace", 2, "key Backspace"},
        {"the current figure from the Edit menu", 3, "menu \"Edit/Delete figure\""},
    };
    for (const auto& row : rows) {
        ASSERT_TRUE(dir.isValid());
        const ScriptRun r =
            Run(QStringLiteral("select %1\n%2\nvalues deleted.csv\nstate\nundo\nvalues after.csv")
                    .arg(row.figure)
                    .arg(QLatin1String(row.remove)));
        ASSERT_EQ(r.status, 0) << row.name;
        const QStringList before = Rows("before.csv"), deleted = Rows("deleted.csv");
        ASSERT_FALSE(RowsOf(before, 3).isEmpty()) << row.name;
        EXPECT_EQ(Rows("after.csv"), before) << row.name;
        // The others keep their values, renumbered past the one gone.
        int to = 1;
        for (int from = 1; from <= 3; ++from) {
            if (from == row.figure)
                continue;
            EXPECT_EQ(RowsOf(deleted, to), RowsOf(before, from)) << row.name << " figure " << from;
            ++to;
        }
        EXPECT_TRUE(RowsOf(deleted, 3).isEmpty()) << row.name;
        // Undo gives back the figure, picked as it was.
        EXPECT_EQ(StateVar(r.last("state"), "FigureCount").toInt(), 3) << row.name;
        EXPECT_EQ(StateVar(r.last("state"), "SelectedFigure").toInt(), row.figure) << row.name;
    }
}

TEST_F(PickFigures, NothingPickedDeletesNothing)
{
    const struct {
        const char* name;
        const char* moves;
    } rows[] = {
        {"no figure picked", "key Delete\nvalues after.csv"},
        {"a pick taken back with 0", "select 3\nselect 0\nkey Delete\nvalues after.csv"},
        // Clear drops every figure and the pick: Delete then adds no step,
        // and one Undo gives back the Clear.
        {"a pick dropped by Clear", "select 1\npress EraseBtn\nkey Delete\nundo\nvalues after.csv"},
    };
    for (const auto& row : rows) {
        const ScriptRun r = Run(QString::fromLatin1(row.moves));
        ASSERT_EQ(r.status, 0) << row.name;
        EXPECT_EQ(Rows("after.csv"), Rows("before.csv")) << row.name;
        EXPECT_EQ(StateVar(r.last("state"), "FigureCount").toInt(), 3) << row.name;
    }
}

TEST_F(PickFigures, SelectOutOfRangeIsAnErrorNamingTheLine)
{
    // The figures' script is 25 lines, then the values line: select is line 27.
    for (const char* bad : {"4", "-1", "two"}) {
        const ScriptRun r = Run(QStringLiteral("select %1").arg(QLatin1String(bad)));
        EXPECT_EQ(r.status, 2) << bad;
        const QJsonObject e = r.last("error");
        EXPECT_EQ(e[QStringLiteral("line")].toInt(), 27) << bad;
        EXPECT_TRUE(e[QStringLiteral("text")].toString().contains(QStringLiteral("0 to 3"))) << bad;
    }
}

TEST_F(PickFigures, DraggingAnAnchorMovesOnlyThatFigureAndUndoPutsItBack)
{
    // P1 of the current figure was set at (250, 470); Ctrl snaps it to a bar price.
    const struct {
        const char* name;
        const char* press;
    } rows[] = {
        {"a free drag", "down 250 470 left"},
        {"a drag snapping to the bar's prices", "down 250 470 left ctrl"},
    };
    for (const auto& row : rows) {
        const ScriptRun r =
            Run(QStringLiteral("key V\nselect 3\n%1\nmove 320 430\nmove 330 420\nup 330 420 "
                               "left\nvalues moved.csv\nstate\nundo\nvalues after.csv")
                    .arg(QLatin1String(row.press)));
        ASSERT_EQ(r.status, 0) << row.name;
        const QStringList before = Rows("before.csv"), moved = Rows("moved.csv");
        EXPECT_EQ(RowsOf(moved, 1), RowsOf(before, 1)) << row.name;
        EXPECT_EQ(RowsOf(moved, 2), RowsOf(before, 2)) << row.name;
        ASSERT_FALSE(RowsOf(moved, 3).isEmpty()) << row.name;
        EXPECT_NE(RowsOf(moved, 3), RowsOf(before, 3)) << row.name;
        EXPECT_EQ(Rows("after.csv"), before) << row.name;
    }
}
