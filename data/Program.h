#pragma once
// The program's and its maker's names, as the title, the chart's header and
// footer and the start notice show them.

inline constexpr const char* ProgramName = "Aurigon";
inline constexpr const char* MakerNotice = "(c) Aurigon Charting";
inline constexpr const char* MakerWebAddress = "www.aurigon-charts.example";
