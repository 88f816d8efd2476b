#pragma once
// Two figures kept by Clip and one still being worked on, on the demo's range,
// drawn by a script in a folder of the test's own: the start of the tests of
// kept figures and of picked ones.
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "tests/Support.h"

inline const char* const ThreeFigures = R"(ack
press FileBtn
open "@SAMPLES@/sample.txt"
dates FRecordEdit=2340 LRecordEdit=2600 NdayEdit=30
press PlotBtn
press P1Btn
click 430 350
press P2Btn
click 560 190
type 4
press DrawBtn
press ClipButton
press P1Btn
click 300 200
press P2Btn
click 480 400
type 5
press DrawBtn
press ClipButton
press P1Btn
click 250 470
press P2Btn
click 560 190
type 6
press DrawBtn
)";

class FiguresScript : public ScriptInFolder {
protected:
    // The three figures, their values as before.csv, the moves, then the tail.
    ScriptRun RunWith(const QString& moves, const QString& tail)
    {
        return Run(QString::fromLatin1(ThreeFigures) + QStringLiteral("values before.csv\n") +
                   moves + QLatin1Char('\n') + tail);
    }
};
