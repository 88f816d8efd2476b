#pragma once
// The price file named on the command line: opened once the window is first
// active and the splash acknowledged, as a file dropped on it would be.

#include <QString>

class TMainForm;

void OpenOnFirstActivation(TMainForm& form, const QString& path);
