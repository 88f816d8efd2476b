#pragma once
#include <QDialog>

class ChartSession;
class QLineEdit;
class QPushButton;

// "Charting Setup": the three fan-line angles.
class TChartSetupDlg : public QDialog {
    Q_OBJECT
public:
    TChartSetupDlg(ChartSession& session, QWidget* parent = nullptr);
    QLineEdit *Eline1 = nullptr, *Eline2 = nullptr, *Eline3 = nullptr;
    QPushButton* BitBtn1 = nullptr;
    void FormCreate();
    void BitBtn1Click();

private:
    ChartSession& session_;
};
