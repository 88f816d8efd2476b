#ifdef AURIGON_WIDGET_TESTS
#include <QApplication>
using TestApp = QApplication;
#else
#include <QGuiApplication>
using TestApp = QGuiApplication;
#endif
#include <QLocale>
#include <gtest/gtest.h>

// Fonts and the clipboard need an application object; offscreen needs no display.
// Texts and pictures are compared, so the locale is the same on every machine,
// for this process and the programs it starts.
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("LC_ALL", "C.UTF-8");
    qunsetenv("LANGUAGE");
    TestApp app(argc, argv);
    QLocale::setDefault(QLocale::c());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
