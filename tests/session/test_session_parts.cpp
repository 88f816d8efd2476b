// The session's parts that hold plain values: the undo history's limit and
// redo, the scan state's look at a file that changed, the figure store's
// numbering and the room the view toggles ask for.
#include <gtest/gtest.h>

#include "app/session/FigureStore.h"
#include "app/session/PriceFileScan.h"
#include "app/session/SessionHistory.h"
#include "app/session/ViewToggles.h"

namespace {
template <typename T> std::string RowName(const ::testing::TestParamInfo<T>& info)
{
    return info.param.name;
}

// A snapshot told apart from the others by its period.
SessionHistory::Snapshot At(int period)
{
    SessionHistory::Snapshot s;
    s.values.periodIndex = period;
    return s;
}

struct HistoryCase {
    const char* name;
    int kept;     // steps kept, named "1", "2", ...
    int undone;   // then undone
    int keptMore; // then kept again, named "more"
    int depth;
    bool redoable;
    const char* undoCaption;
    const char* redoCaption;
};
} // namespace

class HistoryValues : public ::testing::TestWithParam<HistoryCase> {};

TEST_P(HistoryValues, KeepsTheNewestWithinTheLimitAndDropsRedoOnANewStep)
{
    const HistoryCase& c = GetParam();
    SessionHistory h;
    for (int i = 1; i <= c.kept; ++i)
        h.keep(QString::number(i), At(i));
    for (int i = 0; i < c.undone; ++i)
        EXPECT_EQ(h.undo(At(-i)).state.values.periodIndex, c.kept - i);
    for (int i = 0; i < c.keptMore; ++i)
        h.keep(QStringLiteral("more"), At(1000 + i));
    EXPECT_EQ(h.depth(), c.depth);
    EXPECT_EQ(h.canUndo(), c.depth > 0);
    EXPECT_EQ(h.canRedo(), c.redoable);
    EXPECT_EQ(h.undoCaption(), QString::fromLatin1(c.undoCaption));
    EXPECT_EQ(h.redoCaption(), QString::fromLatin1(c.redoCaption));
}

INSTANTIATE_TEST_SUITE_P(
    SessionParts, HistoryValues,
    ::testing::Values(HistoryCase{"Empty", 0, 0, 0, 0, false, "Undo", "Redo"},
                      HistoryCase{"ThreeKept", 3, 0, 0, 3, false, "Undo 3", "Redo"},
                      HistoryCase{"AtTheLimit", SessionHistory::Limit, 0, 0, SessionHistory::Limit,
                                  false, "Undo 100", "Redo"},
                      HistoryCase{"OneBeyondTheLimitDropsTheOldest", SessionHistory::Limit + 1, 0,
                                  0, SessionHistory::Limit, false, "Undo 101", "Redo"},
                      HistoryCase{"UndoneStepsWaitForRedo", 3, 2, 0, 1, true, "Undo 1", "Redo 2"},
                      HistoryCase{"ANewStepDropsRedo", 3, 2, 1, 2, false, "Undo more", "Redo"}),
    RowName<HistoryCase>);

TEST(SessionParts, TheOldestStepGoesBeyondTheLimit)
{
    SessionHistory h;
    for (int i = 1; i <= SessionHistory::Limit + 5; ++i)
        h.keep(QString::number(i), At(i));
    int oldest = 0;
    while (h.canUndo())
        oldest = h.undo(At(0)).state.values.periodIndex;
    EXPECT_EQ(oldest, 6);
    EXPECT_EQ(h.stepsKept(), SessionHistory::Limit + 5);
}

TEST(SessionParts, APendingResetIsJoinedOnceAndOnlyWithAStep)
{
    SessionHistory h;
    h.setResetPending(true);
    EXPECT_FALSE(h.takePendingReset()) << "nothing to join";
    h.keep(QStringLiteral("Reset"), At(1));
    h.setResetPending(true);
    EXPECT_TRUE(h.takePendingReset());
    EXPECT_FALSE(h.takePendingReset()) << "taken once";
    EXPECT_TRUE(h.enter());
    EXPECT_FALSE(h.enter()) << "an action inside an action";
    h.leave();
    h.leave();
    h.hush();
    EXPECT_FALSE(h.enter()) << "hushed";
    h.leave();
    h.unhush();
    EXPECT_TRUE(h.recording());
}

namespace {
struct ScanCase {
    const char* name;
    FileIdentity scanned;
    int64_t lines;
    bool newestFirst;
    bool readsAlone;
};
FileIdentity Id(int64_t size, int64_t lineEnd)
{
    FileIdentity id;
    id.size = size;
    id.lineEnd = lineEnd;
    return id;
}
} // namespace

class ScanAppend : public ::testing::TestWithParam<ScanCase> {};

TEST_P(ScanAppend, NewLinesAloneAreReadOnlyAfterAWholeLineOldestFirst)
{
    PriceFileScan s;
    s.id = GetParam().scanned;
    s.lines = GetParam().lines;
    EXPECT_EQ(s.AppendReadsAlone(GetParam().newestFirst), GetParam().readsAlone);
}

INSTANTIATE_TEST_SUITE_P(
    SessionParts, ScanAppend,
    ::testing::Values(ScanCase{"EndsOnALineEnd", Id(120, 120), 10, false, true},
                      ScanCase{"EndsInsideALine", Id(125, 120), 10, false, false},
                      ScanCase{"NewestFirst", Id(120, 120), 10, true, false},
                      ScanCase{"NoLinesScanned", Id(0, 0), 0, false, false}),
    RowName<ScanCase>);

TEST(SessionParts, AQuickLookTellsEveryPartOfTheIdentity)
{
    PriceFileScan s;
    EXPECT_TRUE(s.None());
    s.id = Id(100, 100);
    s.id.modified = 7;
    s.id.inode = 3;
    s.id.device = 2;
    EXPECT_FALSE(s.None());
    FileIdentity quick = s.id;
    EXPECT_TRUE(s.LooksScanned(quick));
    for (auto change : {&FileIdentity::size, &FileIdentity::modified}) {
        FileIdentity other = s.id;
        ++(other.*change);
        EXPECT_FALSE(s.LooksScanned(other));
    }
    for (auto change : {&FileIdentity::inode, &FileIdentity::device}) {
        FileIdentity other = s.id;
        ++(other.*change);
        EXPECT_FALSE(s.LooksScanned(other));
    }
}

TEST(SessionParts, FiguresAreNumberedKeptFirstAndCompareWithTheSavedOnes)
{
    FigureStore f;
    EXPECT_EQ(f.Count(), 0);
    EXPECT_FALSE(f.ChangedSinceSaved()) << "no figures, nothing to lose";
    StudyFigure a, b, c;
    a.type = 1, b.type = 2, c.type = 3;
    f.kept = {a, b};
    f.keptElements = {{FigureElement{}}}; // the second kept one drew nothing yet
    f.current = c;
    EXPECT_EQ(f.Count(), 3);
    EXPECT_EQ(f.Numbered(0), nullptr);
    EXPECT_EQ(f.Numbered(1)->type, 1);
    EXPECT_EQ(f.Numbered(3)->type, 3);
    EXPECT_EQ(f.Numbered(4), nullptr);
    EXPECT_EQ(f.ElementsNumbered(1)->size(), 1u);
    EXPECT_EQ(f.ElementsNumbered(2), nullptr);
    EXPECT_EQ(f.ElementsNumbered(3), &f.currentElements);
    EXPECT_TRUE(f.ChangedSinceSaved());
    f.saved = f.All();
    EXPECT_FALSE(f.ChangedSinceSaved());
    f.kept[1].p1.price += 1;
    EXPECT_TRUE(f.ChangedSinceSaved());
    f.selected = 2;
    f.Forget();
    EXPECT_EQ(f.Count(), 0);
    EXPECT_EQ(f.selected, 0);
    EXPECT_EQ(f.saved.size(), 3u) << "what was saved stays";
}

namespace {
FigureElement Level(double price)
{
    FigureElement e;
    e.shape = ElementShape::Level;
    e.lines = {Segment{}};
    e.price = price;
    return e;
}

FigureElement Goal(double slot)
{
    FigureElement e;
    e.shape = ElementShape::Vertical;
    e.slot = slot;
    return e;
}

struct RoomCase {
    const char* name;
    bool scaleToFigures, timeGoalRoom;
    std::vector<FigureElement> elements;
    ViewToggles::FigureRoom expected;
};
} // namespace

class FigureRoomWanted : public ::testing::TestWithParam<RoomCase> {};

// A chart from 10 to 20 over 50 slots.
TEST_P(FigureRoomWanted, LevelsAndGoalsWithinReachGrowThePlot)
{
    ViewToggles v;
    v.scaleToFigures = GetParam().scaleToFigures;
    v.timeGoalRoom = GetParam().timeGoalRoom;
    const ViewToggles::FigureRoom room =
        v.RoomWanted(ChartMap{}, 20, 10, 50, {GetParam().elements}, {});
    EXPECT_EQ(room, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    SessionParts, FigureRoomWanted,
    ::testing::Values(
        RoomCase{"TogglesOff", false, false, {Level(30), Goal(60)}, {}},
        RoomCase{"LevelsAboveAndBelow", true, false, {Level(30), Level(5), Goal(60)}, {30, 5, 0}},
        RoomCase{"LevelBeyondTenSpansLeftOut", true, false, {Level(121)}, {}},
        RoomCase{"GoalTenSlotsOn", false, true, {Level(30), Goal(59.5)}, {{}, {}, 10}},
        RoomCase{"GoalWithinTheChart", false, true, {Goal(50)}, {}},
        RoomCase{"GoalFarOffHeldToAThousandDays", false, true, {Goal(1e9)}, {{}, {}, 1000}}),
    RowName<RoomCase>);
