#include "bench/Files.h"

#include <QFile>
#include <map>

QTemporaryDir& Folder()
{
    static QTemporaryDir dir;
    return dir;
}

QString PriceFile(int64_t signedLines)
{
    static std::map<int64_t, QString> made;
    if (auto it = made.find(signedLines); it != made.end())
        return it->second;
    if (signedLines < 0) {
        // The same lines read backwards from the end, a block at a time, so
        // that making the file costs no more memory than reading it.
        QFile in(PriceFile(-signedLines));
        in.open(QIODevice::ReadOnly);
        const QByteArray header = in.readLine();
        const qint64 dataStart = header.size();
        const QString path = Folder().filePath(QStringLiteral("n%1.txt").arg(-signedLines));
        QFile out(path);
        if (!out.open(QIODevice::WriteOnly))
            qFatal("cannot write %s", qPrintable(path));
        out.write(header);
        QByteArray tail; // the start of a line whose end was already read
        for (qint64 end = in.size(); end > dataStart;) {
            const qint64 from = std::max(dataStart, end - (1 << 20));
            in.seek(from);
            QByteArray block = in.read(end - from) + tail;
            end = from;
            qsizetype stop = block.size();
            if (block.endsWith('\n'))
                --stop;
            auto previous = [&] { return stop > 0 ? block.lastIndexOf('\n', stop - 1) : -1; };
            for (qsizetype nl = previous(); nl >= 0; nl = previous()) {
                out.write(block.mid(nl + 1, stop - nl - 1) + '\n');
                stop = nl;
            }
            tail = block.left(stop);
            if (end == dataStart && !tail.isEmpty())
                out.write(tail + '\n');
        }
        made[signedLines] = path;
        return path;
    }
    const int64_t lines = signedLines;
    const QString path = Folder().filePath(QStringLiteral("p%1.txt").arg(lines));
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    QByteArray buf = "Date,Open,High,Low,Close\n";
    int y = 1900, m = 1, d = 1;
    double c = 100;
    for (int64_t i = 0; i < lines; ++i) {
        c += ((i * 7919) % 13 - 6) * 0.1;
        if (c < 10)
            c = 10;
        buf += QByteArray::number(m).rightJustified(2, '0') + '/' +
               QByteArray::number(d).rightJustified(2, '0') + '/' + QByteArray::number(y) + ',' +
               QByteArray::number(c, 'f', 2) + ',' + QByteArray::number(c + 1.5, 'f', 2) + ',' +
               QByteArray::number(c - 1.5, 'f', 2) + ',' + QByteArray::number(c + 0.25, 'f', 2) +
               '\n';
        if (++d > 28) {
            d = 1;
            if (++m > 12)
                m = 1, ++y;
        }
        if (buf.size() > (1 << 20)) {
            f.write(buf);
            buf.clear();
        }
    }
    f.write(buf);
    made[signedLines] = path;
    return path;
}
