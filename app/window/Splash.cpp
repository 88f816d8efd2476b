#include "app/window/Splash.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/window/Icons.h"
#include "data/Program.h"

SplashForm::SplashForm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("SplashForm"));
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    setModal(true);
    setFixedSize(412, 418);
    setCursor(Qt::WaitCursor);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0, 128, 128));
    setPalette(pal);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(12, 12, 12, 12);
    auto* inner = new QFrame(this);
    inner->setAutoFillBackground(true);
    QPalette ip = inner->palette();
    ip.setColor(QPalette::Window, Qt::white);
    ip.setColor(QPalette::WindowText, Qt::black);
    inner->setPalette(ip);
    outer->addWidget(inner);

    auto* v = new QVBoxLayout(inner);
    v->addWidget(ProgramMark(48, inner), 0, Qt::AlignHCenter);
    // Plain labels: rich text would build and lay out a whole text document.
    auto* title = new QLabel(QString::fromLatin1(ProgramName), inner);
    QFont big = title->font();
    big.setPointSize(16);
    big.setBold(true);
    title->setFont(big);
    title->setAlignment(Qt::AlignCenter);
    v->addWidget(title);
    auto* version = new QLabel(QStringLiteral("Version 2.6"), inner);
    version->setAlignment(Qt::AlignCenter);
    v->addWidget(version);
    auto* notice = new QLabel(
        QStringLiteral("%1. All rights reserved.\n\n"
                       "This program may be used by one trader on one computer. It may not be "
                       "sold, rented or given away.\n\n"
                       "The figures it draws are tools for study, not advice to buy or sell. "
                       "Trading involves risk; the maker accepts no liability for losses.")
            .arg(MakerNotice),
        inner);
    notice->setWordWrap(true);
    notice->setAlignment(Qt::AlignCenter);
    v->addWidget(notice, 1);
    auto* web = new QLabel(QString::fromLatin1(MakerWebAddress), inner);
    web->setAlignment(Qt::AlignCenter);
    v->addWidget(web);
    ColorCheck = new QCheckBox(QStringLiteral("Color?"), inner);
    // Shown, unticked: nothing changes unless the user asks for colour.
    ColorCheck->setChecked(false);
    ColorCheck->setToolTip(QStringLiteral("Draw the chart and its figures in colour"));
    v->addWidget(ColorCheck);
    BitBtn1 = new QPushButton(QStringLiteral("Acknowledged"), inner);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setDefault(true);
    BitBtn1->setCursor(Qt::ArrowCursor);
    v->addWidget(BitBtn1, 0, Qt::AlignCenter);
    connect(BitBtn1, &QPushButton::clicked, this, &SplashForm::BitBtn1Click);
}

void SplashForm::BitBtn1Click()
{
    if (acknowledged_)
        return;
    acknowledged_ = true;
    if (onAcknowledged)
        onAcknowledged(ColorCheck->isChecked());
    accept();
}

void SplashForm::reject()
{
    // Escape does not pass the notice by.
    if (acknowledged_)
        QDialog::reject();
}

AboutBox1::AboutBox1(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutBox1"));
    setWindowTitle(QStringLiteral("About"));
    setModal(true);
    auto* v = new QVBoxLayout(this);
    v->addWidget(ProgramMark(48, this), 0, Qt::AlignCenter);
    for (const QString& t :
         {QString::fromLatin1(ProgramName), QStringLiteral("Version 2,6  (04/01/2001)"),
          QString::fromLatin1(MakerNotice),
          QStringLiteral("Golden-ratio analysis of daily price charts."), QStringLiteral("Visit"),
          QString::fromLatin1(MakerWebAddress)}) {
        auto* l = new QLabel(t, this);
        l->setAlignment(Qt::AlignCenter);
        v->addWidget(l);
    }
    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setDefault(true);
    v->addWidget(OKButton, 0, Qt::AlignCenter);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
    setFixedSize(sizeHint().expandedTo(QSize(300, 260)));
}
