// The window's paths beside the toolbar: opening from the menu bar, the
// recent lists and drops, the keys and the wheel, the chart re-made at a new
// size or colour depth, and the question before drawn figures are dropped.
#include <QFileInfo>
#include <algorithm>

#include "app/session/ChartSession.h"
#include "app/session/GloVar.h"
#include "app/session/Prompts.h"
#include "app/session/SharedInputs.h"
#include "app/session/UiModel.h"
#include "chart/Navigation.h"
#include "chart/Output.h"
#include "chart/Readout.h"
#include "chart/Vector.h"

bool ChartSession::FiguresChanged() const
{
    return figures_.ChangedSinceSaved();
}

QString ChartSession::WindowTitle() const
{
    const QString name =
        studyPath_.isEmpty() ? QStringLiteral("Untitled") : QFileInfo(studyPath_).fileName();
    return name + (FiguresChanged() ? QStringLiteral("*") : QString()) + QStringLiteral(" - ") +
           ui.caption;
}

void ChartSession::BarStyleClick(BarStyle style)
{
    const Publishing publishing(*this);
    if (style == barLook_.style)
        return;
    barLook_.style = style;
    if (GloVar.ChartShown && !chart.isNull())
        RedrawRange();
}

void ChartSession::SetCandleColours(const QColor& up, const QColor& down)
{
    const Publishing publishing(*this);
    if (up.isValid())
        barLook_.up = up;
    if (down.isValid())
        barLook_.down = down;
}

std::optional<PointerTags> ChartSession::TagsAt(int x, int y) const
{
    const auto& g = GloVar;
    if (!g.ChartShown || chart.isNull())
        return std::nullopt;
    const ChartMap map = CurrentChartMap(GloVar);
    const std::optional<Readout> r = map.usable() ? ReadoutAt(map, g.Prices, x, y) : std::nullopt;
    if (!r)
        return std::nullopt;
    return PointerTags{
        // Through the volume pane too, the date tagged under the date axis.
        QRect(QPoint(map.plotLeft, map.plotTop), QPoint(map.plotRight, map.dateAxisY())),
        QString::number(map.yToPrice(y), 'f', std::clamp(g.PriceDecimals, 0, 8)), r->date};
}

bool ChartSession::MayDropFigures()
{
    const Publishing publishing(*this);
    if (!FiguresChanged())
        return true;
    const std::optional<QString> a = prompts_.question(
        QString::fromLatin1(ProgramName), QStringLiteral("Save the changes to the study?"),
        {QStringLiteral("Save"), QStringLiteral("Discard"), QStringLiteral("Cancel")});
    if (!a)
        return true;
    if (*a == QLatin1String("Save")) {
        StudySaveClick();
        return !FiguresChanged();
    }
    if (*a == QLatin1String("Discard")) {
        figures_.saved = figures_.All();
        return true;
    }
    return false;
}

bool ChartSession::Monochrome() const
{
    return GloVar.Monochrome;
}

bool ChartSession::LevelValues() const
{
    return GloVar.LevelValues;
}

int ChartSession::ChartType() const
{
    return GloVar.ChartType;
}

bool ChartSession::FirstActivationDone() const
{
    return !GloVar.FirstActivate;
}

void ChartSession::OpenPriceFileClick()
{
    const Publishing publishing(*this);
    if (!ui.toolBar1Enabled || !MayDropFigures())
        return;
    if (GloVar.ChartShown)
        PlotBtnClick();
    FileBtnClick();
}

void ChartSession::OpenPriceFile(const QString& path)
{
    const Publishing publishing(*this);
    if (!ui.toolBar1Enabled || !MayDropFigures())
        return;
    if (GloVar.ChartShown)
        PlotBtnClick();
    ChoosePriceFile(QFileInfo(path).absoluteFilePath());
}

void ChartSession::OpenStudyPath(const QString& path)
{
    const Publishing publishing(*this);
    if (!ui.toolBar1Enabled || !MayDropFigures())
        return;
    setStudyFolder(QFileInfo(path).absolutePath());
    if (const Result<void> opened = OpenStudy(path); !opened)
        prompts_.show(opened.error());
}

void ChartSession::LastPeriodClick()
{
    const Publishing publishing(*this);
    const StepScope step(*this, QStringLiteral("Last Period"));
    auto& g = GloVar;
    g.LastRecord = g.RecordCount;
    g.FirstRecord = std::max(1, g.RecordCount - g.PeriodLength + 1);
    if (timeframe_ != Timeframe::Daily)
        SetRangeInBars(BarsEndingAt(FileBars(), g.RecordCount, g.PeriodLength));
    RedrawRange();
}

void ChartSession::ZoomPeriod(int notches)
{
    const Publishing publishing(*this);
    auto& g = GloVar;
    const int last = static_cast<int>(PeriodItems.size()) - 1;
    const int index = std::clamp(periodIndex + notches, 0, last);
    if (index == periodIndex)
        return;
    const StepScope step(*this, QStringLiteral("Zoom"));
    PeriodCBChange(index);
    // A period of P loads P + 1 records, as the period buttons do; at least
    // two, as the record range asks.
    g.FirstRecord = std::max(1, std::min(g.LastRecord - g.PeriodLength, g.LastRecord - 1));
    if (timeframe_ != Timeframe::Daily)
        SetRangeInBars(BarsEndingAt(FileBars(), g.LastRecord, std::max(g.PeriodLength + 1, 2)));
    RedrawRange();
}

void ChartSession::ZoomPeriodAt(int notches, int x)
{
    const Publishing publishing(*this);
    auto& g = GloVar;
    const ChartMap was = CurrentChartMap(GloVar);
    const int last = static_cast<int>(PeriodItems.size()) - 1;
    const int index = std::clamp(periodIndex + notches, 0, last);
    if (index == periodIndex || !was.usable() || g.RecordCount < 2)
        return;
    if (timeframe_ != Timeframe::Daily) {
        ZoomBarsAt(index, x, was);
        return;
    }
    // The record under the pointer: the days drawn up to its slot.
    const int slot = std::min(was.xToSlot(x), g.LoadedCount);
    int record = g.FirstRecord - 1;
    for (int s = 1; s <= slot && s < int(g.Prices.size()); ++s)
        record += g.Prices[size_t(s)].IsBlank ? 0 : 1;
    record = std::clamp(record, g.FirstRecord, g.LastRecord);
    const StepScope step(*this, QStringLiteral("Zoom"));
    PeriodCBChange(index);
    // P + 1 records, as the period buttons load, with the record in the slot
    // that lies under x on the new scale.
    const int count = std::clamp(g.PeriodLength + 1, 2, g.RecordCount);
    ChartMap next = was;
    next.slotCount = count + g.BlankDaysRight;
    next.totalSlots = count + g.BlankDaysRight;
    const int at = std::clamp(next.xToSlot(x), 1, count);
    g.FirstRecord = std::clamp(record - at + 1, 1, g.RecordCount - count + 1);
    g.LastRecord = g.FirstRecord + count - 1;
    RedrawRange();
}

void ChartSession::ShiftPeriod(int notches)
{
    const Publishing publishing(*this);
    const StepScope step(*this, notches > 0 ? QStringLiteral("Previous Period")
                                            : QStringLiteral("Next Period"));
    for (int n = notches; n > 0; --n)
        ToolButton1Click();
    for (int n = notches; n < 0; ++n)
        ToolButton2Click();
}

void ChartSession::ResizeChart(int width, int height)
{
    const Publishing publishing(*this);
    const auto& g = GloVar;
    // The same size on a screen of another ratio is drawn again too.
    if (chart.isNull() || width < 1 || height < 1 ||
        (width == g.ChartWidth && height == g.ChartHeight &&
         chart.displayRatio() == chart.wantedDisplayRatio()))
        return;
    RemakeChart(width, height, g.Monochrome);
}

void ChartSession::ColorClick(bool colour)
{
    const Publishing publishing(*this);
    if (chart.isNull()) {
        GloVar.Monochrome = !colour;
        return;
    }
    if (colour == !GloVar.Monochrome)
        return;
    RemakeChart(GloVar.ChartWidth, GloVar.ChartHeight, !colour);
}

void ChartSession::RemakeChart(int width, int height, bool monochrome)
{
    auto& g = GloVar;
    g.ChartWidth = width;
    g.ChartHeight = height;
    g.Monochrome = monochrome;
    // The figures come back as they were: no step of the history.
    const QuietHistory quiet(*this);
    chart.create(width, height, monochrome);
    tool.resetStore();
    if (!g.ChartShown) {
        baseImage = QImage();
        cleanChart = QImage();
        return;
    }
    // The figures are kept in dates and prices; only their pixels are redrawn.
    RedrawRange();
}

void ChartSession::ReplayFigures(const std::vector<StudyFigure>& kept,
                                 const std::optional<StudyFigure>& current)
{
    auto& g = GloVar;
    // The replays set the tools as each figure had them; the person's choices stay.
    const int16_t type = g.ChartType;
    const QString typeName = g.ChartTypeName;
    const QString caption = ui.caption;
    const int dir = g.Dir;
    const double ratio = g.Ratio;
    const double angles[3] = {g.FanAngle1, g.FanAngle2, g.FanAngle3};
    for (const StudyFigure& f : kept) {
        const size_t before = figures_.keptElements.size();
        // A figure off this chart keeps its number: its elements stay empty.
        if (!ReplayFigure(f) && figures_.keptElements.size() == before)
            figures_.keptElements.emplace_back();
    }
    if (current)
        static_cast<void>(ReplayFigure(*current));
    // Figures whose dates are off this chart stay, to come back with their dates.
    figures_.kept = kept;
    figures_.current = current;
    g.Dir = dir;
    ui[Ctl::DirBtn].image = g.Dir < 1 ? 13 : 12;
    ShowDir();
    g.Ratio = ratio;
    ShowRatio();
    g.FanAngle1 = angles[0];
    g.FanAngle2 = angles[1];
    g.FanAngle3 = angles[2];
    g.ChartType = type;
    g.ChartTypeName = typeName;
    ui.caption = caption;
}

void ChartSession::publish()
{
    const QString title = WindowTitle();
    const MenuRules menus = ReadMenuRules(*this);
    const PublishedState::Now now{ui, title, menus, figures_.selected, !chart.dirty().isEmpty()};
    const unsigned what = published_.Changes(now);
    if (what == 0)
        return;
    const std::optional<UiModel> before = published_.Tell(now);
    Q_EMIT changed(what, before ? &*before : nullptr);
}

QString ChartSession::ChartedFile() const
{
    return GloVar.RecordCount > 0 ? GloVar.DataFileName : QString();
}

bool ChartSession::ChartShown() const
{
    return GloVar.ChartShown;
}

QString ChartSession::PriceFile() const
{
    return GloVar.DataFileName;
}

FileLayout ChartSession::Layout() const
{
    return CurrentLayout(GloVar);
}

void ChartSession::ExportImageClick()
{
    const Publishing publishing(*this);
    if (chart.isNull() || !GloVar.ChartShown)
        return;
    const QString dir = imageFolder_.isEmpty() ? GloVar.StartDir : imageFolder_;
    auto path = prompts_.saveFileName(
        QStringLiteral("PNG image|*.png|BMP image|*.bmp|SVG image|*.svg|PDF document|*.pdf"),
        QStringLiteral("png"), dir);
    if (!path)
        return;
    QString name = *path;
    if (QFileInfo(name).suffix().isEmpty())
        name += QStringLiteral(".png");
    imageFolder_ = QFileInfo(name).absolutePath();
    if (const Result<void> mine = CheckNotPriceFile(name, Error::Doing::Creating); !mine) {
        prompts_.show(mine.error());
        return;
    }
    const char* format = ImageFormatOf(name);
    const std::optional<VectorFormat> vector =
        chart.recording() ? VectorFormatOf(name) : std::nullopt;
    const Result<void> w =
        vector ? WriteVectorFile(chart, name, *vector, QFileInfo(GloVar.DataFileName).fileName())
               : WriteImageFile(chart.image(), name, format ? format : "PNG");
    if (!w)
        prompts_.error(w.error().message());
}
