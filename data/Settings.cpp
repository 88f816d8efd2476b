#include "data/Settings.h"

#include <QFile>
#include <QFileInfo>

#include "data/FileNames.h"
#include "data/LineReader.h"
#include "data/Numbers.h"
#include "data/WholeFile.h"

QString FormatAngle(double v)
{
    return QString::number(v, 'g', 15);
}

std::optional<double> ParseAngle(const QString& text)
{
    QString t = text.trimmed();
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    const QByteArray b = t.toLatin1();
    return ParsePrice(std::string_view(b.constData(), static_cast<size_t>(b.size())));
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

Settings ReadSettingsFile(const QString& path, Settings over)
{
    if (CheckRegularFile(path))
        return ReadSettings(PriceSource(path), std::move(over));
    return over;
}

Settings ReadSettings(const PriceSource& source, Settings s)
{
    LineReader reader;
    if (!reader.open(source))
        return s;
    FileLayout& l = s.layout;
    int* ints[] = {&l.dateColumn, &l.openColumn,  &l.highColumn,
                   &l.lowColumn,  &l.closeColumn, &l.dateFormat};
    int n = 0;
    for (std::optional<std::string_view> next; n < 11 && (next = reader.next());) {
        const std::string_view line = *next;
        ++n;
        if (n == 1) {
            l.header = line != "0";
        } else if (n <= 7) {
            const std::optional<long long> v = ParseInt(line);
            if (v && *v >= INT16_MIN && *v <= INT16_MAX)
                *ints[n - 2] = static_cast<int>(*v);
        } else if (n == 11) {
            l.separator = SeparatorFromText(line);
        } else {
            if (const std::optional<double> v = ParseAngle(
                    QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size()))))
                s.fanAngles[size_t(n - 8)] = *v;
        }
    }
    return s;
}

QByteArray SettingsText(const Settings& s, const std::array<QString, 5>& fieldTexts)
{
    QByteArray out;
    auto add = [&](const QString& t) {
        out += t.toUtf8();
        out += "\r\n";
    };
    add(s.layout.header ? QStringLiteral("1") : QStringLiteral("0"));
    for (const QString& t : fieldTexts)
        add(t);
    add(QString::number(s.layout.dateFormat));
    for (double a : s.fanAngles)
        add(FormatAngle(a));
    add(SeparatorText(s.layout.separator));
    return out;
}

QByteArray SettingsText(const Settings& s)
{
    const FileLayout& l = s.layout;
    return SettingsText(s, {QString::number(l.dateColumn), QString::number(l.openColumn),
                            QString::number(l.highColumn), QString::number(l.lowColumn),
                            QString::number(l.closeColumn)});
}

Result<void> WriteSettingsFile(const QString& path, const Settings& s,
                               const std::array<QString, 5>& fieldTexts)
{
    // Kept by a fixed name: a pipe or device someone left there is neither
    // written into nor replaced.
    if (const Result<void> kept = CheckKeptFile(path); !kept)
        return Error{Error::Doing::Creating, path, 0, kept.error().reason};
    const QByteArray text = SettingsText(s, fieldTexts);
    // Opening the same file again changes nothing: the kept copy stays as it
    // is rather than being forced to disk once more.
    if (const QFileInfo info(path);
        info.isFile() && !info.isSymLink() && info.size() == text.size()) {
        QFile kept(path);
        if (kept.open(QIODevice::ReadOnly) && kept.read(text.size() + 1) == text)
            return {};
    }
    return WriteWholeBytes(path, text);
}

Result<void> WriteSettingsFile(const QString& path, const Settings& s)
{
    const FileLayout& l = s.layout;
    return WriteSettingsFile(path, s,
                             {QString::number(l.dateColumn), QString::number(l.openColumn),
                              QString::number(l.highColumn), QString::number(l.lowColumn),
                              QString::number(l.closeColumn)});
}
