#include "app/session/FigureStore.h"

#include <algorithm>
#include <iterator>

namespace {
bool SamePoint(const StudyPoint& a, const StudyPoint& b)
{
    return a.date == b.date && a.slotOffset == b.slotOffset && a.price == b.price;
}

bool SameFigure(const StudyFigure& a, const StudyFigure& b)
{
    return a.type == b.type && a.dir == b.dir && a.ratio == b.ratio &&
           std::equal(std::begin(a.fanAngles), std::end(a.fanAngles), std::begin(b.fanAngles)) &&
           SamePoint(a.p1, b.p1) && SamePoint(a.p2, b.p2) && a.p3.has_value() == b.p3.has_value() &&
           (!a.p3 || SamePoint(*a.p3, *b.p3)) && a.kept == b.kept &&
           a.ellipseScale == b.ellipseScale && a.ellipseDragged == b.ellipseDragged;
}
} // namespace

const StudyFigure* FigureStore::Numbered(int n) const
{
    if (n < 1 || n > Count())
        return nullptr;
    if (size_t(n) <= kept.size())
        return &kept[size_t(n) - 1];
    return &*current;
}

const std::vector<FigureElement>* FigureStore::ElementsNumbered(int n) const
{
    if (!Numbered(n))
        return nullptr;
    if (size_t(n) <= kept.size())
        return size_t(n) <= keptElements.size() ? &keptElements[size_t(n) - 1] : nullptr;
    return &currentElements;
}

std::vector<StudyFigure> FigureStore::All() const
{
    std::vector<StudyFigure> all = kept;
    if (current)
        all.push_back(*current);
    return all;
}

bool FigureStore::ChangedSinceSaved() const
{
    const std::vector<StudyFigure> now = All();
    if (now.empty())
        return false;
    return !std::equal(now.begin(), now.end(), saved.begin(), saved.end(), SameFigure);
}

void FigureStore::Forget()
{
    kept.clear();
    current.reset();
    selected = 0;
    keptElements.clear();
    keptLevelsOff.clear();
    keptLabelBoxes.clear();
    currentLabelBoxes.clear();
    keptUnlabelled.clear();
    currentUnlabelled.clear();
    currentElements.clear();
    currentDrawn.clear();
}
