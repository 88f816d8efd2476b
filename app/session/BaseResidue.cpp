#include "app/session/BaseResidue.h"

#include <iterator>
#include <span>

void BaseResidue::Forget()
{
    places_.clear();
    at_.clear();
    pixels_.clear();
}

void BaseResidue::Note(const QRect& r)
{
    if (at_.insert({r.x(), r.y(), r.width(), r.height()}).second)
        places_.push_back(r);
}

void BaseResidue::Put(const Canvas::Patch& p)
{
    const size_t before = places_.size();
    Note(p.rect);
    if (places_.size() > before)
        pixels_.push_back(p);
}

std::vector<Canvas::Patch> BaseResidue::Pixels(const Canvas& chart, const QImage& base) const
{
    // The base does not change between two Clips, so pixels once read stay good.
    if (pixels_.size() < places_.size()) {
        const std::span<const QRect> more(places_.begin() + qsizetype(pixels_.size()),
                                          places_.end());
        std::vector<Canvas::Patch> read = chart.patchesOf(base, more);
        if (read.size() == more.size())
            pixels_.insert(pixels_.end(), std::make_move_iterator(read.begin()),
                           std::make_move_iterator(read.end()));
    }
    return pixels_;
}
