#include "app/session/Commands.h"

#include "app/session/ChartSession.h"

namespace {
#define AURIGON_ROW(name, caption, hint, icon, enabled, visible, bar, after, handler)              \
    Command{Ctl::name, #name,   caption,      hint,           icon,                                \
            enabled,   visible, Command::bar, Command::after, &ChartSession::handler},
const Command Rows[] = {AURIGON_COMMANDS(AURIGON_ROW)};
#undef AURIGON_ROW
} // namespace

const Command& CommandOf(Ctl c)
{
    return Rows[static_cast<int>(c)];
}

const char* CtlName(Ctl c)
{
    return CommandOf(c).name;
}

bool CtlFromName(const QString& name, Ctl& out)
{
    for (const Command& r : Rows) {
        if (name == QLatin1String(r.name)) {
            out = r.id;
            return true;
        }
    }
    return false;
}

bool IsInToolBar2(Ctl c)
{
    return CommandOf(c).bar == Command::Nav;
}
