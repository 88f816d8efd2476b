// The price file's handlers: choose, set up the layout, scan and load.
#include <QFileInfo>
#include <tuple>

#include "app/ChartSession.h"
#include "app/GloVar.h"
#include "app/Prompts.h"
#include "data/Dates.h"
#include "data/Numbers.h"
#include "data/PriceReader.h"
#include "data/Settings.h"

namespace {
void ResetExtremesAndAnchors()
{
    auto& g = GloVar;
    g.ChartHigh = 0;
    g.ChartLow = LowStart;
    g.FileHigh = 0;
    g.FileLow = LowStart;
    g.P1Date = -1.0;
    g.P2Date = -1.0;
}
} // namespace

void ChartSession::ScanPriceFile()
{
    auto& g = GloVar;
    g.RecordCount = 0;
    g.FirstFileDate = 0;
    g.LastFileDate = 0;
    if (!g.DataFileName.isEmpty()) {
        const ScanResult r = ScanPriceData(g.DataFileName, FileLayout::Current());
        if (!r.error.isEmpty()) {
            prompts_.error(r.error);
            return;
        }
        g.FirstFileDate = r.firstDate;
        g.LastFileDate = r.lastDate;
        if (g.LastFileDate < g.FirstFileDate) {
            ui.enable(Ctl::DateBtn, false);
            ui.enable(Ctl::PlotBtn, false);
        } else {
            g.RecordCount = r.count;
            ui.enable(Ctl::DateBtn);
            g.LastRecord = g.RecordCount;
            g.FirstRecord = std::max(g.LastRecord - g.PeriodLength, 1);
            ui.panels[PanelRange] = QStringLiteral("%1 - %2").arg(g.FirstRecord).arg(g.LastRecord);
            if (g.LastRecord > g.FirstRecord)
                ui.enable(Ctl::PlotBtn);
        }
    }
    ResetExtremesAndAnchors();
}

bool ChartSession::ScanWholeFileRange()
{
    auto& g = GloVar;
    const RangeResult r = ScanWholeRange(g.DataFileName, FileLayout::Current(), g.FileHigh, g.FileLow);
    if (!r.error.isEmpty()) {
        prompts_.error(r.error);
        return false;
    }
    g.FileHigh = r.high;
    g.FileLow = r.low;
    g.ChartHigh = g.FileHigh;
    g.ChartLow = g.FileLow;
    return true;
}

bool ChartSession::LoadChartRange()
{
    auto& g = GloVar;
    LoadRequest req;
    req.firstRecord = g.FirstRecord;
    req.lastRecord = g.LastRecord;
    req.holidaySpace = g.LeaveHolidaySpace;
    req.blankDaysRight = g.BlankDaysRight;
    const LoadResult r = LoadRange(g.DataFileName, FileLayout::Current(), req, g.Prices);
    g.LoadedCount = r.loadedCount;
    g.TotalSlots = r.totalSlots;
    if (!r.error.isEmpty()) {
        prompts_.error(r.error);
        return false;
    }
    if (g.LoadedCount > 0)
        ui.panels[PanelRange] = ShortDate(g.Prices[1].Date) + QStringLiteral(" - ") +
                                ShortDate(g.Prices[static_cast<size_t>(g.LoadedCount)].Date);
    g.BarSpacing = g.TotalSlots > 0 ? double(g.PlotRight - g.PlotLeft) / g.TotalSlots : 0;
    g.EllipseAspect = 1.0;
    if (!g.WholeScale) {
        g.ChartHigh = r.high;
        g.ChartLow = r.low;
    }
    return true;
}

void ChartSession::FileBtnClick()
{
    auto& g = GloVar;
    if (auto path = prompts_.openFileName(QStringLiteral("*.Txt|*.txt|*.*|*.*"), g.StartDir)) {
        g.DataFileName = QFileInfo(*path).absoluteFilePath();
        ui.panels[PanelFile] = g.DataFileName;
    }
    ScanPriceFile();
}

bool ChartSession::FileSetupAccept(bool headline, const std::array<QString, 5>& fields,
                                   int dateFormat)
{
    // Every field is checked before anything is taken over.
    std::array<int16_t, 5> cols{};
    for (size_t i = 0; i < fields.size(); ++i) {
        long long v = 0;
        if (!ParseIntIn(fields[i], INT16_MIN, INT16_MAX, v)) {
            prompts_.beep();
            prompts_.message(QString::fromLatin1(ProgramName),
                             QStringLiteral("Wrong field number!   Enter again."));
            return false;
        }
        cols[i] = static_cast<int16_t>(v);
    }
    auto& g = GloVar;
    const auto before = std::make_tuple(g.HasHeaderLine, g.DateColumn, g.OpenColumn, g.HighColumn,
                                        g.LowColumn, g.CloseColumn, g.DateFormat);
    g.HasHeaderLine = headline;
    g.DateColumn = cols[0];
    g.OpenColumn = cols[1];
    g.HighColumn = cols[2];
    g.LowColumn = cols[3];
    g.CloseColumn = cols[4];
    g.DateFormat = static_cast<int16_t>(dateFormat);
    if (QString err = WriteSettingsFile(SettingsPath(), fields); !err.isEmpty()) {
        std::tie(g.HasHeaderLine, g.DateColumn, g.OpenColumn, g.HighColumn, g.LowColumn,
                 g.CloseColumn, g.DateFormat) = before;
        prompts_.error(err);
        return false;
    }
    return true;
}
