#pragma once
// The main window's handlers, free of widgets: they work on the shared
// values, the controls' model and the chart image. The window, the
// automation runner and the tests all call these same handlers; the work
// behind them lives in data/, chart/ and tools/.

#include <QImage>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <optional>

#include "app/UiModel.h"
#include "chart/Canvas.h"
#include "tools/AnchorTool.h"
#include "tools/Study.h"

class Prompts;

class ChartSession {
public:
    explicit ChartSession(Prompts& prompts);

    Prompts& prompts() { return prompts_; }
    UiModel ui;
    // Image1's picture.
    Canvas chart;
    // The mouse on the chart and the markers (with Image2, their backgrounds).
    AnchorTool tool{chart};
    // The picture Draw returns to, and the clean chart of the last plot. Both
    // are kept here; the clipboard and TmpPrice.bmp only receive copies.
    QImage baseImage;
    QImage cleanChart;
    // Puts a picture on the system clipboard for other programs.
    std::function<void(const QImage&)> toClipboard;
    // What only the window can do: show the record range dialog, close.
    std::function<void()> showDatesDialog;
    std::function<void()> closeWindow;

    static const QStringList PeriodItems;
    int periodIndex = 4;

    // Start-up
    void FormCreate(const QString& currentDir);
    void SplashAcknowledged(bool colorTicked);
    void FinishFirstActivation(int chartWidth, int chartHeight);

    // Price file
    void FileBtnClick();
    // FileSetupDlg's OK; false keeps the dialog open.
    // The separator, when given, is ',', ';' or '\t'.
    bool FileSetupAccept(bool headline, const std::array<QString, 5>& fields, int dateFormat,
                         std::optional<char> separator = std::nullopt);
    void ScanPriceFile();
    // False when the file could not be read (the error box was shown).
    bool ScanWholeFileRange();
    bool LoadChartRange();

    // Chart
    void PlotBtnClick();
    void DateBtnClick();
    // DatesDlg's OK; false keeps the dialog open, focusField then names the
    // edit field to focus (0 first record, 1 last record).
    bool DatesAccept(const QString& first, const QString& last, const QString& blankDays,
                     int& focusField);
    void LeaveSpaceClick(bool ticked);
    void WholeScaleClick(bool ticked);
    void AfterDatesDialog();
    void UpBtnClick();
    void DownBtnClick();
    void LeftBtnClick();
    void RightBtnClick();
    void ToolButton1Click();
    void ToolButton2Click();
    void ToolBar2Click();
    // A click on the list itself; a choice arrives as PeriodCBChange.
    void PeriodCBClick() {}
    void PeriodCBChange(int index);
    void RedrawRange();
    void Image1MouseMove(int x, int y);
    // The pointer left the chart: the readout is emptied.
    void Image1MouseLeave();
    void SaveBtnClick();
    void PrintBtnClick();
    void ExitBtnClick();

    // Tools
    void P1BtnClick();
    void P2BtnClick();
    // With snap (Ctrl held) an anchor takes the nearest of its bar's prices.
    void Image1MouseDown(MouseButton b, int x, int y, bool snap = false);
    void Image1MouseUp();
    void ChooseChartType(int type);
    void DirBtnClick();
    void RatioBtnClick();
    void DrawBtnClick();
    void EraseBtnClick();
    void ClipButtonClick();
    // ChartSetupDlg's OK; false keeps the dialog open.
    bool ChartSetupAccept(const std::array<QString, 3>& angles);

    // Studies: the chart's file, range and figures in dates and prices.
    [[nodiscard]] Study CurrentStudy(const QString& studyPath) const;
    bool SaveStudy(const QString& path);
    // prices, when given, charts the study's figures on another price file.
    bool OpenStudy(const QString& path, const QString& prices = QString());
    void StudyOpenClick();
    void StudySaveClick();
    void StudySaveAsClick();
    [[nodiscard]] const QString& studyPath() const { return studyPath_; }

    void DrawP1Marker(int x, int y);
    void DrawP2Marker(int x, int y);
    void DrawP3Marker(int x, int y);

    // RATIO steps through the powers of Phi from -RatioPowerLimit to +RatioPowerLimit.
    static constexpr int RatioPowerLimit = 60;
    [[nodiscard]] static QString RatioText(double ratio);
    [[nodiscard]] static QString ChartTypeCaption(int type);
    [[nodiscard]] QString SettingsPath() const;

private:
    void ShowRatio();
    void ShowDir();
    void CommonPlotEnding();
    void PutBase(const QImage& img);
    // The window in setup mode: File and Dates within reach, the chart hidden.
    void EnterSetupMode();
    void Navigate(int step);
    // Works out the layout of a newly chosen file that does not fit the one
    // in force; false when the file was refused.
    bool AdoptLayoutOf(const QString& path, QString& readAs);
    void ReportUnreadable(const QString& what, const QString& lineText, long long lineNo);

    // Unreadable lines of the first load are reported once per scan.
    bool unreadableReported_ = false;

    void RecordFigure(bool dragged);
    void ForgetFigures();
    // Replays one figure by its points; false (and why) when a date is gone.
    bool ReplayFigure(const StudyFigure& f, QString& why);
    std::vector<StudyFigure> keptFigures_;
    std::optional<StudyFigure> currentFigure_;
    bool dragMoved_ = false;
    QString studyPath_;
    QString studyFolder_;

    Prompts& prompts_;
};
