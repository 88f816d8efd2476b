#include "chart/ui/DateDlg.h"

#include <QCheckBox>
#include <QDate>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>

#include "data/Dates.h"

namespace {
QLabel* Coloured(const QString& text, const QColor& c, bool bold, QWidget* parent)
{
    auto* l = new QLabel(text, parent);
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, c);
    l->setPalette(p);
    if (bold) {
        QFont f = l->font();
        f.setBold(true);
        l->setFont(f);
    }
    return l;
}
} // namespace

TDatesDlg::TDatesDlg(Handlers handlers, QWidget* parent)
    : QDialog(parent), handlers_(std::move(handlers))
{
    setObjectName(QStringLiteral("DatesDlg"));
    setWindowTitle(QStringLiteral("Select Date Range"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setModal(true);
    auto* v = new QVBoxLayout(this);

    auto* panel = new QFrame(this);
    panel->setAutoFillBackground(true);
    QPalette pp = panel->palette();
    pp.setColor(QPalette::Window, Qt::black);
    panel->setPalette(pp);
    auto* pg = new QGridLayout(panel);
    const QColor yellow(255, 255, 0), lime(0, 255, 0);
    pg->addWidget(Coloured(QStringLiteral("File name :"), yellow, true, panel), 0, 0);
    pg->addWidget(Coloured(QStringLiteral("Record Range :"), yellow, true, panel), 1, 0);
    pg->addWidget(Coloured(QStringLiteral("Date Range :"), yellow, true, panel), 2, 0);
    Label4 = Coloured(QString(), lime, false, panel);
    // A long path must not widen the dialog: it is shortened in the middle.
    Label4->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    Label5 = Coloured(QStringLiteral("      1"), lime, false, panel);
    Label9 = Coloured(QString(), lime, false, panel);
    Label6 = Coloured(QString(), lime, false, panel);
    Label10 = Coloured(QString(), lime, false, panel);
    pg->addWidget(Label4, 0, 1, 1, 2);
    pg->addWidget(Label5, 1, 1);
    pg->addWidget(Label9, 1, 2);
    pg->addWidget(Label6, 2, 1);
    pg->addWidget(Label10, 2, 2);
    v->addWidget(panel);

    auto* g = new QGridLayout;
    const QColor hint = palette().color(QPalette::Highlight);
    g->addWidget(new QLabel(QStringLiteral("Enter first record number :"), this), 0, 0);
    FRecordEdit = new QLineEdit(this);
    FRecordEdit->setObjectName(QStringLiteral("FRecordEdit"));
    g->addWidget(FRecordEdit, 0, 1);
    Label12 = Coloured(QString(), hint, false, this);
    g->addWidget(Label12, 0, 2);
    g->addWidget(new QLabel(QStringLiteral("Enter last record number :"), this), 1, 0);
    LRecordEdit = new QLineEdit(this);
    LRecordEdit->setObjectName(QStringLiteral("LRecordEdit"));
    g->addWidget(LRecordEdit, 1, 1);
    Label13 = Coloured(QString(), hint, false, this);
    g->addWidget(Label13, 1, 2);
    FDateEdit = new QLineEdit(this);
    FDateEdit->setObjectName(QStringLiteral("FDateEdit"));
    LDateEdit = new QLineEdit(this);
    LDateEdit->setObjectName(QStringLiteral("LDateEdit"));
    for (auto [edit, tip] :
         {std::pair{FDateEdit, "First date (yyyy-mm-dd): the first record on or after it"},
          std::pair{LDateEdit, "Last date (yyyy-mm-dd): the last record on or before it"}}) {
        edit->setPlaceholderText(QStringLiteral("yyyy-mm-dd"));
        edit->setToolTip(QLatin1String(tip));
        edit->setMaxLength(10);
    }
    g->addWidget(FDateEdit, 0, 3);
    g->addWidget(LDateEdit, 1, 3);
    g->addWidget(new QLabel(QStringLiteral("# of blank days on right :"), this), 2, 0);
    NdayEdit = new QLineEdit(this);
    NdayEdit->setObjectName(QStringLiteral("NdayEdit"));
    g->addWidget(NdayEdit, 2, 1);
    Label14 = Coloured(QStringLiteral("(0 - 50)"), hint, false, this);
    g->addWidget(Label14, 2, 2);
    v->addLayout(g);
    LeaveSpace = new QCheckBox(QStringLiteral("Leave spacing for holidays"), this);
    WholeScale = new QCheckBox(QStringLiteral("Use one scale throughout all periods"), this);
    v->addWidget(LeaveSpace);
    v->addWidget(WholeScale);
    BitBtn1 = new QPushButton(QStringLiteral("&OK"), this);
    BitBtn1->setDefault(true);
    v->addWidget(BitBtn1, 0, Qt::AlignRight);

    FRecordEdit->installEventFilter(this);
    connect(FRecordEdit, &QLineEdit::textEdited, this,
            [this] { RecordEdited(FRecordEdit, FDateEdit); });
    connect(LRecordEdit, &QLineEdit::textEdited, this,
            [this] { RecordEdited(LRecordEdit, LDateEdit); });
    connect(FDateEdit, &QLineEdit::textEdited, this,
            [this] { DateEdited(FDateEdit, FRecordEdit, true); });
    connect(LDateEdit, &QLineEdit::textEdited, this,
            [this] { DateEdited(LDateEdit, LRecordEdit, false); });
    connect(LeaveSpace, &QCheckBox::clicked, this, [this](bool on) { handlers_.leaveSpace(on); });
    connect(WholeScale, &QCheckBox::clicked, this, [this](bool on) { handlers_.wholeScale(on); });
    connect(BitBtn1, &QPushButton::clicked, this, &TDatesDlg::BitBtn1Click);
}

void TDatesDlg::showEvent(QShowEvent* e)
{
    FormActivate();
    // One size for every showing, however long the texts of the panel.
    if (fixedSize_.isEmpty())
        fixedSize_ = sizeHint().expandedTo(QSize(420, 0));
    setFixedSize(fixedSize_);
    QDialog::showEvent(e);
    FRecordEdit->setFocus();
    FRecordEdit->selectAll();
}

bool TDatesDlg::eventFilter(QObject* o, QEvent* e)
{
    if (o == FRecordEdit && e->type() == QEvent::FocusOut)
        FRecordEditExit();
    return QDialog::eventFilter(o, e);
}

DatesShown TDatesDlg::Shown() const
{
    return handlers_.shown ? handlers_.shown() : DatesShown{};
}

void TDatesDlg::SetLabel13()
{
    const DatesShown g = Shown();
    Label13->setText(g.firstRecord >= 1
                         ? QStringLiteral("(%1 - %2)").arg(g.firstRecord + 1).arg(g.recordCount)
                         : QString());
}

void TDatesDlg::FormActivate()
{
    const DatesShown g = Shown();
    Label4->setText(Label4->fontMetrics().elidedText(g.fileName, Qt::ElideMiddle, 300));
    Label4->setToolTip(g.fileName);
    Label6->setText(QString::number(g.recordCount));
    Label9->setText(QStringLiteral("(") + ShortDate(g.firstFileDate) + QStringLiteral(")"));
    Label10->setText(QStringLiteral("(") + ShortDate(g.lastFileDate) + QStringLiteral(")"));
    Label12->setText(QStringLiteral("(1 - %1)").arg(g.recordCount));
    SetLabel13();
    FRecordEdit->setText(QString::number(g.firstRecord));
    LRecordEdit->setText(QString::number(g.lastRecord));
    NdayEdit->setText(QString::number(g.blankDaysRight));
    RecordEdited(FRecordEdit, FDateEdit);
    RecordEdited(LRecordEdit, LDateEdit);
    LeaveSpace->setChecked(g.leaveHolidaySpace);
    // The navigation toggle can change the flag behind the box's back.
    WholeScale->setChecked(g.wholeScale);
}

void TDatesDlg::RecordEdited(QLineEdit* record, QLineEdit* date)
{
    typedDay_[record == FRecordEdit ? 0 : 1].reset();
    bool ok = false;
    const long long k = record->text().trimmed().toLongLong(&ok);
    const RecordDates* dates =
        handlers_.recordDates && ok && k >= 1 ? &handlers_.recordDates() : nullptr;
    date->setText(dates ? IsoText(dates->dayOf(k)) : QString());
}

void TDatesDlg::DateEdited(QLineEdit* date, QLineEdit* record, bool first)
{
    const std::optional<double> day = DayFromIsoText(date->text());
    typedDay_[first ? 0 : 1] = day;
    if (!day || !handlers_.recordDates)
        return; // still being typed
    const RecordDates& dates = handlers_.recordDates();
    const int k = first ? dates.firstOnOrAfter(*day) : dates.lastOnOrBefore(*day);
    // No record on that side of the day: the field is emptied, and OK says so.
    record->setText(k > 0 ? QString::number(k) : QString());
    if (record == FRecordEdit)
        FRecordEditExit();
}

void TDatesDlg::FRecordEditExit()
{
    SetLabel13();
}

namespace {
// "1 Jan 2030": the same words in every locale.
QString DateWords(double day)
{
    return QLocale(QLocale::English, QLocale::UnitedStates)
        .toString(QDate::fromString(IsoText(day), Qt::ISODate), QStringLiteral("d MMM yyyy"));
}
} // namespace

std::optional<TDatesDlg::DatesRefused> TDatesDlg::DatesRefusal() const
{
    const std::optional<double> typedFirst = typedDay_[0], typedLast = typedDay_[1];
    if (typedFirst && FRecordEdit->text().isEmpty())
        return DatesRefused{QStringLiteral("No record on or after %1.").arg(DateWords(*typedFirst)),
                            FDateEdit};
    if (typedLast && LRecordEdit->text().isEmpty())
        return DatesRefused{QStringLiteral("No record on or before %1.").arg(DateWords(*typedLast)),
                            LDateEdit};
    if (!typedFirst || !typedLast)
        return std::nullopt;
    const QString first = DateWords(*typedFirst), last = DateWords(*typedLast);
    const long long f = FRecordEdit->text().toLongLong(), l = LRecordEdit->text().toLongLong();
    if (*typedFirst > *typedLast)
        return DatesRefused{
            QStringLiteral("The first date, %1, comes after the last, %2.").arg(first, last),
            FDateEdit};
    if (f > l)
        return DatesRefused{QStringLiteral("No record from %1 to %2.").arg(first, last), FDateEdit};
    if (f == l)
        return DatesRefused{
            QStringLiteral("Only one record from %1 to %2: a chart needs two.").arg(first, last),
            FDateEdit};
    return std::nullopt;
}

void TDatesDlg::BitBtn1Click()
{
    if (const std::optional<DatesRefused> refused = DatesRefusal();
        refused && handlers_.refuseDates) {
        handlers_.refuseDates(refused->why);
        refused->field->setFocus();
        return;
    }
    switch (handlers_.accept(FRecordEdit->text(), LRecordEdit->text(), NdayEdit->text())) {
    case DatesAnswer::Taken: accept(); break;
    case DatesAnswer::FixFirst: FRecordEdit->setFocus(); break;
    case DatesAnswer::FixLast: LRecordEdit->setFocus(); break;
    }
}

QStringList TDatesDlg::fieldNames() const
{
    return {QStringLiteral("FRecordEdit"), QStringLiteral("LRecordEdit"),
            QStringLiteral("NdayEdit"),    QStringLiteral("LeaveSpace"),
            QStringLiteral("WholeScale"),  QStringLiteral("FDateEdit"),
            QStringLiteral("LDateEdit")};
}

Result<void> TDatesDlg::checkField(const QString& name, const QString& text) const
{
    if ((name == QLatin1String("FDateEdit") || name == QLatin1String("LDateEdit")) &&
        !DayFromIsoText(text))
        return Error{Error::Doing::Plain, QString(), 0,
                     QStringLiteral("%1 takes a date as yyyy-mm-dd, not '%2'").arg(name, text)};
    return {};
}

QStringList TDatesDlg::flagNames() const
{
    return {QStringLiteral("LeaveSpace"), QStringLiteral("WholeScale")};
}

void TDatesDlg::setField(const QString& name, const QString& text)
{
    // Check boxes are clicked, and only when their state changes.
    if (QCheckBox* box = name == QLatin1String("LeaveSpace")   ? LeaveSpace
                         : name == QLatin1String("WholeScale") ? WholeScale
                                                               : nullptr) {
        if (box->isChecked() != (text == QLatin1String("1")))
            box->click();
        return;
    }
    if (auto* edit = findChild<QLineEdit*>(name)) {
        edit->setText(text);
        // As typed by a person: the other field of the pair follows.
        if (edit == FRecordEdit || edit == LRecordEdit)
            RecordEdited(edit, edit == FRecordEdit ? FDateEdit : LDateEdit);
        else if (edit == FDateEdit || edit == LDateEdit)
            DateEdited(edit, edit == FDateEdit ? FRecordEdit : LRecordEdit, edit == FDateEdit);
        if (edit == FRecordEdit)
            FRecordEditExit();
    }
}
