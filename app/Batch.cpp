#include "app/Batch.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>

#include "app/ChartSession.h"
#include "app/CommandLine.h"
#include "app/GloVar.h"
#include "app/Prompts.h"
#include "chart/Output.h"
#include "data/FileNames.h"

namespace {
// Nobody to ask: the first error is the answer, messages go to standard error.
class BatchPrompts : public Prompts {
public:
    QString firstError;
    QStringList notes; // said only when the chart is written
    void beep() override {}
    void message(const QString&, const QString& text) override { notes << OneLine(text); }
    void error(const QString& text) override
    {
        if (firstError.isEmpty())
            firstError = text;
    }
    std::optional<QString> openFileName(const QString&, const QString&) override { return std::nullopt; }
    std::optional<QString> saveFileName(const QString&, const QString&, const QString&) override
    {
        return std::nullopt;
    }
    std::unique_ptr<PrintTarget> printerSetup() override { return nullptr; }
};
// The picture may not replace what the batch reads, by any name or link.
QString OverInput(const CommandLine& cl, const QString& prices)
{
    if (SameFile(cl.image, cl.study))
        return QStringLiteral("the image %1 is the study the batch reads; nothing was written")
            .arg(cl.image);
    if (SameFile(cl.image, prices))
        return QStringLiteral("the image %1 is the price file the batch reads; nothing was written")
            .arg(cl.image);
    return QString();
}
} // namespace

QString RenderStudy(const CommandLine& cl)
{
    const char* format = ImageFormatOf(cl.image);
    if (!format)
        return QStringLiteral("the image %1 must end in .png or .bmp").arg(cl.image);
    if (!cl.prices.isEmpty())
        if (const std::optional<QString> why = NotAFileReason(cl.prices))
            return QStringLiteral("Cannot open price file %1. %2").arg(cl.prices, *why);
    if (const QString why = OverInput(cl, cl.prices); !why.isEmpty())
        return why;
    // The clean chart and fsetup.dat of a batch stay out of the current folder.
    QTemporaryDir work;
    if (!work.isValid())
        return QStringLiteral("no temporary folder: %1").arg(work.errorString());
    BatchPrompts prompts;
    ChartSession s(prompts);
    s.toClipboard = nullptr;
    s.FormCreate(work.path());
    s.SplashAcknowledged(cl.color);
    s.FinishFirstActivation(cl.width, cl.height);
    if (!s.OpenStudy(cl.study, cl.prices) || !GloVar.ChartShown)
        return prompts.firstError.isEmpty() ? QStringLiteral("the study %1 gave no chart").arg(cl.study)
                                            : prompts.firstError;
    // A run that met an error on the way says so and fails, chart or not.
    if (!prompts.firstError.isEmpty())
        return prompts.firstError;
    // The study may name its price file itself.
    if (const QString why = OverInput(cl, GloVar.DataFileName); !why.isEmpty())
        return why;
    if (const Result<void> w = WriteImageFile(s.chart.image(), cl.image, format); !w)
        return w.error().message();
    for (const QString& note : prompts.notes)
        std::fprintf(stderr, "aurigon: %s\n", qPrintable(note));
    return QString();
}
