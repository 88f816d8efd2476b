#include "data/FileLayout.h"

#include "app/GloVar.h"

FileLayout FileLayout::Current()
{
    const auto& g = GloVar;
    FileLayout l;
    l.header = g.HasHeaderLine;
    l.dateColumn = g.DateColumn;
    l.openColumn = g.OpenColumn;
    l.highColumn = g.HighColumn;
    l.lowColumn = g.LowColumn;
    l.closeColumn = g.CloseColumn;
    l.dateFormat = g.DateFormat;
    return l;
}
