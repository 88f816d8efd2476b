#include "app/ScriptParse.h"

std::optional<QStringList> SplitScriptLine(const QString& line)
{
    QStringList words;
    const QString t = line.trimmed();
    if (t.isEmpty() || t.startsWith(QLatin1Char('#')))
        return words;
    QString cur;
    bool inWord = false, quoted = false;
    for (const QChar ch : t) {
        if (quoted) {
            if (ch == QLatin1Char('"'))
                quoted = false;
            else
                cur += ch;
        } else if (ch == QLatin1Char('"')) {
            quoted = true;
            inWord = true;
        } else if (ch == QLatin1Char(' ') || ch == QLatin1Char('\t')) {
            if (inWord)
                words << cur;
            cur.clear();
            inWord = false;
        } else {
            cur += ch;
            inWord = true;
        }
    }
    if (quoted)
        return std::nullopt;
    if (inWord)
        words << cur;
    return words;
}

bool SplitAssignment(const QString& word, QString& name, QString& text)
{
    const qsizetype eq = word.indexOf(QLatin1Char('='));
    if (eq <= 0)
        return false;
    name = word.left(eq);
    text = word.mid(eq + 1);
    return true;
}

bool ParseScriptInt(const QString& word, int& value)
{
    bool ok = false;
    const int v = word.toInt(&ok, 10);
    if (!ok)
        return false;
    value = v;
    return true;
}

bool ParsePageSize(const QString& word, int& width, int& height)
{
    const QStringList wh = word.toLower().split(QLatin1Char('x'));
    int w = 0, h = 0;
    if (wh.size() != 2 || !ParseScriptInt(wh[0], w) || !ParseScriptInt(wh[1], h))
        return false;
    if (w < 1 || h < 1 || w > 100000 || h > 100000)
        return false;
    width = w;
    height = h;
    return true;
}
