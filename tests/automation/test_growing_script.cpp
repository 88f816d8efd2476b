// The script line wait and a price file that grows or is replaced while a
// script runs: the lines run in two parts with the file changed between.
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <cstdio>

#include "app/automation/ScriptRunner.h"
#include "app/window/MainForm.h"
#include "tests/Support.h"

namespace {
class GrowingScript : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        prices = WriteFile(dir, QStringLiteral("prices.txt"), WeekdayFile(300));
        before_ = QDir::currentPath();
        QDir::setCurrent(dir.path());
        host = std::make_unique<ScriptHost>([this](const QJsonObject& o) { events << o; });
        form = std::make_unique<TMainForm>(*host, dir.path());
        form->show();
        form->FormActivate();
        runner = std::make_unique<ScriptRunner>(*form, *host);
    }
    void TearDown() override
    {
        runner.reset();
        form.reset();
        host.reset();
        QDir::setCurrent(before_);
    }
    int Run(const QString& text) { return runner->run(text.arg(prices).split(QLatin1Char('\n'))); }
    QJsonObject Last(const char* kind) const
    {
        for (auto it = events.crbegin(); it != events.crend(); ++it)
            if ((*it)[QStringLiteral("event")].toString() == QLatin1String(kind))
                return *it;
        return {};
    }
    QTemporaryDir dir;
    QString prices;
    QList<QJsonObject> events;
    std::unique_ptr<ScriptHost> host;
    std::unique_ptr<TMainForm> form;
    std::unique_ptr<ScriptRunner> runner;

private:
    QString before_;
};

const char* const Plotted =
    "ack\npress FileBtn\nopen \"%1\"\ndates FRecordEdit=40 LRecordEdit=300\n"
    "press PlotBtn\npress P1Btn\nclick 300 300\npress P2Btn\nclick 450 250\n"
    "type 1\npress DrawBtn\nstate";
} // namespace

// What the session makes of an append and of a replaced file: the Growth
// tests; here a wait line lets the watcher see them, and an answer line
// answers the question that follows.
TEST_F(GrowingScript, AppendedLinesArePickedUpDuringWaitAndAReplacedFileAsks)
{
    ASSERT_EQ(Run(QLatin1String(Plotted)), 0);
    ASSERT_EQ(StateVar(Last("state"), "FigureCount"), 1);
    {
        QFile f(prices);
        ASSERT_TRUE(f.open(QIODevice::Append));
        f.write(WeekdayFile(303).mid(WeekdayFile(300).size()));
    }
    ASSERT_EQ(Run(QStringLiteral("wait 500\nstate")), 0);
    EXPECT_EQ(StateVar(Last("state"), "RecordCount"), 303);
    EXPECT_EQ(Last("state")[QStringLiteral("panels")].toArray()[PanelPosition].toString(),
              QStringLiteral("3 new records"));

    const QString beside = WriteFile(dir, QStringLiteral("new.tmp"), WeekdayFile(600, true, 40000));
    ASSERT_EQ(std::rename(beside.toLocal8Bit().constData(), prices.toLocal8Bit().constData()), 0);
    ASSERT_EQ(Run(QStringLiteral("wait 0\npress UpBtn\nanswer \"Scan again\"\nstate")), 0);
    const QJsonObject q = Last("question");
    EXPECT_TRUE(q[QStringLiteral("text")].toString().startsWith(
        QStringLiteral("\"prices.txt\" has changed since it was read")));
    EXPECT_EQ(StateVar(Last("state"), "RecordCount"), 600);
}
