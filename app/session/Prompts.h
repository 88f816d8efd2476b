#pragma once
// Everything that waits for a person goes through this interface, so that
// the window, the automation runner and the tests answer it alike.

#include "data/Result.h"

#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

class PrintTarget {
public:
    virtual ~PrintTarget() = default;
    [[nodiscard]] virtual QSize pageSizePixels() const = 0;
    // Prints one page.
    virtual Result<void> printPage(const QImage& image, const QRect& target) = 0;
};

class Prompts {
public:
    // The error box for work that failed, unless it was said already.
    void show(const Error& e)
    {
        if (e.doing != Error::Doing::Told)
            error(e.message());
    }
    virtual ~Prompts() = default;
    virtual void beep() = 0;
    // A modal information box with one OK button.
    virtual void message(const QString& title, const QString& text) = 0;
    // The application's standard error box.
    virtual void error(const QString& text) = 0;
    virtual std::optional<QString> openFileName(const QString& filter, const QString& dir) = 0;
    virtual std::optional<QString> saveFileName(const QString& filter, const QString& defaultExt,
                                                const QString& dir) = 0;
    virtual std::unique_ptr<PrintTarget> printerSetup() = 0;
    // A question box; the text of the button pressed. Nothing when there is
    // nobody to ask, and the work goes on as if nothing had been asked.
    virtual std::optional<QString> question(const QString& title, const QString& text,
                                            const QStringList& buttons)
    {
        (void)title;
        (void)text;
        (void)buttons;
        return std::nullopt;
    }
};
