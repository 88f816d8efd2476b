// The price file's handlers: choose, set up the layout, scan and load.
#include <QDate>
#include <QFileInfo>
#include <QLocale>
#include <cmath>
#include <tuple>

#include "app/session/ChartSession.h"
#include "app/session/GloVar.h"
#include "app/session/Prompts.h"
#include "chart/Readout.h"
#include "data/Dates.h"
#include "data/LayoutDetect.h"
#include "data/Numbers.h"
#include "data/PriceReader.h"
#include "data/Settings.h"
#include "data/Volume.h"

namespace {
void ResetExtremesAndAnchors(SharedState& g, Timeframe tf)
{
    g.ChartHigh = 0;
    g.ChartLow = LowStart;
    g.FileHigh = 0;
    g.FileLow = LowStart;
    // A new file: the anchors' days mean nothing on it.
    g.P1Anchor = AnchorWithoutDay(g.map, g.Prices, g.P1Anchor, tf);
    g.P2Anchor = AnchorWithoutDay(g.map, g.Prices, g.P2Anchor, tf);
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

// A date as messages write it, the same in every locale: 2 Jan 2010.
QString PlainDate(double day)
{
    return ShortDate(day);
}

// The scan and the load name a date out of order in the same words.
QString OutOfOrder(const QString& file, int64_t line, double date, double after)
{
    return QStringLiteral("\"%1\": line %2: %3 comes after %4. The dates are out of order; the "
                          "chart is drawn in date order.")
        .arg(FileName(file))
        .arg(line)
        .arg(PlainDate(date), PlainDate(after));
}

QString Lines(long long n)
{
    return n == 1 ? QStringLiteral("1 line") : QStringLiteral("%1 lines").arg(n);
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

void ChartSession::ScanPriceFile(const std::optional<std::pair<FileLayout, FileScan>>& made)
{
    const Publishing publishing(*this);
    auto& g = GloVar;
    // Record numbers may mean other days now: a new history.
    ClearHistory();
    scan_ = {};
    g.RecordCount = 0;
    g.FirstFileDate.reset();
    g.LastFileDate.reset();
    g.VolumeColumn = 0;
    if (!g.DataFileName.isEmpty()) {
        const FileLayout layout = CurrentLayout(GloVar);
        const Result<FileScan> scanned = made && made->first == layout
                                             ? Result<FileScan>(made->second)
                                             : ScanPriceData(g.DataFileName, layout);
        if (!scanned) {
            // Nothing of the file the chart came from is left to plot or date.
            ui.enable(Ctl::DateBtn, false);
            ui.enable(Ctl::PlotBtn, false);
            ui.panels[PanelRange].clear();
            prompts_.error(scanned.error().message());
            return;
        }
        const FileScan& r = *scanned;
        g.VolumeColumn = VolumeColumnOfFile(g.DataFileName, layout);
        scan_.Take(r);
        if (const Result<FileIdentity> id = IdentityOf(g.DataFileName, r.size, r.modified))
            scan_.id = *id;
        if (r.endsLeftOut > 0)
            ReportUnreadable(
                QStringLiteral("%1 at the start or the end %2 no record and %3 left "
                               "out; the first is the one")
                    .arg(Lines(r.endsLeftOut),
                         r.endsLeftOut == 1 ? QStringLiteral("holds") : QStringLiteral("hold"),
                         r.endsLeftOut == 1 ? QStringLiteral("is") : QStringLiteral("are")),
                Quoted(r.firstLeftOut.text), r.firstLeftOut.number);
        if (r.decimalUnclear.number > 0)
            prompts_.message(
                QString::fromLatin1(ProgramName),
                QStringLiteral("The numbers of \"%1\" do not show their decimal mark (line %2: "
                               "%3): %4 is read as the decimal mark.")
                    .arg(FileName(g.DataFileName))
                    .arg(r.decimalUnclear.number)
                    .arg(Quoted(r.decimalUnclear.text),
                         r.decimal == ',' ? QStringLiteral("a comma") : QStringLiteral("a point")));
        if (r.outOfOrder.number > 0) {
            prompts_.message(QString::fromLatin1(ProgramName),
                             OutOfOrder(g.DataFileName, r.outOfOrder.number, r.outOfOrderDate,
                                        r.outOfOrderAfter));
            scan_.said.order = true;
        }
        // Generated histories may run far ahead: dates beyond these years are said, not refused.
        if (!layout.noDates() && r.firstDate && r.lastDate &&
            (*r.firstDate < *DayFromYmd(1800, 1, 1) || *r.lastDate > *DayFromYmd(2200, 12, 31)))
            prompts_.message(QString::fromLatin1(ProgramName),
                             QStringLiteral("The dates of \"%1\" run from %2 to %3, beyond the "
                                            "years 1800 to 2200; they are read as written.")
                                 .arg(FileName(g.DataFileName), PlainDate(*r.firstDate),
                                      PlainDate(*r.lastDate)));
        g.FirstFileDate = r.firstDate;
        g.LastFileDate = r.lastDate;
        g.NewestFirst = r.newestFirst;
        if (!layout.noDates()) {
            // The scan read both ends' dates; newest first means both read.
            const bool firstBad = !r.newestFirst && !r.firstDate;
            const bool lastBad = !r.newestFirst && !r.lastDate;
            if (r.count == 1 && r.firstLine.text.empty()) {
                prompts_.message(
                    QString::fromLatin1(ProgramName),
                    QStringLiteral("\"%1\" holds no price lines.").arg(FileName(g.DataFileName)));
                scan_.said.unreadable = true;
            } else if (firstBad || lastBad) {
                const LineNote& bad = firstBad ? r.firstLine : r.lastLine;
                ReportUnreadable(
                    QStringLiteral("No date reads in the %1 line")
                        .arg(firstBad ? QStringLiteral("first") : QStringLiteral("last")),
                    Quoted(bad.text), bad.number);
                scan_.said.unreadable = true;
            }
        }
        // A last date before the first, or one that does not read after a first that does.
        if (g.LastFileDate ? g.FirstFileDate && *g.LastFileDate < *g.FirstFileDate
                           : g.FirstFileDate.has_value()) {
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
            else if (!scan_.said.unreadable && !r.firstLine.text.empty())
                prompts_.message(QString::fromLatin1(ProgramName),
                                 QStringLiteral("\"%1\" holds one record: a chart needs two.")
                                     .arg(FileName(g.DataFileName)));
        }
    }
    ResetExtremesAndAnchors(GloVar, timeframe_);
}

bool ChartSession::ScanWholeFileRange()
{
    const Publishing publishing(*this);
    auto& g = GloVar;
    const Result<PriceExtremes> r =
        ScanWholeRange(g.DataFileName, CurrentLayout(GloVar), g.FileHigh, g.FileLow);
    if (!r) {
        prompts_.error(r.error().message());
        return false;
    }
    g.FileHigh = r->high;
    g.FileLow = r->low;
    g.ChartHigh = g.FileHigh;
    g.ChartLow = g.FileLow;
    return true;
}

const RecordDates& ChartSession::RecordDatesOfFile()
{
    const Publishing publishing(*this);
    const auto& g = GloVar;
    if (!scan_.recordDates) {
        // A file that no longer reads has no dates to offer; the plot says why.
        Result<RecordDates> r = ReadRecordDates(g.DataFileName, CurrentLayout(GloVar),
                                                g.RecordCount, g.NewestFirst, scan_.skipLines);
        scan_.recordDates = r ? std::move(*r) : RecordDates{};
    }
    return *scan_.recordDates;
}

bool ChartSession::LoadChartRange()
{
    const Publishing publishing(*this);
    auto& g = GloVar;
    if (!FileStillScanned()) {
        g.LoadedCount = g.TotalSlots = 0;
        return false;
    }
    LoadRequest req;
    req.firstRecord = g.FirstRecord;
    req.lastRecord = g.LastRecord;
    req.holidaySpace = g.LeaveHolidaySpace;
    req.blankDaysRight = g.BlankDaysRight;
    req.newestFirst = g.NewestFirst;
    req.recordCount = g.RecordCount;
    req.skipLines = scan_.skipLines;
    req.marks = scan_.lineMarks;
    req.scannedSize = scan_.size;
    req.scannedModified = scan_.modified;
    req.volumeColumn = g.VolumePane ? g.VolumeColumn : 0;
    if (timeframe_ != Timeframe::Daily)
        WidenToBars(req);
    const Result<LoadedRange> loaded =
        LoadRange(g.DataFileName, CurrentLayout(GloVar), req, g.Prices);
    g.LoadedCount = loaded ? loaded->loadedCount : 0;
    g.TotalSlots = loaded ? loaded->totalSlots : 0;
    if (loaded && timeframe_ != Timeframe::Daily)
        MakeBars();
    g.PriceDecimals = PriceDecimalsOf(g.Prices, g.LoadedCount);
    if (!loaded) {
        prompts_.error(loaded.error().message());
        return false;
    }
    const LoadedRange& r = *loaded;
    // A file that ends before the range, or shrank, is not the one scanned.
    if (scan_.size >= 0 && r.size != scan_.size && (r.endedEarly || r.size < scan_.size)) {
        g.LoadedCount = g.TotalSlots = 0;
        FileChanged(g.LastRecord);
        return false;
    }
    if (r.noPrices > 0 && !scan_.said.noPrices)
        ReportUnreadable(QStringLiteral("%1 %2 no prices; the first is the one")
                             .arg(Lines(r.noPrices), r.noPrices == 1 ? QStringLiteral("holds")
                                                                     : QStringLiteral("hold")),
                         Quoted(r.firstNoPrices.text), r.firstNoPrices.number);
    scan_.said.noPrices = true;
    if (r.outOfOrder.number > 0 && !scan_.said.order)
        prompts_.message(
            QString::fromLatin1(ProgramName),
            OutOfOrder(g.DataFileName, r.outOfOrder.number, r.outOfOrderDate, r.outOfOrderAfter));
    scan_.said.order = true;
    if (TooInconsistent(r.inconsistent, r.loadedCount) && !scan_.said.inconsistent)
        ReportUnreadable(QStringLiteral("%1 of %2 have High below Low, or Open or Close outside "
                                        "them: the columns may be wrong (a right click on File "
                                        "changes them). The first is the one")
                             .arg(r.inconsistent)
                             .arg(Lines(r.loadedCount)),
                         Quoted(r.firstInconsistent.text), r.firstInconsistent.number);
    scan_.said.inconsistent = true;
    if (r.high >= r.low && !std::isfinite(r.high - r.low))
        prompts_.message(QString::fromLatin1(ProgramName),
                         QStringLiteral("The prices of \"%1\" run from %2 to %3, too far apart to "
                                        "chart.")
                             .arg(FileName(g.DataFileName))
                             .arg(r.low, 0, 'g', 6)
                             .arg(r.high, 0, 'g', 6));
    if (r.unreadable > 0 && !scan_.said.unreadable) {
        ReportUnreadable(r.unreadable == 1
                             ? QStringLiteral("1 line could not be read; it is the one")
                             : QStringLiteral("%1 lines could not be read; the first is the one")
                                   .arg(r.unreadable),
                         Quoted(r.firstUnreadable.text), r.firstUnreadable.number);
    }
    scan_.said.unreadable = true;
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

void ChartSession::FileChanged(long long lastRecord)
{
    const QString title = QString::fromLatin1(ProgramName);
    const QString text =
        QStringLiteral("\"%1\" has changed since it was read: it no longer holds records up to "
                       "%2 as it did.")
            .arg(FileName(GloVar.DataFileName))
            .arg(lastRecord);
    const QString again = QStringLiteral("Scan again");
    const std::optional<QString> a = prompts_.question(
        title, text + QStringLiteral("\nScan it again?"), {again, QStringLiteral("Cancel")});
    if (!a)
        prompts_.message(title, text + QStringLiteral("\nFile scans it again."));
    else if (*a == again)
        ScanPriceFile();
}

FileChange ChartSession::CheckPriceFile()
{
    const QString& path = GloVar.DataFileName;
    if (scan_.None() || path.isEmpty())
        return FileChange::Same;
    // A look at the size, time and inode first: the blocks only when they differ.
    const Result<FileIdentity> quick = IdentityOf(path, -1, 0, false);
    if (!quick)
        return FileChange::Same; // the read that follows says why it cannot
    if (scan_.LooksScanned(*quick))
        return FileChange::Same;
    const Result<FileIdentity> now = IdentityOf(path);
    if (!now)
        return FileChange::Same;
    const FileChange c = ChangeSince(scan_.id, *now);
    if (c == FileChange::Appended && !TakeAppend())
        return FileChange::Other;
    return c;
}

bool ChartSession::FileStillScanned()
{
    if (CheckPriceFile() != FileChange::Other)
        return true;
    FileChanged(GloVar.LastRecord);
    return false;
}

bool ChartSession::PriceFileTouched()
{
    const Publishing publishing(*this);
    return CheckPriceFile() == FileChange::Appended;
}

bool ChartSession::TakeAppend()
{
    auto& g = GloVar;
    const FileLayout layout = CurrentLayout(GloVar);
    const int32_t before = g.RecordCount;
    int64_t count = before;
    std::optional<double> first = g.FirstFileDate, last = g.LastFileDate;
    bool read = false;
    // Only the new lines, from the old last line end; a file that ended
    // inside a line, lists its newest day first or is not UTF-8 is scanned
    // again whole (still without a question).
    if (scan_.AppendReadsAlone(g.NewestFirst)) {
        const Result<AppendedLines> a =
            ReadAppended(g.DataFileName, layout, scan_.id.lineEnd, g.LastFileDate);
        if (!a)
            return false;
        if (!a->encoded && a->inOrder) {
            if (a->lastRecord > 0) {
                const int64_t firstNo = (layout.header ? 1 : 0) + scan_.skipLines + 1;
                count = scan_.lines + a->lastRecord - firstNo + 1;
                last = a->lastDate;
            }
            scan_.TakeAppended(*a);
            read = true;
        }
    }
    if (!read) {
        const Result<FileScan> s = ScanPriceData(g.DataFileName, layout);
        if (!s || s->skipLines != scan_.skipLines || s->newestFirst != g.NewestFirst ||
            s->count < before)
            return false;
        count = s->count;
        first = s->firstDate;
        last = s->lastDate;
        scan_.Take(*s);
    }
    if (count > INT32_MAX)
        return false;
    const Result<FileIdentity> id = IdentityOf(g.DataFileName, scan_.size, scan_.modified);
    if (!id)
        return false;
    scan_.id = *id;
    const int32_t added = int32_t(count) - before;
    g.RecordCount = int32_t(count);
    g.FirstFileDate = first;
    g.LastFileDate = last;
    scan_.recordDates.reset();
    if (added <= 0)
        return true;
    // The whole file's extremes are found again when the scale needs them.
    g.FileHigh = 0;
    g.FileLow = LowStart;
    const int32_t wasFirst = g.FirstRecord, wasLast = g.LastRecord;
    if (g.NewestFirst) {
        // Older days came in below: in date order every record moved up.
        ClearHistory();
        g.FirstRecord += added;
        g.LastRecord += added;
    } else if (g.LastRecord >= before) {
        // A chart of the newest days stays on the newest days, as long as it was.
        if (g.FirstRecord > 1)
            g.FirstRecord += added;
        g.LastRecord += added;
    }
    if (!g.ChartShown) {
        ui.panels[PanelRange] = QStringLiteral("%1 - %2").arg(g.FirstRecord).arg(g.LastRecord);
        if (g.LastRecord > g.FirstRecord)
            ui.enable(Ctl::PlotBtn);
    } else if (g.FirstRecord != wasFirst || g.LastRecord != wasLast) {
        const QuietHistory quiet(*this);
        RedrawRange();
    }
    // After the redraw, which clears the readout.
    ui.panels[PanelPosition] =
        added == 1 ? QStringLiteral("1 new record") : QStringLiteral("%1 new records").arg(added);
    return true;
}

Result<QString> ChartSession::AdoptLayoutOf(const QString& path)
{
    auto& g = GloVar;
    const Result<LayoutCheck> checked = CheckLayout(path, CurrentLayout(GloVar));
    if (!checked || checked->outcome == LayoutCheck::Fits)
        return QString(); // the scan reports what cannot be read
    const LayoutCheck& c = *checked;
    if (c.outcome == LayoutCheck::NoDate || c.outcome == LayoutCheck::Refused) {
        const QString why =
            c.outcome == LayoutCheck::NoDate
                ? QStringLiteral("\"%1\" cannot be charted: no date reads in line %2:\n%3")
                      .arg(FileName(path))
                      .arg(c.firstData.number)
                      .arg(Quoted(c.firstData.text))
                : QStringLiteral("\"%1\" is not charted: under every reading tried, %2. "
                                 "Line %3 reads %4:\n%5")
                      .arg(FileName(path), c.refusal)
                      .arg(c.firstData.number)
                      .arg(c.read, Quoted(c.firstData.text));
        g.RecordCount = 0;
        g.FirstFileDate = g.LastFileDate = std::nullopt;
        ui.enable(Ctl::DateBtn, false);
        ui.enable(Ctl::PlotBtn, false);
        prompts_.beep();
        prompts_.message(QString::fromLatin1(ProgramName), why);
        return Error{Error::Doing::Told, path, c.firstData.number, why};
    }
    const FileLayout& l = c.layout;
    ApplyLayout(GloVar, l);
    const QStringList names = DateLayoutNames();
    QString readAs =
        QStringLiteral("Fields separated by %1, %2, dates as %3; Date in field %4, Open %5, "
                       "High %6, Low %7, Close %8")
            .arg(SeparatorWords(l.separator),
                 l.header ? QStringLiteral("a header line") : QStringLiteral("no header line"),
                 names.value(l.dateFormat))
            .arg(l.dateColumn)
            .arg(l.openColumn)
            .arg(l.highColumn)
            .arg(l.lowColumn)
            .arg(l.closeColumn);
    if (!c.language.isEmpty() && c.language != QLatin1String("English"))
        readAs += QStringLiteral("; header in %1").arg(c.language);
    if (c.closesOnly)
        readAs += QStringLiteral(".\nOpen, High, Low and Close are the same on every line: a "
                                 "history of closes, drawn as one tick a day");
    if (!c.reread.isEmpty())
        readAs += QStringLiteral(".\n") + c.reread;
    if (c.inconsistent > 0)
        readAs += QStringLiteral(".\n%1 of the %2 lines looked at have High below Low, or Open or "
                                 "Close outside them: the columns may be wrong")
                      .arg(c.inconsistent)
                      .arg(c.looked);
    if (c.guessedOrder)
        readAs += QStringLiteral(
                      ".\nNo line shows whether the day or the month comes first: %1 is a guess")
                      .arg(names.value(l.dateFormat));
    if (const Result<void> w = WriteSettingsFile(SettingsPath(), GloVar.settings); !w)
        prompts_.error(w.error().message());
    return readAs;
}

void ChartSession::FileBtnClick()
{
    const Publishing publishing(*this);
    const QString dir = priceFolder.isEmpty() ? GloVar.StartDir : priceFolder;
    ChoosePriceFile(prompts_.openFileName(
        QStringLiteral("Price files|*.csv *.txt *.tsv *.prn|All files|*"), dir));
}

void ChartSession::ChoosePriceFile(const std::optional<QString>& path)
{
    const Publishing publishing(*this);
    auto& g = GloVar;
    QString readAs;
    if (path) {
        // Another price file is another chart: a Save must not write it into the last study.
        studyPath_.clear();
        priceFolder = QFileInfo(*path).absolutePath();
        g.DataFileName = QFileInfo(*path).absoluteFilePath();
        ui.panels[PanelFile] = g.DataFileName;
        Result<QString> adopted = AdoptLayoutOf(g.DataFileName);
        if (!adopted) {
            ResetExtremesAndAnchors(GloVar, timeframe_);
            return;
        }
        readAs = std::move(*adopted);
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
    const Publishing publishing(*this);
    // Every field is checked before anything is taken over.
    std::array<int16_t, 5> cols{};
    for (size_t i = 0; i < fields.size(); ++i) {
        const std::optional<long long> v = ParseIntIn(fields[i], INT16_MIN, INT16_MAX);
        if (!v) {
            prompts_.beep();
            prompts_.message(QString::fromLatin1(ProgramName),
                             QStringLiteral("Wrong field number!   Enter again."));
            return false;
        }
        cols[i] = static_cast<int16_t>(*v);
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
    if (const Result<void> w = WriteSettingsFile(SettingsPath(), GloVar.settings, fields); !w) {
        std::tie(g.HasHeaderLine, g.DateColumn, g.OpenColumn, g.HighColumn, g.LowColumn,
                 g.CloseColumn, g.DateFormat, g.FieldSeparator) = before;
        prompts_.error(w.error().message());
        return false;
    }
    return true;
}
