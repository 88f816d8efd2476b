#pragma once
// The main window. Its widgets only mirror the session's model; every click
// goes to the session's handlers, the same ones the automation runner uses.

#include <QMainWindow>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "app/session/ChartSession.h"

class AboutBox1;
class ChartView;
class FiguresDock;
class Host;
class QActionGroup;
class QAction;
class QComboBox;
class QFileSystemWatcher;
class QFrame;
class QKeySequence;
class QSettings;
class QTimer;
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
    // The menu bar's menus, for the commands that join them.
    QMenu* FileMenu = nullptr;
    QMenu* EditMenu = nullptr;
    QMenu* FigureMenu = nullptr;
    QMenu* ViewMenu = nullptr;
    QMenu* HelpMenu = nullptr;
    // File's groups: opening and saving studies, the chart's pictures, and
    // the recent files; new commands go before these separators.
    QAction* StudyGroupEnd = nullptr;
    QAction* OutputGroupEnd = nullptr;
    QAction* LevelValuesItem = nullptr;
    QAction* CrosshairItem = nullptr;
    QActionGroup* barStyleActions_ = nullptr;

    // The set-up dialog a script fills: "layout", "dates" or "angles".
    [[nodiscard]] ScriptableDialog* scriptableDialog(const QString& kind);
    // The one action behind a control: its button and the hidden menu trigger it.
    [[nodiscard]] QAction* action(Ctl c) const { return actions_[static_cast<size_t>(c)]; }
    // A menu bar item by its visible texts without "&", joined by "/".
    [[nodiscard]] QAction* menuItem(const QString& path) const;

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
    // The wheel over the chart; positive notches turn away from the user.
    // ctrl zooms around column x, which keeps its record.
    void ChartWheel(int notches, bool shift, bool ctrl = false, int x = 0);
    // A file dropped onto the window: a study opens as a study, anything
    // else as a price file.
    void OpenDropped(const QString& path);
    // View > Range...: the Dates dialog on a shown chart.
    [[nodiscard]] QAction* rangeAction() const { return rangeAction_; }
    // Edit > Select figures, which the toolbar's arrow shows.
    [[nodiscard]] QAction* selectAction() const { return selectAction_; }
    // A resize waiting for its pause is carried out now.
    void FlushResize();
    // Runs a handler of the session and lets the window follow what changed.
    void Act(const std::function<void()>& handler);
    // Runs once the splash has been acknowledged and the chart bitmap made.
    std::function<void()> afterFirstActivation;
    [[nodiscard]] bool closedByUser() const { return closed_; }
    // The program's own close at the end of a script: nobody is there to ask.
    void CloseWithoutAsking();
    // A colour chart whatever the splash's box says (--color, AURIGON_COLOR=1).
    bool forceColor = false;

    // The desktop program remembers the window, Color, folders and recent
    // files between runs; scripts and tests start afresh unless they ask.
    void RememberSettings();
    // Shows the window where it was last time, else maximized.
    void ShowAsLastTime();
    [[nodiscard]] const QStringList& recentPrices() const { return recentPrices_; }
    [[nodiscard]] const QStringList& recentStudies() const { return recentStudies_; }
    static constexpr int RecentCount = 10;
    // Where the remembered values are kept (under the user's configuration folder).
    [[nodiscard]] static QSettings Remembered();
    // One setting kept at once (the recent lists, the colour switch).
    void Remember(const QString& key, const QVariant& value);

protected:
    // No menu of toolbars: a right click belongs to the buttons that use it.
    QMenu* createPopupMenu() override { return nullptr; }
    bool eventFilter(QObject* o, QEvent* e) override;
    void changeEvent(QEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dropEvent(QDropEvent* e) override;

private:
    TFileSetupDlg* fileSetupDlg_ = nullptr;
    TDatesDlg* datesDlg_ = nullptr;
    AboutBox1* aboutBox_ = nullptr;
    TChartSetupDlg* chartSetupDlg_ = nullptr;
    void BuildActions();
    void BuildToolBar();
    void BuildStatusBar();
    void SetLeastSize();
    bool leastSizeSet_ = false;
    void BuildMenus();
    void Run(Ctl c);
    void SessionChanged(unsigned what);
    void SyncControl(Ctl c, const ControlState& s);
    void SyncMenus();
    void RebuildRecentMenu();
    void NoteRecent(QStringList& list, const QString& path, const char* key);
    void CloseAsking();
    void SaveSettings();

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
    static constexpr int ReadingStripHeight = 17;
    QWidget* BuildReadingStrip(QWidget* parent);
    QWidget* chartArea_ = nullptr;
    bool screenWatched_ = false;
    ChartView* Image1 = nullptr;
    // What the widgets show now; nothing before the first change.
    std::optional<UiModel> shown_;
    bool splashStarted_ = false;
    bool closed_ = false;
    bool closingQuietly_ = false;
    // The last press on Plot, to tell a double click's second press.
    bool plotPressed_ = false;
    ulong plotPressTime_ = 0;
    QPoint plotPressAt_;

    // Menu bar items that follow the session.
    QAction* openPriceAction_ = nullptr;
    QAction* openStudyAction_ = nullptr;
    QAction* saveStudyAction_ = nullptr;
    QAction* saveStudyAsAction_ = nullptr;
    QAction* exportAction_ = nullptr;
    QAction* exportValuesAction_ = nullptr;
    QAction* undoAction_ = nullptr;
    QAction* redoAction_ = nullptr;
    // Edit > Select figures (the toolbar arrow, V; Esc leaves it) and Delete figure.
    QAction* selectAction_ = nullptr;
    QAction* leaveSelectAction_ = nullptr;
    QAction* deleteFigureAction_ = nullptr;
    bool selectTool_ = false;
    int hovered_ = 0;
    // Ctrl held as a handle was taken: the whole drag snaps.
    bool handleSnap_ = false;
    void SetSelectTool(bool on);
    // The picked and hovered figures and the handles, drawn over the chart on the screen only.
    void RefreshOverlay();
    // View > Figures, Scale to figures and Room for time goals.
    FiguresDock* figuresDock_ = nullptr;
    QAction* scaleToFiguresAction_ = nullptr;
    QAction* timeGoalRoomAction_ = nullptr;
    QAction* printAction_ = nullptr;
    QAction* colorAction_ = nullptr;
    QMenu* recentMenu_ = nullptr;
    // View's navigation commands and the toolbar control each stands for.
    std::vector<std::pair<QAction*, Ctl>> navActions_;
    QAction* lastPeriodAction_ = nullptr;
    QAction* rangeAction_ = nullptr;

    // The chart follows the window once its resizing pauses.
    QTimer* resizePause_ = nullptr;
    // The open price file is watched, and looked at on a timer too, for
    // folders whose changes the watcher does not hear (network shares).
    QFileSystemWatcher* fileWatch_ = nullptr;
    QTimer* fileLook_ = nullptr;
    QString watched_;
    void WatchPriceFile();
    void PriceFileTouched();
    QSize areaSize_;

    bool remember_ = false;
    QStringList recentPrices_, recentStudies_;
    QString shownPriceFile_, shownStudy_;
};
