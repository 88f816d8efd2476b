#pragma once
// Test doubles and fixtures shared by the core tests.

#include <QDate>
#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "app/session/ChartSession.h"
#include "app/session/GloVar.h"
#include "app/session/Prompts.h"

// Readable failures for Qt strings.
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}
inline void PrintTo(const QStringList& l, std::ostream* os)
{
    *os << '[' << l.join(QStringLiteral("|")).toStdString() << ']';
}

// Records every prompt; answers dialogs from queued answers.
class RecordingPrompts : public Prompts {
public:
    QStringList events; // "beep", "message:TITLE:TEXT", "error:TEXT"
    std::optional<QString> openAnswer, saveAnswer;
    std::unique_ptr<PrintTarget> printAnswer;

    void beep() override { events << QStringLiteral("beep"); }
    void message(const QString& t, const QString& x) override
    {
        events << QStringLiteral("message:%1:%2").arg(t, x);
    }
    void error(const QString& x) override { events << QStringLiteral("error:") + x; }
    std::optional<QString> questionAnswer; // nothing: nobody there to answer
    std::optional<QString> question(const QString&, const QString& x, const QStringList&) override
    {
        events << QStringLiteral("question:") + x;
        return questionAnswer;
    }
    std::optional<QString> openFileName(const QString&, const QString&) override
    {
        return std::exchange(openAnswer, std::nullopt);
    }
    std::optional<QString> saveFileName(const QString&, const QString&, const QString&) override
    {
        return std::exchange(saveAnswer, std::nullopt);
    }
    std::unique_ptr<PrintTarget> printerSetup() override { return std::move(printAnswer); }
    [[nodiscard]] bool any(const QString& prefix) const
    {
        for (const QString& e : events)
            if (e.startsWith(prefix))
                return true;
        return false;
    }
};

// A printer that prints nothing on its page of the size given; where the
// chart went on it is kept in where, when given.
class PagePrinter : public PrintTarget {
public:
    explicit PagePrinter(QSize page, QRect* where = nullptr) : page_(page), where_(where) {}
    QSize pageSizePixels() const override { return page_; }
    Result<void> printPage(const QImage&, const QRect& target) override
    {
        if (where_)
            *where_ = target;
        return {};
    }

private:
    QSize page_;
    QRect* where_;
};

// Writes a text file in the temporary folder and returns its path.
inline QString WriteFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        ADD_FAILURE() << "cannot write " << path.toStdString();
    f.write(bytes);
    return path;
}

// The bytes of a file, or "(missing)".
QByteArray ReadBytes(const QString& path);

// A file system of its own mounted at path: a real full disk once fill()
// has run. Mounting needs root; a test skips when mounted() is false.
class SmallDisk {
public:
    SmallDisk(const QString& path, const char* size);
    ~SmallDisk();
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;
    [[nodiscard]] bool mounted() const { return mounted_; }
    // Writes until the file system has no byte left.
    void fill() const;
    const QString path;
    static constexpr const char* Why = "a full disk needs root to mount a small tmpfs";

private:
    bool mounted_ = false;
};

// Weekday price lines from a Monday onwards, prices rising by one a day.
QByteArray WeekdayFile(int records, bool header = true, int startDay = 38355 /* 3 Jan 2005 */);
// The same days as a German export writes them: semicolons, day-first
// dates and decimal commas; the newest day first when asked.
QByteArray SemicolonFile(int records, bool newestFirst = false);

// A session started as a person would: created in a temporary folder,
// splash acknowledged, chart bitmap made.
// The figure table's number of the figure that study files name key.
int FigureNamed(const char* key);

class SessionTest : public ::testing::Test {
protected:
    void SetUp() override;
    // A new session working in folder.
    void Start(const QString& folder);
    // Opens a price file through FileBtn.
    void Open(const QString& path);
    void OpenWeekdays(int records);
    // 400 weekdays opened and records 100 to 300 plotted.
    void PlotWeekdays();
    // A pixel of the plot, as fractions of its width and height.
    [[nodiscard]] QPoint PlotPoint(double fx, double fy) const;
    // A left click on the chart, snapped to the bar's prices when asked.
    void Click(QPoint p, bool snap = false);
    // P1 and P2 set by clicks at p1 and p2.
    void Anchors(QPoint p1, QPoint p2);
    QTemporaryDir dir;
    RecordingPrompts prompts;
    std::unique_ptr<ChartSession> s;
    int width = 980, height = 590;
};

#ifdef AURIGON_WIDGET_TESTS
#include <QJsonObject>

// A script run in this process against the real window made in folder,
// which is also the current folder meanwhile, as for --script.
struct ScriptRun {
    int status = -1;
    QList<QJsonObject> events;
    [[nodiscard]] QStringList kinds() const;
    // The last event of that kind, or an empty object.
    [[nodiscard]] QJsonObject last(const char* kind) const;
};
ScriptRun RunScript(const QString& folder, const QString& text);
// A value of a state report, by its name.
QJsonValue StateVar(const QJsonObject& state, const char* name);
// Every state report of a run, in order.
QList<QJsonObject> StateReports(const ScriptRun& r);

#ifdef SAMPLES_DIR
// A script run in a folder of the test's own, "@SAMPLES@" in its text
// standing for the samples' folder; Rows reads a file it wrote by lines.
class ScriptInFolder : public ::testing::Test {
protected:
    ScriptRun Run(QString text)
    {
        return RunScript(dir.path(),
                         text.replace(QStringLiteral("@SAMPLES@"), QStringLiteral(SAMPLES_DIR)));
    }
    [[nodiscard]] QStringList Rows(const QString& name) const
    {
        return QString::fromUtf8(ReadBytes(dir.filePath(name)))
            .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
    QTemporaryDir dir;
};
#endif
#endif

#ifdef AURIGON_BINARY
// The program itself run offscreen in folder: with the arguments given, or
// when shell is set, a shell line with $AURIGON for the program. Standard
// input comes from the bytes given or from inputFile; env adds NAME=VALUE.
struct Outcome {
    int status = -1;
    QByteArray out, err;
};
Outcome RunAurigon(const QString& folder, const QStringList& args, const QByteArray& input = {},
                   bool shell = false, const char* inputFile = nullptr,
                   const QStringList& env = {});
#endif
