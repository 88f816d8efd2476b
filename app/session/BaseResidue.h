#pragma once
// Where the base picture holds what the markers left when it was clipped:
// each place once, its pixels read from the base only when a step of the
// history keeps them (a Clip must not read every place again, or N figures
// cost N²).

#include <QImage>
#include <QRect>
#include <array>
#include <set>
#include <vector>

#include "chart/Canvas.h"

class BaseResidue {
public:
    // A new base without residue.
    void Forget();
    // A new base over the old one: the places stay, their pixels are read
    // from the new base.
    void NewBase() { pixels_.clear(); }
    void Note(const QRect& r);
    // A place with its pixels, as a step gave them back.
    void Put(const Canvas::Patch& p);
    // The pixels of every place, read from base once.
    [[nodiscard]] std::vector<Canvas::Patch> Pixels(const Canvas& chart, const QImage& base) const;

private:
    std::vector<QRect> places_;
    std::set<std::array<int, 4>> at_;
    mutable std::vector<Canvas::Patch> pixels_; // of the first places
};
