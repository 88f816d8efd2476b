#include "data/ui/FileSetupDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <algorithm>
#include <climits>

#include "data/Dates.h"
#include "data/LayoutDetect.h"
#include "data/Numbers.h"

TFileSetupDlg::TFileSetupDlg(Current current, Accept accept, QWidget* parent)
    : QDialog(parent), current_(std::move(current)), accept_(std::move(accept))
{
    setObjectName(QStringLiteral("FileSetupDlg"));
    setWindowTitle(QStringLiteral("Setup ASCII File Format"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setModal(true);
    setFixedSize(339, 306);
    auto* grid = new QGridLayout(this);
    headline = new QCheckBox(QStringLiteral("Check if header line exists in the file"), this);
    grid->addWidget(headline, 0, 0, 1, 3);
    auto* order = new QLabel(QStringLiteral("<b>Order</b>"), this);
    auto* format = new QLabel(QStringLiteral("<b>Format</b>"), this);
    grid->addWidget(order, 1, 1);
    grid->addWidget(format, 1, 2);
    const char* names[] = {"Date", "Open", "High", "Low", "Close"};
    QLineEdit** edits[] = {&DateOrder, &OpenOrder, &HighOrder, &LowOrder, &CloseOrder};
    const char* objNames[] = {"DateOrder", "OpenOrder", "HighOrder", "LowOrder", "CloseOrder"};
    for (int i = 0; i < 5; ++i) {
        grid->addWidget(new QLabel(QString::fromLatin1(names[i]), this), i + 2, 0);
        *edits[i] = new QLineEdit(this);
        (*edits[i])->setObjectName(QLatin1String(objNames[i]));
        (*edits[i])->setMaximumWidth(60);
        grid->addWidget(*edits[i], i + 2, 1);
    }
    dateFmtCB = new QComboBox(this);
    dateFmtCB->setObjectName(QStringLiteral("dateFmtCB"));
    dateFmtCB->setEditable(true);
    dateFmtCB->setInsertPolicy(QComboBox::NoInsert);
    dateFmtCB->addItems(DateLayoutNames());
    grid->addWidget(dateFmtCB, 2, 2);
    grid->addWidget(new QLabel(QStringLiteral("<b>Separator</b>"), this), 4, 2);
    sepCB = new QComboBox(this);
    sepCB->setObjectName(QStringLiteral("sepCB"));
    sepCB->addItems({QStringLiteral("Comma"), QStringLiteral("Semicolon"), QStringLiteral("Tab")});
    grid->addWidget(sepCB, 5, 2);
    BitBtn1 = new QPushButton(QStringLiteral("&OK"), this);
    BitBtn1->setDefault(true);
    grid->addWidget(BitBtn1, 8, 1, 1, 2, Qt::AlignRight);
    connect(BitBtn1, &QPushButton::clicked, this, &TFileSetupDlg::BitBtn1Click);
    // Below the layout's own fields, and only with a file to show.
    Preview = new QPlainTextEdit(this);
    Preview->setObjectName(QStringLiteral("Preview"));
    Preview->setReadOnly(true);
    Preview->setLineWrapMode(QPlainTextEdit::NoWrap);
    Preview->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    Preview->setFocusPolicy(Qt::NoFocus);
    Preview->hide();
    grid->addWidget(Preview, 9, 0, 1, 3);
    for (QLineEdit* e : {DateOrder, OpenOrder, HighOrder, LowOrder, CloseOrder})
        connect(e, &QLineEdit::textChanged, this, &TFileSetupDlg::UpdatePreview);
    connect(headline, &QCheckBox::toggled, this, &TFileSetupDlg::UpdatePreview);
    connect(dateFmtCB, &QComboBox::currentTextChanged, this, &TFileSetupDlg::UpdatePreview);
    connect(sepCB, &QComboBox::currentIndexChanged, this, &TFileSetupDlg::UpdatePreview);
}

void TFileSetupDlg::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Escape) {
        e->accept();
        return;
    }
    QDialog::keyPressEvent(e);
}

void TFileSetupDlg::showEvent(QShowEvent* e)
{
    FormActivate();
    QDialog::showEvent(e);
}

void TFileSetupDlg::FormActivate()
{
    const FileLayout l = current_ ? current_() : FileLayout{};
    headline->setChecked(l.header);
    DateOrder->setText(QString::number(l.dateColumn));
    OpenOrder->setText(QString::number(l.openColumn));
    HighOrder->setText(QString::number(l.highColumn));
    LowOrder->setText(QString::number(l.lowColumn));
    CloseOrder->setText(QString::number(l.closeColumn));
    if (l.dateFormat >= 0 && l.dateFormat < dateFmtCB->count())
        dateFmtCB->setCurrentIndex(l.dateFormat);
    else
        dateFmtCB->setEditText(QString());
    sepCB->setCurrentIndex(l.separator == ';' ? 1 : l.separator == '\t' ? 2 : 0);
    const bool preview = priceFile && !priceFile().isEmpty();
    Preview->setVisible(preview);
    if (preview)
        setFixedSize(560, 306 + 190);
    else
        setFixedSize(339, 306);
    UpdatePreview();
}

void TFileSetupDlg::UpdatePreview()
{
    if (!Preview || !Preview->isVisibleTo(this) || !priceFile)
        return;
    FileLayout l;
    l.header = headline->isChecked();
    QLineEdit* edits[] = {DateOrder, OpenOrder, HighOrder, LowOrder, CloseOrder};
    int* cols[] = {&l.dateColumn, &l.openColumn, &l.highColumn, &l.lowColumn, &l.closeColumn};
    for (size_t i = 0; i < 5; ++i) {
        const std::optional<long long> v = ParseIntIn(edits[i]->text(), 1, INT16_MAX);
        if (!v) {
            Preview->setPlainText(QStringLiteral("Wrong field number!"));
            return;
        }
        *cols[i] = int(*v);
    }
    l.dateFormat = SelectedFormat();
    l.separator = SelectedSeparator();
    Preview->setPlainText(PreviewOf(priceFile(), l));
}

char TFileSetupDlg::SelectedSeparator() const
{
    const char seps[] = {',', ';', '\t'};
    return seps[std::clamp(sepCB->currentIndex(), 0, 2)];
}

int TFileSetupDlg::SelectedFormat() const
{
    const QString typed = dateFmtCB->currentText();
    for (int i = 0; i < dateFmtCB->count(); ++i)
        if (dateFmtCB->itemText(i) == typed)
            return i;
    return -1;
}

void TFileSetupDlg::BitBtn1Click()
{
    const std::array<QString, 5> fields = {DateOrder->text(), OpenOrder->text(), HighOrder->text(),
                                           LowOrder->text(), CloseOrder->text()};
    if (accept_(headline->isChecked(), fields, SelectedFormat(), SelectedSeparator()))
        accept();
}

QStringList TFileSetupDlg::fieldNames() const
{
    return {QStringLiteral("headline"),  QStringLiteral("DateOrder"), QStringLiteral("OpenOrder"),
            QStringLiteral("HighOrder"), QStringLiteral("LowOrder"),  QStringLiteral("CloseOrder"),
            QStringLiteral("dateFmtCB"), QStringLiteral("sepCB")};
}

QStringList TFileSetupDlg::flagNames() const
{
    return {QStringLiteral("headline")};
}

void TFileSetupDlg::setField(const QString& name, const QString& text)
{
    if (name == QLatin1String("headline")) {
        headline->setChecked(text == QLatin1String("1"));
    } else if (name == QLatin1String("dateFmtCB")) {
        bool ok = false;
        const int idx = text.toInt(&ok);
        if (ok && idx >= 0 && idx < dateFmtCB->count())
            dateFmtCB->setCurrentIndex(idx);
        else
            dateFmtCB->setEditText(text);
    } else if (name == QLatin1String("sepCB")) {
        const QString t = text.toLower();
        if (t == QLatin1String("1") || t == QLatin1String(";") || t == QLatin1String("semicolon"))
            sepCB->setCurrentIndex(1);
        else if (t == QLatin1String("2") || t == QLatin1String("tab"))
            sepCB->setCurrentIndex(2);
        else
            sepCB->setCurrentIndex(0);
    } else if (auto* edit = findChild<QLineEdit*>(name)) {
        edit->setText(text);
    }
}
