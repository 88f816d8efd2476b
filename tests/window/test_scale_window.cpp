// The real window resized with a fan and an ellipse on its chart: the values
// it exports, in prices and dates, stay those of the figures' first Draw.
#include <QApplication>
#include <QSet>

#include "tests/WindowFixture.h"

namespace {
class ShapeAtAnySize : public WindowFixture {
protected:
    QByteArray Exported(const QString& name)
    {
        host.saveAnswer = dir.filePath(name);
        form->menuItem(QStringLiteral("File/Export figure values..."))->trigger();
        return ReadBytes(dir.filePath(name));
    }
    void Anchors(QPoint p1, QPoint p2)
    {
        form->Press(Ctl::P1Btn);
        form->ChartMouseDown(MouseButton::Left, p1.x(), p1.y());
        form->ChartMouseUp();
        form->Press(Ctl::P2Btn);
        form->ChartMouseDown(MouseButton::Left, p2.x(), p2.y());
        form->ChartMouseUp();
    }
};
} // namespace

TEST_F(ShapeAtAnySize, ResizingTheWindowKeepsTheExportedValues)
{
    OpenAndPlot();
    Anchors(QPoint(420, 330), QPoint(560, 220));
    form->menuItem(QStringLiteral("Figure/FAN LINES"))->trigger();
    form->Press(Ctl::DrawBtn);
    form->Press(Ctl::ClipButton);
    Anchors(QPoint(380, 360), QPoint(600, 200));
    form->menuItem(QStringLiteral("Figure/PHI - ELLIPSE"))->trigger();
    form->Press(Ctl::DrawBtn);
    ASSERT_EQ(form->session.FigureCount(), 2);
    const QByteArray first = Exported(QStringLiteral("first.csv"));
    ASSERT_GT(first.count('\n'), 4);
    QSet<int> widths{form->session.GloVar.ChartWidth};
    for (QSize size : {QSize(700, 700), QSize(1400, 900), QSize(980, 590)}) {
        form->resize(size);
        QApplication::processEvents();
        form->FlushResize();
        widths.insert(form->session.GloVar.ChartWidth);
        EXPECT_EQ(form->session.FigureCount(), 2) << size.width();
        EXPECT_EQ(Exported(QStringLiteral("resized.csv")), first)
            << size.width() << "x" << size.height();
    }
    EXPECT_EQ(widths.size(), 4);
}
