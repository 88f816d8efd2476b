#include "tests/Trace.h"

#include <algorithm>

#include "data/Program.h"

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

QStringList Recorder::starting(const QString& word) const
{
    QStringList out;
    for (const QString& s : all)
        if (s.startsWith(word + QLatin1Char(' ')) || s == word)
            out << s;
    return out;
}

namespace {
// The words of a trace line as numbers from the second on.
std::vector<int> Numbers(const QString& s)
{
    std::vector<int> out;
    const QStringList w = s.split(QLatin1Char(' '));
    for (qsizetype i = 1; i < w.size(); ++i)
        out.push_back(w[i].toInt());
    return out;
}

// How many lines from i on draw a marker's cross under the pen given: an
// anchor's two strokes of 8 pixels, or the third point's two of 10 and its
// ring; 0 when they do not.
qsizetype MarkerAt(const QStringList& ops, qsizetype i, const QString& pen)
{
    if (i + 1 >= ops.size() || !ops[i].startsWith(QLatin1String("line ")) ||
        !ops[i + 1].startsWith(QLatin1String("line ")))
        return 0;
    const std::vector<int> a = Numbers(ops[i]), b = Numbers(ops[i + 1]);
    auto cross = [&](int r) {
        const int x = a[0] + r, y = a[1];
        return a[2] == x + r && a[3] == y && b[0] == x && b[1] == y - r && b[2] == x &&
               b[3] == y + r;
    };
    if (pen == QLatin1String("255 0 0 2 solid") && cross(4))
        return 2;
    if (pen == QLatin1String("0 0 0 1 solid") && cross(5) && i + 2 < ops.size()) {
        const int x = a[0] + 5, y = a[1];
        if (ops[i + 2] ==
            QStringLiteral("ellipse %1 %2 %3 %4").arg(x - 2).arg(y - 2).arg(x + 2).arg(y + 2))
            return 3;
    }
    return 0;
}
} // namespace

QStringList Recorder::picture() const
{
    const QString fill =
        QStringLiteral("rect 0 0 %1 %2").arg(canvas_.width()).arg(canvas_.height());
    qsizetype from = all.lastIndexOf(QStringLiteral("restore"));
    const qsizetype plot = all.lastIndexOf(fill);
    bool plotting = plot > from;
    from = std::max(from, plot);
    QString pen = QStringLiteral("0 0 0 1 solid"), shown = pen;
    QStringList out;
    for (qsizetype i = from + 1; i < all.size(); ++i) {
        const QString& s = all[i];
        if (s.startsWith(QLatin1String("pen "))) {
            pen = s.mid(4);
            continue;
        }
        if (plotting) {
            // The plot ends with the footer.
            plotting =
                !s.endsWith(QLatin1Char('"') + QLatin1String(MakerWebAddress) + QLatin1Char('"'));
            shown = pen;
            continue;
        }
        if (const qsizetype n = MarkerAt(all, i, pen)) {
            i += n - 1;
            continue;
        }
        if (!s.startsWith(QLatin1String("text ")) && pen != shown) {
            out << QStringLiteral("pen ") + pen;
            shown = pen;
        }
        out << s;
    }
    return out;
}
