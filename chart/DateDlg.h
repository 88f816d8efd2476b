#pragma once
#include <QDialog>

class ChartSession;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

// "Select Date Range": the records charted and how the chart is spaced.
class TDatesDlg : public QDialog {
    Q_OBJECT
public:
    TDatesDlg(ChartSession& session, QWidget* parent = nullptr);
    QLabel *Label4 = nullptr, *Label5 = nullptr, *Label6 = nullptr, *Label9 = nullptr,
           *Label10 = nullptr, *Label12 = nullptr, *Label13 = nullptr, *Label14 = nullptr;
    QLineEdit *FRecordEdit = nullptr, *LRecordEdit = nullptr, *NdayEdit = nullptr;
    QCheckBox *LeaveSpace = nullptr, *WholeScale = nullptr;
    QPushButton* BitBtn1 = nullptr;
    void FormActivate();
    void FRecordEditExit();
    void BitBtn1Click();
    // Shown after every closing, whatever way it was closed.
    std::function<void()> onChanged;

protected:
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    void SetLabel13();
    ChartSession& session_;
};
