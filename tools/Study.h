#pragma once
// A study: the price file, its layout, the range rule and the figures on the
// chart, every point kept in dates and prices (never pixels), so that it can
// be reopened on the same or on tomorrow's data. Stored as readable JSON.

#include <QString>
#include <numbers>
#include <optional>
#include <vector>

#include "chart/BarChart.h"
#include "data/FileLayout.h"
#include "data/Result.h"
#include "tools/FigureScale.h"

// A point of the chart: the day of its nearest slot, where it stands between
// slots (a fraction of a slot, -0.5 to 0.5) and its price.
struct StudyPoint {
    double date = 0;
    double slotOffset = 0;
    double price = 0;
    bool operator==(const StudyPoint&) const = default;
};

struct StudyFigure {
    int type = 0;
    int dir = 1;
    double ratio = 1 / std::numbers::phi;
    double fanAngles[3] = {38, 45, 62};
    StudyPoint p1, p2;
    std::optional<StudyPoint> p3; // the third point, when it is not P2's
    bool kept = false;            // made part of the picture by Clip
    // The ellipse: its size against a fresh one through the same points,
    // and whether its far end was dragged live with the right button.
    double ellipseScale = 1.0;
    bool ellipseDragged = false;
    // Left out of the picture, the printout and the values file; kept for later.
    bool hidden = false;
    // The chart's scale at the figure's first Draw, for the figures built on
    // angles and distances; none in studies written before it was kept.
    std::optional<FigureScale> scale;
    bool operator==(const StudyFigure&) const = default;
};

struct Study {
    static constexpr int FormatVersion = 1;
    QString priceFile; // as stored: relative to the study when beside it or below
    FileLayout layout;
    // The last `lastCount` records when the chart ended at the file's last
    // record; otherwise the records from firstDate to lastDate.
    bool endsAtLastRecord = true;
    int lastCount = 261;
    double firstDate = 0, lastDate = 0;
    int blankDaysRight = 0;
    bool holidaySpace = false;
    bool wholeScale = false;
    int periodLength = 260;
    // Studies written before bar styles existed open as OHLC bars.
    BarStyle barStyle = BarStyle::Bars;
    std::vector<StudyFigure> figures;
};

Result<void> SaveStudyFile(const Study& s, const QString& path);
Result<Study> LoadStudyFile(const QString& path);
// The price file's path as stored, and back to a path to open.
[[nodiscard]] QString StoredPricePath(const QString& priceFile, const QString& studyPath);
[[nodiscard]] QString ResolvedPricePath(const QString& stored, const QString& studyPath);
