#pragma once
// The parts of a picture that changed, kept as tiles of Width by Height
// pixels. A figure's outline marks the tiles it passes through, not the
// rectangle around it, so that copying the picture back, packing it and
// showing it again cost what the outline covers. The whole picture is one
// flag: a plot that changes everything pays nothing for each of its marks.
// Marks are noted and set in the tiles only when the tiles are asked for: a
// plot marks thousands of lines, and what it marks for the next restore is
// mostly dropped unread by a fresh picture.

#include <QRect>
#include <QRegion>
#include <QSize>
#include <QtGlobal>
#include <algorithm>
#include <climits>
#include <vector>

class DirtyTiles {
public:
    // Whole bytes of a one-bit picture, and sixteen pixels for the packer.
    static constexpr int Width = 32, Height = 16;

    // A picture of another size starts with nothing marked.
    void setSize(QSize size);
    [[nodiscard]] QSize size() const { return size_; }

    [[nodiscard]] bool isEmpty() const { return right_ < left_; }
    [[nodiscard]] bool isWhole() const { return whole_; }
    // The rectangle around what is marked, within the picture.
    [[nodiscard]] QRect bounds() const
    {
        return isEmpty() ? QRect() : QRect(QPoint(left_, top_), QPoint(right_, bottom_));
    }

    void clear();
    void markAll();
    // The tiles under r, cut to the picture. Marks are asked for with every
    // line plotted: with everything marked they cost a test.
    void mark(const QRect& r)
    {
        if (!whole_)
            markTiles(r);
    }
    // The tiles holding any point within margin pixels (across and along)
    // of the segment from (x1, y1) to (x2, y2).
    void markLine(long long x1, long long y1, long long x2, long long y2, int margin)
    {
        if (!whole_)
            markAlong(x1, y1, x2, y2, margin);
    }
    // Marks what other marks; other is of the same size.
    void add(const DirtyTiles& other);
    // Unmarks what other marks; other is of the same size.
    void remove(const DirtyTiles& other);

    // The marked tiles as rectangles cut to the picture, in bands of tiles
    // from the top, each band's runs of neighbouring tiles from the left:
    // the order and shape QRegion::setRects asks for.
    template <class F> void forEachRect(F&& f) const
    {
        if (whole_) {
            f(QRect(QPoint(0, 0), size_));
            return;
        }
        if (isEmpty())
            return;
        settle();
        for (int row = top_ / Height; row <= bottom_ / Height; ++row) {
            const quint64* w = bits_.data() + size_t(row) * size_t(words_);
            const int top = row * Height, height = std::min(Height, size_.height() - top);
            int col = 0;
            while (col < cols_) {
                const quint64 word = w[col >> 6] >> (col & 63);
                if (word == 0) {
                    col = (col | 63) + 1;
                    continue;
                }
                col += __builtin_ctzll(word);
                int end = col;
                while (end < cols_ && ((w[end >> 6] >> (end & 63)) & 1))
                    ++end;
                const int left = col * Width;
                const int right = std::min(end * Width, size_.width());
                f(QRect(left, top, right - left, height));
                col = end;
            }
        }
    }
    [[nodiscard]] std::vector<QRect> rects() const;
    [[nodiscard]] QRegion region() const;

private:
    // Tiles [firstCol, lastCol] of bands [firstRow, lastRow], not yet set.
    struct Block {
        int firstCol, lastCol, firstRow, lastRow;
    };
    // Sets the tiles of the marks noted.
    void settle() const;
    void markTiles(const QRect& r);
    void markAlong(long long x1, long long y1, long long x2, long long y2, int margin);
    void setRun(int row, int first, int last) const;
    void fill();
    void noBounds() { left_ = top_ = INT_MAX, right_ = bottom_ = INT_MIN; }

    QSize size_;
    int cols_ = 0, rows_ = 0, words_ = 0; // words_: 64-bit words a band
    mutable std::vector<quint64> bits_;   // a bit a tile, band after band
    mutable std::vector<Block> noted_;    // marked, not yet in bits_
    bool whole_ = false;                  // every tile, whatever bits_ holds
    int left_ = INT_MAX, top_ = INT_MAX, right_ = INT_MIN, bottom_ = INT_MIN; // bounds()
};
