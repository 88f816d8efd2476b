#pragma once
// The main window. Its widgets only mirror the session's model; every click
// goes to the session's handlers, the same ones the automation runner uses.

#include <QMainWindow>
#include <array>
#include <functional>
#include <memory>
#include <optional>

#include "app/ChartSession.h"

class AboutBox1;
class ChartView;
class Host;
class QAction;
class QComboBox;
class QFrame;
class QLabel;
class QMenu;
class QToolBar;
class QToolButton;
class ScriptableDialog;
class SplashForm;
class TChartSetupDlg;
class TDatesDlg;
class TFileSetupDlg;

class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    // host answers every dialog; currentDir is where fsetup.dat is kept.
    TMainForm(Host& host, const QString& currentDir);
    ~TMainForm() override;

    ChartSession session;
    SplashForm* SplashFormPtr() { return splash_.get(); }
    // The dialogs are made when first wanted and then live as long as the
    // window, only shown and hidden.
    TFileSetupDlg* FileSetupDlg();
    TDatesDlg* DatesDlg();
    AboutBox1* AboutBox();
    TChartSetupDlg* ChartSetupDlg();
    QMenu* PopupMenu3 = nullptr;
    QMenu* MainMenu1 = nullptr;

    // The set-up dialog a script fills: "layout", "dates" or "angles".
    [[nodiscard]] ScriptableDialog* scriptableDialog(const QString& kind);
    // The one action behind a control: its button and the hidden menu trigger it.
    [[nodiscard]] QAction* action(Ctl c) const { return actions_[static_cast<size_t>(c)]; }

    // The size the chart bitmap takes at first activation.
    [[nodiscard]] QSize ChartAreaSize() const;
    void FormActivate();
    // A left click on a toolbar control; nothing happens unless it reacts.
    void Press(Ctl c);
    // Right button on FileBtn, DrawBtn or DirBtn.
    void RightPress(Ctl c);
    void ChooseType(int type);
    void ChoosePeriod(int index);
    void Help2Click();
    void Exit2Click();
    void ChartMouseDown(MouseButton b, int x, int y, bool ctrl = false);
    void ChartMouseMove(int x, int y);
    void ChartMouseUp();
    void ChartMouseLeave();
    // Mirrors the model onto the widgets, only where it changed.
    void Sync();
    // Runs once the splash has been acknowledged and the chart bitmap made.
    std::function<void()> afterFirstActivation;
    [[nodiscard]] bool closedByUser() const { return closed_; }
    // A colour chart whatever the splash's box says (--color, AURIGON_COLOR=1).
    bool forceColor = false;

protected:
    // No menu of toolbars: a right click belongs to the buttons that use it.
    QMenu* createPopupMenu() override { return nullptr; }
    bool eventFilter(QObject* o, QEvent* e) override;
    void changeEvent(QEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    TFileSetupDlg* fileSetupDlg_ = nullptr;
    TDatesDlg* datesDlg_ = nullptr;
    AboutBox1* aboutBox_ = nullptr;
    TChartSetupDlg* chartSetupDlg_ = nullptr;
    void BuildActions();
    void BuildToolBar();
    void BuildStatusBar();
    void BuildMenus();
    void Run(Ctl c);
    void SyncControl(Ctl c, const ControlState& s);

    Host& host_;
    std::unique_ptr<SplashForm> splash_;
    std::array<QAction*, CtlCount> actions_{};
    std::array<QToolButton*, CtlCount> buttons_{};
    // A control's place on its toolbar, which shows and hides it.
    std::array<QAction*, CtlCount> placeOnBar_{};
    QToolBar* ToolBar1 = nullptr;
    QFrame* ToolBar2 = nullptr;
    // The free area of ToolBar2 that a person can find and hit.
    QWidget* ToolBar2Area = nullptr;
    QComboBox* PeriodCB = nullptr;
    QLabel* Label1 = nullptr;
    std::array<QLabel*, PanelCount> panels_{};
    QWidget* chartArea_ = nullptr;
    ChartView* Image1 = nullptr;
    // What the widgets show now; nothing before the first Sync.
    std::optional<UiModel> shown_;
    int shownChartType_ = -1;
    bool splashStarted_ = false;
    bool closed_ = false;
};
