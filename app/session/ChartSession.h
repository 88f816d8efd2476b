#pragma once
// The main window's handlers, free of widgets: they work on the shared
// values, the controls' model and the chart image. The window, the
// automation runner and the tests all call these same handlers; the work
// behind them lives in data/, chart/ and tools/.

#include <QImage>
#include <QObject>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

#include "app/session/BaseResidue.h"
#include "app/session/FigureFrames.h"
#include "app/session/FigureStore.h"
#include "app/session/MouseDrags.h"
#include "app/session/PriceFileScan.h"
#include "app/session/PublishedState.h"
#include "app/session/SessionHistory.h"
#include "app/session/SessionValues.h"
#include "app/session/UiModel.h"
#include "app/session/ViewToggles.h"
#include "chart/BarChart.h"
#include "chart/Canvas.h"
#include "chart/ChartMap.h"
#include "chart/Navigation.h"
#include "chart/Readout.h"
#include "chart/Timeframe.h"
#include "data/FileGrowth.h"
#include "data/PriceReader.h"
#include "data/PriceRecord.h"
#include "data/RecordDates.h"
#include "data/Result.h"
#include "tools/AnchorTool.h"
#include "tools/FigureGeometry.h"
#include "tools/FigureValues.h"
#include "tools/Study.h"

class Prompts;
struct FigureKind;
struct SharedState;

class ChartSession : public QObject {
    Q_OBJECT
    // Comes before GloVar, which refers to it.
    std::unique_ptr<SharedState> state_;

public:
    explicit ChartSession(Prompts& prompts);
    ~ChartSession() override;
    ChartSession(const ChartSession&) = delete;
    ChartSession& operator=(const ChartSession&) = delete;

    // This session's values, by the names the handlers use; every session
    // has its own, so sessions side by side never touch each other's.
    SharedState& GloVar;

    // What changed since the window last heard, as flags of changed().
    enum Change : unsigned {
        CaptionChanged = PublishedState::Caption,
        ControlsChanged = PublishedState::Controls,
        PanelsChanged = PublishedState::Panels,
        PointerChanged = PublishedState::Pointer,
        PictureChanged = PublishedState::Picture,
        // What the menu table's rules say: enabled, ticked and captions.
        MenuChanged = PublishedState::Menus,
        // Which figure is picked.
        SelectionChanged = PublishedState::Selection,
    };
    // Everything, for a window that shows the session for the first time.
    static constexpr unsigned EverythingChanged = ~0u;

    Prompts& prompts() { return prompts_; }
    UiModel ui;
    // Image1's picture.
    Canvas chart;
    // The mouse on the chart and the markers (with Image2, their backgrounds).
    AnchorTool tool{chart};
    // The picture Draw returns to, and the clean chart of the last plot. Both
    // are kept here; the clipboard and TmpPrice.bmp only receive copies.
    QImage baseImage;
    QImage cleanChart;
    // Puts a picture on the system clipboard for other programs.
    std::function<void(const QImage&)> toClipboard;
    // What only the window can do: show the record range dialog, close.
    std::function<void()> showDatesDialog;
    std::function<void()> closeWindow;

    static const QStringList PeriodItems;
    int periodIndex = 4;

    // Lines between the header line and the first record, from the last scan.
    [[nodiscard]] int64_t skipLines() const { return scan_.skipLines; }

    // Start-up
    void FormCreate(const QString& currentDir);
    void SplashAcknowledged(bool colorTicked);
    void FinishFirstActivation(int chartWidth, int chartHeight);

    // Price file
    void FileBtnClick();
    // What follows the file dialog: nothing chosen rescans the file in force.
    void ChoosePriceFile(const std::optional<QString>& path);
    // FileSetupDlg's OK; false keeps the dialog open.
    // The separator, when given, is ',', ';' or '\t'.
    bool FileSetupAccept(bool headline, const std::array<QString, 5>& fields, int dateFormat,
                         std::optional<char> separator = std::nullopt);
    // A scan of the file just made under the same layout is taken as it is.
    void ScanPriceFile(const std::optional<std::pair<FileLayout, FileScan>>& made = std::nullopt);
    // False when the file could not be read (the error box was shown).
    bool ScanWholeFileRange();
    bool LoadChartRange();
    // The days of the file's records, read once per scan.
    const RecordDates& RecordDatesOfFile();
    // The price file looked at again (the window's watcher): an append is
    // read at once; any other change waits for the next plot's question.
    // True when something changed.
    bool PriceFileTouched();

    // Chart
    void PlotBtnClick();
    void DateBtnClick();
    // View > Range...: the Dates dialog on a shown chart; an accepted range
    // is drawn at once with every figure on it.
    void ChartDatesClick();
    // Dates typed in the Dates dialog that give no range: why, said.
    void RefuseDates(const QString& why);
    // DatesDlg's OK: a refusal keeps the dialog open at the field to fix.
    DatesAnswer DatesAccept(const QString& first, const QString& last, const QString& blankDays);
    void LeaveSpaceClick(bool ticked);
    void WholeScaleClick(bool ticked);
    void AfterDatesDialog();
    // What DatesDlg shows when it opens and as the first record is edited.
    [[nodiscard]] DatesShown DatesShownNow() const;
    void UpBtnClick();
    void DownBtnClick();
    void LeftBtnClick();
    void RightBtnClick();
    void ToolButton1Click();
    void ToolButton2Click();
    void ToolBar2Click();
    void PeriodCBChange(int index);
    void RedrawRange();
    void Image1MouseMove(int x, int y);
    // The pointer left the chart: the readout is emptied.
    void Image1MouseLeave();
    void SaveBtnClick();
    void PrintBtnClick();
    void ExitBtnClick();

    // View
    // View > Bar style: how records are drawn; the chart is drawn again.
    void BarStyleClick(BarStyle style);
    [[nodiscard]] BarStyle ChartStyle() const { return barLook_.style; }
    // View > Daily / Weekly / Monthly: a bar a day, a week or a month; the
    // range and the figures stay on their dates.
    void TimeframeClick(Timeframe t);
    [[nodiscard]] Timeframe ChartTimeframe() const { return timeframe_; }
    // P1X..P3Y as the chart in force places the kept anchors.
    [[nodiscard]] AnchorPixels AnchorPixelsNow() const;
    void SetCandleColours(const QColor& up, const QColor& down);
    // View > Log scale: false (with a message) when the prices shown are
    // not all above zero. The figures stay on their dates and prices.
    bool LogScaleClick(bool on);
    [[nodiscard]] bool LogScale() const;
    // View > Volume: a pane of volume bars under the plot when the file
    // has a volume column.
    void VolumePaneClick(bool on);
    [[nodiscard]] bool VolumePane() const;
    [[nodiscard]] bool HasVolume() const;
    // View > Level values, remembered with the user's settings.
    void LevelValuesClick();
    // The view file older versions kept beside fsetup.dat.
    [[nodiscard]] QString ViewSettingsPath() const;
    // From now on the view toggles are kept in the user's settings: read
    // from there (the old view file taken over first) and written on change.
    void RememberViewSettings();
    // View > Scale to figures and Room for time goals, remembered with the
    // user's settings: the scale grows to every level, blank days reach the
    // furthest time goal.
    void ScaleToFiguresClick();
    void TimeGoalRoomClick();
    [[nodiscard]] bool ScaleToFigures() const { return view_.scaleToFigures; }
    [[nodiscard]] bool TimeGoalRoom() const { return view_.timeGoalRoom; }

    // Tools
    void P1BtnClick();
    void P2BtnClick();
    // With snap (Ctrl held) an anchor takes the nearest of its bar's prices.
    void Image1MouseDown(MouseButton b, int x, int y, bool snap = false);
    void Image1MouseUp();
    void ChooseChartType(int type);
    void DirBtnClick();
    void RatioBtnClick();
    void DrawBtnClick();
    void EraseBtnClick();
    void ClipButtonClick();
    // ChartSetupDlg's OK; false keeps the dialog open.
    bool ChartSetupAccept(const std::array<QString, 3>& angles);
    // The fan-line angles in force, as ChartSetupDlg starts with them.
    [[nodiscard]] std::array<double, 3> FanAngles() const;

    // Studies: the chart's file, range and figures in dates and prices.
    [[nodiscard]] Study CurrentStudy(const QString& studyPath) const;
    Result<void> SaveStudy(const QString& path);
    // prices, when given, charts the study's figures on another price file.
    // style, when given, is drawn instead of the study's own bar style.
    Result<void> OpenStudy(const QString& path, const QString& prices = QString(),
                           std::optional<BarStyle> style = std::nullopt);
    void StudyOpenClick();
    void StudySaveClick();
    void StudySaveAsClick();
    [[nodiscard]] const QString& studyPath() const { return studyPath_; }

    // The window's own paths beside the toolbar: the menu bar, the keys and
    // the wheel, and the chart following the window's size.
    void OpenPriceFileClick();
    // A price file chosen from the recent list or dropped on the window.
    void OpenPriceFile(const QString& path);
    void OpenStudyPath(const QString& path);
    // The last period: the last PeriodLength records up to the file's last.
    void LastPeriodClick();
    // The wheel: positive notches pick shorter periods ending at the same record.
    void ZoomPeriod(int notches);
    // Ctrl+wheel: the same periods, around the record under column x, which
    // stays under it.
    void ZoomPeriodAt(int notches, int x);
    // Shift+wheel: positive notches step to earlier periods.
    void ShiftPeriod(int notches);
    // The chart re-made at another size or colour depth; a shown chart is
    // re-plotted with its figures on their dates and prices.
    void ResizeChart(int width, int height);
    void ColorClick(bool colour);
    // Asks before figures drawn since the last save or open are dropped;
    // false when the person keeps them.
    bool MayDropFigures();
    [[nodiscard]] bool FiguresChanged() const;
    // The window's title: the study's file name (or "Untitled"), a "*" while
    // there are unsaved changes, then the chart's caption.
    [[nodiscard]] QString WindowTitle() const;

    // Moving the chart with the mouse: a pan by whole slots from a press on
    // the plot, a stretch of the price scale from a press on the price axis.
    // The whole drag is one step of the history.
    [[nodiscard]] bool OnPriceAxis(int x, int y) const;
    void PanPress(int x, int y);
    void StretchPress(int x, int y);
    void NavigationMove(int x, int y);
    void NavigationRelease();
    [[nodiscard]] bool Navigating() const { return drags_.nav.has_value(); }
    // A double click on the price axis: the automatic scale again.
    void AutoScaleClick();

    // What the window reads of the chart and its file
    // The crosshair's tags at a pixel of the chart; nothing outside the plot.
    [[nodiscard]] std::optional<PointerTags> TagsAt(int x, int y) const;
    [[nodiscard]] bool Monochrome() const;
    [[nodiscard]] bool ChartShown() const;
    [[nodiscard]] bool LevelValues() const;
    [[nodiscard]] int ChartType() const;
    [[nodiscard]] bool FirstActivationDone() const;
    // The price file in force once it has records to chart; empty before.
    [[nodiscard]] QString ChartedFile() const;
    // The price file named by File, read or not; empty before one is chosen.
    [[nodiscard]] QString PriceFile() const;
    // The price file layout in force, as the file setup dialog starts with it.
    [[nodiscard]] FileLayout Layout() const;
    // An error when path is the open price file, by any name or link: the
    // writing is refused.
    [[nodiscard]] Result<void> CheckNotPriceFile(const QString& path, Error::Doing doing) const;
    // File > Export image...: the chart as shown, PNG unless BMP is asked for.
    void ExportImageClick();
    // Where the price file dialog opens; empty for the start folder.
    QString priceFolder;
    [[nodiscard]] const QString& studyFolder() const { return studyFolder_; }
    void setStudyFolder(const QString& dir) { studyFolder_ = dir; }

    // Figure values
    // File > Export figure values...: one row per drawn element of every
    // figure on the chart, as CSV.
    void ExportFigureValuesClick();
    Result<void> ExportFigureValues(const QString& path);
    [[nodiscard]] QString FigureValuesCsv() const;
    // The elements of the figures on the chart, kept ones first.
    [[nodiscard]] const std::vector<std::vector<FigureElement>>& keptElements() const
    {
        return figures_.keptElements;
    }
    [[nodiscard]] const std::vector<FigureElement>& currentElements() const
    {
        return figures_.currentElements;
    }

    // Markers
    void DrawP1Marker(int x, int y);
    void DrawP2Marker(int x, int y);
    void DrawP3Marker(int x, int y);

    // History
    // Edit > Undo and Redo: each step of the figures, anchors and range is
    // kept as the state before it, in dates and prices, and replayed
    // through the chart as it is then.
    static constexpr int HistoryLimit = SessionHistory::Limit;
    void UndoClick();
    void RedoClick();
    [[nodiscard]] bool CanUndo() const { return history_.canUndo(); }
    [[nodiscard]] bool CanRedo() const { return history_.canRedo(); }
    // "Undo Clear", or "Undo" alone when there is nothing to undo.
    [[nodiscard]] QString UndoCaption() const { return history_.undoCaption(); }
    [[nodiscard]] QString RedoCaption() const { return history_.redoCaption(); }
    [[nodiscard]] int UndoDepth() const { return history_.depth(); }
    void ClearHistory();

    // The figures the chart holds, kept ones included, whether their dates are shown or not.
    [[nodiscard]] int FigureCount() const { return figures_.Count(); }
    // Picking figures, numbered as in the figure values file (kept ones
    // first, the current one last); 0 is none.
    [[nodiscard]] int SelectedFigure() const;
    // False when n is no figure of the chart.
    bool SelectFigure(int n);
    // Edit > Delete figure (Delete, Backspace): the picked figure goes.
    void DeleteFigureClick();
    // The figure whose drawn lines pass within HitDistance pixels of (x, y); 0 none.
    static constexpr int HitDistance = 4;
    [[nodiscard]] int FigureAt(int x, int y) const;
    // What a figure drew on the chart as it is now, and its anchors' pixels
    // (P1, P2, then the third point when it has its own).
    [[nodiscard]] std::vector<Segment> FigureLines(int n) const;
    [[nodiscard]] std::vector<QPoint> FigureHandles(int n) const;
    // The picked figure's handle within HitDistance of (x, y): 1 P1, 2 P2,
    // 3 the third point; 0 none.
    [[nodiscard]] int HandleAt(int x, int y) const;
    // A handle dragged: the figure follows live, the whole drag one step.
    void HandlePress(int handle);
    void HandleMove(int x, int y, bool snap);
    void HandleRelease();
    [[nodiscard]] bool DraggingHandle() const { return drags_.handle != 0; }
    // The plot's pixels, where figures are drawn; empty without a chart.
    [[nodiscard]] QRect PlotArea() const;

    // View > Figures: one row per figure, numbered as in the values file.
    struct FigureRow {
        int number = 0;
        QString type;    // the Draw menu's caption
        QString anchors; // P1, P2 and the third point, as dates and prices
        bool hidden = false;
        bool operator==(const FigureRow&) const = default;
    };
    [[nodiscard]] std::vector<FigureRow> FigureRows() const;
    // Hides or shows figure n, one step of the history; false when n is no figure.
    bool SetFigureHidden(int n, bool hidden);

    // RATIO steps through the powers of Phi from -RatioPowerLimit to +RatioPowerLimit.
    static constexpr int RatioPowerLimit = 60;
    [[nodiscard]] static QString RatioText(double ratio);
    [[nodiscard]] QString SettingsPath() const;

Q_SIGNALS:
    // Once when the outermost handler ends, if anything shown changed;
    // before is the model as it was last told (none the first time).
    void changed(unsigned what, const UiModel* before);

private:
    // Every handler holds one: leaving the outermost tells whoever shows the
    // session what changed, once, so no caller has to remember to.
    class Publishing {
    public:
        explicit Publishing(ChartSession& s) : s_(s) { ++s_.published_.depth; }
        ~Publishing()
        {
            if (--s_.published_.depth == 0)
                s_.publish();
        }
        Publishing(const Publishing&) = delete;
        Publishing& operator=(const Publishing&) = delete;

    private:
        ChartSession& s_;
    };
    // While a person answers a dialog that calls handlers back, each of
    // those is an outermost handler: the window follows the answers live.
    class PersonAnswers {
    public:
        explicit PersonAnswers(ChartSession& s)
            : s_(s), depth_(std::exchange(s.published_.depth, 0))
        {
        }
        ~PersonAnswers() { s_.published_.depth = depth_; }
        PersonAnswers(const PersonAnswers&) = delete;
        PersonAnswers& operator=(const PersonAnswers&) = delete;

    private:
        ChartSession& s_;
        int depth_;
    };
    PublishedState published_;
    // Tells what changed since the last time through changed().
    void publish();
    using Snapshot = SessionHistory::Snapshot;
    // Records one step when the outermost handler of an action changed
    // anything; handlers called inside it add nothing.
    class StepScope {
    public:
        StepScope(ChartSession& s, const QString& name);
        ~StepScope();
        StepScope(const StepScope&) = delete;
        StepScope& operator=(const StepScope&) = delete;

    private:
        ChartSession& s_;
        bool outer_;
        QString name_;
        Snapshot before_;
    };
    // Handlers run while it lives record no steps (replays, studies).
    class QuietHistory {
    public:
        explicit QuietHistory(ChartSession& s) : s_(s) { s_.history_.hush(); }
        ~QuietHistory() { s_.history_.unhush(); }
        QuietHistory(const QuietHistory&) = delete;
        QuietHistory& operator=(const QuietHistory&) = delete;

    private:
        ChartSession& s_;
    };
    [[nodiscard]] Snapshot TakeSnapshot() const;
    void RestoreSnapshot(const Snapshot& s);
    void KeepStep(const QString& name, Snapshot before);
    void PlotOrReset();
    SessionHistory history_;
    QString plottedTypeName_;
    BaseResidue residue_;

    QString imageFolder_;
    BarLook barLook_;
    // How figures are framed for their Draws, and the figure being replayed.
    FigureFrames frames_;
    using DrawFrame = FigureFrames::DrawFrame;
    // The session's values as the frames read them, as they are now.
    [[nodiscard]] FrameView FrameViewNow() const;
    void GiveStudyFiguresScales(std::vector<StudyFigure>& figures) const
    {
        FigureFrames::GiveStudyFiguresScales(figures, FrameViewNow());
    }
    Timeframe timeframe_ = Timeframe::Daily;
    // The bars of the timeframe over the file's records, from their dates.
    [[nodiscard]] BarIndex FileBars();
    // A daily range widened to whole bars, and the loaded days made into bars.
    void WidenToBars(LoadRequest& req);
    void MakeBars();
    // A range of whole bars as the record range, kept at two records at least.
    void SetRangeInBars(const RecordRange& r);
    // The range [first, last] of records moved by whole bars (later for a
    // negative count), kept inside the file.
    [[nodiscard]] RecordRange RangeMovedByBars(long long first, long long last, long long bars);
    // Ctrl+wheel on bars: the next period of the list, in bars, with the bar
    // under column x of the chart `was` under it again.
    void ZoomBarsAt(int index, int x, const ChartMap& was);
    // Draw with the ellipse grown from the memory given (none: afresh).
    void DrawChosenFigure(std::optional<EllipseMemory> memory);
    // The figure of the kind given on the anchors and choices in force, its
    // markers and the footer over the base picture: Draw's drawing, without
    // its checks and without recording the figure.
    void DrawFigureOnChart(const FigureKind& kind, std::optional<EllipseMemory> memory);
    // Builds and strokes a figure; the ellipse keeps the memory it leaves.
    void DrawFigure(const FigureKind& kind, std::optional<EllipseMemory> memory);
    // The live ellipse with its far end (and the third point) at x, y.
    void MoveLiveFigure(int x, int y, std::optional<EllipseMemory> memory);
    // A kept figure's anchors and choices as the session's own: its points
    // as kept, its markers where they stand (the third point at P2's when
    // it has none of its own).
    void PlaceFigureAnchors(const StudyFigure& f);
    void TakeFigureChoice(const FigureKind& kind, const StudyFigure& f);
    // Makes the current figure part of the picture, as Clip does.
    void KeepCurrentFigure();
    void ShowRatio();
    void ShowDir();
    // The session's values follow the mouse tool, which owns them: what is
    // armed, the drag and the markers; and an anchor put at (x, y) keeps
    // its day and price while the pixel still stands on them.
    void KeepToolState();
    void KeepMarker(int anchor, int x, int y);
    // Anchor n (1, 2, or 3 for the third point) as given; P2's also ends
    // the ellipse.
    void PlaceAnchor(int anchor, const KeptAnchor& a);
    void CommonPlotEnding();
    void PutBase(const QImage& img);
    // The window in setup mode: File and Dates within reach, the chart hidden.
    void EnterSetupMode();
    void Navigate(int step);
    // Works out the layout of a newly chosen file that does not fit the one
    // in force: how the file was read then (empty when it fits); a file
    // refused fails, the person told why.
    Result<QString> AdoptLayoutOf(const QString& path);
    void ReportUnreadable(const QString& what, const QString& lineText, long long lineNo);

    PriceFileScan scan_;
    FileChange CheckPriceFile();
    bool TakeAppend();
    bool FileStillScanned();
    // The file changed since its scan: says so and offers to scan it again.
    void FileChanged(long long lastRecord);

    void RecordFigure(bool dragged);
    // What the last Draw stroked: its elements, their labels, the levels off the chart.
    // drawn is as stroked on the chart; built, as built on the frame's chart.
    void NoteFigureDrawn(const FigureKind& kind, const std::vector<Figure>& drawn,
                         const std::vector<Figure>& built, const DrawFrame& frame);
    // byMark: the figure's lines are labelled by their marks alone.
    void DrawLevelLabels(const std::vector<FigureElement>& elements, bool byMark);
    void ShowLevelsOffChart();
    [[nodiscard]] QStringList LevelsOffChart(const std::vector<FigureElement>& elements) const;
    ViewToggles view_;
    // Plots again when the figures on the chart want other room than the plot gave.
    void FitFiguresInView();
    FigureStore figures_;
    void ForgetFigures();
    // Replays one figure by its points; an error naming the figure and the
    // date when a date of it is not on the chart.
    Result<void> ReplayFigure(const StudyFigure& f);
    // Draws kept and current figures again on the chart as it is now; the
    // chosen figure type, DIR, ratio and fan angles stay as they were.
    void ReplayFigures(const std::vector<StudyFigure>& kept,
                       const std::optional<StudyFigure>& current);
    void RemakeChart(int width, int height, bool monochrome);
    MouseDrags drags_;
    // With snap, the price of the bar at x nearest to y's (none off the bars).
    [[nodiscard]] std::optional<double> NearestBarPrice(const ChartMap& map, int x, int y) const;
    QString studyPath_;
    QString studyFolder_;

    Prompts& prompts_;
};
