#pragma once
// The real main window started as a person starts it, shared by the window
// tests: made in a temporary folder at the usual chart size, shown, the
// splash acknowledged.

#include <QAction>
#include <QJsonObject>
#include <QList>
#include <QSize>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>
#include <memory>

#include "app/automation/ScriptRunner.h"
#include "app/session/GloVar.h"
#include "app/window/MainForm.h"
#include "tests/Support.h"

// A script host whose questions and save dialogs may instead be the window's
// own (GuiHost), answered by clicks on the real boxes.
class FixtureHost : public ScriptHost {
public:
    using ScriptHost::ScriptHost;
    Host* realBoxes = nullptr;
    std::optional<QString> question(const QString& title, const QString& text,
                                    const QStringList& buttons) override
    {
        return realBoxes ? realBoxes->question(title, text, buttons)
                         : ScriptHost::question(title, text, buttons);
    }
    std::optional<QString> saveFileName(const QString& filter, const QString& defaultExt,
                                        const QString& dir) override
    {
        return realBoxes ? realBoxes->saveFileName(filter, defaultExt, dir)
                         : ScriptHost::saveFileName(filter, defaultExt, dir);
    }
};

class WindowFixture : public ::testing::Test {
protected:
    void SetUp() override { StartWindow(); }
    void TearDown() override { form.reset(); }

    // size: the window's size before it is first shown (a later one would
    // re-plot the chart); active: wait until it is the active window, as
    // the shortcuts need; acknowledge: the splash, or leave it for the test.
    void StartWindow(QSize size = QSize(), bool active = false, bool acknowledge = true)
    {
        ASSERT_TRUE(dir.isValid());
        form.reset();
        qputenv("AURIGON_CHART_SIZE", "980x590");
        form = std::make_unique<TMainForm>(host, dir.path());
        if (size.isValid())
            form->resize(size);
        form->show();
        form->FormActivate();
        if (acknowledge)
            host.acknowledge();
        qunsetenv("AURIGON_CHART_SIZE");
        if (active) {
            form->activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        }
    }
    template <class W = QWidget> W* Find(const char* name) const
    {
        return form->findChild<W*>(QLatin1String(name));
    }
    // A price file of weekdays opened with FileBtn and plotted with PlotBtn.
    void OpenAndPlot(int records = 600)
    {
        host.openAnswer = WriteFile(dir, QStringLiteral("prices.txt"), WeekdayFile(records));
        QTest::mouseClick(Find<QToolButton>("FileBtn"), Qt::LeftButton);
        QTest::mouseClick(Find<QToolButton>("PlotBtn"), Qt::LeftButton);
        ASSERT_TRUE(form->session.GloVar.ChartShown);
    }
    // Anchors set with the mouse and a spiral drawn on them.
    void DrawSpiral(int x1 = 400)
    {
        form->Press(Ctl::P1Btn);
        form->ChartMouseDown(MouseButton::Left, x1, 300);
        form->ChartMouseUp();
        form->Press(Ctl::P2Btn);
        form->ChartMouseDown(MouseButton::Left, 520, 240);
        form->ChartMouseUp();
        form->menuItem(QStringLiteral("Figure/PHI - SPIRAL"))->trigger();
        form->Press(Ctl::DrawBtn);
        ASSERT_TRUE(form->session.FiguresChanged());
    }

    QTemporaryDir dir;
    QList<QJsonObject> events;
    FixtureHost host{[this](const QJsonObject& o) { events << o; }};
    std::unique_ptr<TMainForm> form;
};
