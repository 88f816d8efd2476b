// aurigon --inspect FILE: the program itself, reading a file as the window does.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include "tests/Support.h"

namespace {
QJsonObject Json(const QByteArray& out)
{
    QJsonParseError e{};
    const QJsonDocument d = QJsonDocument::fromJson(out, &e);
    EXPECT_EQ(e.error, QJsonParseError::NoError) << out.toStdString();
    return d.object();
}
} // namespace

TEST(Inspect, AFileThatReadsIsDescribedAndExitsZero)
{
    QTemporaryDir dir;
    WriteFile(
        dir, QStringLiteral("pt.csv"),
        "Data;\xC3\x9Altimo;Abertura;M\xC3\xA1xima;M\xC3\xADnima;Vol.;Var%\n"
        "03.01.2020;\"2.371,07\";\"2.350,00\";\"2.380,50\";\"2.345,10\";\"1,5M\";\"0,89%\"\n"
        "06.01.2020;\"2.380,00\";\"2.372,00\";\"2.391,25\";\"2.360,40\";\"1,2M\";\"0,38%\"\n"
        "07.01.2020;\"2.391,10\";\"2.380,00\";\"2.399,00\";\"2.377,75\";\"1,1M\";\"0,47%\"\n");
    const Outcome o =
        RunAurigon(dir.path(), {QStringLiteral("--inspect"), QStringLiteral("pt.csv")});
    EXPECT_EQ(o.status, 0) << o.err.toStdString();
    const QJsonObject j = Json(o.out);
    const QJsonObject layout = j[QStringLiteral("layout")].toObject();
    EXPECT_EQ(layout[QStringLiteral("words")].toString(),
              QStringLiteral("semicolons, decimal comma, dd.mm.yyyy, header in Portuguese"));
    EXPECT_EQ(layout[QStringLiteral("separator")].toString(), QStringLiteral(";"));
    EXPECT_EQ(layout[QStringLiteral("decimal")].toString(), QStringLiteral(","));
    EXPECT_EQ(layout[QStringLiteral("dateFormat")].toString(), QStringLiteral("dd.mm.yyyy"));
    EXPECT_EQ(layout[QStringLiteral("encoding")].toString(), QStringLiteral("UTF-8"));
    EXPECT_EQ(layout[QStringLiteral("newestFirst")].toBool(), false);
    EXPECT_EQ(layout[QStringLiteral("close")].toInt(), 2);
    EXPECT_EQ(j[QStringLiteral("records")].toInt(), 3);
    EXPECT_EQ(j[QStringLiteral("firstDate")].toString(), QStringLiteral("2020-01-03"));
    EXPECT_EQ(j[QStringLiteral("lastDate")].toString(), QStringLiteral("2020-01-07"));
    const QJsonObject first = j[QStringLiteral("first")].toArray().first().toObject();
    EXPECT_EQ(first[QStringLiteral("close")].toDouble(), 2371.07);
    EXPECT_EQ(first[QStringLiteral("open")].toDouble(), 2350.0);
    const QJsonObject last = j[QStringLiteral("last")].toArray().last().toObject();
    EXPECT_EQ(last[QStringLiteral("date")].toString(), QStringLiteral("2020-01-07"));
    EXPECT_EQ(last[QStringLiteral("high")].toDouble(), 2399.0);
    // The one message the window shows: what the file was read as.
    const QJsonArray said = j[QStringLiteral("messages")].toArray();
    ASSERT_EQ(said.size(), 1);
    EXPECT_TRUE(said[0].toString().contains(QStringLiteral("header in Portuguese")));
    // Nothing was written beside the file.
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("fsetup.dat"))));
}

TEST(Inspect, ARefusedFileSaysWhyAndExitsOne)
{
    QTemporaryDir dir;
    QByteArray bytes = "Date,Open,High,Low,Close\n";
    for (int i = 1; i <= 20; ++i)
        bytes += QByteArray("2020-01-") + (i < 10 ? "0" : "") + QByteArray::number(i) +
                 (i % 2 ? ",1,2,3,4\n" : ",4,3,2,1\n");
    WriteFile(dir, QStringLiteral("wrong.csv"), bytes);
    const Outcome o =
        RunAurigon(dir.path(), {QStringLiteral("--inspect"), QStringLiteral("wrong.csv")});
    EXPECT_EQ(o.status, 1);
    const QJsonObject j = Json(o.out);
    EXPECT_EQ(j[QStringLiteral("records")].toInt(), 0);
    EXPECT_FALSE(j[QStringLiteral("read")].toBool());
    const QJsonArray said = j[QStringLiteral("messages")].toArray();
    ASSERT_EQ(said.size(), 1);
    EXPECT_TRUE(
        said[0].toString().contains(QStringLiteral("is not charted: under every reading tried")))
        << said[0].toString().toStdString();
}
