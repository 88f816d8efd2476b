#include "data/Result.h"

QString Error::message() const
{
    const auto place = [this](bool quoted) {
        QString at = quoted ? QStringLiteral("\"%1\"").arg(file) : file;
        if (line > 0)
            at += QStringLiteral(", line %1").arg(line);
        return at;
    };
    switch (doing) {
    case Doing::Opening: return QStringLiteral("Cannot open file %1. %2").arg(place(true), reason);
    case Doing::Reading: return QStringLiteral("Read error in %1. %2").arg(place(true), reason);
    case Doing::Counting: return QStringLiteral("The file %1 %2").arg(place(true), reason);
    case Doing::Creating:
        return QStringLiteral("Cannot create file %1. %2").arg(place(false), reason);
    case Doing::OpeningStudy:
        return QStringLiteral("Cannot open study %1. %2").arg(place(false), reason);
    case Doing::OpeningStudyPrices:
        return QStringLiteral("Cannot open the price file of study %1. %2")
            .arg(place(false), reason);
    case Doing::SavingStudy:
        return QStringLiteral("Cannot save study %1. %2").arg(place(false), reason);
    case Doing::Printing:
    case Doing::Plain:
    case Doing::Told: return reason;
    }
    return reason;
}
