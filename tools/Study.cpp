#include "tools/Study.h"

#include "data/ReadableFile.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "data/FileNames.h"
#include "data/Settings.h"
#include "data/WholeFile.h"
#include "tools/FigureScale.h"
#include "tools/FigureTable.h"

namespace {
const QDate DayZero(1899, 12, 30);

QString DateText(double day)
{
    return DayZero.addDays(static_cast<qint64>(std::floor(day))).toString(Qt::ISODate);
}

std::optional<double> DayOf(const QJsonValue& v)
{
    const QDate d = QDate::fromString(v.toString(), Qt::ISODate);
    if (!d.isValid())
        return std::nullopt;
    return double(DayZero.daysTo(d));
}

QJsonObject PointJson(const StudyPoint& p)
{
    return {{QStringLiteral("date"), DateText(p.date)},
            {QStringLiteral("slotOffset"), p.slotOffset},
            {QStringLiteral("price"), p.price}};
}

bool PointFrom(const QJsonValue& v, StudyPoint& p)
{
    const QJsonObject o = v.toObject();
    const auto day = DayOf(o.value(QStringLiteral("date")));
    if (!day || !o.value(QStringLiteral("price")).isDouble())
        return false;
    p.date = *day;
    p.slotOffset = std::clamp(o.value(QStringLiteral("slotOffset")).toDouble(), -0.5, 0.5);
    p.price = o.value(QStringLiteral("price")).toDouble();
    return std::isfinite(p.price);
}
QJsonObject ScaleJson(const FigureScale& s)
{
    // The price per slot is written for whoever reads the file; the chart
    // it was taken on is what is read back.
    return {{QStringLiteral("pricePerSlot"), s.pricePerSlot()},
            {QStringLiteral("plotLeft"), s.plotLeft},
            {QStringLiteral("plotTop"), s.plotTop},
            {QStringLiteral("plotRight"), s.plotRight},
            {QStringLiteral("plotBottom"), s.plotBottom},
            {QStringLiteral("chartWidth"), s.chartWidth},
            {QStringLiteral("chartHeight"), s.chartHeight},
            {QStringLiteral("slotCount"), s.slotCount},
            {QStringLiteral("scaleBottom"), s.scaleBottom},
            {QStringLiteral("scaleRange"), s.scaleRange},
            {QStringLiteral("p1Slot"), s.p1Slot},
            {QStringLiteral("slotUnit"), QStringLiteral("day")}};
}

std::optional<FigureScale> ScaleFrom(const QJsonValue& v)
{
    const QJsonObject o = v.toObject();
    auto number = [&o](const char* key) { return o.value(QLatin1String(key)); };
    for (const char* key : {"plotLeft", "plotTop", "plotRight", "plotBottom", "chartWidth",
                            "chartHeight", "slotCount", "scaleBottom", "scaleRange", "p1Slot"})
        if (!number(key).isDouble())
            return std::nullopt;
    auto whole = [&](const char* key, int& to) {
        const double d = number(key).toDouble();
        if (!(std::fabs(d) <= 1e6) || d != std::floor(d))
            return false;
        to = static_cast<int>(d);
        return true;
    };
    FigureScale s;
    if (!whole("plotLeft", s.plotLeft) || !whole("plotTop", s.plotTop) ||
        !whole("plotRight", s.plotRight) || !whole("plotBottom", s.plotBottom) ||
        !whole("chartWidth", s.chartWidth) || !whole("chartHeight", s.chartHeight) ||
        !whole("p1Slot", s.p1Slot))
        return std::nullopt;
    s.slotCount = number("slotCount").toDouble();
    s.scaleBottom = number("scaleBottom").toDouble();
    s.scaleRange = number("scaleRange").toDouble();
    if (!s.usable() || s.slotCount > 1e6)
        return std::nullopt;
    return s;
}
} // namespace

QString StoredPricePath(const QString& priceFile, const QString& studyPath)
{
    const QDir here = QFileInfo(studyPath).absoluteDir();
    const QString rel = here.relativeFilePath(QFileInfo(priceFile).absoluteFilePath());
    // Beside the study or below it: kept relative, so the two can move together.
    return rel.startsWith(QLatin1String("../")) ? QFileInfo(priceFile).absoluteFilePath() : rel;
}

QString ResolvedPricePath(const QString& stored, const QString& studyPath)
{
    if (QFileInfo(stored).isAbsolute())
        return stored;
    return QFileInfo(studyPath).absoluteDir().absoluteFilePath(stored);
}

Result<void> SaveStudyFile(const Study& s, const QString& path)
{
    auto cannot = [&path](const QString& why) {
        return Error{Error::Doing::SavingStudy, path, 0, why};
    };
    // A day past 31 December 9999 has no date text to keep it by.
    for (size_t i = 0; i < s.figures.size(); ++i) {
        const StudyFigure& f = s.figures[i];
        for (const StudyPoint* p : {&f.p1, &f.p2, f.p3 ? &*f.p3 : nullptr})
            if (p && DateText(p->date).isEmpty())
                return cannot(QStringLiteral("Figure %1 has a point past 31 December 9999, which a "
                                             "study cannot keep.")
                                  .arg(i + 1));
    }
    if (!s.endsAtLastRecord && (DateText(s.firstDate).isEmpty() || DateText(s.lastDate).isEmpty()))
        return cannot(QStringLiteral("Its range has no dates to keep it by."));
    QJsonObject layout{{QStringLiteral("header"), s.layout.header},
                       {QStringLiteral("dateColumn"), s.layout.dateColumn},
                       {QStringLiteral("openColumn"), s.layout.openColumn},
                       {QStringLiteral("highColumn"), s.layout.highColumn},
                       {QStringLiteral("lowColumn"), s.layout.lowColumn},
                       {QStringLiteral("closeColumn"), s.layout.closeColumn},
                       {QStringLiteral("dateFormat"), s.layout.dateFormat},
                       {QStringLiteral("separator"), SeparatorText(s.layout.separator)}};
    QJsonObject range;
    if (s.endsAtLastRecord) {
        range = {{QStringLiteral("rule"), QStringLiteral("last")},
                 {QStringLiteral("count"), s.lastCount}};
    } else {
        range = {{QStringLiteral("rule"), QStringLiteral("dates")},
                 {QStringLiteral("first"), DateText(s.firstDate)},
                 {QStringLiteral("last"), DateText(s.lastDate)}};
    }
    QJsonArray figures;
    for (const StudyFigure& f : s.figures) {
        const FigureKind* kind = FigureKindOf(f.type);
        QJsonObject o{{QStringLiteral("type"), f.type},
                      {QStringLiteral("figure"), QLatin1String(kind ? kind->key : "")},
                      {QStringLiteral("dir"), f.dir},
                      {QStringLiteral("ratio"), f.ratio},
                      {QStringLiteral("fanAngles"),
                       QJsonArray{f.fanAngles[0], f.fanAngles[1], f.fanAngles[2]}},
                      {QStringLiteral("p1"), PointJson(f.p1)},
                      {QStringLiteral("p2"), PointJson(f.p2)},
                      {QStringLiteral("kept"), f.kept}};
        if (f.p3)
            o[QStringLiteral("p3")] = PointJson(*f.p3);
        // Written only when set: a study without hidden figures reads as before.
        if (f.hidden)
            o[QStringLiteral("hidden")] = true;
        if (f.scale)
            o[QStringLiteral("scale")] = ScaleJson(*f.scale);
        if (kind && kind->live) {
            o[QStringLiteral("ellipseScale")] = f.ellipseScale;
            o[QStringLiteral("ellipseDragged")] = f.ellipseDragged;
        }
        figures.append(o);
    }
    const QJsonObject root{{QStringLiteral("format"), QStringLiteral("aurigon-study")},
                           {QStringLiteral("version"), Study::FormatVersion},
                           {QStringLiteral("priceFile"), s.priceFile},
                           {QStringLiteral("layout"), layout},
                           {QStringLiteral("range"), range},
                           {QStringLiteral("blankDaysRight"), s.blankDaysRight},
                           {QStringLiteral("holidaySpace"), s.holidaySpace},
                           {QStringLiteral("wholeScale"), s.wholeScale},
                           {QStringLiteral("periodLength"), s.periodLength},
                           {QStringLiteral("barStyle"), QLatin1String(BarStyleName(s.barStyle))},
                           {QStringLiteral("logScale"), s.logScale},
                           {QStringLiteral("timeframe"), QLatin1String(TimeframeName(s.timeframe))},
                           {QStringLiteral("figures"), figures}};
    const QByteArray bytes = QJsonDocument(root).toJson(QJsonDocument::Indented);
    return WriteWholeBytes(path, bytes);
}

Result<Study> LoadStudyFile(const QString& path)
{
    auto bad = [&path](const QString& why) {
        return Error{Error::Doing::OpeningStudy, path, 0, why};
    };
    // Opened without waiting, so that a pipe in the study's place cannot hang us.
    ReadableFile file(path);
    if (!file.regular()) {
        const Result<void> regular = CheckRegularFile(path);
        return bad(!regular ? regular.error().reason
                   : file.error()
                       ? QString::fromLocal8Bit(std::strerror(file.error())) + QLatin1Char('.')
                       : QStringLiteral("It cannot be read."));
    }
    const int64_t size = file.status().st_size;
    QFile f;
    if (const int fd = file.release();
        !f.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return bad(f.errorString());
    }
    if (size > (16 << 20))
        return bad(QStringLiteral("It is too large to be a study."));
    QJsonParseError err{};
    const QJsonDocument doc = QJsonDocument::fromJson(f.read(16 << 20), &err);
    if (doc.isNull())
        return bad(QStringLiteral("It is not JSON: %1 at byte %2.")
                       .arg(err.errorString())
                       .arg(err.offset));
    const QJsonObject root = doc.object();
    if (root.value(QStringLiteral("format")).toString() != QLatin1String("aurigon-study"))
        return bad(QStringLiteral("It is not an Aurigon study."));
    if (root.value(QStringLiteral("version")).toInt() > Study::FormatVersion)
        return bad(QStringLiteral("It was written by a newer version (format %1).")
                       .arg(root.value(QStringLiteral("version")).toInt()));
    Study s;
    s.priceFile = root.value(QStringLiteral("priceFile")).toString();
    if (s.priceFile.isEmpty())
        return bad(QStringLiteral("It names no price file."));
    const QJsonObject l = root.value(QStringLiteral("layout")).toObject();
    s.layout.header = l.value(QStringLiteral("header")).toBool(true);
    s.layout.dateColumn = l.value(QStringLiteral("dateColumn")).toInt(1);
    s.layout.openColumn = l.value(QStringLiteral("openColumn")).toInt(2);
    s.layout.highColumn = l.value(QStringLiteral("highColumn")).toInt(3);
    s.layout.lowColumn = l.value(QStringLiteral("lowColumn")).toInt(4);
    s.layout.closeColumn = l.value(QStringLiteral("closeColumn")).toInt(5);
    s.layout.dateFormat = l.value(QStringLiteral("dateFormat")).toInt(1);
    const QByteArray sep = l.value(QStringLiteral("separator")).toString().toLatin1();
    s.layout.separator = SeparatorFromText(std::string_view(sep.constData(), size_t(sep.size())));
    const QJsonObject range = root.value(QStringLiteral("range")).toObject();
    s.endsAtLastRecord = range.value(QStringLiteral("rule")).toString() != QLatin1String("dates");
    if (s.endsAtLastRecord) {
        s.lastCount = range.value(QStringLiteral("count")).toInt(261);
        if (s.lastCount < 2)
            return bad(QStringLiteral("Its range holds fewer than two records."));
    } else {
        const auto first = DayOf(range.value(QStringLiteral("first")));
        const auto last = DayOf(range.value(QStringLiteral("last")));
        if (!first || !last || *last <= *first)
            return bad(QStringLiteral("Its range of dates does not read."));
        s.firstDate = *first;
        s.lastDate = *last;
    }
    s.blankDaysRight = std::clamp(root.value(QStringLiteral("blankDaysRight")).toInt(), 0, 50);
    s.holidaySpace = root.value(QStringLiteral("holidaySpace")).toBool();
    s.wholeScale = root.value(QStringLiteral("wholeScale")).toBool();
    s.periodLength = root.value(QStringLiteral("periodLength")).toInt(260);
    if (root.contains(QStringLiteral("barStyle"))) {
        const QString name = root.value(QStringLiteral("barStyle")).toString();
        const std::optional<BarStyle> style = BarStyleNamed(name);
        if (!style)
            return bad(
                QStringLiteral("Its bar style \"%1\" is none of bars, candles, hollow or line.")
                    .arg(name));
        s.barStyle = *style;
    }
    s.logScale = root.value(QStringLiteral("logScale")).toBool(false);
    if (root.contains(QStringLiteral("timeframe"))) {
        const QString name = root.value(QStringLiteral("timeframe")).toString();
        const std::optional<Timeframe> t = TimeframeNamed(name);
        if (!t)
            return bad(QStringLiteral("Its timeframe \"%1\" is none of daily, weekly or monthly.")
                           .arg(name));
        s.timeframe = *t;
    }
    const QJsonArray figures = root.value(QStringLiteral("figures")).toArray();
    for (qsizetype i = 0; i < figures.size(); ++i) {
        const QJsonObject o = figures[i].toObject();
        StudyFigure fig;
        fig.type = o.value(QStringLiteral("type")).toInt();
        if (!o.contains(QStringLiteral("type"))) {
            const QByteArray key = o.value(QStringLiteral("figure")).toString().toLatin1();
            const FigureKind* named = FigureKindNamed(key.constData());
            fig.type = named ? named->number : 0;
        }
        fig.dir = o.value(QStringLiteral("dir")).toInt(1) < 0 ? -1 : 1;
        fig.ratio = o.value(QStringLiteral("ratio")).toDouble(fig.ratio);
        const QJsonArray fan = o.value(QStringLiteral("fanAngles")).toArray();
        for (int k = 0; k < 3 && k < fan.size(); ++k)
            fig.fanAngles[k] = fan[k].toDouble(fig.fanAngles[k]);
        if (!FigureKindOf(fig.type) || !(fig.ratio > 0) || !std::isfinite(fig.ratio) ||
            !PointFrom(o.value(QStringLiteral("p1")), fig.p1) ||
            !PointFrom(o.value(QStringLiteral("p2")), fig.p2))
            return bad(QStringLiteral("Figure %1 does not read.").arg(i + 1));
        if (o.contains(QStringLiteral("p3"))) {
            StudyPoint p3;
            if (!PointFrom(o.value(QStringLiteral("p3")), p3))
                return bad(
                    QStringLiteral("The third point of figure %1 does not read.").arg(i + 1));
            fig.p3 = p3;
        }
        if (o.contains(QStringLiteral("scale"))) {
            fig.scale = ScaleFrom(o.value(QStringLiteral("scale")));
            if (!fig.scale)
                return bad(QStringLiteral("The scale of figure %1 does not read.").arg(i + 1));
            // A scale kept before slots were counted in trading days counts
            // the bars it was drawn on.
            if (!o.value(QStringLiteral("scale")).toObject().contains(QStringLiteral("slotUnit"))) {
                const int days = TradingDaysPerSlot(s.timeframe);
                fig.scale->slotCount *= days;
                fig.scale->p1Slot *= days;
            }
        }
        fig.kept = o.value(QStringLiteral("kept")).toBool();
        fig.ellipseScale = o.value(QStringLiteral("ellipseScale")).toDouble(1.0);
        if (!std::isfinite(fig.ellipseScale))
            fig.ellipseScale = 1.0;
        fig.ellipseDragged = o.value(QStringLiteral("ellipseDragged")).toBool();
        fig.hidden = o.value(QStringLiteral("hidden")).toBool();
        s.figures.push_back(fig);
    }
    return s;
}
