// The price file's handlers: choose, set up the layout, scan and load.
#include <QFileInfo>
#include <tuple>

#include "app/ChartSession.h"
#include "app/GloVar.h"
#include "app/Prompts.h"
#include "data/Dates.h"
#include "data/LayoutDetect.h"
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

namespace {
QString FileName(const QString& path)
{
    return QFileInfo(path).fileName();
}

QString Quoted(const std::string& text)
{
    return QLatin1Char('"') + QString::fromUtf8(text.data(), qsizetype(text.size())) +
           QLatin1Char('"');
}

QString SeparatorWords(char sep)
{
    switch (sep) {
    case ';': return QStringLiteral("semicolons");
    case '\t': return QStringLiteral("tabs");
    default: return QStringLiteral("commas");
    }
}
} // namespace

void ChartSession::ReportUnreadable(const QString& what, const QString& lineText, long long lineNo)
{
    prompts_.message(QString::fromLatin1(ProgramName), QStringLiteral("%1 of \"%2\": line %3: %4")
                                                           .arg(what, FileName(GloVar.DataFileName))
                                                           .arg(lineNo)
                                                           .arg(lineText));
}

void ChartSession::ScanPriceFile()
{
    auto& g = GloVar;
    g.RecordCount = 0;
    g.FirstFileDate = 0;
    g.LastFileDate = 0;
    unreadableReported_ = false;
    if (!g.DataFileName.isEmpty()) {
        const FileLayout layout = FileLayout::Current();
        const ScanResult r = ScanPriceData(g.DataFileName, layout);
        if (!r.error.isEmpty()) {
            prompts_.error(r.error);
            return;
        }
        g.FirstFileDate = r.firstDate;
        g.LastFileDate = r.lastDate;
        g.NewestFirst = r.newestFirst;
        if (!layout.noDates()) {
            // The scan read both ends' dates; newest first means both read.
            const bool firstBad = !r.newestFirst && r.firstDate == 0;
            const bool lastBad = !r.newestFirst && r.lastDate == 0;
            if (r.count == 1 && r.firstLine.text.empty()) {
                prompts_.message(
                    QString::fromLatin1(ProgramName),
                    QStringLiteral("\"%1\" holds no price lines.").arg(FileName(g.DataFileName)));
                unreadableReported_ = true;
            } else if (firstBad || lastBad) {
                const LineNote& bad = firstBad ? r.firstLine : r.lastLine;
                ReportUnreadable(
                    QStringLiteral("No date reads in the %1 line")
                        .arg(firstBad ? QStringLiteral("first") : QStringLiteral("last")),
                    Quoted(bad.text), bad.number);
                unreadableReported_ = true;
            }
        }
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
    const RangeResult r =
        ScanWholeRange(g.DataFileName, FileLayout::Current(), g.FileHigh, g.FileLow);
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
    req.newestFirst = g.NewestFirst;
    req.recordCount = g.RecordCount;
    const LoadResult r = LoadRange(g.DataFileName, FileLayout::Current(), req, g.Prices);
    g.LoadedCount = r.loadedCount;
    g.TotalSlots = r.totalSlots;
    if (!r.error.isEmpty()) {
        prompts_.error(r.error);
        return false;
    }
    if (r.unreadable > 0 && !unreadableReported_) {
        ReportUnreadable(r.unreadable == 1
                             ? QStringLiteral("1 line could not be read; it is the one")
                             : QStringLiteral("%1 lines could not be read; the first is the one")
                                   .arg(r.unreadable),
                         Quoted(r.firstUnreadable.text), r.firstUnreadable.number);
    }
    unreadableReported_ = true;
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

bool ChartSession::AdoptLayoutOf(const QString& path, QString& readAs)
{
    auto& g = GloVar;
    const LayoutCheck c = CheckLayout(path, FileLayout::Current());
    if (!c.error.isEmpty() || c.outcome == LayoutCheck::Fits)
        return true; // the scan reports what cannot be read
    if (c.outcome == LayoutCheck::NoDate) {
        g.RecordCount = 0;
        g.FirstFileDate = g.LastFileDate = 0;
        ui.enable(Ctl::DateBtn, false);
        ui.enable(Ctl::PlotBtn, false);
        prompts_.beep();
        prompts_.message(QString::fromLatin1(ProgramName),
                         QStringLiteral("\"%1\" cannot be charted: no date reads in line %2:\n%3")
                             .arg(FileName(path))
                             .arg(c.firstData.number)
                             .arg(Quoted(c.firstData.text)));
        return false;
    }
    const FileLayout& l = c.layout;
    l.apply();
    const QStringList names = DateLayoutNames();
    readAs = QStringLiteral("Fields separated by %1, %2, dates as %3; Date in field %4, Open %5, "
                            "High %6, Low %7, Close %8")
                 .arg(SeparatorWords(l.separator),
                      l.header ? QStringLiteral("a header line") : QStringLiteral("no header line"),
                      names.value(l.dateFormat))
                 .arg(l.dateColumn)
                 .arg(l.openColumn)
                 .arg(l.highColumn)
                 .arg(l.lowColumn)
                 .arg(l.closeColumn);
    if (c.guessedOrder)
        readAs += QStringLiteral(
                      ".\nNo line shows whether the day or the month comes first: %1 is a guess")
                      .arg(names.value(l.dateFormat));
    if (QString err = WriteSettingsFile(SettingsPath()); !err.isEmpty())
        prompts_.error(err);
    return true;
}

void ChartSession::FileBtnClick()
{
    const QString dir = priceFolder.isEmpty() ? GloVar.StartDir : priceFolder;
    ChoosePriceFile(prompts_.openFileName(
        QStringLiteral("Price files|*.csv *.txt *.tsv *.prn|All files|*"), dir));
}

void ChartSession::ChoosePriceFile(const std::optional<QString>& path)
{
    auto& g = GloVar;
    QString readAs;
    if (path) {
        priceFolder = QFileInfo(*path).absolutePath();
        g.DataFileName = QFileInfo(*path).absoluteFilePath();
        ui.panels[PanelFile] = g.DataFileName;
        if (!AdoptLayoutOf(g.DataFileName, readAs)) {
            ResetExtremesAndAnchors();
            return;
        }
    }
    ScanPriceFile();
    if (!readAs.isEmpty()) {
        if (g.NewestFirst)
            readAs += QStringLiteral(".\nThe newest day comes first");
        prompts_.message(
            QString::fromLatin1(ProgramName),
            QStringLiteral("\"%1\" did not fit the file layout; it was read as:\n%2.\n\n"
                           "A right click on File changes this.")
                .arg(FileName(g.DataFileName), readAs));
    }
}

bool ChartSession::FileSetupAccept(bool headline, const std::array<QString, 5>& fields,
                                   int dateFormat, std::optional<char> separator)
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
                                        g.LowColumn, g.CloseColumn, g.DateFormat, g.FieldSeparator);
    g.HasHeaderLine = headline;
    g.DateColumn = cols[0];
    g.OpenColumn = cols[1];
    g.HighColumn = cols[2];
    g.LowColumn = cols[3];
    g.CloseColumn = cols[4];
    g.DateFormat = static_cast<int16_t>(dateFormat);
    if (separator)
        g.FieldSeparator = *separator;
    if (QString err = WriteSettingsFile(SettingsPath(), fields); !err.isEmpty()) {
        std::tie(g.HasHeaderLine, g.DateColumn, g.OpenColumn, g.HighColumn, g.LowColumn,
                 g.CloseColumn, g.DateFormat, g.FieldSeparator) = before;
        prompts_.error(err);
        return false;
    }
    return true;
}
