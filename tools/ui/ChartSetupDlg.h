#pragma once
#include <QDialog>
#include <array>
#include <functional>

#include "data/ui/ScriptableDialog.h"

class QLineEdit;
class QPushButton;

// "Charting Setup": the three fan-line angles.
class TChartSetupDlg : public QDialog, public ScriptableDialog {
    Q_OBJECT
public:
    // Takes the three angle texts; false keeps the dialog open.
    using Accept = std::function<bool(const std::array<QString, 3>&)>;
    // The fields start with the angles given.
    TChartSetupDlg(Accept accept, const std::array<double, 3>& angles, QWidget* parent = nullptr);
    QLineEdit *Eline1 = nullptr, *Eline2 = nullptr, *Eline3 = nullptr;
    QPushButton* BitBtn1 = nullptr;
    void FormCreate(const std::array<double, 3>& angles);
    void BitBtn1Click();

    QStringList fieldNames() const override;
    void setField(const QString& name, const QString& text) override;

protected:
    QDialog& dialog() override { return *this; }
    void clickOk() override { BitBtn1Click(); }

private:
    Accept accept_;
};
