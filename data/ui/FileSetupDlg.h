#pragma once
#include <QDialog>
#include <array>
#include <functional>

#include "data/FileLayout.h"
#include "data/ui/ScriptableDialog.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// "Setup ASCII File Format": the layout of the price file.
class TFileSetupDlg : public QDialog, public ScriptableDialog {
    Q_OBJECT
public:
    // accept takes the header flag, the five field texts, the layout index
    // and the field separator; false keeps the dialog open.
    using Accept = std::function<bool(bool, const std::array<QString, 5>&, int, char)>;
    // current gives the layout in force each time the dialog opens.
    using Current = std::function<FileLayout()>;
    TFileSetupDlg(Current current, Accept accept, QWidget* parent = nullptr);
    QCheckBox* headline = nullptr;
    QLineEdit* DateOrder = nullptr;
    QLineEdit* OpenOrder = nullptr;
    QLineEdit* HighOrder = nullptr;
    QLineEdit* LowOrder = nullptr;
    QLineEdit* CloseOrder = nullptr;
    QComboBox* dateFmtCB = nullptr;
    QComboBox* sepCB = nullptr; // comma, semicolon, tab
    QPushButton* BitBtn1 = nullptr;
    // The price file whose records the preview shows; none, no preview.
    std::function<QString()> priceFile;
    // The first and last five records as the fields read them, updated as they change.
    QPlainTextEdit* Preview = nullptr;
    void UpdatePreview();
    void FormActivate();
    void BitBtn1Click();
    // The selected layout; -1 when the typed text matches no item.
    [[nodiscard]] int SelectedFormat() const;
    [[nodiscard]] char SelectedSeparator() const;

    QStringList fieldNames() const override;
    QStringList flagNames() const override;
    void prepare() override { FormActivate(); }
    void setField(const QString& name, const QString& text) override;

protected:
    // OK is the only way out: Escape does not close it.
    void keyPressEvent(QKeyEvent* e) override;
    QDialog& dialog() override { return *this; }
    void clickOk() override { BitBtn1Click(); }
    void showEvent(QShowEvent* e) override;

private:
    Current current_;
    Accept accept_;
};
