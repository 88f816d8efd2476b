// The window's part in the chart's moves: the presses that pan the chart
// or stretch its price axis rather than set an anchor.
#include "app/window/ChartView.h"
#include "app/window/MainForm.h"

bool TMainForm::NavigationPress(int x, int y)
{
    if (!session.ui.imageVisible || !session.ui.toolBar1Enabled)
        return false;
    if (session.OnPriceAxis(x, y)) {
        session.StretchPress(x, y);
        return true;
    }
    if (!session.PlotArea().contains(x, y) || !session.ui.reacts(Ctl::PeriodCB))
        return false;
    session.PanPress(x, y);
    return true;
}

void TMainForm::ChartDoubleClick(int x, int y)
{
    if (session.ui.imageVisible && session.ui.toolBar1Enabled && session.OnPriceAxis(x, y))
        session.AutoScaleClick();
}
