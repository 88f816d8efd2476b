#pragma once
// The main window. Its widgets only mirror the session's model; every click
// goes to the session's handlers, the same ones the automation runner uses.

#include <QMainWindow>
#include <array>
#include <functional>
#include <memory>

#include "app/ChartSession.h"

class AboutBox1;
class QAction;
class Host;
class QComboBox;
class QFrame;
class QLabel;
class QMenu;
class QToolButton;
class SplashForm;
class TChartSetupDlg;
class TDatesDlg;
class TFileSetupDlg;
class ChartView;

class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    // host answers every dialog; currentDir is where fsetup.dat is kept.
    TMainForm(Host& host, const QString& currentDir);
    ~TMainForm() override;

    ChartSession session;
    SplashForm* SplashFormPtr() { return splash_.get(); }
    TFileSetupDlg* FileSetupDlg = nullptr;
    TDatesDlg* DatesDlg = nullptr;
    AboutBox1* AboutBox = nullptr;
    TChartSetupDlg* ChartSetupDlg = nullptr;
    QMenu* PopupMenu3 = nullptr;
    QMenu* MainMenu1 = nullptr;
    QAction* Save1 = nullptr;
    QAction* Print1 = nullptr;

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
    void ChartMouseDown(MouseButton b, int x, int y);
    void ChartMouseMove(int x, int y);
    void ChartMouseUp();
    // Mirrors the model onto the widgets.
    void Sync();
    // Runs once the splash has been acknowledged and the chart bitmap made.
    std::function<void()> afterFirstActivation;
    [[nodiscard]] bool closedByUser() const { return closed_; }

protected:
    bool eventFilter(QObject* o, QEvent* e) override;
    void changeEvent(QEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void BuildToolBar();
    void BuildStatusBar();
    void BuildMenus();
    void DateBtnClick();
    QToolButton* AddButton(Ctl c, QWidget* parent, QSize size);

    Host& host_;
    std::unique_ptr<SplashForm> splash_;
    std::array<QToolButton*, CtlCount> buttons_{};
    std::array<QAction*, CtlCount> actions_{};
    QFrame* ToolBar2 = nullptr;
    QComboBox* PeriodCB = nullptr;
    QLabel* Label1 = nullptr;
    std::array<QLabel*, 10> panels_{};
    QWidget* chartArea_ = nullptr;
    ChartView* Image1 = nullptr;
    bool splashStarted_ = false;
    bool closed_ = false;
};
