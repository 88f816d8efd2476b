#pragma once
// What the automation runner may do with a set-up dialog, without knowing
// its class: name its fields, fill them and press OK.

#include <QString>
#include <QStringList>

class ScriptableDialog {
public:
    virtual ~ScriptableDialog() = default;
    [[nodiscard]] virtual QStringList fieldNames() const = 0;
    // Check boxes, which take 0 or 1.
    [[nodiscard]] virtual QStringList flagNames() const { return {}; }
    // Fills the fields from the settings, as showing the dialog does.
    virtual void prepare() {}
    virtual void setField(const QString& name, const QString& text) = 0;
    // OK, then the close box when OK left the dialog open.
    virtual void pressOk() = 0;
};
