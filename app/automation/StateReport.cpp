#include "app/automation/StateReport.h"

#include <QJsonArray>

#include "app/session/ChartSession.h"
#include "app/session/ValuesReport.h"

namespace {
const char* CursorName(ChartCursor c)
{
    switch (c) {
    case ChartCursor::Drag: return "drag";
    case ChartCursor::MultiDrag: return "multidrag";
    case ChartCursor::SizeAll: return "sizeall";
    case ChartCursor::Arrow: break;
    }
    return "arrow";
}
} // namespace

QJsonObject StateReport(const ChartSession& s)
{
    const UiModel& ui = s.ui;
    QJsonObject o;
    o[QStringLiteral("event")] = QStringLiteral("state");
    o[QStringLiteral("caption")] = s.WindowTitle();
    QJsonArray panels;
    for (const QString& p : ui.panels)
        panels.append(p);
    o[QStringLiteral("panels")] = panels;
    o[QStringLiteral("label1")] = ui.label1;
    o[QStringLiteral("hint")] = ui.hint;
    o[QStringLiteral("cursor")] = QLatin1String(CursorName(ui.cursor));
    o[QStringLiteral("toolbar2Green")] = ui.toolbar2Green;
    QJsonObject buttons;
    for (int i = 0; i < CtlCount; ++i) {
        const Ctl c = static_cast<Ctl>(i);
        QJsonObject b;
        b[QStringLiteral("enabled")] = ui.enabledInPlace(c);
        b[QStringLiteral("visible")] = ui[c].visible;
        b[QStringLiteral("caption")] = ui[c].caption;
        buttons[QLatin1String(CtlName(c))] = b;
    }
    o[QStringLiteral("buttons")] = buttons;
    o[QStringLiteral("imageVisible")] = ui.imageVisible;

    o[QStringLiteral("vars")] = ValuesReport(s);
    return o;
}
