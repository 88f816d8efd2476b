#include "app/MainForm.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QToolTip>

#include "app/ChartView.h"
#include "app/CommandLine.h"
#include "app/GloVar.h"
#include "app/Host.h"
#include "app/Icons.h"
#include "app/Splash.h"
#include "data/Dates.h"
#include "chart/ui/DateDlg.h"
#include "data/ui/FileSetupDlg.h"
#include "tools/FigureGeometry.h"
#include "tools/ui/ChartSetupDlg.h"

namespace {
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
} // namespace

TMainForm::TMainForm(Host& host, const QString& currentDir)
    : session(host), host_(host), splash_(std::make_unique<SplashForm>())
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowIcon(ProgramIcon());
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    resize(963, 480);
    session.FormCreate(currentDir);
    session.closeWindow = [this] { close(); };

    BuildActions();
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
        ChartMouseDown(b, x, y, QGuiApplication::keyboardModifiers() & Qt::ControlModifier);
    };
    Image1->onMove = [this](int x, int y) { ChartMouseMove(x, y); };
    Image1->onRelease = [this] { ChartMouseUp(); };
    Image1->onLeave = [this] { ChartMouseLeave(); };
    areaLayout->addWidget(Image1);
    Image1->hide();
    h->addWidget(panel1);
    h->addWidget(chartArea_, 1);
    h->addWidget(panel2);
    setCentralWidget(central);

    session.showDatesDialog = [this] { host_.runDialog(*DatesDlg()); };

    splash_->onAcknowledged = [this](bool colour) {
        session.SplashAcknowledged(colour || forceColor);
        Sync();
    };
    Sync();
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
    if (!fileSetupDlg_)
        fileSetupDlg_ = new TFileSetupDlg(
            [this](bool headline, const std::array<QString, 5>& fields, int format, char sep) {
                return session.FileSetupAccept(headline, fields, format, sep);
            },
            this);
    return fileSetupDlg_;
}

TDatesDlg* TMainForm::DatesDlg()
{
    if (!datesDlg_) {
        TDatesDlg::Handlers dates;
        dates.accept = [this](const QString& f, const QString& l, const QString& n, int& focus) {
            return session.DatesAccept(f, l, n, focus);
        };
        dates.leaveSpace = [this](bool on) { session.LeaveSpaceClick(on); };
        dates.wholeScale = [this](bool on) { session.WholeScaleClick(on); };
        datesDlg_ = new TDatesDlg(std::move(dates), this);
        datesDlg_->onChanged = [this] { Sync(); };
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
            [this](const std::array<QString, 3>& angles) { return session.ChartSetupAccept(angles); },
            this);
    return chartSetupDlg_;
}

void TMainForm::BuildActions()
{
    for (int i = 0; i < CtlCount; ++i) {
        const Ctl c = static_cast<Ctl>(i);
        auto* a = new QAction(QString::fromLatin1(CommandOf(c).caption), this);
        a->setObjectName(QLatin1String(CtlName(c)) + QStringLiteral("Action"));
        // A trigger from a menu reaches a hidden control too, but never a disabled one.
        connect(a, &QAction::triggered, this, [this, c] {
            if (session.ui.enabledInPlace(c))
                Run(c);
        });
        actions_[static_cast<size_t>(i)] = a;
    }
}

void TMainForm::BuildToolBar()
{
    ToolBar1 = new QToolBar(QStringLiteral("ToolBar1"), this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    ToolBar1->setFixedHeight(40);
    ToolBar1->layout()->setContentsMargins(0, 1, 0, 1);
    ToolBar1->layout()->setSpacing(1);
    ToolBar1->setIconSize(QSize(16, 16));
    ToolBar1->setStyleSheet(
        QStringLiteral("QToolButton { padding: 0px; margin: 0px; font-size: 11px; }"));
    addToolBar(Qt::TopToolBarArea, ToolBar1);

    ToolBar2 = new QFrame(ToolBar1);
    ToolBar2->setObjectName(QStringLiteral("ToolBar2"));
    ToolBar2->setAutoFillBackground(true);
    ToolBar2->setFrameShape(QFrame::StyledPanel);
    ToolBar2->installEventFilter(this);
    auto* nav = new QHBoxLayout(ToolBar2);
    nav->setContentsMargins(3, 2, 3, 2);
    nav->setSpacing(1);

    for (int i = 0; i < CtlCount; ++i) {
        const Ctl c = static_cast<Ctl>(i);
        const Command& row = CommandOf(c);
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
            const bool onNav = row.bar == Command::Nav;
            const QSize size = onNav ? QSize(26, 26) : QSize(40, 36);
            auto* b = new QToolButton(onNav ? static_cast<QWidget*>(ToolBar2) : ToolBar1);
            b->setObjectName(QLatin1String(row.name));
            b->setFixedSize(size);
            b->setAutoRaise(true);
            b->setToolButtonStyle(*row.caption ? Qt::ToolButtonTextUnderIcon
                                               : Qt::ToolButtonIconOnly);
            b->setIconSize(onNav ? QSize(18, 18) : QSize(14, 14));
            connect(b, &QToolButton::clicked, this, [this, c] { Press(c); });
            buttons_[static_cast<size_t>(i)] = b;
            w = b;
        }
        if (row.bar == Command::Nav) {
            nav->addWidget(w);
            if (row.after == Command::Separator) {
                auto* line = new QFrame(ToolBar2);
                line->setFrameShape(QFrame::VLine);
                line->setFrameShadow(QFrame::Sunken);
                nav->addWidget(line);
            }
            continue;
        }
        placeOnBar_[static_cast<size_t>(i)] = ToolBar1->addWidget(w);
        if (row.after == Command::RatioLabel) {
            auto* panel3 = new QFrame(ToolBar1);
            panel3->setObjectName(QStringLiteral("Panel3"));
            panel3->setFrameShape(QFrame::StyledPanel);
            panel3->setFixedSize(56, 36);
            panel3->setToolTip(QStringLiteral("Ratio value"));
            auto* pl = new QHBoxLayout(panel3);
            pl->setContentsMargins(2, 2, 2, 2);
            Label1 = new QLabel(panel3);
            Label1->setObjectName(QStringLiteral("Label1"));
            Label1->setAlignment(Qt::AlignCenter);
            Label1->setStyleSheet(QStringLiteral("color: blue; font-weight: bold;"));
            pl->addWidget(Label1);
            ToolBar1->addWidget(panel3);
        }
        if (row.after != Command::Nothing)
            ToolBar1->addSeparator();
    }
    ToolBar2Area = new QWidget(ToolBar2);
    ToolBar2Area->setObjectName(QStringLiteral("ToolBar2Area"));
    ToolBar2Area->setFixedWidth(28);
    ToolBar2Area->setToolTip(QStringLiteral("One scale throughout all periods"));
    ToolBar2Area->installEventFilter(this);
    nav->addWidget(ToolBar2Area);
    for (Ctl c : {Ctl::FileBtn, Ctl::DrawBtn, Ctl::DirBtn}) {
        QToolButton* b = buttons_[static_cast<size_t>(c)];
        // Every right press reaches the button itself, never a context menu.
        b->setContextMenuPolicy(Qt::PreventContextMenu);
        b->installEventFilter(this);
    }
    ToolBar1->setContextMenuPolicy(Qt::PreventContextMenu);
}

void TMainForm::BuildStatusBar()
{
    auto* sb = statusBar();
    sb->setObjectName(QStringLiteral("StatusBar1"));
    sb->setFixedHeight(19);
    sb->setSizeGripEnabled(false);
    sb->setStyleSheet(QStringLiteral("QStatusBar { background: #00ffff; } QStatusBar::item { "
                                     "border: none; } QLabel { color: red; font-weight: bold; }"));
    const int widths[PanelCount] = {280, 165, 60, 15, 150, 15, 70, 90, 80, 50};
    // The longest text each panel shows, so that no text is cut off in the
    // font actually used; a panel is widened beyond its width when needed.
    const QString date = ShortDate(DayFromYmd(2024, 9, 28));
    const QString longest[PanelCount] = {
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
    for (int i = 0; i < PanelCount; ++i) {
        auto* l = new QLabel(sb);
        l->setObjectName(QStringLiteral("Panel%1").arg(i));
        const int w = std::max(widths[i], fm.horizontalAdvance(longest[i]) + 12);
        if (i == PanelFile)
            l->setMinimumWidth(w); // grows with the path it shows
        else
            l->setFixedWidth(w);
        if (i != 3 && i != 5) {
            l->setFrameShape(QFrame::Panel);
            l->setFrameShadow(QFrame::Sunken);
        }
        if (i == PanelRatio || i == PanelDate || i == PanelPrice)
            l->setAlignment(Qt::AlignCenter);
        sb->addWidget(l);
        panels_[static_cast<size_t>(i)] = l;
    }
    // A long path in panel 0 is cut off rather than push the others away.
    sb->addWidget(new QWidget(sb), 1);
}

void TMainForm::BuildMenus()
{
    auto* mainMenu2 = menuBar();
    mainMenu2->setObjectName(QStringLiteral("MainMenu2"));
    QMenu* study = mainMenu2->addMenu(QStringLiteral("&Study"));
    study->setObjectName(QStringLiteral("StudyMenu"));
    auto addStudy = [this, study](const QString& text, QKeySequence::StandardKey key,
                                  void (ChartSession::*handler)()) {
        QAction* a = study->addAction(text);
        a->setShortcut(key);
        connect(a, &QAction::triggered, this, [this, handler] {
            (session.*handler)();
            Sync();
        });
    };
    addStudy(QStringLiteral("&Open study..."), QKeySequence::Open, &ChartSession::StudyOpenClick);
    addStudy(QStringLiteral("&Save study..."), QKeySequence::Save, &ChartSession::StudySaveClick);
    addStudy(QStringLiteral("Save study &as..."), QKeySequence::SaveAs, &ChartSession::StudySaveAsClick);
    connect(mainMenu2->addAction(QStringLiteral("Exit")), &QAction::triggered, this,
            [this] { Exit2Click(); });
    connect(mainMenu2->addAction(QStringLiteral("About")), &QAction::triggered, this,
            [this] { Help2Click(); });

    PopupMenu3 = new QMenu(this);
    PopupMenu3->setObjectName(QStringLiteral("PopupMenu3"));
    // Never shown; it still reaches the hidden Save and every figure.
    MainMenu1 = new QMenu(this);
    MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
    QMenu* file = MainMenu1->addMenu(QStringLiteral("&File"));
    file->addAction(action(Ctl::SaveBtn));
    file->addAction(action(Ctl::PrintBtn));
    for (int type = Spiral; type <= Arcs; ++type) {
        const QString caption = ChartSession::ChartTypeCaption(type);
        QAction* a = PopupMenu3->addAction(caption);
        a->setData(type);
        a->setCheckable(true);
        a->setVisible(type != FanLines && type != Arcs);
        connect(a, &QAction::triggered, this, [this, type] { ChooseType(type); });
        QAction* m = MainMenu1->addAction(caption);
        m->setData(type);
        connect(m, &QAction::triggered, this, [this, type] { ChooseType(type); });
    }
}

QSize TMainForm::ChartAreaSize() const
{
    int w = 0, h = 0;
    if (ParseSize(qEnvironmentVariable("AURIGON_CHART_SIZE"), w, h))
        return {w, h};
    if (Headless())
        return {980, 590};
    return chartArea_->size();
}

void TMainForm::showEvent(QShowEvent* e)
{
    QMainWindow::showEvent(e);
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
    if (!GloVar.FirstActivate || splashStarted_)
        return;
    splashStarted_ = true;
    host_.showSplash(*splash_, [this] {
        const QSize s = ChartAreaSize();
        session.FinishFirstActivation(s.width(), s.height());
        Sync();
        if (afterFirstActivation)
            afterFirstActivation();
    });
}

void TMainForm::closeEvent(QCloseEvent* e)
{
    closed_ = true;
    // Handing a picture to a clipboard manager that may not exist holds the
    // process for seconds after Exit; the chart is ours to take away.
    if (QClipboard* cb = QGuiApplication::clipboard(); cb && cb->ownsClipboard())
        cb->clear();
    QMainWindow::closeEvent(e);
}

void TMainForm::Exit2Click()
{
    close();
}

void TMainForm::Help2Click()
{
    host_.runDialog(*AboutBox());
}

void TMainForm::Run(Ctl c)
{
    (session.*CommandOf(c).handler)();
    Sync();
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
    Sync();
}

void TMainForm::ChooseType(int type)
{
    // A checkable item ticks or unticks itself; the model decides.
    shownChartType_ = -1;
    session.ChooseChartType(type);
    Sync();
}

void TMainForm::ChoosePeriod(int index)
{
    if (!session.ui.reacts(Ctl::PeriodCB))
        return;
    session.PeriodCBChange(index);
    Sync();
}

void TMainForm::ChartMouseDown(MouseButton b, int x, int y, bool ctrl)
{
    if (!session.ui.imageVisible)
        return;
    session.Image1MouseDown(b, x, y, ctrl);
    Sync();
}

void TMainForm::ChartMouseMove(int x, int y)
{
    if (!session.ui.imageVisible)
        return;
    const QString before = session.ui.hint;
    session.Image1MouseMove(x, y);
    Sync();
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
    Sync();
}

void TMainForm::ChartMouseUp()
{
    if (!session.ui.imageVisible)
        return;
    session.Image1MouseUp();
    Sync();
}

bool TMainForm::eventFilter(QObject* o, QEvent* e)
{
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

void TMainForm::SyncControl(Ctl c, const ControlState& s)
{
    const size_t i = static_cast<size_t>(c);
    const ControlState* was = shown_ ? &shown_->controls[i] : nullptr;
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

void TMainForm::Sync()
{
    const UiModel& ui = session.ui;
    const UiModel* was = shown_ ? &*shown_ : nullptr;
    if (!was || was->caption != ui.caption)
        setWindowTitle(ui.caption);
    for (int i = 0; i < CtlCount; ++i)
        SyncControl(static_cast<Ctl>(i), ui.controls[static_cast<size_t>(i)]);
    if (!was || was->toolBar1Enabled != ui.toolBar1Enabled)
        ToolBar1->setEnabled(ui.toolBar1Enabled);
    const bool t2 = ui[Ctl::ToolBar2].enabled;
    if (!was || (*was)[Ctl::ToolBar2].enabled != t2)
        ToolBar2->setEnabled(t2);
    if (!was || was->toolbar2Green != ui.toolbar2Green) {
        // The whole bar turns green, not just its frame: the bar's style
        // sheet outranks its palette.
        const QColor face = ui.toolbar2Green ? QColor(0, 128, 0)
                                             : QApplication::palette().color(QPalette::Button);
        ToolBar2->setStyleSheet(QStringLiteral("#ToolBar2 { background-color: %1; }").arg(face.name()));
    }
    const ControlState& period = ui[Ctl::PeriodCB];
    if (!was || (*was)[Ctl::PeriodCB] != period) {
        PeriodCB->setEnabled(period.enabled);
        PeriodCB->setToolTip(period.hint);
    }
    if (PeriodCB->currentIndex() != session.periodIndex) {
        const QSignalBlocker block(PeriodCB);
        PeriodCB->setCurrentIndex(session.periodIndex);
    }
    for (size_t i = 0; i < ui.panels.size(); ++i)
        if (!was || was->panels[i] != ui.panels[i])
            panels_[i]->setText(ui.panels[i]);
    if (!was || was->label1 != ui.label1)
        Label1->setText(ui.label1);
    if (shownChartType_ != GloVar.ChartType) {
        shownChartType_ = GloVar.ChartType;
        for (QAction* a : PopupMenu3->actions())
            a->setChecked(a->data().toInt() == GloVar.ChartType);
    }
    if (!was || was->imageVisible != ui.imageVisible)
        Image1->setVisible(ui.imageVisible);
    if (!was || was->cursor != ui.cursor)
        Image1->setCursor(CursorShape(ui.cursor));
    Image1->chartChanged(session.chart.takeDirty());
    shown_ = ui;
}
