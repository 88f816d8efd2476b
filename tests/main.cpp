#ifdef AURIGON_WIDGET_TESTS
#include <QApplication>
using TestApp = QApplication;
#else
#include <QGuiApplication>
using TestApp = QGuiApplication;
#endif
#include <QLocale>
#include <QStandardPaths>
#include <QTemporaryDir>
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
    // Whatever the tests remember stays in a folder of their own.
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    // Qt's test mode keeps them under the home folder's .qttest, which other
    // runs of the tests share.
    qputenv("HOME", config.path().toLocal8Bit());
    QStandardPaths::setTestModeEnabled(true);
#ifdef AURIGON_WIDGET_TESTS
    // Tests click the dialogs' own widgets, whatever desktop the machine has.
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
#endif
    TestApp app(argc, argv);
    QLocale::setDefault(QLocale::c());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
