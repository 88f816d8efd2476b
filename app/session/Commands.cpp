#include "app/session/Commands.h"

#include "app/session/ChartSession.h"
#include "app/session/KeptSettings.h"
#include "tools/FigureTable.h"

namespace {
using Rule = std::function<bool(const ChartSession&)>;

bool Free(const ChartSession& s)
{
    return s.ui.toolBar1Enabled;
}

bool Shown(const ChartSession& s)
{
    return s.ui.imageVisible;
}

MenuCommand Item(const char* id, const char* menu, const char* caption, const char* keys,
                 Rule enabled, void (ChartSession::*handler)())
{
    MenuCommand c;
    c.id = QLatin1String(id);
    c.menu = QLatin1String(menu);
    c.caption = QLatin1String(caption);
    c.keys = QLatin1String(keys);
    c.enabled = std::move(enabled);
    if (handler)
        c.run = [handler](ChartSession& s, bool) { (s.*handler)(); };
    return c;
}

// A ticked switch of the view.
MenuCommand Switch(const char* id, const char* menu, const char* caption, Rule enabled,
                   Rule checked, std::function<void(ChartSession&, bool)> run)
{
    MenuCommand c = Item(id, menu, caption, "", std::move(enabled), nullptr);
    c.checkable = true;
    c.checked = std::move(checked);
    c.run = std::move(run);
    return c;
}

// An item that stands for a toolbar control: it reacts when the control would.
MenuCommand Stands(const char* id, const char* caption, const char* keys, Ctl control,
                   std::function<void(ChartSession&)> run = nullptr)
{
    MenuCommand c = Item(
        id, "&View", caption, keys,
        [control](const ChartSession& s) { return s.ui.reacts(control); }, nullptr);
    if (!run)
        run = [control](ChartSession& s) { (s.*CommandOf(control).place->click)(); };
    c.run = [control, run](ChartSession& s, bool) {
        if (s.ui.reacts(control))
            run(s);
    };
    return c;
}

MenuCommand Line(const char* menu)
{
    MenuCommand c;
    c.kind = MenuCommand::Separator;
    c.menu = QLatin1String(menu);
    return c;
}

// A control of the toolbars: caption, tip, picture, state at start, place, handler.
MenuCommand Control(Ctl ctl, const char* id, const char* caption, const char* tip, int image,
                    bool enabled, bool visible, ToolPlace::Bar bar, ToolPlace::After after,
                    void (ChartSession::*click)())
{
    MenuCommand c;
    c.kind = MenuCommand::Control;
    c.id = QLatin1String(id);
    c.caption = QLatin1String(caption);
    c.tip = QLatin1String(tip);
    ToolPlace p;
    p.ctl = ctl;
    p.image = image;
    p.enabled = enabled;
    p.visible = visible;
    p.bar = bar;
    p.after = after;
    p.click = click;
    c.place = p;
    if (click)
        c.run = [click](ChartSession& s, bool) { (s.*click)(); };
    return c;
}

void AddControls(std::vector<MenuCommand>& t)
{
    using S = ChartSession;
    constexpr auto Main = ToolPlace::Main, Nav = ToolPlace::Nav;
    constexpr auto Nothing = ToolPlace::Nothing, Sep = ToolPlace::Separator;
    t.push_back(Control(Ctl::FileBtn, "FileBtn", "File",
                        "Select data file - Click right mouse to setup  file spec", 0, true, true,
                        Main, Nothing, &S::FileBtnClick));
    t.back().place->answer = "open";
    t.push_back(Control(Ctl::DateBtn, "DateBtn", "Dates", "Selet Date Range", 1, false, true, Main,
                        Nothing, &S::DateBtnClick));
    t.push_back(Control(Ctl::PlotBtn, "PlotBtn", "Plot",
                        "Plot Price Chart or Back to setup new chart", 2, false, true, Main, Sep,
                        &S::PlotBtnClick));
    t.push_back(Control(Ctl::P1Btn, "P1Btn", "P1", "To set P1 point", 6, false, true, Main, Nothing,
                        &S::P1BtnClick));
    t.push_back(Control(Ctl::P2Btn, "P2Btn", "P2", "To set P2 point", 6, false, true, Main, Sep,
                        &S::P2BtnClick));
    t.push_back(Control(Ctl::DrawBtn, "DrawBtn", "Draw",
                        "Draw tool charts  -  Right click to chose a Chart type", 7, false, true,
                        Main, Nothing, &S::DrawBtnClick));
    t.push_back(Control(
        Ctl::DirBtn, "DirBtn", "DIR",
        "Toggle between + and - of DIR value - Click Right mouse to setup angles for Fan-Lines", 14,
        true, true, Main, Nothing, &S::DirBtnClick));
    t.push_back(Control(Ctl::RatioBtn, "RatioBtn", "RATIO", "Increase or Decrease Ratio value", 17,
                        true, true, Main, ToolPlace::RatioLabel, &S::RatioBtnClick));
    t.push_back(Control(Ctl::ClipButton, "ClipButton", "Clip", "", 15, false, true, Main, Nothing,
                        &S::ClipButtonClick));
    t.push_back(Control(Ctl::EraseBtn, "EraseBtn", "Clear", "Erase all the tool charts drawn", 4,
                        false, true, Main, Nothing, &S::EraseBtnClick));
    t.push_back(Control(Ctl::SaveBtn, "SaveBtn", "Save", "Save the snap shot of current chart", 8,
                        false, false, Main, Nothing, &S::SaveBtnClick));
    t.back().place->answer = "saveas";
    t.push_back(Control(Ctl::PrintBtn, "PrintBtn", "Print", "Print current chart", 10, false, true,
                        Main, Sep, &S::PrintBtnClick));
    t.back().place->answer = "printto";
    t.push_back(Control(Ctl::UpBtn, "UpBtn", "", "Draw begining period", 18, true, true, Nav,
                        Nothing, &S::UpBtnClick));
    t.push_back(Control(Ctl::DownBtn, "DownBtn", "", "Lengthen drawing period", 19, true, true, Nav,
                        Sep, &S::DownBtnClick));
    t.push_back(Control(Ctl::ToolButton1, "ToolButton1", "", "Shift to previous period", 20, true,
                        true, Nav, Nothing, &S::ToolButton1Click));
    t.push_back(Control(Ctl::ToolButton2, "ToolButton2", "", "Shift to next period", 21, true, true,
                        Nav, Sep, &S::ToolButton2Click));
    t.push_back(Control(Ctl::LeftBtn, "LeftBtn", "", "Shorten drawing period", 22, true, true, Nav,
                        Nothing, &S::LeftBtnClick));
    t.push_back(Control(Ctl::RightBtn, "RightBtn", "", "Draw whole period", 23, true, true, Nav,
                        Sep, &S::RightBtnClick));
    t.push_back(Control(Ctl::PeriodCB, "PeriodCB", "260",
                        "# of Days per chart when shift buttons are used", -1, false, true, Nav,
                        Nothing, nullptr));
    t.back().place->pressable = false;
    t.push_back(
        Control(Ctl::ToolBar2, "ToolBar2", "", "", -1, false, true, Main, Sep, &S::ToolBar2Click));
    t.push_back(Control(Ctl::ExitBtn, "ExitBtn", "Exit", "", 3, true, true, Main, Nothing,
                        &S::ExitBtnClick));
}

std::vector<MenuCommand> MakeMenuCommands()
{
    std::vector<MenuCommand> t;
    AddControls(t);
    const char* file = "&File";
    t.push_back(Item("OpenPriceItem", file, "&Open price file...", "Ctrl+O", Free,
                     &ChartSession::OpenPriceFileClick));
    t.push_back(Item("OpenStudyItem", file, "Open &study...", "Ctrl+Shift+O", Free,
                     &ChartSession::StudyOpenClick));
    MenuCommand recent = Item("RecentMenu", file, "&Recent files", "", Free, nullptr);
    recent.kind = MenuCommand::Submenu;
    t.push_back(recent);
    t.push_back(Line(file));
    t.push_back(
        Item("SaveStudyItem", file, "&Save study", "Ctrl+S", Shown, &ChartSession::StudySaveClick));
    t.push_back(Item("SaveStudyAsItem", file, "Save study &as...", "Ctrl+Shift+S", Shown,
                     &ChartSession::StudySaveAsClick));
    t.push_back(Line(file));
    t.push_back(Item("ExportImageItem", file, "&Export image...", "Ctrl+E", Shown,
                     &ChartSession::ExportImageClick));
    t.push_back(Item("ExportValuesItem", file, "Export figure &values...", "", Shown,
                     &ChartSession::ExportFigureValuesClick));
    MenuCommand print = Stands("PrintItem", "&Print...", "Ctrl+P", Ctl::PrintBtn);
    print.menu = QLatin1String(file);
    t.push_back(print);
    t.push_back(Line(file));
    t.push_back(Item("ExitItem", file, "E&xit", "Ctrl+Q", nullptr, nullptr));

    const char* edit = "&Edit";
    MenuCommand undo = Item(
        "UndoItem", edit, "&Undo", "Ctrl+Z",
        [](const ChartSession& s) { return s.CanUndo() && s.ui.toolBar1Enabled; },
        &ChartSession::UndoClick);
    undo.captionNow = [](const ChartSession& s) { return QLatin1Char('&') + s.UndoCaption(); };
    t.push_back(undo);
    MenuCommand redo = Item(
        "RedoItem", edit, "&Redo", "Ctrl+Shift+Z; Ctrl+Y",
        [](const ChartSession& s) { return s.CanRedo() && s.ui.toolBar1Enabled; },
        &ChartSession::RedoClick);
    redo.captionNow = [](const ChartSession& s) { return QLatin1Char('&') + s.RedoCaption(); };
    t.push_back(redo);
    t.push_back(Line(edit));
    MenuCommand select = Item("SelectFiguresItem", edit, "&Select figures", "V", Free, nullptr);
    select.checkable = true;
    select.icon = QStringLiteral("select");
    select.tip = QStringLiteral("Select figures: click one to pick it, drag its handles");
    select.toolButton = QStringLiteral("SelectTool");
    t.push_back(select);
    t.push_back(Item("DeleteFigureItem", edit, "&Delete figure", "Del; Backspace", Free,
                     &ChartSession::DeleteFigureClick));
    // Esc leaves the Select tool; it is a key of the window, not of a menu.
    t.push_back(Item("LeaveSelectKey", "", "", "Esc", nullptr, nullptr));

    for (const FigureKind& kind : FigureKinds()) {
        const int type = kind.number;
        MenuCommand f = Switch(
            "", "F&igure", kind.caption, Free,
            [type](const ChartSession& s) { return s.ChartType() == type; },
            [type](ChartSession& s, bool) { s.ChooseChartType(type); });
        f.id = QStringLiteral("Figure%1").arg(type);
        f.group = QStringLiteral("figure");
        f.groupOptional = true;
        t.push_back(f);
    }

    const char* view = "&View";
    MenuCommand color = Switch(
        "ColorItem", view, "&Color", Free, [](const ChartSession& s) { return !s.Monochrome(); },
        [](ChartSession& s, bool on) { s.ColorClick(on); });
    color.kept = QStringLiteral("view/color");
    t.push_back(color);
    t.push_back(Switch(
        "LevelValuesItem", view, "&Level values", nullptr,
        [](const ChartSession& s) { return s.LevelValues(); },
        [](ChartSession& s, bool) { s.LevelValuesClick(); }));
    t.push_back(Switch(
        "ScaleToFiguresItem", view, "Scale to &figures", nullptr,
        [](const ChartSession& s) { return s.ScaleToFigures(); },
        [](ChartSession& s, bool) { s.ScaleToFiguresClick(); }));
    t.push_back(Switch(
        "TimeGoalRoomItem", view, "Room for &time goals", nullptr,
        [](const ChartSession& s) { return s.TimeGoalRoom(); },
        [](ChartSession& s, bool) { s.TimeGoalRoomClick(); }));
    // The Figures dock's own switch.
    MenuCommand figures = Switch("FiguresItem", view, "F&igures", nullptr, nullptr, nullptr);
    t.push_back(figures);
    MenuCommand styles = Item("BarStyleMenu", view, "&Bar style", "", nullptr, nullptr);
    styles.kind = MenuCommand::Submenu;
    t.push_back(styles);
    const std::pair<const char*, BarStyle> styleItems[] = {{"OHLC bars", BarStyle::Bars},
                                                           {"Candlesticks", BarStyle::Candles},
                                                           {"Hollow candles", BarStyle::Hollow},
                                                           {"Line on close", BarStyle::Line}};
    for (const auto& [text, item] : styleItems) {
        // Copied to be captured: clang 14 cannot capture a structured binding.
        const BarStyle style = item;
        MenuCommand b = Switch(
            "", "&View/&Bar style", text, nullptr,
            [style](const ChartSession& s) { return s.ChartStyle() == style; },
            [style](ChartSession& s, bool) { s.BarStyleClick(style); });
        b.id = QStringLiteral("BarStyle%1").arg(QLatin1String(BarStyleName(style)));
        b.group = QStringLiteral("style");
        b.kept = QLatin1String(Kept::BarStyleKey);
        b.keptValue = [style](bool) { return QVariant(QLatin1String(BarStyleName(style))); };
        t.push_back(b);
    }
    t.push_back(Line(view));
    const std::pair<const char*, Timeframe> timeframeItems[] = {{"&Daily", Timeframe::Daily},
                                                                {"&Weekly", Timeframe::Weekly},
                                                                {"&Monthly", Timeframe::Monthly}};
    for (const auto& [text, item] : timeframeItems) {
        const Timeframe tf = item;
        MenuCommand m = Switch(
            "", view, text, nullptr,
            [tf](const ChartSession& s) { return s.ChartTimeframe() == tf; },
            [tf](ChartSession& s, bool) { s.TimeframeClick(tf); });
        m.id = QStringLiteral("Timeframe%1").arg(QLatin1String(TimeframeName(tf)));
        m.group = QStringLiteral("timeframe");
        t.push_back(m);
    }
    t.push_back(Line(view));
    MenuCommand crosshair = Switch("CrosshairItem", view, "C&rosshair", nullptr, nullptr, nullptr);
    t.push_back(crosshair);
    t.push_back(Switch(
        "LogScaleItem", view, "Lo&g scale", Free,
        [](const ChartSession& s) { return s.LogScale(); },
        [](ChartSession& s, bool on) { s.LogScaleClick(on); }));
    // Offered only for a file that has volumes to show.
    MenuCommand volume = Switch(
        "VolumeItem", view, "&Volume",
        [](const ChartSession& s) { return s.ui.toolBar1Enabled && s.HasVolume(); },
        [](const ChartSession& s) { return s.VolumePane(); },
        [](ChartSession& s, bool on) { s.VolumePaneClick(on); });
    volume.kept = QStringLiteral("view/volume");
    t.push_back(volume);
    t.push_back(Line(view));
    // Up/+ and Down/- step through the period list as the wheel does; the
    // toolbar's own buttons keep their meaning.
    t.push_back(Stands("PreviousPeriodItem", "&Previous period", "Left", Ctl::ToolButton1));
    t.push_back(Stands("NextPeriodItem", "&Next period", "Right", Ctl::ToolButton2));
    t.push_back(Stands("BeginningPeriodItem", "&Beginning period", "Home", Ctl::UpBtn));
    // The Dates dialog on a shown chart: the figures stay and are drawn on the new range.
    t.push_back(Stands("RangeItem", "&Range...", "", Ctl::ToolButton2,
                       [](ChartSession& s) { s.ChartDatesClick(); }));
    t.push_back(Stands("LastPeriodItem", "&Last period", "End", Ctl::ToolButton2,
                       [](ChartSession& s) { s.LastPeriodClick(); }));
    t.push_back(Stands("ShortenPeriodItem", "&Shorten period", "Up; +", Ctl::LeftBtn,
                       [](ChartSession& s) { s.ZoomPeriod(1); }));
    t.push_back(Stands("LengthenPeriodItem", "&Lengthen period", "Down; -", Ctl::DownBtn,
                       [](ChartSession& s) { s.ZoomPeriod(-1); }));
    t.push_back(Stands("WholePeriodItem", "&Whole period", "", Ctl::RightBtn));
    t.push_back(Stands("OneScaleItem", "One &scale throughout", "", Ctl::ToolBar2));

    t.push_back(Item("AboutItem", "&Help", "&About", "", nullptr, nullptr));
    return t;
}
} // namespace

const std::vector<MenuCommand>& MenuCommands()
{
    static const std::vector<MenuCommand> rows = MakeMenuCommands();
    return rows;
}

const MenuCommand* MenuCommandOf(const QString& id)
{
    for (const MenuCommand& c : MenuCommands())
        if (c.kind != MenuCommand::Separator && c.id == id)
            return &c;
    return nullptr;
}

QList<QKeySequence> MenuCommand::shortcuts() const
{
    if (keys.isEmpty())
        return {};
    return QKeySequence::listFromString(keys, QKeySequence::PortableText);
}

const MenuCommand& CommandOf(Ctl c)
{
    // The controls open the table, in their order.
    return MenuCommands()[static_cast<size_t>(c)];
}

const char* CtlName(Ctl c)
{
    static const std::vector<QByteArray> names = [] {
        std::vector<QByteArray> n;
        for (int i = 0; i < CtlCount; ++i)
            n.push_back(CommandOf(static_cast<Ctl>(i)).id.toLatin1());
        return n;
    }();
    return names[static_cast<size_t>(c)].constData();
}

std::optional<Ctl> CtlFromName(const QString& name)
{
    const MenuCommand* row = MenuCommandOf(name);
    if (!row || !row->place)
        return std::nullopt;
    return row->place->ctl;
}

bool IsInToolBar2(Ctl c)
{
    return CommandOf(c).place->bar == ToolPlace::Nav;
}

MenuRules ReadMenuRules(const ChartSession& s)
{
    MenuRules r;
    const std::vector<MenuCommand>& rows = MenuCommands();
    r.enabled.reserve(rows.size());
    r.checked.reserve(rows.size());
    for (const MenuCommand& row : rows) {
        r.enabled.push_back(row.enabled ? row.enabled(s) : -1);
        r.checked.push_back(row.checked ? row.checked(s) : -1);
        if (row.captionNow)
            r.captions << row.captionNow(s);
    }
    return r;
}
