#pragma once
// What a figure is built on for its Draw: the chart shown, or for a figure
// of angles and distances replayed with the scale of its first Draw, that
// first chart, carried onto the one shown by slots and prices. Owns the
// figure being replayed and what the last Draw built on; the session's
// values reach it only through the view its handlers hand in.

#include <optional>
#include <vector>

#include "chart/ChartMap.h"
#include "chart/Timeframe.h"
#include "data/PriceRecord.h"
#include "data/RecordDates.h"
#include "tools/FigureGeometry.h"
#include "tools/FigureScale.h"
#include "tools/Study.h"

struct FigureKind;

// The session's values a frame is worked out from, as they are now.
struct FrameView {
    ChartMap shown;
    ScaleInput scaleInput;
    // The anchors and choices in force, on the chart shown.
    FigureInput input;
    const std::vector<PriceRecord>& prices;
    int chartWidth = 0, chartHeight = 0;
    int p1x = -1;
    std::optional<double> p1Date, p2Date; // none: no anchor chosen
    double p1Price = 0, p2Price = 0;
    Timeframe timeframe = Timeframe::Daily;
    // The file's record days, when read.
    const std::optional<RecordDates>& recordDates;
};

class FigureFrames {
public:
    // What a figure is built on: the chart shown, or for a figure replayed
    // with the scale of another chart, that chart (see FigureScale).
    struct DrawFrame {
        FigureInput input;
        std::optional<EllipseMemory> memory;
        double shift = 0; // the built chart's slots to the shown one's
        bool carried = false;
        // The built chart's slots to one of the shown chart's.
        double daysPerSlot = 1;
        // Built on the linear daily-slot chart of the one shown, at its columns.
        bool ownChart = false;
        std::optional<FigureScale> scale; // what the figure keeps
    };

    [[nodiscard]] DrawFrame FrameForDraw(const FigureKind& kind,
                                         std::optional<EllipseMemory> memory,
                                         const FrameView& v) const;
    [[nodiscard]] static FigureScale ScaleNow(const FrameView& v);
    // A study figure kept without a scale takes its chart's at the default
    // size, on the range shown.
    [[nodiscard]] static FigureScale DefaultScale(const StudyFigure& f, const FrameView& v);
    static void GiveStudyFiguresScales(std::vector<StudyFigure>& figures, const FrameView& v);
    // The trading day of a scaled figure's slot on bars of several days,
    // counted in the file's days from P1's as the daily chart counts them;
    // none on daily bars, or when the file's days are not known.
    [[nodiscard]] static std::optional<double> DayOfFigureSlot(const StudyFigure& f, double slot,
                                                               const FrameView& v);
    // On weekly or monthly bars, the day of the anchor whose bar is that
    // slot: a line from anchor to anchor ends on the anchors' own days.
    [[nodiscard]] static std::optional<double> AnchorDayOfSlot(const StudyFigure& f, double slot,
                                                               const FrameView& v);

    // The Draw just made on frame d: the figure it records keeps its scale.
    void NoteDrawn(const DrawFrame& d);
    // The scale of the last Draw, for the figure it recorded.
    [[nodiscard]] const std::optional<FigureScale>& drawnScale() const { return drawnScale_; }
    // The fresh ellipse's half axis on the chart the last Draw built on,
    // when that was not the one shown.
    [[nodiscard]] std::optional<double> drawnEllipseBase() const { return drawnEllipseBase_; }

    // While it lives, Draws build the figure given in the scale it keeps;
    // replays nest, each giving back the one outside it.
    class Replaying {
    public:
        Replaying(FigureFrames& frames, const StudyFigure& f)
            : frames_(frames), outer_(frames.replaying_)
        {
            frames_.replaying_ = &f;
        }
        ~Replaying() { frames_.replaying_ = outer_; }
        Replaying(const Replaying&) = delete;
        Replaying& operator=(const Replaying&) = delete;

    private:
        FigureFrames& frames_;
        const StudyFigure* outer_;
    };

private:
    // The frame built on `built`, a linear chart with the plot and columns
    // of the one shown, and carried onto the shown one.
    static void BuildOnLinearChart(DrawFrame& d, const ChartMap& shown, const ChartMap& built,
                                   const FrameView& v);
    // The figure being replayed, while its Draw lasts.
    const StudyFigure* replaying_ = nullptr;
    std::optional<FigureScale> drawnScale_;
    std::optional<double> drawnEllipseBase_;
};
