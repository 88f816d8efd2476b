#pragma once
// What the automation runner may do with a set-up dialog, without knowing
// its class: name its fields, fill them and press OK.

#include <QDialog>
#include <QString>
#include <QStringList>

#include "data/Result.h"

class ScriptableDialog {
public:
    virtual ~ScriptableDialog() = default;
    [[nodiscard]] virtual QStringList fieldNames() const = 0;
    // Check boxes, which take 0 or 1.
    [[nodiscard]] virtual QStringList flagNames() const { return {}; }
    // Fills the fields from the settings, as showing the dialog does.
    virtual void prepare() {}
    virtual void setField(const QString& name, const QString& text) = 0;
    // Fails when a text cannot go into a field at all.
    [[nodiscard]] virtual Result<void> checkField(const QString&, const QString&) const
    {
        return {};
    }
    // OK, then the close box when OK left the dialog open.
    void pressOk()
    {
        clickOk();
        if (dialog().result() != QDialog::Accepted)
            dialog().reject();
    }

protected:
    virtual QDialog& dialog() = 0;
    virtual void clickOk() = 0;
};
