// The question before drawn figures are lost, asked by the window's own
// message box and answered by clicking its buttons: Exit, Ctrl+Q, the close
// box, Reset, Open and a drop each ask, Cancel keeps everything, and Save
// goes through the real save dialog.
#include <QApplication>
#include <QDeadlineTimer>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QTimer>
#include <QUrl>
#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>

#include "app/session/Host.h"
#include "tests/WindowFixture.h"

namespace {
// Answers the window's real modal boxes as they open, in order: for a
// question box the text of the button to click, for a file dialog the path to
// choose (empty: Cancel). Every question's text is kept.
class ModalAnswers {
public:
    explicit ModalAnswers(QStringList answers) : answers_(std::move(answers))
    {
        timer_.setInterval(0);
        QObject::connect(&timer_, &QTimer::timeout, [this] { answerOpenBox(); });
        timer_.start();
    }
    // Runs the event loop until n questions have been answered.
    bool waitForQuestions(qsizetype n)
    {
        for (QDeadlineTimer d(20000); asked.size() < n && !d.hasExpired();)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        return asked.size() >= n;
    }
    [[nodiscard]] bool allUsed() const { return answers_.isEmpty(); }

    QStringList asked, buttons; // buttons: each box's, sorted

private:
    void answerOpenBox()
    {
        QWidget* w = QApplication::activeModalWidget();
        if (!w || w == last_ || !w->isVisible() || answers_.isEmpty())
            return;
        last_ = w;
        const QString answer = answers_.takeFirst();
        if (auto* box = qobject_cast<QMessageBox*>(w)) {
            asked << box->text();
            QStringList shown;
            QPushButton* pick = nullptr;
            for (QAbstractButton* b : box->buttons()) {
                shown << b->text();
                if (b->text() == answer)
                    pick = qobject_cast<QPushButton*>(b);
            }
            shown.sort();
            buttons << shown.join(u'/');
            if (pick)
                QTest::mouseClick(pick, Qt::LeftButton);
            else
                box->reject();
        } else if (auto* files = qobject_cast<QFileDialog*>(w)) {
            if (answer.isEmpty()) {
                files->reject();
            } else {
                files->selectFile(answer);
                static_cast<QDialog*>(files)->accept();
            }
        }
    }

    QStringList answers_;
    QTimer timer_;
    QPointer<QWidget> last_;
};

class Questions : public WindowFixture {
protected:
    void SetUp() override
    {
        StartWindow(QSize(1100, 760), true);
        host.realBoxes = &gui;
    }
    void TearDown() override
    {
        host.realBoxes = nullptr;
        WindowFixture::TearDown();
    }
    [[nodiscard]] size_t FigureCount() const
    {
        return form->session.CurrentStudy(QString()).figures.size();
    }
    [[nodiscard]] QString Title() const { return form->windowTitle(); }

    // The window manager's close box: WM_DELETE_WINDOW sent to the window on
    // a real X server; elsewhere the close a window system would ask for.
    void CloseBox()
    {
        auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
        if (!x11 || !x11->connection()) {
            form->close();
            return;
        }
        xcb_connection_t* c = x11->connection();
        auto atom = [c](const char* name) {
            xcb_intern_atom_reply_t* r = xcb_intern_atom_reply(
                c, xcb_intern_atom(c, 0, uint16_t(strlen(name)), name), nullptr);
            const xcb_atom_t a = r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
            free(r);
            return a;
        };
        xcb_client_message_event_t ev{};
        ev.response_type = XCB_CLIENT_MESSAGE;
        ev.format = 32;
        ev.window = xcb_window_t(form->winId());
        ev.type = atom("WM_PROTOCOLS");
        ev.data.data32[0] = atom("WM_DELETE_WINDOW");
        ev.data.data32[1] = XCB_CURRENT_TIME;
        xcb_send_event(c, 0, ev.window, XCB_EVENT_MASK_NO_EVENT,
                       reinterpret_cast<const char*>(&ev));
        xcb_flush(c);
    }
    void Drop(const QString& path)
    {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path)});
        const QPoint at = form->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(form.get(), &enter);
        QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(form.get(), &drop);
    }

    GuiHost gui{nullptr};
};
} // namespace

TEST_F(Questions, EveryWayOfLosingFiguresAsksAndCancelKeepsThem)
{
    gui.setParent(form.get());
    OpenAndPlot();
    const QString prices = form->session.GloVar.DataFileName;
    const QString other = WriteFile(dir, QStringLiteral("other.txt"), WeekdayFile(300));
    EXPECT_FALSE(Title().contains(u'*'));
    DrawSpiral();
    EXPECT_TRUE(Title().startsWith(QStringLiteral("Untitled* - "))) << Title().toStdString();
    ModalAnswers cancel(QStringList(6, QStringLiteral("Cancel")));

    QTest::mouseClick(Find<QToolButton>("ExitBtn"), Qt::LeftButton);
    ASSERT_TRUE(cancel.waitForQuestions(1));
    // Shortcuts reach the active window; some platforms leave none active after a box.
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    QTest::keyClick(form.get(), Qt::Key_Q, Qt::ControlModifier);
    ASSERT_TRUE(cancel.waitForQuestions(2));
    CloseBox();
    ASSERT_TRUE(cancel.waitForQuestions(3));
    EXPECT_TRUE(form->isVisible());
    EXPECT_FALSE(form->closedByUser());
    QTest::mouseClick(Find<QToolButton>("PlotBtn"), Qt::LeftButton);
    EXPECT_TRUE(form->session.GloVar.ChartShown);
    host.openAnswer = other;
    form->menuItem(QStringLiteral("File/Open price file..."))->trigger();
    Drop(other);
    ASSERT_TRUE(cancel.waitForQuestions(6));
    EXPECT_TRUE(cancel.allUsed());
    EXPECT_EQ(cancel.asked, QStringList(6, QStringLiteral("Save the changes to the study?")));
    EXPECT_EQ(cancel.buttons, QStringList(6, QStringLiteral("Cancel/Discard/Save")));
    EXPECT_EQ(form->session.GloVar.DataFileName, prices);
    EXPECT_TRUE(form->session.GloVar.ChartShown);
    EXPECT_EQ(FigureCount(), 1u);
    EXPECT_FALSE(form->closedByUser());
}

TEST_F(Questions, SaveGoesThroughTheSaveDialogAndItsCancelCancelsAll)
{
    gui.setParent(form.get());
    OpenAndPlot();
    DrawSpiral();
    // Reset, Save, then Cancel in the save dialog: nothing is lost.
    {
        ModalAnswers a({QStringLiteral("Save"), QString()});
        QTest::mouseClick(Find<QToolButton>("PlotBtn"), Qt::LeftButton);
        EXPECT_TRUE(a.allUsed());
    }
    EXPECT_TRUE(form->session.GloVar.ChartShown);
    EXPECT_EQ(FigureCount(), 1u);
    // Reset, Save, a name: the study is written, then the chart goes.
    const QString kept = dir.filePath(QStringLiteral("kept.aurigon"));
    {
        ModalAnswers a({QStringLiteral("Save"), kept});
        QTest::mouseClick(Find<QToolButton>("PlotBtn"), Qt::LeftButton);
        EXPECT_TRUE(a.allUsed());
    }
    EXPECT_TRUE(QFileInfo(kept).isFile());
    EXPECT_FALSE(form->session.GloVar.ChartShown);
    EXPECT_TRUE(Title().startsWith(QStringLiteral("kept.aurigon - "))) << Title().toStdString();
    // Drawn again, then Discard: the other file opens, the study's name goes.
    QTest::mouseClick(Find<QToolButton>("PlotBtn"), Qt::LeftButton);
    DrawSpiral(350);
    EXPECT_TRUE(Title().startsWith(QStringLiteral("kept.aurigon* - "))) << Title().toStdString();
    {
        ModalAnswers a({QStringLiteral("Discard")});
        form->OpenDropped(WriteFile(dir, QStringLiteral("other.txt"), WeekdayFile(300)));
        EXPECT_TRUE(a.allUsed());
    }
    EXPECT_EQ(QFileInfo(form->session.GloVar.DataFileName).fileName(), QStringLiteral("other.txt"));
    EXPECT_TRUE(Title().startsWith(QStringLiteral("Untitled - "))) << Title().toStdString();
    // Nothing drawn since: Exit closes without a question.
    {
        ModalAnswers none({QStringLiteral("Cancel")});
        form->menuItem(QStringLiteral("File/Exit"))->trigger();
        EXPECT_TRUE(none.asked.isEmpty());
    }
    EXPECT_TRUE(form->closedByUser());
}
