#include "app/session/ChartSession.h"

#include <QClipboard>
#include <QGuiApplication>

#include "app/session/GloVar.h"
#include "app/session/Prompts.h"
#include "data/Settings.h"

const QStringList ChartSession::PeriodItems = {
    QStringLiteral("1300"), QStringLiteral("1040"), QStringLiteral("780"), QStringLiteral("520"),
    QStringLiteral("260"),  QStringLiteral("130"),  QStringLiteral("65"),  QStringLiteral("22"),
    QStringLiteral("10"),   QStringLiteral("5"),    QStringLiteral("1")};

ChartSession::ChartSession(Prompts& prompts)
    : state_(std::make_unique<SharedState>()), GloVar(*state_), prompts_(prompts)
{
    toClipboard = [](const QImage& img) {
        if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
            QGuiApplication::clipboard()->setImage(img);
    };
}

ChartSession::~ChartSession() = default;

QString ChartSession::SettingsPath() const
{
    return GloVar.WorkDir + QStringLiteral("fsetup.dat");
}

void ChartSession::FormCreate(const QString& currentDir)
{
    const Publishing publishing(*this);
    SetCreationDefaults(GloVar, currentDir);
    GloVar.settings = ReadSettingsFile(SettingsPath(), GloVar.settings);
    periodIndex = 4;
    ui = UiModel();
    ui.caption =
        QStringLiteral("%1   Version %2   %3").arg(ProgramName, AURIGON_VERSION, MakerNotice);
    ui[Ctl::PeriodCB].caption = PeriodItems[periodIndex];
}

void ChartSession::SplashAcknowledged(bool colorTicked)
{
    const Publishing publishing(*this);
    GloVar.Monochrome = !colorTicked;
    ui.toolBar1Enabled = true;
}

void ChartSession::FinishFirstActivation(int chartWidth, int chartHeight)
{
    const Publishing publishing(*this);
    auto& g = GloVar;
    SetFirstActivationDefaults(GloVar, PeriodItems[periodIndex].toInt(), chartWidth, chartHeight);
    tool.release();
    tool.forgetMarkers();
    KeepToolState();
    ui[Ctl::DirBtn].image = 12;
    ui.panels[PanelFile] = QStringLiteral("File not selected");
    ui.panels[PanelRange] = QStringLiteral("%1 - %2").arg(g.FirstRecord).arg(g.LastRecord);
    ui.panels[PanelHoliday].clear();
    ShowRatio();
    ShowDir();
    ui.panels[PanelDate].clear();
    ui.panels[PanelPrice].clear();
    chart.create(g.ChartWidth, g.ChartHeight, g.Monochrome);
    tool.resetStore();
    g.FirstActivate = false;
}

QString ChartSession::RatioText(double ratio)
{
    const QString fixed = QString::asprintf("%12.4f", ratio).trimmed();
    // The highest powers would overflow the field: shown with an exponent.
    return fixed.size() <= 12 ? fixed : QString::asprintf("%.4e", ratio);
}

void ChartSession::ShowRatio()
{
    const QString t = RatioText(GloVar.Ratio);
    ui.panels[PanelRatio] = QStringLiteral("Ratio = ") + t;
    ui.label1 = t.left(7);
}

void ChartSession::ShowDir()
{
    ui.panels[PanelDir] = GloVar.Dir > 0 ? QStringLiteral("DIR = +1") : QStringLiteral("DIR = -1");
}

void ChartSession::PutBase(const QImage& img)
{
    baseImage = img;
    residue_.Forget();
    GloVar.ChartDrawn = true;
    if (toClipboard)
        toClipboard(img);
}
