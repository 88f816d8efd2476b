#include <QApplication>
#include <QBuffer>
#include <QDialog>
#include <QFile>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <utility>

#include "app/session/Host.h"
#include "app/window/Splash.h"
#include "data/Program.h"
#include "data/WholeFile.h"

namespace {
class PrinterTarget : public PrintTarget {
public:
    explicit PrinterTarget(std::unique_ptr<QPrinter> p) : printer_(std::move(p)) {}
    QSize pageSizePixels() const override
    {
        return printer_->pageLayout().paintRectPixels(printer_->resolution()).size();
    }
    Result<void> printPage(const QImage& image, const QRect& target) override
    {
        return PrintOnPage(*printer_, image, target);
    }

private:
    std::unique_ptr<QPrinter> printer_;
};
} // namespace

namespace {
Result<void> PaintPage(QPagedPaintDevice& device, const QImage& image, const QRect& target)
{
    QPainter p;
    if (!p.begin(&device))
        return Error{
            Error::Doing::Printing, {}, 0, QStringLiteral("Printer selected is not valid")};
    if (!target.isEmpty())
        p.drawImage(target, image);
    if (!p.end())
        return Error{Error::Doing::Printing, {}, 0, QStringLiteral("Printing failed")};
    return {};
}
} // namespace

Result<void> PrintPdf(const QString& path, const QPageLayout& layout, int dpi, const QImage& image,
                      const QRect& target)
{
    // Drawn in memory by Qt's own PDF writer, which needs none of the system's
    // print plugins, then written over the target whole, as every file is.
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&pdf);
        writer.setResolution(dpi);
        writer.setPageLayout(layout);
        if (Result<void> painted = PaintPage(writer, image, target); !painted)
            return painted;
    }
    return WriteWholeBytes(path, pdf.data());
}

Result<void> PrintOnPage(QPrinter& printer, const QImage& image, const QRect& target)
{
    const QString path = printer.outputFileName();
    if (path.isEmpty())
        return PaintPage(printer, image, target);
    return PrintPdf(path, printer.pageLayout(), printer.resolution(), image, target);
}

std::unique_ptr<PrintTarget> MakePrinterTarget(std::unique_ptr<QPrinter> printer)
{
    // Painting coordinates start at the printable area, as the page size does.
    printer->setFullPage(false);
    return std::make_unique<PrinterTarget>(std::move(printer));
}

QString QtNameFilters(const QString& pairs)
{
    const QStringList parts = pairs.split(QLatin1Char('|'));
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2)
        out << QStringLiteral("%1 (%2)").arg(parts[i], parts[i + 1]);
    return out.join(QStringLiteral(";;"));
}

void GuiHost::beep()
{
    QApplication::beep();
}

void GuiHost::message(const QString& title, const QString& text)
{
    QString shown = text;
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QMessageBox::information(parent_, title, shown);
}

std::optional<QString> GuiHost::question(const QString& title, const QString& text,
                                         const QStringList& buttons)
{
    QString shown = text;
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QMessageBox box(QMessageBox::Question, title, shown, QMessageBox::NoButton, parent_);
    box.setObjectName(QStringLiteral("QuestionBox"));
    QAbstractButton* escape = nullptr;
    for (const QString& b : buttons) {
        // Cancel is what Esc and the close box mean; Discard is the one that loses work.
        const bool cancel = b == QLatin1String("Cancel");
        const QMessageBox::ButtonRole role = cancel ? QMessageBox::RejectRole
                                             : b == QLatin1String("Discard")
                                                 ? QMessageBox::DestructiveRole
                                                 : QMessageBox::AcceptRole;
        QPushButton* pb = box.addButton(b, role);
        if (cancel)
            escape = pb;
        if (b == buttons.first())
            box.setDefaultButton(pb);
    }
    if (escape)
        box.setEscapeButton(escape);
    box.exec();
    const QAbstractButton* clicked = box.clickedButton();
    if (!clicked)
        return escape ? std::optional<QString>(escape->text()) : std::nullopt;
    return clicked->text();
}

void GuiHost::error(const QString& text)
{
    QMessageBox::critical(parent_, QString::fromLatin1(ProgramName), text);
}

std::optional<QString> GuiHost::openFileName(const QString& filter, const QString& dir)
{
    const QString f = QFileDialog::getOpenFileName(parent_, QString(), dir, QtNameFilters(filter));
    if (f.isEmpty())
        return std::nullopt;
    return f;
}

std::optional<QString> GuiHost::saveFileName(const QString& filter, const QString& defaultExt,
                                             const QString& dir)
{
    QFileDialog dlg(parent_, QString(), dir, QtNameFilters(filter));
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setDefaultSuffix(defaultExt);
    // The chosen entry's own pattern (say *.png) lends its suffix to a bare name.
    QObject::connect(
        &dlg, &QFileDialog::filterSelected, &dlg, [&dlg, defaultExt](const QString& f) {
            const qsizetype dot = f.lastIndexOf(QStringLiteral("*."));
            const QString ext = dot >= 0 ? f.mid(dot + 2).chopped(1) : QString();
            dlg.setDefaultSuffix(ext.isEmpty() || ext == QLatin1String("*") ? defaultExt : ext);
        });
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return std::nullopt;
    return dlg.selectedFiles().first();
}

std::unique_ptr<PrintTarget> GuiHost::printerSetup()
{
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    QPrintDialog dlg(printer.get(), parent_);
    if (dlg.exec() != QDialog::Accepted)
        return nullptr;
    return MakePrinterTarget(std::move(printer));
}

void GuiHost::showSplash(SplashForm& splash, std::function<void()> then)
{
    splash.exec();
    then();
}

void GuiHost::runDialog(QDialog& dialog)
{
    dialog.exec();
}

void GuiHost::popupMenu(QMenu& menu, const QPoint& globalPos)
{
    menu.exec(globalPos);
}
