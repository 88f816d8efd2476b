#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryFile>
#include <sys/statvfs.h>
#include <utility>

#include "app/GloVar.h"
#include "app/Host.h"
#include "app/Splash.h"
#include "data/WholeFile.h"

namespace {
class PrinterTarget : public PrintTarget {
public:
    explicit PrinterTarget(std::unique_ptr<QPrinter> p) : printer_(std::move(p)) {}
    QSize pageSizePixels() const override
    {
        return printer_->pageLayout().paintRectPixels(printer_->resolution()).size();
    }
    QString printPage(const QImage& image, const QRect& target) override
    {
        return PrintOnPage(*printer_, image, target);
    }

private:
    std::unique_ptr<QPrinter> printer_;
};
} // namespace

namespace {
QString PaintPage(QPrinter& printer, const QImage& image, const QRect& target)
{
    QPainter p;
    if (!p.begin(&printer))
        return QStringLiteral("Printer selected is not valid");
    if (!target.isEmpty())
        p.drawImage(target, image);
    if (!p.end())
        return QStringLiteral("Printing failed");
    return QString();
}

// A printed file that ends as a PDF ends, so nothing was cut off.
bool WholePdf(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly) || f.size() < 64 || !f.seek(f.size() - 32))
        return false;
    return f.read(32).contains("%%EOF");
}
} // namespace

QString PrintOnPage(QPrinter& printer, const QImage& image, const QRect& target)
{
    const QString path = printer.outputFileName();
    if (path.isEmpty())
        return PaintPage(printer, image, target);
    // Printed into a file of our own beside the target, then written over it
    // whole, as every file is.
    const Result<std::unique_ptr<QTemporaryFile>> beside = TemporaryBeside(path);
    if (!beside)
        return beside.error().message();
    const std::unique_ptr<QTemporaryFile>& part = *beside;
    printer.setOutputFileName(part->fileName());
    QString err = PaintPage(printer, image, target);
    printer.setOutputFileName(path);
    QFile printed(part->fileName());
    if (err.isEmpty() && (!WholePdf(part->fileName()) || !printed.open(QIODevice::ReadOnly))) {
        // The printer does not say why; a disk with no room left is the usual reason.
        struct statvfs fs {};
        const bool full = ::statvfs(QFile::encodeName(part->fileName()).constData(), &fs) == 0 &&
                          fs.f_bavail == 0;
        err = Error{Error::Doing::Creating, path, 0,
                    full ? QStringLiteral("No space left on device")
                         : QStringLiteral("It could not be written whole.")}
                  .message();
    }
    if (err.isEmpty())
        if (const Result<void> w = WriteWholeBytes(path, printed.readAll()); !w)
            err = w.error().message();
    return err;
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
    if (presetOpen)
        return std::exchange(presetOpen, std::nullopt);
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
    dlg.setOption(QFileDialog::DontConfirmOverwrite);
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
