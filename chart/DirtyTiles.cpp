#include "chart/DirtyTiles.h"

#include <cmath>

void DirtyTiles::setSize(QSize size)
{
    if (size == size_)
        return;
    size_ = size;
    cols_ = size.isEmpty() ? 0 : (size.width() + Width - 1) / Width;
    rows_ = size.isEmpty() ? 0 : (size.height() + Height - 1) / Height;
    words_ = (cols_ + 63) / 64;
    bits_.assign(size_t(rows_) * size_t(words_), 0);
    whole_ = false;
    bounds_ = QRect();
}

void DirtyTiles::clear()
{
    if (!bounds_.isEmpty() && !whole_)
        for (int row = bounds_.top() / Height; row <= bounds_.bottom() / Height; ++row)
            std::fill_n(bits_.begin() + qsizetype(row) * words_, words_, 0);
    whole_ = false;
    bounds_ = QRect();
}

void DirtyTiles::markAll()
{
    if (size_.isEmpty())
        return;
    // The bits are left as they are: while the flag stands nobody reads them.
    whole_ = true;
    bounds_ = QRect(QPoint(0, 0), size_);
}

void DirtyTiles::fill()
{
    std::fill(bits_.begin(), bits_.end(), 0);
    for (int row = 0; row < rows_; ++row)
        setRun(row, 0, cols_ - 1);
    whole_ = false;
}

void DirtyTiles::setRun(int row, int first, int last)
{
    quint64* w = bits_.data() + size_t(row) * size_t(words_);
    for (int word = first >> 6; word <= last >> 6; ++word) {
        const int from = std::max(first, word * 64) - word * 64;
        const int to = std::min(last, word * 64 + 63) - word * 64;
        const quint64 ones = to - from == 63 ? ~0ULL : ((1ULL << (to - from + 1)) - 1) << from;
        w[word] |= ones;
    }
}

void DirtyTiles::markTiles(const QRect& r)
{
    const QRect in = r.intersected(QRect(QPoint(0, 0), size_));
    if (in.isEmpty())
        return;
    bounds_ |= in;
    const int first = in.left() / Width, last = in.right() / Width;
    const int top = in.top() / Height, bottom = in.bottom() / Height;
    if (first >> 6 != last >> 6) {
        for (int row = top; row <= bottom; ++row)
            setRun(row, first, last);
        return;
    }
    // Within one word, as a bar's upright is: the same bits down the bands.
    const int from = first & 63, to = last & 63;
    const quint64 ones = to - from == 63 ? ~0ULL : ((1ULL << (to - from + 1)) - 1) << from;
    quint64* w = bits_.data() + size_t(top) * size_t(words_) + size_t(first >> 6);
    for (int row = top; row <= bottom; ++row, w += words_)
        *w |= ones;
}

void DirtyTiles::markAlong(long long x1, long long y1, long long x2, long long y2, int margin)
{
    if (size_.isEmpty())
        return;
    const long long m = std::max(margin, 0);
    const long long w = size_.width(), h = size_.height();
    const long long top = std::min(y1, y2) - m, bottom = std::max(y1, y2) + m;
    const long long left = std::min(x1, x2) - m, right = std::max(x1, x2) + m;
    if (bottom < 0 || top >= h || right < 0 || left >= w)
        return;
    const auto held = [](long long v, long long limit) { return int(std::clamp(v, -1LL, limit)); };
    const int firstRow = int(std::max(top, 0LL) / Height);
    const int lastRow = int(std::min(bottom, h - 1) / Height);
    // Along a row or a column, or within a few bands, the rectangle is as good.
    if (x1 == x2 || y1 == y2 || lastRow - firstRow < 2) {
        markTiles(
            QRect(QPoint(held(left, w), held(top, h)), QPoint(held(right, w), held(bottom, h))));
        return;
    }
    const double perRow = double(x2 - x1) / double(y2 - y1);
    const double low = double(std::min(y1, y2)), high = double(std::max(y1, y2));
    for (int row = firstRow; row <= lastRow; ++row) {
        // The part of the segment within the margin of this band's rows.
        const double from = std::max(double(row) * Height - double(m), low);
        const double to = std::min(double(row) * Height + Height - 1 + double(m), high);
        if (from > to)
            continue;
        const double xa = double(x1) + (from - double(y1)) * perRow;
        const double xb = double(x1) + (to - double(y1)) * perRow;
        const auto l = static_cast<long long>(std::floor(std::min(xa, xb))) - m;
        const auto r = static_cast<long long>(std::ceil(std::max(xa, xb))) + m;
        if (r < 0 || l >= w)
            continue;
        markTiles(
            QRect(QPoint(held(l, w), row * Height), QPoint(held(r, w), row * Height + Height - 1)));
    }
}

void DirtyTiles::add(const DirtyTiles& other)
{
    if (whole_ || other.isEmpty() || other.size_ != size_)
        return;
    if (other.whole_) {
        markAll();
        return;
    }
    for (int row = other.bounds_.top() / Height; row <= other.bounds_.bottom() / Height; ++row)
        for (int i = 0; i < words_; ++i)
            bits_[size_t(row) * size_t(words_) + size_t(i)] |=
                other.bits_[size_t(row) * size_t(words_) + size_t(i)];
    bounds_ |= other.bounds_;
}

void DirtyTiles::remove(const DirtyTiles& other)
{
    if (isEmpty() || other.isEmpty() || other.size_ != size_)
        return;
    if (other.whole_) {
        clear();
        return;
    }
    if (whole_)
        fill();
    for (int row = other.bounds_.top() / Height; row <= other.bounds_.bottom() / Height; ++row)
        for (int i = 0; i < words_; ++i)
            bits_[size_t(row) * size_t(words_) + size_t(i)] &=
                ~other.bits_[size_t(row) * size_t(words_) + size_t(i)];
    // What is left may lie within a smaller rectangle.
    QRect left;
    forEachRect([&left](const QRect& r) { left |= r; });
    bounds_ = left;
}

std::vector<QRect> DirtyTiles::rects() const
{
    std::vector<QRect> out;
    forEachRect([&out](const QRect& r) { out.push_back(r); });
    return out;
}

QRegion DirtyTiles::region() const
{
    // Bands with the same runs are joined, as QRegion keeps them, so that
    // the same pixels make the same region however they were marked.
    const std::vector<QRect> out = rects();
    std::vector<QRect> joined;
    joined.reserve(out.size());
    size_t last = 0, lastCount = 0; // the previous band in joined
    for (size_t from = 0; from < out.size();) {
        size_t to = from;
        while (to < out.size() && out[to].top() == out[from].top())
            ++to;
        const size_t count = to - from;
        bool same =
            lastCount == count && !joined.empty() && joined[last].bottom() + 1 == out[from].top();
        for (size_t i = 0; same && i < count; ++i)
            same = joined[last + i].left() == out[from + i].left() &&
                   joined[last + i].right() == out[from + i].right();
        if (same) {
            for (size_t i = 0; i < count; ++i)
                joined[last + i].setBottom(out[from + i].bottom());
        } else {
            last = joined.size();
            lastCount = count;
            joined.insert(joined.end(), out.begin() + qsizetype(from), out.begin() + qsizetype(to));
        }
        from = to;
    }
    QRegion region;
    if (!joined.empty())
        region.setRects(joined.data(), int(joined.size()));
    return region;
}
