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
    noted_.clear();
    whole_ = false;
    noBounds();
}

void DirtyTiles::clear()
{
    // Only bands within the bounds were ever set.
    if (!isEmpty() && !whole_)
        for (int row = top_ / Height; row <= bottom_ / Height; ++row)
            std::fill_n(bits_.begin() + qsizetype(row) * words_, words_, 0);
    noted_.clear();
    whole_ = false;
    noBounds();
}

void DirtyTiles::markAll()
{
    if (size_.isEmpty())
        return;
    // The bits are left as they are: while the flag stands nobody reads them.
    whole_ = true;
    noted_.clear();
    left_ = top_ = 0;
    right_ = size_.width() - 1;
    bottom_ = size_.height() - 1;
}

void DirtyTiles::fill()
{
    std::fill(bits_.begin(), bits_.end(), 0);
    for (int row = 0; row < rows_; ++row)
        setRun(row, 0, cols_ - 1);
    whole_ = false;
}

void DirtyTiles::setRun(int row, int first, int last) const
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
    const int l = std::max(r.left(), 0), t = std::max(r.top(), 0);
    const int rr = std::min(r.right(), size_.width() - 1);
    const int b = std::min(r.bottom(), size_.height() - 1);
    if (l > rr || t > b)
        return;
    // A plot starts by papering the whole picture: from then on every
    // mark of its lines is a test.
    if (l == 0 && t == 0 && rr == size_.width() - 1 && b == size_.height() - 1) {
        markAll();
        return;
    }
    left_ = std::min(left_, l);
    top_ = std::min(top_, t);
    right_ = std::max(right_, rr);
    bottom_ = std::max(bottom_, b);
    noted_.push_back({l / Width, rr / Width, t / Height, b / Height});
    // A long run of marks is set now and then, so the notes stay small.
    if (noted_.size() >= 4096)
        settle();
}

void DirtyTiles::settle() const
{
    for (const Block& k : noted_) {
        if (k.firstCol >> 6 != k.lastCol >> 6) {
            for (int row = k.firstRow; row <= k.lastRow; ++row)
                setRun(row, k.firstCol, k.lastCol);
            continue;
        }
        // Within one word, as a bar's upright is: the same bits down the bands.
        const int from = k.firstCol & 63, to = k.lastCol & 63;
        const quint64 ones = to - from == 63 ? ~0ULL : ((1ULL << (to - from + 1)) - 1) << from;
        quint64* w = bits_.data() + size_t(k.firstRow) * size_t(words_) + size_t(k.firstCol >> 6);
        for (int row = k.firstRow; row <= k.lastRow; ++row, w += words_)
            *w |= ones;
    }
    noted_.clear();
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
    settle();
    other.settle();
    for (int row = other.top_ / Height; row <= other.bottom_ / Height; ++row)
        for (int i = 0; i < words_; ++i)
            bits_[size_t(row) * size_t(words_) + size_t(i)] |=
                other.bits_[size_t(row) * size_t(words_) + size_t(i)];
    left_ = std::min(left_, other.left_);
    top_ = std::min(top_, other.top_);
    right_ = std::max(right_, other.right_);
    bottom_ = std::max(bottom_, other.bottom_);
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
    settle();
    other.settle();
    for (int row = other.top_ / Height; row <= other.bottom_ / Height; ++row)
        for (int i = 0; i < words_; ++i)
            bits_[size_t(row) * size_t(words_) + size_t(i)] &=
                ~other.bits_[size_t(row) * size_t(words_) + size_t(i)];
    // What is left may lie within a smaller rectangle.
    QRect left;
    forEachRect([&left](const QRect& r) { left |= r; });
    noBounds();
    if (!left.isEmpty()) {
        left_ = left.left();
        top_ = left.top();
        right_ = left.right();
        bottom_ = left.bottom();
    }
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
