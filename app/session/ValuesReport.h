#pragma once
#include <QJsonObject>

class ChartSession;

// A session's values by their names, with the figures' count, pick and
// unsaved state: the "vars" of the automation state report.
[[nodiscard]] QJsonObject ValuesReport(const ChartSession& s);
