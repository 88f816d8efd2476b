#pragma once
#include <QDialog>
#include <functional>

class QCheckBox;
class QPushButton;

// The start-up notice; only "Acknowledged" closes it.
class SplashForm : public QDialog {
    Q_OBJECT
public:
    explicit SplashForm(QWidget* parent = nullptr);
    std::function<void(bool colorTicked)> onAcknowledged;
    QPushButton* BitBtn1 = nullptr;
    QCheckBox* ColorCheck = nullptr;
    void BitBtn1Click();
    [[nodiscard]] bool acknowledged() const { return acknowledged_; }

protected:
    void reject() override;

private:
    bool acknowledged_ = false;
};

class AboutBox1 : public QDialog {
    Q_OBJECT
public:
    explicit AboutBox1(QWidget* parent = nullptr);
    QPushButton* OKButton = nullptr;
};
