#include "app/MainForm.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QToolTip>

#include "app/GloVar.h"
#include "app/Host.h"
#include "app/Icons.h"
#include "app/Splash.h"
#include "chart/DateDlg.h"
#include "data/FileSetupDlg.h"
#include "tools/ChartSetupDlg.h"

// Image1: shows the chart bitmap and hands the mouse to the form.
class ChartView : public QWidget {
public:
    ChartView(TMainForm& form, QWidget* parent) : QWidget(parent), form_(form)
    {
        setObjectName(QStringLiteral("Image1"));
        setMouseTracking(true);
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.fillRect(rect(), palette().color(QPalette::Window));
        p.drawImage(0, 0, form_.session.chart.image());
    }
    void mousePressEvent(QMouseEvent* e) override
    {
        const QPoint pt = e->position().toPoint();
        form_.ChartMouseDown(ButtonOf(e->button()), pt.x(), pt.y());
    }
    void mouseMoveEvent(QMouseEvent* e) override
    {
        const QPoint pt = e->position().toPoint();
        form_.ChartMouseMove(pt.x(), pt.y());
    }
    void mouseReleaseEvent(QMouseEvent*) override { form_.ChartMouseUp(); }

private:
    static MouseButton ButtonOf(Qt::MouseButton b)
    {
        if (b == Qt::RightButton)
            return MouseButton::Right;
        return b == Qt::MiddleButton ? MouseButton::Middle : MouseButton::Left;
    }
    TMainForm& form_;
};

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
    Image1 = new ChartView(*this, chartArea_);
    areaLayout->addWidget(Image1);
    Image1->hide();
    h->addWidget(panel1);
    h->addWidget(chartArea_, 1);
    h->addWidget(panel2);
    setCentralWidget(central);

    // The dialogs live as long as the window and are only shown and hidden.
    FileSetupDlg = new TFileSetupDlg(session, this);
    DatesDlg = new TDatesDlg(session, this);
    DatesDlg->onChanged = [this] { Sync(); };
    AboutBox = new AboutBox1(this);
    ChartSetupDlg = new TChartSetupDlg(session, this);

    splash_->onAcknowledged = [this](bool colour) {
        session.SplashAcknowledged(colour);
        Sync();
    };
    Sync();
}

TMainForm::~TMainForm() = default;

QToolButton* TMainForm::AddButton(Ctl c, QWidget* parent, QSize size)
{
    auto* b = new QToolButton(parent);
    b->setObjectName(QLatin1String(CtlName(c)));
    b->setFixedSize(size);
    b->setAutoRaise(true);
    b->setToolButtonStyle(session.ui[c].caption.isEmpty() ? Qt::ToolButtonIconOnly
                                                          : Qt::ToolButtonTextUnderIcon);
    b->setIconSize(size.height() > 30 ? QSize(14, 14) : QSize(18, 18));
    connect(b, &QToolButton::clicked, this, [this, c] { Press(c); });
    buttons_[static_cast<size_t>(c)] = b;
    return b;
}

void TMainForm::BuildToolBar()
{
    auto* bar = new QToolBar(QStringLiteral("ToolBar1"), this);
    bar->setObjectName(QStringLiteral("ToolBar1"));
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setFixedHeight(40);
    bar->layout()->setContentsMargins(0, 1, 0, 1);
    bar->layout()->setSpacing(1);
    bar->setIconSize(QSize(16, 16));
    bar->setStyleSheet(
        QStringLiteral("QToolButton { padding: 0px; margin: 0px; font-size: 11px; }"));
    addToolBar(Qt::TopToolBarArea, bar);
    const QSize big(40, 36);
    const Ctl first[] = {Ctl::FileBtn, Ctl::DateBtn, Ctl::PlotBtn, Ctl::P1Btn,
                         Ctl::P2Btn,   Ctl::DrawBtn, Ctl::DirBtn,  Ctl::RatioBtn};
    // In a toolbar a widget is shown and hidden through its action.
    auto add = [&](Ctl c) {
        actions_[static_cast<size_t>(c)] = bar->addWidget(AddButton(c, bar, big));
    };
    for (Ctl c : first) {
        add(c);
        if (c == Ctl::PlotBtn || c == Ctl::P2Btn)
            bar->addSeparator();
    }
    auto* panel3 = new QFrame(bar);
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
    bar->addWidget(panel3);
    bar->addSeparator();
    for (Ctl c : {Ctl::ClipButton, Ctl::EraseBtn, Ctl::SaveBtn, Ctl::PrintBtn})
        add(c);
    bar->addSeparator();

    ToolBar2 = new QFrame(bar);
    ToolBar2->setObjectName(QStringLiteral("ToolBar2"));
    ToolBar2->setAutoFillBackground(true);
    ToolBar2->setFrameShape(QFrame::StyledPanel);
    ToolBar2->installEventFilter(this);
    auto* t2 = new QHBoxLayout(ToolBar2);
    t2->setContentsMargins(3, 2, 3, 2);
    t2->setSpacing(1);
    for (Ctl c : {Ctl::UpBtn, Ctl::DownBtn, Ctl::ToolButton1, Ctl::ToolButton2, Ctl::LeftBtn,
                  Ctl::RightBtn})
        t2->addWidget(AddButton(c, ToolBar2, QSize(26, 26)));
    PeriodCB = new QComboBox(ToolBar2);
    PeriodCB->setObjectName(QStringLiteral("PeriodCB"));
    PeriodCB->addItems(ChartSession::PeriodItems);
    PeriodCB->setFixedWidth(64);
    connect(PeriodCB, &QComboBox::activated, this, [this](int i) { ChoosePeriod(i); });
    t2->addWidget(PeriodCB);
    bar->addWidget(ToolBar2);
    bar->addSeparator();
    add(Ctl::ExitBtn);

    for (Ctl c : {Ctl::FileBtn, Ctl::DrawBtn, Ctl::DirBtn})
        buttons_[static_cast<size_t>(c)]->installEventFilter(this);
}

void TMainForm::BuildStatusBar()
{
    auto* sb = statusBar();
    sb->setObjectName(QStringLiteral("StatusBar1"));
    sb->setFixedHeight(19);
    sb->setSizeGripEnabled(false);
    sb->setStyleSheet(QStringLiteral("QStatusBar { background: #00ffff; } QStatusBar::item { "
                                     "border: none; } QLabel { color: red; font-weight: bold; }"));
    const int widths[10] = {280, 165, 60, 15, 150, 15, 70, 90, 80, 50};
    for (int i = 0; i < 10; ++i) {
        auto* l = new QLabel(sb);
        l->setObjectName(QStringLiteral("Panel%1").arg(i));
        l->setFixedWidth(widths[i]);
        if (i != 3 && i != 5)
            l->setFrameShape(QFrame::Panel), l->setFrameShadow(QFrame::Sunken);
        if (i == 4 || i == 7 || i == 8)
            l->setAlignment(Qt::AlignCenter);
        sb->addWidget(l);
        panels_[static_cast<size_t>(i)] = l;
    }
}

void TMainForm::BuildMenus()
{
    auto* mainMenu2 = menuBar();
    mainMenu2->setObjectName(QStringLiteral("MainMenu2"));
    connect(mainMenu2->addAction(QStringLiteral("Exit")), &QAction::triggered, this,
            [this] { Exit2Click(); });
    connect(mainMenu2->addAction(QStringLiteral("About")), &QAction::triggered, this,
            [this] { Help2Click(); });

    PopupMenu3 = new QMenu(this);
    PopupMenu3->setObjectName(QStringLiteral("PopupMenu3"));
    // Never shown; it still reaches every figure, the hidden ones included.
    MainMenu1 = new QMenu(this);
    MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
    QMenu* file = MainMenu1->addMenu(QStringLiteral("&File"));
    Save1 = file->addAction(QStringLiteral("&Save"));
    connect(Save1, &QAction::triggered, this, [this] {
        session.SaveBtnClick();
        Sync();
    });
    Print1 = file->addAction(QStringLiteral("P&rint"));
    connect(Print1, &QAction::triggered, this, [this] {
        session.PrintBtnClick();
        Sync();
    });
    for (int type = 1; type <= 8; ++type) {
        const QString caption = ChartSession::ChartTypeCaption(type);
        QAction* a = PopupMenu3->addAction(caption);
        a->setData(type);
        a->setCheckable(true);
        a->setVisible(type != 3 && type != 8);
        connect(a, &QAction::triggered, this, [this, type] { ChooseType(type); });
        QAction* m = MainMenu1->addAction(caption);
        m->setData(type);
        connect(m, &QAction::triggered, this, [this, type] { ChooseType(type); });
    }
}

QSize TMainForm::ChartAreaSize() const
{
    const QByteArray env = qgetenv("AURIGON_CHART_SIZE");
    if (!env.isEmpty()) {
        const QList<QByteArray> wh = env.toLower().split('x');
        bool okW = false, okH = false;
        if (wh.size() == 2) {
            const int w = wh[0].toInt(&okW), h = wh[1].toInt(&okH);
            if (okW && okH && w >= 40 && h >= 40 && w <= 16384 && h <= 16384)
                return {w, h};
        }
    }
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
    QMainWindow::closeEvent(e);
}

void TMainForm::Exit2Click()
{
    close();
}

void TMainForm::Help2Click()
{
    host_.runDialog(*AboutBox);
}

void TMainForm::DateBtnClick()
{
    host_.runDialog(*DatesDlg);
    session.AfterDatesDialog();
}

void TMainForm::Press(Ctl c)
{
    if (!session.ui.reacts(c))
        return;
    switch (c) {
    case Ctl::FileBtn: session.FileBtnClick(); break;
    case Ctl::DateBtn: DateBtnClick(); break;
    case Ctl::PlotBtn: session.PlotBtnClick(); break;
    case Ctl::P1Btn: session.P1BtnClick(); break;
    case Ctl::P2Btn: session.P2BtnClick(); break;
    case Ctl::DrawBtn: session.DrawBtnClick(); break;
    case Ctl::DirBtn: session.DirBtnClick(); break;
    case Ctl::RatioBtn: session.RatioBtnClick(); break;
    case Ctl::ClipButton: session.ClipButtonClick(); break;
    case Ctl::EraseBtn: session.EraseBtnClick(); break;
    case Ctl::SaveBtn: session.SaveBtnClick(); break;
    case Ctl::PrintBtn: session.PrintBtnClick(); break;
    case Ctl::ExitBtn: close(); return;
    case Ctl::UpBtn: session.UpBtnClick(); break;
    case Ctl::DownBtn: session.DownBtnClick(); break;
    case Ctl::ToolButton1: session.ToolButton1Click(); break;
    case Ctl::ToolButton2: session.ToolButton2Click(); break;
    case Ctl::LeftBtn: session.LeftBtnClick(); break;
    case Ctl::RightBtn: session.RightBtnClick(); break;
    case Ctl::ToolBar2: session.ToolBar2Click(); break;
    case Ctl::PeriodCB:
    case Ctl::Count: break;
    }
    Sync();
}

void TMainForm::RightPress(Ctl c)
{
    if (!session.ui.reacts(c))
        return;
    if (c == Ctl::FileBtn) {
        host_.runDialog(*FileSetupDlg);
        session.ScanPriceFile();
    } else if (c == Ctl::DirBtn) {
        host_.runDialog(*ChartSetupDlg);
    } else if (c == Ctl::DrawBtn) {
        QWidget* b = buttons_[static_cast<size_t>(c)];
        host_.popupMenu(*PopupMenu3, b->mapToGlobal(QPoint(0, b->height())));
    }
    Sync();
}

void TMainForm::ChooseType(int type)
{
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

void TMainForm::ChartMouseDown(MouseButton b, int x, int y)
{
    if (!session.ui.imageVisible)
        return;
    session.Image1MouseDown(b, x, y);
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
        if (o == ToolBar2 && me->button() == Qt::LeftButton) {
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

void TMainForm::Sync()
{
    const UiModel& ui = session.ui;
    setWindowTitle(ui.caption);
    for (int i = 0; i < CtlCount; ++i) {
        QToolButton* b = buttons_[static_cast<size_t>(i)];
        if (!b)
            continue;
        const ControlState& s = ui.controls[static_cast<size_t>(i)];
        b->setEnabled(s.enabled);
        if (QAction* a = actions_[static_cast<size_t>(i)])
            a->setVisible(s.visible);
        else
            b->setVisible(s.visible);
        b->setText(s.caption);
        b->setToolTip(s.hint);
        b->setIcon(ToolIcon(s.image));
    }
    if (auto* bar = findChild<QToolBar*>(QStringLiteral("ToolBar1")))
        bar->setEnabled(ui.toolBar1Enabled);
    const ControlState& t2 = ui[Ctl::ToolBar2];
    ToolBar2->setEnabled(t2.enabled);
    QPalette pal = ToolBar2->palette();
    pal.setColor(QPalette::Window, ui.toolbar2Green
                                       ? QColor(0, 128, 0)
                                       : QApplication::palette().color(QPalette::Button));
    ToolBar2->setPalette(pal);
    PeriodCB->setEnabled(ui[Ctl::PeriodCB].enabled);
    PeriodCB->setToolTip(ui[Ctl::PeriodCB].hint);
    if (PeriodCB->currentIndex() != session.periodIndex) {
        const QSignalBlocker block(PeriodCB);
        PeriodCB->setCurrentIndex(session.periodIndex);
    }
    for (int i = 0; i < 10; ++i)
        panels_[static_cast<size_t>(i)]->setText(ui.panels[static_cast<size_t>(i)]);
    Label1->setText(ui.label1);
    for (QAction* a : PopupMenu3->actions())
        a->setChecked(a->data().toInt() == GloVar.ChartType);
    Image1->setVisible(ui.imageVisible);
    Image1->setCursor(CursorShape(ui.cursor));
    Image1->update();
}
