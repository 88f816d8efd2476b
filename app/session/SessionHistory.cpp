#include "app/session/SessionHistory.h"

#include <utility>

void SessionHistory::keep(const QString& name, Snapshot before)
{
    undo_.push_back(Step{name, std::move(before)});
    while (undo_.size() > size_t(Limit))
        undo_.pop_front();
    redo_.clear();
    resetPending_ = false;
    ++stepsKept_;
}

namespace {
// The newest step of one list taken, the state it leaves kept on the other.
template <typename From, typename To>
SessionHistory::Step Move(From& from, To& to, SessionHistory::Snapshot now)
{
    SessionHistory::Step step = std::move(from.back());
    from.pop_back();
    to.push_back(SessionHistory::Step{step.name, std::move(now)});
    return step;
}
} // namespace

SessionHistory::Step SessionHistory::undo(Snapshot now)
{
    resetPending_ = false;
    return Move(undo_, redo_, std::move(now));
}

SessionHistory::Step SessionHistory::redo(Snapshot now)
{
    resetPending_ = false;
    return Move(redo_, undo_, std::move(now));
}

void SessionHistory::clear()
{
    undo_.clear();
    redo_.clear();
    resetPending_ = false;
}

QString SessionHistory::undoCaption() const
{
    return undo_.empty() ? QStringLiteral("Undo") : QStringLiteral("Undo ") + undo_.back().name;
}

QString SessionHistory::redoCaption() const
{
    return redo_.empty() ? QStringLiteral("Redo") : QStringLiteral("Redo ") + redo_.back().name;
}

bool SessionHistory::takePendingReset()
{
    return std::exchange(resetPending_, false) && !undo_.empty();
}
