#pragma once
#include <QDialog>

class ChartSession;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

// "Setup ASCII File Format": the layout of the price file.
class TFileSetupDlg : public QDialog {
    Q_OBJECT
public:
    TFileSetupDlg(ChartSession& session, QWidget* parent = nullptr);
    QCheckBox* headline = nullptr;
    QLineEdit* DateOrder = nullptr;
    QLineEdit* OpenOrder = nullptr;
    QLineEdit* HighOrder = nullptr;
    QLineEdit* LowOrder = nullptr;
    QLineEdit* CloseOrder = nullptr;
    QComboBox* dateFmtCB = nullptr;
    QPushButton* BitBtn1 = nullptr;
    void FormActivate();
    void BitBtn1Click();
    // The selected layout; -1 when the typed text matches no item.
    [[nodiscard]] int SelectedFormat() const;

protected:
    void showEvent(QShowEvent* e) override;

private:
    ChartSession& session_;
};
