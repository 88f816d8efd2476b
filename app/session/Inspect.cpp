#include "app/session/Inspect.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include "app/session/ChartSession.h"
#include "app/session/GloVar.h"
#include "app/session/Prompts.h"
#include "data/Dates.h"
#include "data/LayoutDetect.h"
#include "data/LineReader.h"
#include "data/PriceReader.h"
#include "data/Settings.h"

namespace {
// Nobody to ask: every message is kept for the report.
class InspectPrompts : public Prompts {
public:
    QString path;
    QStringList said;
    void beep() override {}
    void message(const QString&, const QString& text) override { said << text; }
    void error(const QString& text) override { said << text; }
    std::optional<QString> openFileName(const QString&, const QString&) override { return path; }
    std::optional<QString> saveFileName(const QString&, const QString&, const QString&) override
    {
        return std::nullopt;
    }
    std::unique_ptr<PrintTarget> printerSetup() override { return nullptr; }
};

QString IsoDate(std::optional<double> day)
{
    return IsoDayText(day);
}

// Records of a layout without dates have no date to name.
QJsonArray Records(const std::vector<PriceRecord>& prices, bool dated)
{
    QJsonArray out;
    for (size_t i = 1; i < prices.size(); ++i) {
        const PriceRecord& r = prices[i];
        if (r.IsBlank)
            continue;
        out.append(QJsonObject{{QStringLiteral("date"), dated ? IsoDate(r.Date) : QString()},
                               {QStringLiteral("open"), r.Open},
                               {QStringLiteral("high"), r.High},
                               {QStringLiteral("low"), r.Low},
                               {QStringLiteral("close"), r.Close}});
    }
    return out;
}
} // namespace

Inspection InspectPriceFile(const QString& path, const QString& settingsFolder)
{
    Inspection out;
    QTemporaryDir work;
    InspectPrompts prompts;
    prompts.path = QFileInfo(path).absoluteFilePath();
    // The layout in force is the one the window would start with; the
    // session works in a folder of its own so that nothing is written beside it.
    const QString kept = QDir(settingsFolder).filePath(QStringLiteral("fsetup.dat"));
    if (work.isValid() && QFileInfo(kept).isFile())
        QFile::copy(kept, QDir(work.path()).filePath(QStringLiteral("fsetup.dat")));
    ChartSession s(prompts);
    s.toClipboard = nullptr;
    s.FormCreate(work.isValid() ? work.path() : settingsFolder);
    s.SplashAcknowledged(false);
    s.FinishFirstActivation(980, 590);
    s.FileBtnClick();
    const auto& g = s.GloVar;
    const FileLayout l = WithDecimalMark(prompts.path, CurrentLayout(g));
    const Result<LayoutCheck> check = CheckLayout(prompts.path, CurrentLayout(g));
    const QString language = check ? check->language : QString();
    QJsonObject o;
    o[QStringLiteral("file")] = prompts.path;
    QString encoding = QStringLiteral("UTF-8");
    {
        LineReader reader;
        if (reader.open(prompts.path) && !reader.encoding().isEmpty())
            encoding = reader.encoding();
    }
    o[QStringLiteral("layout")] =
        QJsonObject{{QStringLiteral("words"), LayoutInWords(l, g.NewestFirst, language)},
                    {QStringLiteral("separator"), QString(QLatin1Char(l.separator))},
                    {QStringLiteral("decimal"), QString(QLatin1Char(l.decimalComma() ? ',' : '.'))},
                    {QStringLiteral("dateFormat"), DateLayoutNames().value(l.dateFormat)},
                    {QStringLiteral("header"), l.header},
                    {QStringLiteral("language"), language},
                    {QStringLiteral("newestFirst"), g.NewestFirst},
                    {QStringLiteral("encoding"), encoding},
                    {QStringLiteral("date"), l.dateColumn},
                    {QStringLiteral("open"), l.openColumn},
                    {QStringLiteral("high"), l.highColumn},
                    {QStringLiteral("low"), l.lowColumn},
                    {QStringLiteral("close"), l.closeColumn}};
    const bool backwards = g.LastFileDate ? g.FirstFileDate && *g.LastFileDate < *g.FirstFileDate
                                          : g.FirstFileDate.has_value();
    out.read = g.RecordCount > 0 && !backwards;
    o[QStringLiteral("records")] = out.read ? g.RecordCount : 0;
    if (out.read) {
        o[QStringLiteral("firstDate")] = IsoDate(g.FirstFileDate);
        o[QStringLiteral("lastDate")] = IsoDate(g.LastFileDate);
        // The first and the last five records, read as a chart reads them.
        auto range = [&](int32_t first, int32_t last) {
            LoadRequest req;
            req.firstRecord = first;
            req.lastRecord = last;
            req.newestFirst = g.NewestFirst;
            req.recordCount = g.RecordCount;
            req.skipLines = s.skipLines();
            std::vector<PriceRecord> prices;
            const Result<LoadedRange> r = LoadRange(prompts.path, CurrentLayout(g), req, prices);
            return r ? Records(prices, !CurrentLayout(g).noDates()) : QJsonArray();
        };
        o[QStringLiteral("first")] = range(1, std::min(5, g.RecordCount));
        o[QStringLiteral("last")] = range(std::max(1, g.RecordCount - 4), g.RecordCount);
        // Loading the whole range says what a chart of it would.
        s.PlotBtnClick();
    }
    o[QStringLiteral("read")] = out.read;
    o[QStringLiteral("messages")] = QJsonArray::fromStringList(prompts.said);
    out.json = QJsonDocument(o).toJson(QJsonDocument::Compact);
    return out;
}
