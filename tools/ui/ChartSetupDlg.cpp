#include "tools/ui/ChartSetupDlg.h"

#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "data/Settings.h"

TChartSetupDlg::TChartSetupDlg(Accept accept, const std::array<double, 3>& angles, QWidget* parent)
    : QDialog(parent), accept_(std::move(accept))
{
    setObjectName(QStringLiteral("ChartSetupDlg"));
    setWindowTitle(QStringLiteral("Charting Setup"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setModal(true);
    resize(371, 189);
    auto* v = new QVBoxLayout(this);
    auto* title = new QLabel(QStringLiteral("<b><font color='#0000ff'>FAN-LINES</font></b>"), this);
    v->addWidget(title);
    auto* bevel = new QFrame(this);
    bevel->setFrameShape(QFrame::Box);
    auto* g = new QGridLayout(bevel);
    g->addWidget(new QLabel(QStringLiteral("<b><font color='#008080'>Enter new angles for three "
                                           "Fan-Lines (in degrees)</font></b>"),
                            bevel),
                 0, 0, 1, 6);
    QLineEdit** edits[] = {&Eline1, &Eline2, &Eline3};
    for (int i = 0; i < 3; ++i) {
        g->addWidget(new QLabel(QStringLiteral("<b>Line%1</b>").arg(i + 1), bevel), 1, i * 2);
        *edits[i] = new QLineEdit(bevel);
        (*edits[i])->setObjectName(QStringLiteral("Eline%1").arg(i + 1));
        g->addWidget(*edits[i], 1, i * 2 + 1);
    }
    v->addWidget(bevel);
    BitBtn1 = new QPushButton(QStringLiteral("&OK"), this);
    BitBtn1->setDefault(true);
    v->addWidget(BitBtn1, 0, Qt::AlignRight);
    connect(BitBtn1, &QPushButton::clicked, this, &TChartSetupDlg::BitBtn1Click);
    FormCreate(angles);
}

void TChartSetupDlg::FormCreate(const std::array<double, 3>& angles)
{
    Eline1->setText(FormatAngle(angles[0]));
    Eline2->setText(FormatAngle(angles[1]));
    Eline3->setText(FormatAngle(angles[2]));
}

void TChartSetupDlg::BitBtn1Click()
{
    if (accept_({Eline1->text(), Eline2->text(), Eline3->text()}))
        accept();
}

QStringList TChartSetupDlg::fieldNames() const
{
    return {QStringLiteral("Eline1"), QStringLiteral("Eline2"), QStringLiteral("Eline3")};
}

void TChartSetupDlg::setField(const QString& name, const QString& text)
{
    if (auto* edit = findChild<QLineEdit*>(name))
        edit->setText(text);
}
