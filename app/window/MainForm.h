#pragma once
// The main window. Its widgets only mirror the session's model; every click
// goes to the session's handlers, the same ones the automation runner uses.

#include <QMainWindow>
#include <array>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "app/session/ChartSession.h"
#include "app/window/WindowDriver.h"

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

class TMainForm : public QMainWindow, public WindowDriver {
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
    [[nodiscard]] ScriptableDialog* scriptableDialog(const QString& kind) override;
    // The one action behind a control: its button and the hidden menu trigger it.
    [[nodiscard]] QAction* action(Ctl c) const override { return actions_[static_cast<size_t>(c)]; }
    // A menu bar item by its visible texts without "&", joined by "/".
    [[nodiscard]] QAction* menuItem(const QString& path) const override;
    // The item (or key) of a row of the menu table by its id; none when no row has it.
    [[nodiscard]] QAction* command(const QString& id) const override;
    [[nodiscard]] QMenu& hiddenMenu() const override { return *MainMenu1; }
    [[nodiscard]] ChartSession& driven() override { return session; }
    [[nodiscard]] QWidget& widget() override { return *this; }

    // The size the chart bitmap takes at first activation.
    [[nodiscard]] QSize ChartAreaSize() const;
    void FormActivate();
    // A left click on a toolbar control; nothing happens unless it reacts.
    void Press(Ctl c) override;
    // Right button on FileBtn, DrawBtn or DirBtn.
    void RightPress(Ctl c) override;
    void ChooseType(int type);
    void ChoosePeriod(int index) override;
    void Help2Click() override;
    void Exit2Click();
    // shift: the press moves the chart (a pan, or a stretch on the price axis).
    void ChartMouseDown(MouseButton b, int x, int y, bool ctrl = false,
                        bool shift = false) override;
    // A double click on the chart: on the price axis, the automatic scale.
    void ChartDoubleClick(int x, int y);
    void ChartMouseMove(int x, int y) override;
    void ChartMouseUp() override;
    void ChartMouseLeave();
    // The wheel over the chart; positive notches turn away from the user.
    // ctrl zooms around column x, which keeps its record.
    void ChartWheel(int notches, bool shift, bool ctrl = false, int x = 0) override;
    // A file dropped onto the window: a study opens as a study, anything
    // else as a price file.
    void OpenDropped(const QString& path) override;
    // View > Range...: the Dates dialog on a shown chart.
    [[nodiscard]] QAction* rangeAction() const { return command(QStringLiteral("RangeItem")); }
    // Edit > Select figures, which the toolbar's arrow shows.
    [[nodiscard]] QAction* selectAction() const
    {
        return command(QStringLiteral("SelectFiguresItem"));
    }
    // A resize waiting for its pause is carried out now.
    void FlushResize() override;
    // Runs once the splash has been acknowledged and the chart bitmap made.
    std::function<void()> afterFirstActivation;
    [[nodiscard]] bool closedByUser() const override { return closed_; }
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
    // The menu bar and the window's keys, from the menu table.
    void BuildMenus();
    void RunCommand(const MenuCommand& row, QAction* a, bool on);
    std::map<QString, QAction*> commands_;
    void Run(Ctl c);
    // Shows what changed; was is the model the widgets show now (none: all).
    void SessionChanged(unsigned what, const UiModel* was);
    void SyncControl(Ctl c, const ControlState& s, const ControlState* was);
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
    bool splashStarted_ = false;
    bool closed_ = false;
    bool closingQuietly_ = false;
    // The last press on Plot, to tell a double click's second press.
    bool plotPressed_ = false;
    ulong plotPressTime_ = 0;
    QPoint plotPressAt_;

    // Edit > Select figures (the toolbar arrow, V; Esc leaves it).
    bool selectTool_ = false;
    int hovered_ = 0;
    // Ctrl held as a handle was taken: the whole drag snaps.
    bool handleSnap_ = false;
    void SetSelectTool(bool on);
    // A left press that moves the chart rather than drawing; false leaves
    // the press to the figures.
    bool NavigationPress(int x, int y);
    // The picked and hovered figures and the handles, drawn over the chart on the screen only.
    void RefreshOverlay();
    // View > Figures.
    FiguresDock* figuresDock_ = nullptr;
    QMenu* recentMenu_ = nullptr;

    // The chart follows the window once its resizing pauses.
    QTimer* resizePause_ = nullptr;
    // The open price file is watched, and looked at on a timer too, for
    // folders whose changes the watcher does not hear (network shares).
    QFileSystemWatcher* fileWatch_ = nullptr;
    QTimer* fileLook_ = nullptr;
    QString watched_;
    // A kernel watch makes the process pause some milliseconds as it ends,
    // and tells nothing until events are taken: it is armed when they next
    // are, and the file looked at then for what changed before.
    bool armPending_ = false;
    void WatchPriceFile();
    void ArmWatch();
    void PriceFileTouched();
    QSize areaSize_;

    bool remember_ = false;
    QStringList recentPrices_, recentStudies_;
    QString shownPriceFile_, shownStudy_;
};
