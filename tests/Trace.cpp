#include "tests/Trace.h"

std::vector<TraceLine> Recorder::lines() const
{
    std::vector<TraceLine> out;
    QString pen;
    for (const QString& s : all) {
        const QStringList w = s.split(QLatin1Char(' '));
        if (w[0] == QLatin1String("pen"))
            pen = s.mid(4);
        else if (w[0] == QLatin1String("line") && w.size() == 5)
            out.push_back({w[1].toInt(), w[2].toInt(), w[3].toInt(), w[4].toInt(), pen});
    }
    return out;
}

QStringList Recorder::texts() const
{
    return starting(QStringLiteral("text"));
}

QStringList Recorder::starting(const QString& word) const
{
    QStringList out;
    for (const QString& s : all)
        if (s.startsWith(word + QLatin1Char(' ')) || s == word)
            out << s;
    return out;
}
