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
    l.separator = g.FieldSeparator;
    return l;
}

void FileLayout::apply() const
{
    auto& g = GloVar;
    g.HasHeaderLine = header;
    g.DateColumn = Sat16(dateColumn);
    g.OpenColumn = Sat16(openColumn);
    g.HighColumn = Sat16(highColumn);
    g.LowColumn = Sat16(lowColumn);
    g.CloseColumn = Sat16(closeColumn);
    g.DateFormat = Sat16(dateFormat);
    g.FieldSeparator = separator;
}
