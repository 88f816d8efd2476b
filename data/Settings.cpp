#include "data/Settings.h"

#include <QFile>
#include <QFileInfo>

#include "app/GloVar.h"
#include "data/LineReader.h"
#include "data/Numbers.h"
#include "data/WholeFile.h"

QString FormatAngle(double v)
{
    return QString::number(v, 'g', 15);
}

bool ParseAngle(const QString& text, double& out)
{
    QString t = text.trimmed();
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    const QByteArray b = t.toLatin1();
    return ParsePrice(std::string_view(b.constData(), static_cast<size_t>(b.size())), out);
}

QString SeparatorText(char separator)
{
    switch (separator) {
    case ';': return QStringLiteral(";");
    case '\t': return QStringLiteral("tab");
    default: return QStringLiteral(",");
    }
}

char SeparatorFromText(std::string_view text)
{
    if (text == "\t")
        return '\t';
    text = TrimBlanks(text);
    if (text == ";" || text == "semicolon")
        return ';';
    if (text == "tab" || text == "TAB" || text == "Tab")
        return '\t';
    return ',';
}

void ReadSettingsFile(const QString& path)
{
    if (QFileInfo(path).isFile())
        ReadSettings(PriceSource(path));
}

void ReadSettings(const PriceSource& source)
{
    LineReader reader;
    if (!reader.open(source).isEmpty())
        return;
    auto& g = GloVar;
    int16_t* ints[] = {&g.DateColumn, &g.OpenColumn,  &g.HighColumn,
                       &g.LowColumn,  &g.CloseColumn, &g.DateFormat};
    double* angles[] = {&g.FanAngle1, &g.FanAngle2, &g.FanAngle3};
    std::string_view line;
    int n = 0;
    while (n < 11 && reader.next(line)) {
        ++n;
        if (n == 1) {
            g.HasHeaderLine = line != "0";
        } else if (n <= 7) {
            long long v = 0;
            if (ParseInt(line, v) && v >= INT16_MIN && v <= INT16_MAX)
                *ints[n - 2] = static_cast<int16_t>(v);
        } else if (n == 11) {
            g.FieldSeparator = SeparatorFromText(line);
        } else {
            double v = 0;
            if (ParseAngle(QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size())),
                           v))
                *angles[n - 8] = v;
        }
    }
}

QByteArray SettingsText(const std::array<QString, 5>& fieldTexts)
{
    const auto& g = GloVar;
    QByteArray out;
    auto add = [&](const QString& s) {
        out += s.toUtf8();
        out += "\r\n";
    };
    add(g.HasHeaderLine ? QStringLiteral("1") : QStringLiteral("0"));
    for (const QString& t : fieldTexts)
        add(t);
    add(QString::number(g.DateFormat));
    add(FormatAngle(g.FanAngle1));
    add(FormatAngle(g.FanAngle2));
    add(FormatAngle(g.FanAngle3));
    add(SeparatorText(g.FieldSeparator));
    return out;
}

QByteArray SettingsText()
{
    const auto& g = GloVar;
    return SettingsText({QString::number(g.DateColumn), QString::number(g.OpenColumn),
                         QString::number(g.HighColumn), QString::number(g.LowColumn),
                         QString::number(g.CloseColumn)});
}

QString WriteSettingsFile(const QString& path, const std::array<QString, 5>& fieldTexts)
{
    const QByteArray out = SettingsText(fieldTexts);

    return WriteWholeFile(path, [&out](QIODevice& d) { return d.write(out) == out.size(); });
}

QString WriteSettingsFile(const QString& path)
{
    const QByteArray out = SettingsText();
    return WriteWholeFile(path, [&out](QIODevice& d) { return d.write(out) == out.size(); });
}
