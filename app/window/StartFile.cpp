#include "app/window/StartFile.h"

#include <QFileInfo>

#include "app/window/MainForm.h"

void OpenOnFirstActivation(TMainForm& form, const QString& path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    form.afterFirstActivation = [&form, absolute] { form.session.OpenPriceFile(absolute); };
}
