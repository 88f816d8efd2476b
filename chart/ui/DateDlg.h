#pragma once
#include <QDialog>
#include <functional>

#include "data/RecordDates.h"
#include "data/ui/ScriptableDialog.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

// "Select Date Range": the records charted and how the chart is spaced.
class TDatesDlg : public QDialog, public ScriptableDialog {
    Q_OBJECT
public:
    struct Handlers {
        // First, last and blank-day texts; a refusal keeps the dialog open.
        std::function<DatesAnswer(const QString&, const QString&, const QString&)> accept;
        std::function<void(bool)> leaveSpace;
        std::function<void(bool)> wholeScale;
        // The file's records with their days, read when first wanted.
        std::function<const RecordDates&()> recordDates;
        // What the dialog shows of the file and the range in force.
        std::function<DatesShown()> shown;
        // Dates that give no range: the reason is said, the dialog stays open.
        std::function<void(const QString&)> refuseDates;
    };
    TDatesDlg(Handlers handlers, QWidget* parent = nullptr);
    QLabel *Label4 = nullptr, *Label5 = nullptr, *Label6 = nullptr, *Label9 = nullptr,
           *Label10 = nullptr, *Label12 = nullptr, *Label13 = nullptr, *Label14 = nullptr;
    QLineEdit *FRecordEdit = nullptr, *LRecordEdit = nullptr, *NdayEdit = nullptr;
    // yyyy-mm-dd beside the record numbers; each of a pair follows the other.
    QLineEdit *FDateEdit = nullptr, *LDateEdit = nullptr;
    QCheckBox *LeaveSpace = nullptr, *WholeScale = nullptr;
    QPushButton* BitBtn1 = nullptr;
    void FormActivate();
    void FRecordEditExit();
    void BitBtn1Click();

    QStringList fieldNames() const override;
    QStringList flagNames() const override;
    void prepare() override { FormActivate(); }
    void setField(const QString& name, const QString& text) override;
    [[nodiscard]] Result<void> checkField(const QString& name, const QString& text) const override;

protected:
    QDialog& dialog() override { return *this; }
    void clickOk() override { BitBtn1Click(); }
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    void SetLabel13();
    [[nodiscard]] DatesShown Shown() const;
    // A record number typed: its day is shown. A day typed: the nearest
    // record on or after it (first) or on or before it (last).
    void RecordEdited(QLineEdit* record, QLineEdit* date);
    void DateEdited(QLineEdit* date, QLineEdit* record, bool first);
    // Dates typed that give no range: why, naming them, and the date field
    // to go back to. None when they do, or when record numbers were typed.
    struct DatesRefused {
        QString why;
        QLineEdit* field = nullptr;
    };
    [[nodiscard]] std::optional<DatesRefused> DatesRefusal() const;
    Handlers handlers_;
    // The day typed into each date field (first, last); none when the record
    // number was typed last.
    std::optional<double> typedDay_[2];
    QSize fixedSize_;
};
