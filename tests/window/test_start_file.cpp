// A price file named on the command line opens once the window is first
// active, as a file opened by hand: no open dialog, then Plot shows it.
#include <QFileInfo>
#include <QJsonDocument>

#include "app/window/StartFile.h"
#include "tests/WindowFixture.h"

namespace {
class StartFile : public WindowFixture {
protected:
    void SetUp() override {}
    // The window as main() starts it with a file named, splash and all.
    void StartWith(const QString& path)
    {
        qputenv("AURIGON_CHART_SIZE", "980x590");
        form = std::make_unique<TMainForm>(host, dir.path());
        OpenOnFirstActivation(*form, path);
        form->show();
        form->FormActivate();
        host.acknowledge();
        qunsetenv("AURIGON_CHART_SIZE");
    }
};
} // namespace

TEST_F(StartFile, OpensWithoutTheOpenDialogAndPlots)
{
    const QString file = WriteFile(dir, QStringLiteral("prices.txt"), WeekdayFile(300));
    // Named relative to the current folder, as on a command line.
    const QString cwd = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    StartWith(QStringLiteral("prices.txt"));
    QDir::setCurrent(cwd);
    const QString absolute = QFileInfo(file).absoluteFilePath();
    EXPECT_EQ(form->session.GloVar.DataFileName, absolute);
    EXPECT_EQ(form->session.ui.panels[PanelFile], absolute);
    // No dialog was asked for a file.
    for (const QJsonObject& e : events)
        EXPECT_NE(e[QStringLiteral("kind")].toString(), QStringLiteral("open"))
            << qPrintable(QJsonDocument(e).toJson());
    QTest::mouseClick(Find<QToolButton>("PlotBtn"), Qt::LeftButton);
    EXPECT_TRUE(form->session.GloVar.ChartShown);
    EXPECT_EQ(form->session.GloVar.RecordCount, 300);
}

TEST_F(StartFile, AFileThatDoesNotReadLeavesNoChart)
{
    StartWith(dir.filePath(QStringLiteral("missing.txt")));
    EXPECT_FALSE(form->session.GloVar.ChartShown);
    // The reason is told once, naming the file.
    int told = 0;
    for (const QJsonObject& e : events)
        told += QJsonDocument(e).toJson().contains("missing.txt");
    EXPECT_EQ(told, 1);
}
