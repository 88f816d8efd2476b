#pragma once
// The widget side of Prompts: modal dialogs, the splash and pop-up menus.
// The window uses GuiHost; the automation runner answers them from a script.

#include <QPoint>
#include <functional>

#include "app/session/Prompts.h"

class QDialog;
class QMenu;
class SplashForm;

class Host : public Prompts {
public:
    // Shows the splash modally; then() runs once it has been acknowledged.
    virtual void showSplash(SplashForm& splash, std::function<void()> then) = 0;
    virtual void runDialog(QDialog& dialog) = 0;
    virtual void popupMenu(QMenu& menu, const QPoint& globalPos) = 0;
};

class QWidget;

class GuiHost : public Host {
public:
    explicit GuiHost(QWidget* parent) : parent_(parent) {}
    void beep() override;
    void message(const QString& title, const QString& text) override;
    void error(const QString& text) override;
    std::optional<QString> openFileName(const QString& filter, const QString& dir) override;
    std::optional<QString> saveFileName(const QString& filter, const QString& defaultExt,
                                        const QString& dir) override;
    std::unique_ptr<PrintTarget> printerSetup() override;
    std::optional<QString> question(const QString& title, const QString& text,
                                    const QStringList& buttons) override;
    void showSplash(SplashForm& splash, std::function<void()> then) override;
    void runDialog(QDialog& dialog) override;
    void popupMenu(QMenu& menu, const QPoint& globalPos) override;

    void setParent(QWidget* parent) { parent_ = parent; }

private:
    QWidget* parent_;
};

// Filters written as "pattern|pattern|..." pairs become Qt's name filters.
[[nodiscard]] QString QtNameFilters(const QString& pairs);
// A printer page as a print target (PDF when a file name is set).
class QPrinter;
std::unique_ptr<PrintTarget> MakePrinterTarget(std::unique_ptr<QPrinter> printer);
// One page: the image stretched into target. A printer with a file name set
// prints through PrintPdf.
Result<void> PrintOnPage(QPrinter& printer, const QImage& image, const QRect& target);
// One PDF page of the given layout written whole at path, without the
// system's print plugins.
class QPageLayout;
Result<void> PrintPdf(const QString& path, const QPageLayout& layout, int dpi, const QImage& image,
                      const QRect& target);
