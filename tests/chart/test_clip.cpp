#include <gtest/gtest.h>

#include "chart/Clip.h"

// Cutting lines to the rectangle 0..10 by 0..20, edges included.
TEST(ClipSegment, KeepsThePartInsideInTheLinesDirection)
{
    const QRectF box(QPointF(0, 0), QPointF(10, 20));
    const struct {
        const char* name;
        QLineF line;
        std::optional<QLineF> kept;
    } rows[] = {
        {"inside", {2, 3, 8, 15}, QLineF(2, 3, 8, 15)},
        {"on the edges", {0, 0, 10, 20}, QLineF(0, 0, 10, 20)},
        {"outside to the left", {-5, 1, -1, 19}, std::nullopt},
        {"outside below, slanted", {1, 21, 30, 50}, std::nullopt},
        {"in through the left edge", {-10, 10, 5, 10}, QLineF(0, 10, 5, 10)},
        {"out through the top edge", {5, 10, 5, -30}, QLineF(5, 10, 5, 0)},
        {"right to left across both sides", {15, 4, -5, 4}, QLineF(10, 4, 0, 4)},
        {"corner to corner from beyond", {-1, -2, 11, 22}, QLineF(0, 0, 10, 20)},
        {"touching one corner only", {9, -1, 11, 1}, QLineF(10, 0, 10, 0)},
        {"missing a corner", {9, -2, 12, 1}, std::nullopt},
        {"vertical inside", {3, -1e9, 3, 1e9}, QLineF(3, 0, 3, 20)},
        {"vertical just outside", {10.5, 2, 10.5, 18}, std::nullopt},
        {"horizontal along the bottom", {-3, 20, 4, 20}, QLineF(0, 20, 4, 20)},
        {"a point inside", {4, 4, 4, 4}, QLineF(4, 4, 4, 4)},
        {"a point outside", {4, 25, 4, 25}, std::nullopt},
        {"ends far beyond an int", {-3e12, -6e12, 3e12, 6e12}, QLineF(0, 0, 10, 20)},
    };
    // Far ends cost precision; a thousandth of a pixel is well below a pixel.
    constexpr double Near = 1e-3;
    for (const auto& r : rows) {
        const std::optional<QLineF> got = ClipSegment(r.line, box);
        ASSERT_EQ(got.has_value(), r.kept.has_value()) << r.name;
        if (!got)
            continue;
        EXPECT_NEAR(got->x1(), r.kept->x1(), Near) << r.name;
        EXPECT_NEAR(got->y1(), r.kept->y1(), Near) << r.name;
        EXPECT_NEAR(got->x2(), r.kept->x2(), Near) << r.name;
        EXPECT_NEAR(got->y2(), r.kept->y2(), Near) << r.name;
    }
}
