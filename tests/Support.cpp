#include "tests/Support.h"

#include <QProcess>
#include <unistd.h>

#include "app/session/SharedInputs.h"
#include "data/Dates.h"
#include "tools/FigureTable.h"

#ifdef AURIGON_WIDGET_TESTS
#include "app/automation/ScriptRunner.h"
#include "app/window/MainForm.h"
#endif

QByteArray ReadBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
}

SmallDisk::SmallDisk(const QString& p, const char* size) : path(p)
{
    QDir().mkpath(path);
    mounted_ = geteuid() == 0 && QProcess::execute(QStringLiteral("mount"),
                                                   {QStringLiteral("-t"), QStringLiteral("tmpfs"),
                                                    QStringLiteral("-o"),
                                                    QStringLiteral("size=") + QLatin1String(size),
                                                    QStringLiteral("tmpfs"), path}) == 0;
}

SmallDisk::~SmallDisk()
{
    if (mounted_)
        QProcess::execute(QStringLiteral("umount"), {QStringLiteral("-l"), path});
}

void SmallDisk::fill() const
{
    QFile f(path + QStringLiteral("/filler"));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        ADD_FAILURE() << "cannot fill " << path.toStdString();
        return;
    }
    const QByteArray block(4096, 'x');
    while (f.write(block) == block.size()) {
    }
    while (f.write("x", 1) == 1) {
    }
}

QByteArray WeekdayFile(int records, bool header, int startDay)
{
    QByteArray out;
    if (header)
        out += "Date,Open,High,Low,Close\n";
    int day = startDay;
    for (int i = 0; i < records; ++i) {
        while (DayOfWeek(day) == 1 || DayOfWeek(day) == 7)
            ++day;
        const QDate d = QDate(1899, 12, 30).addDays(day);
        const double c = 100.0 + i;
        out += QStringLiteral("%1,%2,%3,%4,%5\n")
                   .arg(d.toString(QStringLiteral("MM/dd/yyyy")))
                   .arg(c - 0.5, 0, 'f', 2)
                   .arg(c + 1, 0, 'f', 2)
                   .arg(c - 1, 0, 'f', 2)
                   .arg(c, 0, 'f', 2)
                   .toLatin1();
        ++day;
    }
    return out;
}

QByteArray SemicolonFile(int records, bool newestFirst)
{
    QByteArray out;
    for (const QByteArray& r : WeekdayFile(records, false).split('\n')) {
        const QList<QByteArray> f = r.split(',');
        if (f.size() < 5)
            continue;
        QByteArray prices = f[1] + ';' + f[2] + ';' + f[3] + ';' + f[4];
        const QByteArray line = f[0].mid(3, 2) + '.' + f[0].left(2) + '.' + f[0].mid(6) + ';' +
                                prices.replace('.', ',') + '\n';
        out = newestFirst ? line + out : out + line;
    }
    return "Datum;Erster;Hoch;Tief;Schluss\n" + out;
}

int FigureNamed(const char* key)
{
    const FigureKind* kind = FigureKindNamed(key);
    EXPECT_NE(kind, nullptr) << key;
    return kind ? kind->number : 0;
}

void SessionTest::SetUp()
{
    ASSERT_TRUE(dir.isValid());
    Start(dir.path());
}

void SessionTest::Start(const QString& folder)
{
    s = std::make_unique<ChartSession>(prompts);
    s->toClipboard = nullptr;
    s->FormCreate(folder);
    s->SplashAcknowledged(false);
    s->FinishFirstActivation(width, height);
}

void SessionTest::Open(const QString& path)
{
    prompts.openAnswer = path;
    s->FileBtnClick();
}

void SessionTest::OpenWeekdays(int records)
{
    Open(WriteFile(dir, QStringLiteral("prices.txt"), WeekdayFile(records)));
}

void SessionTest::PlotWeekdays()
{
    OpenWeekdays(400);
    ASSERT_EQ(s->DatesAccept(QStringLiteral("100"), QStringLiteral("300"), QStringLiteral("0")),
              DatesAnswer::Taken);
    s->PlotBtnClick();
    ASSERT_TRUE(s->GloVar.ChartShown);
}

QPoint SessionTest::PlotPoint(double fx, double fy) const
{
    const ChartMap& m = CurrentChartMap(s->GloVar);
    return {m.plotLeft + int(fx * m.plotWidth), m.plotTop + int(fy * m.plotHeight)};
}

void SessionTest::Click(QPoint p, bool snap)
{
    s->Image1MouseDown(MouseButton::Left, p.x(), p.y(), snap);
    s->Image1MouseUp();
}

void SessionTest::Anchors(QPoint p1, QPoint p2)
{
    s->P1BtnClick();
    Click(p1);
    s->P2BtnClick();
    Click(p2);
}

#ifdef AURIGON_WIDGET_TESTS
QStringList ScriptRun::kinds() const
{
    QStringList k;
    for (const QJsonObject& e : events)
        k << e[QStringLiteral("event")].toString();
    return k;
}

QJsonObject ScriptRun::last(const char* kind) const
{
    for (auto it = events.crbegin(); it != events.crend(); ++it)
        if ((*it)[QStringLiteral("event")] == QLatin1String(kind))
            return *it;
    return {};
}

ScriptRun RunScript(const QString& folder, const QString& text)
{
    const QString before = QDir::currentPath();
    QDir::setCurrent(folder);
    ScriptRun r;
    {
        ScriptHost host([&r](const QJsonObject& o) { r.events << o; });
        TMainForm form(host, folder);
        form.show();
        form.FormActivate();
        ScriptRunner runner(form, host);
        r.status = runner.run(text.split(QLatin1Char('\n')));
    }
    QDir::setCurrent(before);
    return r;
}
#endif

#ifdef AURIGON_BINARY
Outcome RunAurigon(const QString& folder, const QStringList& args, const QByteArray& input,
                   bool shell, const char* inputFile, const QStringList& env)
{
    QProcess p;
    p.setWorkingDirectory(folder);
    QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
    e.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    e.insert(QStringLiteral("AURIGON"), QStringLiteral(AURIGON_BINARY));
    e.remove(QStringLiteral("AURIGON_CHART_SIZE"));
    for (const QString& pair : env)
        e.insert(pair.section(QLatin1Char('='), 0, 0), pair.section(QLatin1Char('='), 1));
    p.setProcessEnvironment(e);
    if (inputFile)
        p.setStandardInputFile(QLatin1String(inputFile));
    if (shell)
        p.start(QStringLiteral("/bin/bash"), {QStringLiteral("-c"), args.join(QLatin1Char(' '))});
    else
        p.start(QStringLiteral(AURIGON_BINARY), args);
    if (!inputFile) {
        p.write(input);
        p.closeWriteChannel();
    }
    Outcome o;
    EXPECT_TRUE(p.waitForFinished(120000)) << args.join(QLatin1Char(' ')).toStdString();
    o.out = p.readAllStandardOutput();
    o.err = p.readAllStandardError();
    o.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return o;
}
#endif

#ifdef AURIGON_WIDGET_TESTS
QJsonValue StateVar(const QJsonObject& state, const char* name)
{
    return state[QStringLiteral("vars")].toObject()[QLatin1String(name)];
}

QList<QJsonObject> StateReports(const ScriptRun& r)
{
    QList<QJsonObject> out;
    for (const QJsonObject& e : r.events)
        if (e[QStringLiteral("event")] == QStringLiteral("state"))
            out << e;
    return out;
}
#endif
