#include "app/window/MainForm.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QEvent>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QToolTip>
#include <QVBoxLayout>
#include <QWindow>
#include <cstdio>
#include <map>
#include <optional>
#include <utility>

#include "app/CommandLine.h"
#include "app/session/Host.h"
#include "app/session/KeptSettings.h"
#include "app/window/ChartView.h"
#include "app/window/FiguresDock.h"
#include "app/window/Icons.h"
#include "app/window/Splash.h"
#include "chart/ui/DateDlg.h"
#include "data/Dates.h"
#include "data/FileNames.h"
#include "data/ui/FileSetupDlg.h"
#include "tools/FigureTable.h"
#include "tools/ui/ChartSetupDlg.h"

namespace {
// The Select tool's arrow, drawn rather than read so that no icon file is needed.
QIcon SelectArrowIcon()
{
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF arrow[] = {{3, 1}, {3, 13}, {6, 10}, {9, 15}, {11, 14}, {8, 9}, {12, 9}};
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::white);
    p.drawPolygon(arrow, 7);
    return QIcon(pm);
}
Qt::CursorShape CursorShape(ChartCursor c)
{
    switch (c) {
    case ChartCursor::Drag: return Qt::DragMoveCursor;
    case ChartCursor::MultiDrag: return Qt::DragCopyCursor;
    case ChartCursor::SizeAll: return Qt::SizeAllCursor;
    case ChartCursor::Arrow: break;
    }
    return Qt::ArrowCursor;
}

bool Headless()
{
    const QString p = QGuiApplication::platformName();
    return p == QLatin1String("offscreen") || p == QLatin1String("minimal");
}

// The largest chart side: a window stretched past it shows the chart's
// corner rather than making a picture of gigabytes.
constexpr int MaxChartSide = 16384;

// A window size a person could have left: at least a toolbar's width, at
// most the chart's cap, and mostly on one of the available screens.
bool SaneGeometry(const QRect& r)
{
    if (r.width() < 100 || r.height() < 100 || r.width() > MaxChartSide ||
        r.height() > MaxChartSide)
        return false;
    const qint64 area = qint64(r.width()) * r.height();
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect on = r.intersected(screen->availableGeometry());
        if (!on.isEmpty() && qint64(on.width()) * on.height() * 2 >= area)
            return true;
    }
    return false;
}

QString Plain(QString text)
{
    return text.remove(QLatin1Char('&'));
}

// A status panel that elides its text when the bar is too narrow for it.
class PanelLabel : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent* e) override
    {
        QFrame::paintEvent(e);
        QPainter p(this);
        const QRect r = contentsRect().adjusted(2, 0, -2, 0);
        const QString shown = fontMetrics().elidedText(
            text(), objectName() == QLatin1String("Panel0") ? Qt::ElideMiddle : Qt::ElideRight,
            r.width());
        style()->drawItemText(&p, r, int(alignment()), palette(), isEnabled(), shown,
                              foregroundRole());
    }
};

// The status bar's panels side by side at their own widths while they fit;
// when the bar is narrower the file's path gives way first, then every panel
// in proportion, so that no panel is drawn over another.
class PanelRow : public QWidget {
public:
    explicit PanelRow(QWidget* parent) : QWidget(parent) {}
    void add(QLabel* l, int width, bool grows)
    {
        l->setParent(this);
        items_.push_back({l, width, grows});
    }
    QSize sizeHint() const override
    {
        int w = 0;
        for (const Item& i : items_)
            w += i.width;
        return {w, 17};
    }
    QSize minimumSizeHint() const override { return {0, 17}; }
    void relayout()
    {
        const int avail = width();
        std::vector<int> w;
        int total = 0;
        for (const Item& i : items_) {
            int want = i.width;
            if (i.grows)
                want =
                    std::max(want, i.label->fontMetrics().horizontalAdvance(i.label->text()) + 12);
            w.push_back(want);
            total += want;
        }
        for (size_t k = 0; k < items_.size() && total > avail; ++k) {
            if (!items_[k].grows)
                continue;
            const int give = std::min(total - avail, w[k] - std::min(w[k], 80));
            w[k] -= give;
            total -= give;
        }
        if (total > avail && total > 0) {
            const double f = double(std::max(avail, 0)) / total;
            for (int& v : w)
                v = int(v * f);
        }
        int x = 0;
        for (size_t k = 0; k < items_.size(); ++k) {
            items_[k].label->setGeometry(x, 0, w[k], height());
            x += w[k];
        }
    }

protected:
    void resizeEvent(QResizeEvent*) override { relayout(); }

private:
    struct Item {
        QLabel* label;
        int width;
        bool grows;
    };
    std::vector<Item> items_;
};
} // namespace

TMainForm::TMainForm(Host& host, const QString& currentDir)
    : session(host), host_(host), splash_(std::make_unique<SplashForm>())
{
    setObjectName(QStringLiteral("MainForm"));
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    resize(963, 480 + ReadingStripHeight);
    // File > Export image... writes SVG and PDF from the chart's drawing operations.
    session.chart.setRecording(true);
    session.FormCreate(currentDir);
    session.closeWindow = [this] { CloseAsking(); };
    connect(&session, &ChartSession::changed, this, &TMainForm::SessionChanged);
    setAcceptDrops(true);
    // The toolbar's overflow opens at once, not as an animation.
    setAnimated(false);
    resizePause_ = new QTimer(this);
    resizePause_->setSingleShot(true);
    resizePause_->setInterval(150);
    connect(resizePause_, &QTimer::timeout, this, [this] { FlushResize(); });
    fileWatch_ = new QFileSystemWatcher(this);
    connect(fileWatch_, &QFileSystemWatcher::fileChanged, this, [this] { PriceFileTouched(); });
    fileLook_ = new QTimer(this);
    fileLook_->setInterval(2000);
    connect(fileLook_, &QTimer::timeout, this, [this] { PriceFileTouched(); });

    BuildActions();
    // Hidden until asked for, so the window starts as it always has.
    figuresDock_ = new FiguresDock(session, this);
    addDockWidget(Qt::RightDockWidgetArea, figuresDock_);
    figuresDock_->hide();
    connect(figuresDock_, &QDockWidget::visibilityChanged, this, [this](bool on) {
        if (on)
            figuresDock_->refresh();
    });
    BuildMenus();
    BuildToolBar();
    BuildStatusBar();

    auto* central = new QWidget(this);
    auto* h = new QHBoxLayout(central);
    h->setContentsMargins(0, 0, 0, 0);
    h->setSpacing(0);
    auto* panel1 = new QWidget(central);
    panel1->setObjectName(QStringLiteral("Panel1"));
    panel1->setFixedWidth(10);
    auto* panel2 = new QWidget(central);
    panel2->setObjectName(QStringLiteral("Panel2"));
    panel2->setFixedWidth(10);
    chartArea_ = new QWidget(central);
    auto* areaLayout = new QHBoxLayout(chartArea_);
    areaLayout->setContentsMargins(0, 0, 0, 0);
    Image1 = new ChartView(session.chart, chartArea_);
    Image1->onPress = [this](MouseButton b, int x, int y) {
        const Qt::KeyboardModifiers mods = Image1->pressModifiers();
        ChartMouseDown(b, x, y, mods & Qt::ControlModifier, mods & Qt::ShiftModifier);
    };
    Image1->onDoubleClick = [this](int x, int y) { ChartDoubleClick(x, y); };
    Image1->onMove = [this](int x, int y) { ChartMouseMove(x, y); };
    Image1->onRelease = [this] { ChartMouseUp(); };
    Image1->onLeave = [this] { ChartMouseLeave(); };
    Image1->onWheel = [this](int notches, Qt::KeyboardModifiers mods, int x) {
        ChartWheel(notches, mods & Qt::ShiftModifier, mods & Qt::ControlModifier, x);
    };
    Image1->tagsAt = [this](int x, int y) { return session.TagsAt(x, y); };
    areaLayout->addWidget(Image1);
    chartArea_->installEventFilter(this);
    Image1->hide();
    h->addWidget(panel1);
    h->addWidget(chartArea_, 1);
    h->addWidget(panel2);
    auto* column = new QWidget(this);
    auto* v = new QVBoxLayout(column);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(0);
    v->addWidget(central, 1);
    v->addWidget(BuildReadingStrip(column));
    setCentralWidget(column);

    session.showDatesDialog = [this] { host_.runDialog(*DatesDlg()); };

    splash_->onAcknowledged = [this](bool colour) {
        session.SplashAcknowledged(colour || forceColor);
    };
    // From here on the session tells the window each change.
    SessionChanged(ChartSession::EverythingChanged, nullptr);
}

TMainForm::~TMainForm() = default;

ScriptableDialog* TMainForm::scriptableDialog(const QString& kind)
{
    if (kind == QLatin1String("layout"))
        return FileSetupDlg();
    if (kind == QLatin1String("dates"))
        return DatesDlg();
    if (kind == QLatin1String("angles"))
        return ChartSetupDlg();
    return nullptr;
}

TFileSetupDlg* TMainForm::FileSetupDlg()
{
    if (!fileSetupDlg_) {
        fileSetupDlg_ = new TFileSetupDlg(
            [this] { return session.Layout(); },
            [this](bool headline, const std::array<QString, 5>& fields, int format, char sep) {
                return session.FileSetupAccept(headline, fields, format, sep);
            },
            this);
        fileSetupDlg_->priceFile = [this] { return session.PriceFile(); };
    }
    return fileSetupDlg_;
}

TDatesDlg* TMainForm::DatesDlg()
{
    if (!datesDlg_) {
        TDatesDlg::Handlers dates;
        dates.accept = [this](const QString& f, const QString& l, const QString& n) {
            return session.DatesAccept(f, l, n);
        };
        dates.leaveSpace = [this](bool on) { session.LeaveSpaceClick(on); };
        dates.wholeScale = [this](bool on) { session.WholeScaleClick(on); };
        dates.recordDates = [this]() -> const RecordDates& { return session.RecordDatesOfFile(); };
        dates.shown = [this] { return session.DatesShownNow(); };
        dates.refuseDates = [this](const QString& why) { session.RefuseDates(why); };
        datesDlg_ = new TDatesDlg(std::move(dates), this);
    }
    return datesDlg_;
}

AboutBox1* TMainForm::AboutBox()
{
    if (!aboutBox_)
        aboutBox_ = new AboutBox1(this);
    return aboutBox_;
}

TChartSetupDlg* TMainForm::ChartSetupDlg()
{
    if (!chartSetupDlg_)
        chartSetupDlg_ = new TChartSetupDlg(
            [this](const std::array<QString, 3>& angles) {
                return session.ChartSetupAccept(angles);
            },
            session.FanAngles(), this);
    return chartSetupDlg_;
}

void TMainForm::BuildActions()
{
    for (int i = 0; i < CtlCount; ++i) {
        const Ctl c = static_cast<Ctl>(i);
        auto* a = new QAction(CommandOf(c).caption, this);
        a->setObjectName(QLatin1String(CtlName(c)) + QStringLiteral("Action"));
        // A trigger from a menu reaches a hidden control too, but never a disabled one.
        connect(a, &QAction::triggered, this, [this, c] {
            if (session.ui.enabledInPlace(c))
                Run(c);
        });
        actions_[static_cast<size_t>(i)] = a;
        commands_[CommandOf(c).id] = a;
    }
}

void TMainForm::BuildToolBar()
{
    ToolBar1 = new QToolBar(QStringLiteral("ToolBar1"), this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    // At least the toolbar's usual height; taller while its overflow is open, so
    // that the controls that do not fit show on further rows.
    ToolBar1->setMinimumHeight(40);
    // The margins keep the bar's height and the buttons' places as they were.
    ToolBar1->layout()->setContentsMargins(2, 5, 2, 3);
    ToolBar1->layout()->setSpacing(1);
    ToolBar1->setIconSize(QSize(16, 16));
    // Small captions under the icons. A palette and a font, not a style sheet:
    // a sheet restyles every widget under it and costs a good part of start-up.
    QFont small = font();
    small.setPixelSize(11);
    addToolBar(Qt::TopToolBarArea, ToolBar1);

    ToolBar2 = new QFrame(ToolBar1);
    ToolBar2->setObjectName(QStringLiteral("ToolBar2"));
    ToolBar2->setAutoFillBackground(true);
    ToolBar2->setFrameShape(QFrame::StyledPanel);
    ToolBar2->installEventFilter(this);
    auto* nav = new QHBoxLayout(ToolBar2);
    nav->setContentsMargins(3, 2, 3, 2);
    nav->setSpacing(1);

    // The main bar is filled first and the navigation frame after it is on
    // the bar: a widget added to a toolbar is taken off its parent and put
    // back, and each move resolves its fonts again, for all its children too.
    std::vector<const MenuCommand*> placed;
    for (bool navPass : {false, true})
        for (const MenuCommand& row : MenuCommands())
            if (row.place && (row.place->bar == ToolPlace::Nav) == navPass)
                placed.push_back(&row);
    for (const MenuCommand* rowAt : placed) {
        const MenuCommand& row = *rowAt;
        const ToolPlace& place = *row.place;
        const Ctl c = place.ctl;
        QWidget* w = nullptr;
        if (c == Ctl::ToolBar2) {
            w = ToolBar2;
        } else if (c == Ctl::PeriodCB) {
            PeriodCB = new QComboBox(ToolBar2);
            PeriodCB->setObjectName(QStringLiteral("PeriodCB"));
            PeriodCB->addItems(ChartSession::PeriodItems);
            PeriodCB->setFixedWidth(64);
            connect(PeriodCB, &QComboBox::activated, this, [this](int idx) { ChoosePeriod(idx); });
            w = PeriodCB;
        } else {
            const bool onNav = place.bar == ToolPlace::Nav;
            const QSize size = onNav ? QSize(26, 26) : QSize(40, 36);
            auto* b = new QToolButton(onNav ? ToolBar2 : nullptr);
            b->setObjectName(row.id);
            b->setFixedSize(size);
            b->setAutoRaise(true);
            b->setToolButtonStyle(row.caption.isEmpty() ? Qt::ToolButtonIconOnly
                                                        : Qt::ToolButtonTextUnderIcon);
            b->setIconSize(onNav ? QSize(18, 18) : QSize(14, 14));
            b->setFont(small);
            connect(b, &QToolButton::clicked, this, [this, c] { Press(c); });
            buttons_[static_cast<size_t>(c)] = b;
            w = b;
        }
        if (place.bar == ToolPlace::Nav) {
            nav->addWidget(w);
            if (place.after == ToolPlace::Separator) {
                auto* line = new QFrame(ToolBar2);
                line->setFrameShape(QFrame::VLine);
                line->setFrameShadow(QFrame::Sunken);
                nav->addWidget(line);
            }
            continue;
        }
        placeOnBar_[static_cast<size_t>(c)] = ToolBar1->addWidget(w);
        if (place.after == ToolPlace::RatioLabel) {
            auto* panel3 = new QFrame;
            panel3->setObjectName(QStringLiteral("Panel3"));
            panel3->setFrameShape(QFrame::StyledPanel);
            panel3->setFixedSize(56, 36);
            panel3->setToolTip(QStringLiteral("Ratio value"));
            auto* pl = new QHBoxLayout(panel3);
            pl->setContentsMargins(2, 2, 2, 2);
            Label1 = new QLabel(panel3);
            Label1->setObjectName(QStringLiteral("Label1"));
            Label1->setAlignment(Qt::AlignCenter);
            QPalette blue = Label1->palette();
            // Inside the bar a label's text takes the button text colour.
            blue.setColor(QPalette::WindowText, Qt::blue);
            blue.setColor(QPalette::ButtonText, Qt::blue);
            Label1->setPalette(blue);
            QFont bold = Label1->font();
            bold.setBold(true);
            Label1->setFont(bold);
            pl->addWidget(Label1);
            ToolBar1->addWidget(panel3);
        }
        if (place.after != ToolPlace::Nothing)
            ToolBar1->addSeparator();
    }
    ToolBar2Area = new QWidget(ToolBar2);
    ToolBar2Area->setObjectName(QStringLiteral("ToolBar2Area"));
    ToolBar2Area->setFixedWidth(28);
    ToolBar2Area->setToolTip(QStringLiteral("One scale throughout all periods"));
    ToolBar2Area->installEventFilter(this);
    nav->addWidget(ToolBar2Area);
    buttons_[size_t(Ctl::PlotBtn)]->installEventFilter(this);
    for (Ctl c : {Ctl::FileBtn, Ctl::DrawBtn, Ctl::DirBtn}) {
        QToolButton* b = buttons_[static_cast<size_t>(c)];
        // Every right press reaches the button itself, never a context menu.
        b->setContextMenuPolicy(Qt::PreventContextMenu);
        b->installEventFilter(this);
    }
    ToolBar1->setContextMenuPolicy(Qt::PreventContextMenu);
    for (const MenuCommand& row : MenuCommands()) {
        if (row.toolButton.isEmpty())
            continue;
        ToolBar1->addSeparator();
        ToolBar1->addAction(command(row.id));
        if (QWidget* button = ToolBar1->widgetForAction(command(row.id)))
            button->setObjectName(row.toolButton);
    }
}

void TMainForm::SetLeastSize()
{
    // As narrow as the navigation frame whole beside the toolbar's overflow
    // button, and as low as the opened overflow's rows need: every control
    // stays within reach, on the bar or behind its button.
    const int overflowButton = 24;
    const int width = ToolBar2->sizeHint().width() + overflowButton + 2 * 10;
    const int perRow = width - overflowButton;
    const int rows = (ToolBar1->sizeHint().width() + perRow - 1) / perRow + 1;
    const int row = 40; // a button of the bar and the space between rows
    const int height = menuBar()->sizeHint().height() + rows * row + 8 + statusBar()->height() +
                       ReadingStripHeight + 60;
    setMinimumSize(width, height);
    leastSizeSet_ = true;
}

void TMainForm::BuildStatusBar()
{
    auto* sb = statusBar();
    sb->setObjectName(QStringLiteral("StatusBar1"));
    sb->setFixedHeight(19);
    sb->setSizeGripEnabled(false);
    // Cyan under red bold text; the style draws no frame round the panels' row.
    QPalette cyan = sb->palette();
    cyan.setColor(QPalette::Window, QColor(0x00, 0xff, 0xff));
    cyan.setColor(QPalette::WindowText, Qt::red);
    sb->setPalette(cyan);
    sb->setAutoFillBackground(true);
    const int widths[StatusBarPanels] = {280, 165, 60, 15, 150, 15, 70, 90, 80, 50};
    // The longest text each panel shows, so that no text is cut off in the
    // font actually used; a panel is widened beyond its width when needed.
    const QString date = ShortDate(DayFromYmd(2024, 9, 28));
    const QString longest[StatusBarPanels] = {
        QString(),
        date + QStringLiteral(" - ") + date + QStringLiteral("   (50)"),
        QStringLiteral("Holiday"),
        QString(),
        QStringLiteral("Ratio = ") + ChartSession::RatioText(1e12),
        QString(),
        QStringLiteral("DIR = -1"),
        date,
        QString::asprintf("%10.5f", -99999.99999),
        QStringLiteral("16384 : 16384")};
    QFont bold = font();
    bold.setBold(true);
    const QFontMetrics fm(bold);
    auto* row = new PanelRow(sb);
    row->setObjectName(QStringLiteral("StatusPanels"));
    row->setFont(bold);
    for (int i = 0; i < StatusBarPanels; ++i) {
        auto* l = new PanelLabel(row);
        l->setObjectName(QStringLiteral("Panel%1").arg(i));
        const int w = std::max(widths[i], fm.horizontalAdvance(longest[i]) + 12);
        if (i != 3 && i != 5) {
            l->setFrameShape(QFrame::Panel);
            l->setFrameShadow(QFrame::Sunken);
        }
        if (i == PanelRatio || i == PanelDate || i == PanelPrice)
            l->setAlignment(Qt::AlignCenter);
        else
            l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        // The file's path grows its panel while there is room.
        row->add(l, w, i == PanelFile);
        panels_[static_cast<size_t>(i)] = l;
    }
    sb->addWidget(row, 1);
}

QWidget* TMainForm::BuildReadingStrip(QWidget* parent)
{
    // The ten panels fill the status bar, so the bar under the cursor and
    // the levels off the chart have a row of their own above it.
    auto* strip = new QWidget(parent);
    strip->setObjectName(QStringLiteral("ReadingStrip"));
    strip->setFixedHeight(ReadingStripHeight);
    auto* h = new QHBoxLayout(strip);
    h->setContentsMargins(10, 0, 10, 0);
    for (int i : {int(PanelBar), int(PanelLevels)}) {
        auto* l = new QLabel(strip);
        l->setObjectName(QStringLiteral("Panel%1").arg(i));
        l->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        l->setAlignment(i == PanelBar ? Qt::AlignLeft | Qt::AlignVCenter
                                      : Qt::AlignRight | Qt::AlignVCenter);
        h->addWidget(l, 1);
        panels_[static_cast<size_t>(i)] = l;
    }
    return strip;
}

void TMainForm::BuildMenus()
{
    auto* mainMenu2 = menuBar();
    mainMenu2->setObjectName(QStringLiteral("MainMenu2"));
    // The menus by their paths, each made where its first row asks for it.
    std::map<QString, QMenu*> menus;
    auto menuAt = [&](const QString& path) {
        QMenu*& m = menus[path];
        if (!m) {
            const QString caption = path.section(QLatin1Char('/'), -1);
            m = mainMenu2->addMenu(caption);
            m->setObjectName(Plain(caption) + QStringLiteral("Menu"));
        }
        return m;
    };
    std::map<QString, QActionGroup*> groups;
    for (const MenuCommand& row : MenuCommands()) {
        if (row.kind == MenuCommand::Control)
            continue; // on the toolbars
        QMenu* menu = row.menu.isEmpty() ? nullptr : menuAt(row.menu);
        if (row.kind == MenuCommand::Separator) {
            menu->addSeparator();
            continue;
        }
        if (row.kind == MenuCommand::Submenu) {
            QMenu* sub = menu->addMenu(row.caption);
            sub->setObjectName(row.id);
            menus[row.menu + QLatin1Char('/') + row.caption] = sub;
            commands_[row.id] = sub->menuAction();
            continue;
        }
        // The Figures dock brings its own switch, which follows the dock.
        QAction* a = row.id == QLatin1String("FiguresItem") ? figuresDock_->toggleViewAction()
                                                            : new QAction(this);
        a->setText(row.caption);
        a->setObjectName(row.id);
        a->setShortcuts(row.shortcuts());
        a->setCheckable(row.checkable);
        if (row.icon == QLatin1String("select"))
            a->setIcon(SelectArrowIcon());
        if (!row.tip.isEmpty())
            a->setToolTip(row.tip);
        if (!row.group.isEmpty()) {
            QActionGroup*& g = groups[row.group];
            if (!g) {
                g = new QActionGroup(this);
                g->setExclusionPolicy(row.groupOptional
                                          ? QActionGroup::ExclusionPolicy::ExclusiveOptional
                                          : QActionGroup::ExclusionPolicy::Exclusive);
            }
            g->addAction(a);
        }
        if (menu)
            menu->addAction(a);
        else
            addAction(a);
        commands_[row.id] = a;
        if (row.run)
            connect(a, &QAction::triggered, this,
                    [this, &row, a](bool on) { RunCommand(row, a, on); });
    }
    recentMenu_ = static_cast<QMenu*>(command(QStringLiteral("RecentMenu"))->menu());
    RebuildRecentMenu();

    // The rows the window answers itself.
    connect(command(QStringLiteral("ExitItem")), &QAction::triggered, this,
            [this] { Exit2Click(); });
    connect(command(QStringLiteral("AboutItem")), &QAction::triggered, this,
            [this] { Help2Click(); });
    QAction* select = selectAction();
    connect(select, &QAction::toggled, this, [this](bool on) { SetSelectTool(on); });
    QAction* leave = command(QStringLiteral("LeaveSelectKey"));
    leave->setEnabled(false);
    connect(leave, &QAction::triggered, this, [select] { select->setChecked(false); });
    QAction* crosshair = command(QStringLiteral("CrosshairItem"));
    crosshair->setChecked(true); // the chart view starts with it on
    connect(crosshair, &QAction::toggled, this, [this](bool on) {
        Image1->setCrosshair(on);
        Remember(QStringLiteral("view/crosshair"), on);
    });

    PopupMenu3 = new QMenu(this);
    PopupMenu3->setObjectName(QStringLiteral("PopupMenu3"));
    // Never shown; it still reaches the hidden Save and every figure.
    MainMenu1 = new QMenu(this);
    MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
    QMenu* file = MainMenu1->addMenu(QStringLiteral("&File"));
    file->addAction(action(Ctl::SaveBtn));
    file->addAction(action(Ctl::PrintBtn));
    for (const FigureKind& kind : FigureKinds()) {
        const int type = kind.number;
        const QString caption = QString::fromLatin1(kind.caption);
        QAction* a = PopupMenu3->addAction(caption);
        a->setData(type);
        a->setCheckable(true);
        connect(a, &QAction::triggered, this, [this, type] { ChooseType(type); });
        QAction* m = MainMenu1->addAction(caption);
        m->setData(type);
        connect(m, &QAction::triggered, this, [this, type] { ChooseType(type); });
    }
}

void TMainForm::RunCommand(const MenuCommand& row, QAction* a, bool on)
{
    // A key or a script reaches only what the session has enabled.
    if (!row.enabled || row.enabled(session)) {
        row.run(session, on);
        if (!row.kept.isEmpty())
            Remember(row.kept, row.keptValue ? row.keptValue(on) : QVariant(on));
    }
    // A ticked item ticks or unticks itself; the session decides.
    if (row.checked)
        a->setChecked(row.checked(session));
}

QAction* TMainForm::command(const QString& id) const
{
    const auto it = commands_.find(id);
    return it == commands_.end() ? nullptr : it->second;
}

QAction* TMainForm::menuItem(const QString& path) const
{
    // Through the command table; what a submenu holds that no row names
    // (the recent files) is found under that submenu's row.
    for (const MenuCommand& row : MenuCommands()) {
        if (row.menu.isEmpty() || row.kind == MenuCommand::Separator)
            continue;
        QAction* a = command(row.id);
        if (!a)
            continue;
        const QString at = Plain(row.menu) + QLatin1Char('/') + Plain(a->text());
        if (path == at)
            return a;
        if (row.kind != MenuCommand::Submenu || !a->menu() ||
            !path.startsWith(at + QLatin1Char('/')))
            continue;
        const QString rest = path.mid(at.size() + 1);
        for (QAction* inside : a->menu()->actions())
            if (!inside->isSeparator() && Plain(inside->text()) == rest)
                return inside;
    }
    return nullptr;
}

void TMainForm::RebuildRecentMenu()
{
    recentMenu_->clear();
    for (const QString& p : recentPrices_) {
        QAction* a = recentMenu_->addAction(QFileInfo(p).fileName());
        a->setToolTip(p);
        connect(a, &QAction::triggered, this, [this, p] { session.OpenPriceFile(p); });
    }
    if (!recentPrices_.isEmpty() && !recentStudies_.isEmpty())
        recentMenu_->addSeparator();
    for (const QString& p : recentStudies_) {
        QAction* a = recentMenu_->addAction(QFileInfo(p).fileName());
        a->setToolTip(p);
        connect(a, &QAction::triggered, this, [this, p] { session.OpenStudyPath(p); });
    }
    recentMenu_->setEnabled(!recentMenu_->isEmpty());
}

void TMainForm::NoteRecent(QStringList& list, const QString& path, const char* key)
{
    list.removeAll(path);
    list.prepend(path);
    while (list.size() > RecentCount)
        list.removeLast();
    RebuildRecentMenu();
    Remember(QLatin1String(key), list);
}

QSettings TMainForm::Remembered()
{
    return Kept::Open();
}

void TMainForm::Remember(const QString& key, const QVariant& value)
{
    if (!remember_ || !Kept::Usable())
        return;
    QSettings st = Remembered();
    st.setValue(key, value);
    Kept::Sync(st);
}

void TMainForm::RememberSettings()
{
    session.RememberViewSettings();
    if (!Kept::Usable())
        return;
    remember_ = true;
    QSettings st = Remembered();
    recentPrices_ = st.value(QStringLiteral("recent/prices")).toStringList().mid(0, RecentCount);
    recentStudies_ = st.value(QStringLiteral("recent/studies")).toStringList().mid(0, RecentCount);
    RebuildRecentMenu();
    session.priceFolder = st.value(QStringLiteral("folders/prices")).toString();
    session.setStudyFolder(st.value(QStringLiteral("folders/studies")).toString());
    if (st.value(QStringLiteral("view/color"), false).toBool())
        forceColor = true;
    command(QStringLiteral("CrosshairItem"))
        ->setChecked(st.value(QStringLiteral("view/crosshair"), true).toBool());
    if (st.value(QStringLiteral("view/volume"), false).toBool())
        session.VolumePaneClick(true);
    if (const std::optional<BarStyle> style =
            BarStyleNamed(st.value(QLatin1String(Kept::BarStyleKey)).toString()))
        session.BarStyleClick(*style);
    SyncMenus();
    session.SetCandleColours(QColor(st.value(QStringLiteral("colors/up")).toString()),
                             QColor(st.value(QStringLiteral("colors/down")).toString()));
}

void TMainForm::ShowAsLastTime()
{
    const QByteArray saved =
        remember_ && Kept::Usable()
            ? Remembered().value(QStringLiteral("window/geometry")).toByteArray()
            : QByteArray();
    // A geometry from a settings file someone else wrote may be huge, off
    // every screen or cut short: it is tried, and kept only when sane.
    // Maximised, its normal place is checked too: that is where it is
    // restored to, and one as large as the screen leaves no room for the
    // title bar.
    auto restorable = [this] {
        if (!isMaximized())
            return SaneGeometry(geometry());
        const QRect normal = normalGeometry();
        const QScreen* on = QGuiApplication::screenAt(normal.center());
        return SaneGeometry(normal) && on && normal.width() < on->availableGeometry().width() &&
               normal.height() < on->availableGeometry().height();
    };
    if (!saved.isEmpty() && restoreGeometry(saved) && restorable()) {
        show();
        return;
    }
    // Maximised, over a normal place of its own: restored, the window comes
    // back smaller than the screen and wholly on it, title bar included.
    setWindowState(Qt::WindowNoState);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect avail = screen->availableGeometry();
        QRect normal(QPoint(),
                     (avail.size() * 4 / 5).expandedTo(minimumSize()).boundedTo(avail.size()));
        normal.moveCenter(avail.center());
        setGeometry(normal);
    }
    showMaximized();
}

void TMainForm::SaveSettings()
{
    if (!remember_ || !Kept::Usable())
        return;
    QSettings st = Remembered();
    if (SaneGeometry(isMaximized() ? normalGeometry() : geometry()))
        st.setValue(QStringLiteral("window/geometry"), saveGeometry());
    else
        st.remove(QStringLiteral("window/geometry"));
    st.setValue(QStringLiteral("folders/prices"), session.priceFolder);
    st.setValue(QStringLiteral("folders/studies"), session.studyFolder());
    st.setValue(QStringLiteral("view/color"), !session.Monochrome());
    st.setValue(QStringLiteral("view/crosshair"),
                command(QStringLiteral("CrosshairItem"))->isChecked());
    st.setValue(QStringLiteral("view/volume"), session.VolumePane());
    st.setValue(QLatin1String(Kept::BarStyleKey),
                QLatin1String(BarStyleName(session.ChartStyle())));
    st.setValue(QStringLiteral("recent/prices"), recentPrices_);
    st.setValue(QStringLiteral("recent/studies"), recentStudies_);
    Kept::Sync(st);
}

QSize TMainForm::ChartAreaSize() const
{
    if (const std::optional<QSize> asked = ParseSize(qEnvironmentVariable("AURIGON_CHART_SIZE")))
        return *asked;
    if (Headless())
        return {980, 590};
    return chartArea_->size();
}

void TMainForm::showEvent(QShowEvent* e)
{
    // Measured once the bars are laid out, when their hints are the real ones.
    if (!leastSizeSet_)
        SetLeastSize();
    QMainWindow::showEvent(e);
    if (QWindow* w = windowHandle(); w && !screenWatched_) {
        // Another screen may have another ratio of device pixels.
        screenWatched_ = true;
        connect(w, &QWindow::screenChanged, this, [this] {
            if (session.FirstActivationDone())
                resizePause_->start();
        });
    }
    QTimer::singleShot(0, this, [this] { FormActivate(); });
}

void TMainForm::changeEvent(QEvent* e)
{
    if (e->type() == QEvent::ActivationChange && isActiveWindow())
        QTimer::singleShot(0, this, [this] { FormActivate(); });
    QMainWindow::changeEvent(e);
}

void TMainForm::FormActivate()
{
    if (session.FirstActivationDone() || splashStarted_)
        return;
    splashStarted_ = true;
    host_.showSplash(*splash_, [this] {
        const QSize s = ChartAreaSize().boundedTo(QSize(MaxChartSide, MaxChartSide));
        areaSize_ = chartArea_->size();
        session.chart.setDisplayRatio(Image1->devicePixelRatioF());
        session.FinishFirstActivation(s.width(), s.height());
        if (afterFirstActivation)
            afterFirstActivation();
    });
}

void TMainForm::FlushResize()
{
    resizePause_->stop();
    if (!session.FirstActivationDone() || chartArea_->size() != areaSize_)
        return;
    const QSize s = chartArea_->size().boundedTo(QSize(MaxChartSide, MaxChartSide));
    if (s.width() < 1 || s.height() < 1)
        return;
    session.chart.setDisplayRatio(Image1->devicePixelRatioF());
    session.ResizeChart(s.width(), s.height());
}

void TMainForm::CloseAsking()
{
    close();
}

void TMainForm::CloseWithoutAsking()
{
    closingQuietly_ = true;
    close();
    closingQuietly_ = false;
}

void TMainForm::closeEvent(QCloseEvent* e)
{
    // Every close asks before drawn figures go (the close box, Exit, Ctrl+Q,
    // the session ending); only the program's own close after a script does not.
    if (!closingQuietly_) {
        bool keep = false;
        keep = !session.MayDropFigures();
        if (keep) {
            e->ignore();
            return;
        }
    }
    closed_ = true;
    SaveSettings();
    // Handing a picture to a clipboard manager that may not exist holds the
    // process for seconds after Exit; the chart is ours to take away.
    if (QClipboard* cb = QGuiApplication::clipboard(); cb && cb->ownsClipboard())
        cb->clear();
    QMainWindow::closeEvent(e);
}

namespace {
QString DroppedFile(const QMimeData* m)
{
    if (!m || !m->hasUrls())
        return QString();
    const QList<QUrl> urls = m->urls();
    if (urls.size() != 1 || !urls.first().isLocalFile())
        return QString();
    return urls.first().toLocalFile();
}
} // namespace

void TMainForm::dragEnterEvent(QDragEnterEvent* e)
{
    if (!DroppedFile(e->mimeData()).isEmpty() && session.ui.toolBar1Enabled)
        e->acceptProposedAction();
}

void TMainForm::dropEvent(QDropEvent* e)
{
    const QString path = DroppedFile(e->mimeData());
    if (path.isEmpty())
        return;
    e->acceptProposedAction();
    // The drop's own event ends before any question or dialog opens.
    QTimer::singleShot(0, this, [this, path] { OpenDropped(path); });
}

void TMainForm::OpenDropped(const QString& path)
{
    if (QFileInfo(path).suffix().compare(QLatin1String("aurigon"), Qt::CaseInsensitive) == 0)
        session.OpenStudyPath(path);
    else
        session.OpenPriceFile(path);
}

void TMainForm::Exit2Click()
{
    CloseAsking();
}

void TMainForm::Help2Click()
{
    host_.runDialog(*AboutBox());
}

void TMainForm::SetSelectTool(bool on)
{
    selectTool_ = on;
    command(QStringLiteral("LeaveSelectKey"))->setEnabled(on);
    hovered_ = 0;
    RefreshOverlay();
}

void TMainForm::RefreshOverlay()
{
    if (!Image1)
        return;
    const int picked = session.SelectedFigure();
    ChartView::Overlay o;
    if (session.ui.imageVisible && (selectTool_ || picked != 0)) {
        o.clip = session.PlotArea();
        if (selectTool_ && hovered_ != 0 && hovered_ != picked)
            o.hover = session.FigureLines(hovered_);
        if (picked != 0) {
            o.picked = session.FigureLines(picked);
            o.handles = session.FigureHandles(picked);
        }
    }
    Image1->setOverlay(std::move(o));
    if (figuresDock_ && figuresDock_->isVisible())
        figuresDock_->refresh();
}

void TMainForm::Run(Ctl c)
{
    // The period list has no click of its own: a choice is PeriodCBChange.
    if (const auto click = CommandOf(c).place->click)
        (session.*click)();
}

void TMainForm::Press(Ctl c)
{
    if (session.ui.reacts(c))
        Run(c);
}

void TMainForm::RightPress(Ctl c)
{
    if (!session.ui.reacts(c))
        return;
    if (c == Ctl::FileBtn) {
        host_.runDialog(*FileSetupDlg());
        session.ScanPriceFile();
    } else if (c == Ctl::DirBtn) {
        host_.runDialog(*ChartSetupDlg());
    } else if (c == Ctl::DrawBtn) {
        QWidget* b = buttons_[static_cast<size_t>(c)];
        host_.popupMenu(*PopupMenu3, b->mapToGlobal(QPoint(0, b->height())));
    }
}

void TMainForm::ChooseType(int type)
{
    if (!session.ui.toolBar1Enabled)
        return;
    session.ChooseChartType(type);
    // A checkable item ticks or unticks itself; the session decides.
    SyncMenus();
}

void TMainForm::ChoosePeriod(int index)
{
    if (!session.ui.reacts(Ctl::PeriodCB))
        return;
    session.PeriodCBChange(index);
}

void TMainForm::ChartMouseDown(MouseButton b, int x, int y, bool ctrl, bool shift)
{
    if (!session.ui.imageVisible)
        return;
    if (b == MouseButton::Left && shift && NavigationPress(x, y))
        return;
    if (selectTool_ && b == MouseButton::Left && session.ui.toolBar1Enabled) {
        // The Select tool takes the left button: a handle of the picked
        // figure to drag, else the figure under the pointer, else the
        // chart itself moves.
        if (const int handle = session.HandleAt(x, y)) {
            handleSnap_ = ctrl;
            session.HandlePress(handle);
        } else if (const int figure = session.FigureAt(x, y))
            session.SelectFigure(figure);
        else {
            session.SelectFigure(0);
            NavigationPress(x, y);
        }
        return;
    }
    session.Image1MouseDown(b, x, y, ctrl);
}

void TMainForm::ChartMouseMove(int x, int y)
{
    if (!session.ui.imageVisible)
        return;
    if (session.Navigating()) {
        session.NavigationMove(x, y);
        return;
    }
    if (session.DraggingHandle()) {
        const bool snap =
            handleSnap_ || (QGuiApplication::keyboardModifiers() & Qt::ControlModifier);
        session.HandleMove(x, y, snap);
        return;
    }
    if (selectTool_) {
        const int over = session.FigureAt(x, y);
        if (over != hovered_) {
            hovered_ = over;
            RefreshOverlay();
        }
    }
    const QString before = session.ui.hint;
    session.Image1MouseMove(x, y);
    if (session.ui.hint != before && Image1->isVisible()) {
        if (session.ui.hint.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(Image1->mapToGlobal(QPoint(x, y)), session.ui.hint, Image1);
    }
}

void TMainForm::ChartMouseLeave()
{
    session.Image1MouseLeave();
}

void TMainForm::ChartMouseUp()
{
    if (!session.ui.imageVisible)
        return;
    if (session.Navigating()) {
        session.NavigationRelease();
        return;
    }
    if (session.DraggingHandle()) {
        session.HandleRelease();
        return;
    }
    session.Image1MouseUp();
}

void TMainForm::ChartWheel(int notches, bool shift, bool ctrl, int x)
{
    if (!session.ui.imageVisible || notches == 0)
        return;
    if (ctrl) {
        if (session.ui.reacts(Ctl::PeriodCB))
            session.ZoomPeriodAt(notches, x);
    } else if (shift) {
        if (session.ui.reacts(Ctl::ToolButton1))
            session.ShiftPeriod(notches);
    } else if (session.ui.reacts(Ctl::PeriodCB)) {
        session.ZoomPeriod(notches);
    }
}

bool TMainForm::eventFilter(QObject* o, QEvent* e)
{
    if (o == chartArea_ && e->type() == QEvent::Resize) {
        if (session.FirstActivationDone() && chartArea_->size() != areaSize_) {
            areaSize_ = chartArea_->size();
            resizePause_->start();
        }
        return QMainWindow::eventFilter(o, e);
    }
    if (o == buttons_[size_t(Ctl::PlotBtn)] &&
        (e->type() == QEvent::MouseButtonPress || e->type() == QEvent::MouseButtonDblClick)) {
        // The second press of a double click would turn the new chart
        // straight back into setup: it is not a click of its own.
        auto* me = static_cast<QMouseEvent*>(e);
        const QPoint at = me->globalPosition().toPoint();
        const bool second =
            e->type() == QEvent::MouseButtonDblClick ||
            (plotPressed_ &&
             me->timestamp() - plotPressTime_ < ulong(QApplication::doubleClickInterval()) &&
             (at - plotPressAt_).manhattanLength() <= QApplication::startDragDistance());
        plotPressed_ = !second;
        plotPressTime_ = me->timestamp();
        plotPressAt_ = at;
        if (second)
            return true;
    }
    if (e->type() == QEvent::MouseButtonPress) {
        auto* me = static_cast<QMouseEvent*>(e);
        if ((o == ToolBar2 || o == ToolBar2Area) && me->button() == Qt::LeftButton) {
            Press(Ctl::ToolBar2);
            return true;
        }
        if (me->button() == Qt::RightButton) {
            for (Ctl c : {Ctl::FileBtn, Ctl::DrawBtn, Ctl::DirBtn}) {
                if (o == buttons_[static_cast<size_t>(c)]) {
                    RightPress(c);
                    return true;
                }
            }
        }
    }
    return QMainWindow::eventFilter(o, e);
}

void TMainForm::SyncControl(Ctl c, const ControlState& s, const ControlState* was)
{
    const size_t i = static_cast<size_t>(c);
    QAction* a = actions_[i];
    if (!was || was->enabled != s.enabled)
        a->setEnabled(s.enabled);
    if (QToolButton* b = buttons_[i]) {
        if (!was || was->enabled != s.enabled)
            b->setEnabled(s.enabled);
        if (!was || was->visible != s.visible) {
            if (QAction* place = placeOnBar_[i])
                place->setVisible(s.visible);
            else
                b->setVisible(s.visible);
        }
        if (!was || was->caption != s.caption) {
            b->setText(s.caption);
            a->setText(s.caption);
        }
        if (!was || was->hint != s.hint)
            b->setToolTip(s.hint);
        if (!was || was->image != s.image)
            b->setIcon(ToolIcon(s.image));
    }
}

void TMainForm::SyncMenus()
{
    for (const MenuCommand& row : MenuCommands()) {
        QAction* a = row.kind == MenuCommand::Separator || row.kind == MenuCommand::Control
                         ? nullptr
                         : command(row.id);
        if (!a)
            continue;
        if (row.enabled)
            a->setEnabled(row.enabled(session) &&
                          (a->menu() != recentMenu_ || !recentMenu_->isEmpty()));
        if (row.checked)
            a->setChecked(row.checked(session));
        if (row.captionNow)
            a->setText(row.captionNow(session));
    }
    const int type = session.ChartType();
    for (QAction* a : PopupMenu3->actions())
        a->setChecked(a->data().toInt() == type);
}

void TMainForm::WatchPriceFile()
{
    const QString path = session.PriceFile();
    // A file replaced by a rename is another file to the watcher: watched
    // again. One that is gone is left to the timer until it is back.
    if (path == watched_ && (path.isEmpty() || armPending_ || fileWatch_->files().contains(path) ||
                             !QFileInfo::exists(path)))
        return;
    if (!watched_.isEmpty() && fileWatch_->files().contains(watched_))
        fileWatch_->removePath(watched_);
    watched_ = path;
    if (path.isEmpty()) {
        fileLook_->stop();
        return;
    }
    fileLook_->start();
    if (!std::exchange(armPending_, true))
        QTimer::singleShot(0, this, [this] { ArmWatch(); });
}

void TMainForm::ArmWatch()
{
    armPending_ = false;
    if (watched_.isEmpty() || fileWatch_->files().contains(watched_))
        return;
    if (QFileInfo::exists(watched_))
        fileWatch_->addPath(watched_);
    PriceFileTouched();
}

void TMainForm::PriceFileTouched()
{
    WatchPriceFile();
    // Not while a dialog or question waits: the next look takes the change.
    if (QApplication::activeModalWidget() || QApplication::activePopupWidget())
        return;
    session.PriceFileTouched();
}

void TMainForm::SessionChanged(unsigned what, const UiModel* was)
{
    WatchPriceFile();
    const UiModel& ui = session.ui;
    if (what & ChartSession::CaptionChanged)
        setWindowTitle(session.WindowTitle());
    if (what & ChartSession::ControlsChanged) {
        for (int i = 0; i < CtlCount; ++i)
            SyncControl(static_cast<Ctl>(i), ui.controls[static_cast<size_t>(i)],
                        was ? &was->controls[static_cast<size_t>(i)] : nullptr);
        if (!was || was->toolBar1Enabled != ui.toolBar1Enabled)
            ToolBar1->setEnabled(ui.toolBar1Enabled);
        const bool t2 = ui[Ctl::ToolBar2].enabled;
        if (!was || (*was)[Ctl::ToolBar2].enabled != t2)
            ToolBar2->setEnabled(t2);
        // A style sheet costs a restyle of the bar and all in it: none is set
        // until the bar first turns green.
        if (was ? was->toolbar2Green != ui.toolbar2Green : ui.toolbar2Green) {
            // The whole bar turns green, not just its frame: the bar's style
            // sheet outranks its palette.
            const QColor face = ui.toolbar2Green ? QColor(0, 128, 0)
                                                 : QApplication::palette().color(QPalette::Button);
            ToolBar2->setStyleSheet(
                QStringLiteral("#ToolBar2 { background-color: %1; }").arg(face.name()));
        }
        const ControlState& period = ui[Ctl::PeriodCB];
        if (!was || (*was)[Ctl::PeriodCB] != period) {
            PeriodCB->setEnabled(period.enabled);
            PeriodCB->setToolTip(period.hint);
        }
        if (!was || was->label1 != ui.label1)
            Label1->setText(ui.label1);
        if (!was || was->imageVisible != ui.imageVisible)
            Image1->setVisible(ui.imageVisible);
    }
    if (PeriodCB->currentIndex() != session.periodIndex) {
        const QSignalBlocker block(PeriodCB);
        PeriodCB->setCurrentIndex(session.periodIndex);
    }
    if (what & ChartSession::PanelsChanged) {
        for (size_t i = 0; i < ui.panels.size(); ++i)
            if (!was || was->panels[i] != ui.panels[i])
                panels_[i]->setText(ui.panels[i]);
        static_cast<PanelRow*>(panels_[0]->parentWidget())->relayout();
    }
    if ((what & ChartSession::PointerChanged) && (!was || was->cursor != ui.cursor))
        Image1->setCursor(CursorShape(ui.cursor));
    if (what & (ChartSession::MenuChanged | ChartSession::ControlsChanged))
        SyncMenus();
    Image1->chartChanged(session.chart.takeDirtyRegion());
    RefreshOverlay();

    // Files that opened join the recent lists.
    if (const QString f = session.ChartedFile(); !f.isEmpty() && f != shownPriceFile_) {
        shownPriceFile_ = f;
        NoteRecent(recentPrices_, f, "recent/prices");
    }
    if (const QString& st = session.studyPath(); !st.isEmpty() && st != shownStudy_) {
        shownStudy_ = st;
        NoteRecent(recentStudies_, QFileInfo(st).absoluteFilePath(), "recent/studies");
    }
}
