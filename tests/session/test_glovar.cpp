
#include "app/CommandLine.h"
#include "app/session/UiModel.h"
#include "tests/Support.h"

TEST(Shell, CreationAndFirstActivationValues)
{
    RecordingPrompts prompts;
    ChartSession s(prompts);
    s.FormCreate(QStringLiteral("/nowhere"));
    const UiModel& ui = s.ui;
    // Before "Acknowledged" nothing reacts, whatever its own state.
    for (int i = 0; i < CtlCount; ++i)
        EXPECT_FALSE(ui.reacts(static_cast<Ctl>(i))) << CtlName(static_cast<Ctl>(i));
    const std::pair<Ctl, bool> creation[] = {
        {Ctl::FileBtn, true},   {Ctl::DateBtn, false},  {Ctl::PlotBtn, false},
        {Ctl::P1Btn, false},    {Ctl::P2Btn, false},    {Ctl::DrawBtn, false},
        {Ctl::DirBtn, true},    {Ctl::RatioBtn, true},  {Ctl::ClipButton, false},
        {Ctl::EraseBtn, false}, {Ctl::SaveBtn, false},  {Ctl::PrintBtn, false},
        {Ctl::ToolBar2, false}, {Ctl::PeriodCB, false}, {Ctl::ExitBtn, true},
    };
    s.SplashAcknowledged(false);
    for (const auto& [c, on] : creation)
        EXPECT_EQ(ui.enabledInPlace(c), on) << CtlName(c);
    EXPECT_FALSE(ui[Ctl::SaveBtn].visible);
    EXPECT_FALSE(ui.reacts(Ctl::UpBtn)); // inside the disabled ToolBar2
    EXPECT_EQ(ui[Ctl::DateBtn].hint, QStringLiteral("Selet Date Range"));
    EXPECT_EQ(ui[Ctl::DirBtn].image, 14);
    EXPECT_TRUE(ui.caption.startsWith(QStringLiteral("Aurigon")));
    EXPECT_TRUE(ui.caption.contains(QStringLiteral("Version 2.6")));

    s.FinishFirstActivation(800, 500);
    EXPECT_EQ(ui[Ctl::DirBtn].image, 12);
    EXPECT_EQ(s.chart.image().size(), QSize(800, 500));
    EXPECT_EQ(s.chart.image().format(), QImage::Format_Mono);
    EXPECT_TRUE(s.GloVar.TitleText.contains(QStringLiteral("Version 2.3")));
    const std::pair<int, const char*> panels[] = {
        {PanelFile, "File not selected"},
        {PanelRange, "0 - 0"},
        {PanelRatio, "Ratio = 0.6180"},
        {PanelDir, "DIR = +1"},
    };
    for (const auto& [i, text] : panels)
        EXPECT_EQ(ui.panels[i], QLatin1String(text)) << i;
    EXPECT_EQ(ui.label1, QStringLiteral("0.6180"));
}

TEST(CommandLine, OptionsPathsWithBlanksAndMistakes)
{
    const QString prog = QStringLiteral("aurigon");
    CommandLine cl = ParseCommandLine({prog, QStringLiteral("/tmp/my prices/ES 2024.csv")});
    EXPECT_EQ(cl.action, CommandLine::Action::Run);
    EXPECT_EQ(cl.priceFile, QStringLiteral("/tmp/my prices/ES 2024.csv"));
    cl = ParseCommandLine(
        {prog, QStringLiteral("--script"), QStringLiteral("-"), QStringLiteral("--color")});
    EXPECT_EQ(cl.script, QStringLiteral("-"));
    EXPECT_TRUE(cl.color);
    cl = ParseCommandLine({prog, QStringLiteral("--help")});
    EXPECT_EQ(cl.action, CommandLine::Action::Help);
    EXPECT_EQ(cl.exitStatus(), 0);
    EXPECT_TRUE(cl.helpText.startsWith(QStringLiteral("Usage: aurigon [options] [PRICEFILE]")));
    EXPECT_EQ(ParseCommandLine({prog, QStringLiteral("--version")}).action,
              CommandLine::Action::Version);
    for (const QStringList& bad :
         {QStringList{prog, QStringLiteral("--frobnicate")},
          QStringList{prog, QStringLiteral("a.csv"), QStringLiteral("b.csv")},
          QStringList{prog, QStringLiteral("--script")},
          QStringList{prog, QStringLiteral("--script"), QStringLiteral("s"),
                      QStringLiteral("a.csv")}}) {
        cl = ParseCommandLine(bad);
        EXPECT_EQ(cl.action, CommandLine::Action::Error) << bad.join(' ').toStdString();
        EXPECT_EQ(cl.exitStatus(), 2);
        EXPECT_FALSE(cl.error.isEmpty());
    }
}
