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

SessionHistory::Step SessionHistory::undo(Snapshot now)
{
    Step step = std::move(undo_.back());
    undo_.pop_back();
    redo_.push_back(Step{step.name, std::move(now)});
    resetPending_ = false;
    return step;
}

SessionHistory::Step SessionHistory::redo(Snapshot now)
{
    Step step = std::move(redo_.back());
    redo_.pop_back();
    undo_.push_back(Step{step.name, std::move(now)});
    resetPending_ = false;
    return step;
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
