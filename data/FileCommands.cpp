#include <QFileInfo>
#include <tuple>

#include "app/ChartSession.h"
#include "app/GloVar.h"
#include "app/Prompts.h"
#include "data/Dates.h"
#include "data/PriceReader.h"
#include "data/Settings.h"

void ChartSession::ScanPriceFile()
{
    ::ScanPriceFile(ui, prompts_);
}

void ChartSession::FileBtnClick()
{
    auto& g = GloVar;
    if (auto path = prompts_.openFileName(QStringLiteral("*.Txt|*.txt|*.*|*.*"), g.StartDir)) {
        g.DataFileName = QFileInfo(*path).absoluteFilePath();
        ui.panels[0] = g.DataFileName;
    }
    ScanPriceFile();
}

bool ChartSession::FileSetupAccept(bool headline, const std::array<QString, 5>& fields,
                                   int dateFormat)
{
    // Every field is checked before anything is taken over.
    std::array<int16_t, 5> cols{};
    for (size_t i = 0; i < fields.size(); ++i) {
        long long v = 0;
        const QByteArray b = fields[i].toUtf8();
        if (!ParseInt(std::string_view(b.constData(), size_t(b.size())), v) || v < INT16_MIN ||
            v > INT16_MAX) {
            prompts_.beep();
            prompts_.message(QString::fromLatin1(ProgramName),
                             QStringLiteral("Wrong field number!   Enter again."));
            return false;
        }
        cols[i] = static_cast<int16_t>(v);
    }
    auto& g = GloVar;
    const auto before = std::make_tuple(g.HasHeaderLine, g.DateColumn, g.OpenColumn, g.HighColumn,
                                        g.LowColumn, g.CloseColumn, g.DateFormat);
    g.HasHeaderLine = headline;
    g.DateColumn = cols[0];
    g.OpenColumn = cols[1];
    g.HighColumn = cols[2];
    g.LowColumn = cols[3];
    g.CloseColumn = cols[4];
    g.DateFormat = static_cast<int16_t>(dateFormat);
    if (QString err = WriteSettingsFile(SettingsPath(), fields); !err.isEmpty()) {
        std::tie(g.HasHeaderLine, g.DateColumn, g.OpenColumn, g.HighColumn, g.LowColumn,
                 g.CloseColumn, g.DateFormat) = before;
        prompts_.error(err);
        return false;
    }
    return true;
}
