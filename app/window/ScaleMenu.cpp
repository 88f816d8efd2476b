// The window's part in the scale and the chart's moves: View > Log scale,
// View > Volume, and the presses that pan the chart or stretch its price
// axis rather than set an anchor.
#include <QMenu>

#include "app/window/ChartView.h"
#include "app/window/MainForm.h"

void TMainForm::AddScaleItems(QMenu* view)
{
    LogScaleItem = view->addAction(QStringLiteral("Lo&g scale"));
    LogScaleItem->setObjectName(QStringLiteral("LogScaleItem"));
    LogScaleItem->setCheckable(true);
    connect(LogScaleItem, &QAction::triggered, this,
            [this](bool on) { Act([this, on] { session.LogScaleClick(on); }); });
    VolumeItem = view->addAction(QStringLiteral("&Volume"));
    VolumeItem->setObjectName(QStringLiteral("VolumeItem"));
    VolumeItem->setCheckable(true);
    connect(VolumeItem, &QAction::triggered, this, [this](bool on) {
        Act([this, on] { session.VolumePaneClick(on); });
        Remember(QStringLiteral("view/volume"), on);
    });
    SyncScaleItems();
}

void TMainForm::SyncScaleItems()
{
    if (!LogScaleItem)
        return;
    // A refused log scale unticks the item the person just ticked.
    LogScaleItem->setChecked(session.LogScale());
    LogScaleItem->setEnabled(session.ui.toolBar1Enabled);
    VolumeItem->setChecked(session.VolumePane());
    // Offered only for a file that has volumes to show.
    VolumeItem->setEnabled(session.ui.toolBar1Enabled && session.HasVolume());
}

bool TMainForm::NavigationPress(int x, int y)
{
    if (!session.ui.imageVisible || !session.ui.toolBar1Enabled)
        return false;
    if (session.OnPriceAxis(x, y)) {
        Act([=, this] { session.StretchPress(x, y); });
        return true;
    }
    if (!session.PlotArea().contains(x, y) || !session.ui.reacts(Ctl::PeriodCB))
        return false;
    Act([=, this] { session.PanPress(x, y); });
    return true;
}

void TMainForm::ChartDoubleClick(int x, int y)
{
    if (session.ui.imageVisible && session.ui.toolBar1Enabled && session.OnPriceAxis(x, y))
        Act([this] { session.AutoScaleClick(); });
}
