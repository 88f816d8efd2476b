// The layout dialog's preview, through the real window and dialog.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "data/ui/FileSetupDlg.h"
#include "tests/WindowFixture.h"

namespace {
class LayoutPreview : public WindowFixture {};
} // namespace

TEST_F(LayoutPreview, ShowsTheRecordsAsTheFieldsReadThemAndFollowsAChange)
{
    QByteArray bytes = "Datum;Zuletzt;Er\xC3\xB6"
                       "ffn.;Hoch;Tief;Vol.\n";
    for (int i = 0; i < 12; ++i) {
        const QString date = QDate(2020, 1, 1).addDays(i).toString(QStringLiteral("dd.MM.yyyy"));
        bytes += QStringLiteral("%1;%2,50;%2,00;%3,75;%4,25;1,5M\n")
                     .arg(date)
                     .arg(13000 + i)
                     .arg(13001 + i)
                     .arg(12999 + i)
                     .toUtf8();
    }
    host.openAnswer = WriteFile(dir, QStringLiteral("dax.csv"), bytes);
    QTest::mouseClick(Find<QToolButton>("FileBtn"), Qt::LeftButton);
    ASSERT_EQ(form->session.GloVar.RecordCount, 12);

    QStringList seen;
    host.dialogAnswer = [&seen](QDialog& d) {
        auto& dlg = static_cast<TFileSetupDlg&>(d);
        dlg.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
        ASSERT_TRUE(dlg.Preview->isVisible());
        seen << dlg.Preview->toPlainText();
        // The close taken from the open's field: the preview follows the keys.
        dlg.CloseOrder->selectAll();
        QTest::keyClicks(dlg.CloseOrder, QStringLiteral("3"));
        seen << dlg.Preview->toPlainText();
        dlg.CloseOrder->selectAll();
        QTest::keyClicks(dlg.CloseOrder, QStringLiteral("2"));
        QTest::mouseClick(dlg.BitBtn1, Qt::LeftButton);
    };
    QTest::mouseClick(Find<QToolButton>("FileBtn"), Qt::RightButton);
    ASSERT_EQ(seen.size(), 2);
    const QStringList before = seen[0].split(QLatin1Char('\n'));
    EXPECT_EQ(before.value(0),
              QStringLiteral("semicolons, decimal comma, dd.mm.yyyy, header in German"));
    EXPECT_EQ(before.value(1), QStringLiteral("12 records; the first and the last five:"));
    EXPECT_EQ(before.value(2), QStringLiteral("2020-01-01  13000  13001.75  12999.25  13000.5"));
    EXPECT_EQ(before.value(7), QStringLiteral("..."));
    EXPECT_EQ(before.last(), QStringLiteral("2020-01-12  13011  13012.75  13010.25  13011.5"));
    EXPECT_EQ(before.size(), 13);
    const QStringList after = seen[1].split(QLatin1Char('\n'));
    EXPECT_EQ(after.value(2), QStringLiteral("2020-01-01  13000  13001.75  12999.25  13000"));
    // OK kept the fields as they were left, and the file reads as before.
    EXPECT_EQ(form->session.GloVar.CloseColumn, 2);
    EXPECT_EQ(form->session.GloVar.RecordCount, 12);
}
