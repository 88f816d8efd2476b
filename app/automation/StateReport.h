#pragma once
#include <QJsonObject>

class ChartSession;

// The automation state report: controls, panels and the shared values.
[[nodiscard]] QJsonObject StateReport(const ChartSession& s);
