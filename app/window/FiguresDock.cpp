#include "app/window/FiguresDock.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>

FiguresDock::FiguresDock(ChartSession& session, QWidget* parent)
    : QDockWidget(QStringLiteral("Figures"), parent), session_(session)
{
    setObjectName(QStringLiteral("FiguresDock"));
    // The list is built when the dock is first shown: most sessions never
    // open it, and a table view costs more to make than the rest of the window.
    setWidget(new QWidget(this));
}

void FiguresDock::showEvent(QShowEvent* e)
{
    if (!table_) {
        build();
        refresh();
    }
    QDockWidget::showEvent(e);
}

void FiguresDock::build()
{
    auto* inside = widget();
    auto* layout = new QVBoxLayout(inside);
    layout->setContentsMargins(4, 4, 4, 4);
    table_ = new QTableWidget(0, ColumnCount, inside);
    table_->setObjectName(QStringLiteral("FigureList"));
    table_->setHorizontalHeaderLabels({QStringLiteral("#"), QStringLiteral("Type"),
                                       QStringLiteral("Anchors"), QStringLiteral("Shown")});
    table_->verticalHeader()->hide();
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table_->horizontalHeader()->setStretchLastSection(false);
    // Wide enough for a figure's type and two anchors side by side.
    table_->setMinimumWidth(
        table_->fontMetrics().horizontalAdvance(
            QStringLiteral("TIME GOAL ANALYSIS  P1 2024-01-31 1234.56, P2 2024-01-31 1234.56")) +
        table_->fontMetrics().horizontalAdvance(QStringLiteral("#  hidden ")) + 40);
    layout->addWidget(table_);
    delete_ = new QPushButton(QStringLiteral("&Delete"), inside);
    delete_->setObjectName(QStringLiteral("DeleteFigureButton"));
    layout->addWidget(delete_);

    connect(table_, &QTableWidget::itemSelectionChanged, this, [this] { RowPicked(); });
    connect(table_, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (item->column() == ShownColumn)
            ShownTicked(item->row(), item->checkState() == Qt::Checked);
    });
    connect(delete_, &QPushButton::clicked, this, [this] { DeleteClicked(); });
}

void FiguresDock::refresh()
{
    if (!table_)
        return;
    std::vector<ChartSession::FigureRow> rows = session_.FigureRows();
    const int picked = session_.SelectedFigure();
    const bool enabled = session_.ui.toolBar1Enabled && session_.ui.imageVisible;
    if (rows == shown_ && picked == picked_ && enabled == enabled_)
        return;
    const QSignalBlocker quiet(table_);
    if (rows != shown_) {
        table_->setRowCount(int(rows.size()));
        for (size_t i = 0; i < rows.size(); ++i) {
            const ChartSession::FigureRow& r = rows[i];
            const int row = int(i);
            auto text = [&](int column, const QString& t) {
                auto* item = new QTableWidgetItem(t);
                item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
                table_->setItem(row, column, item);
            };
            text(NumberColumn, QString::number(r.number));
            text(TypeColumn, r.type);
            text(AnchorsColumn, r.anchors);
            table_->item(row, AnchorsColumn)->setToolTip(r.anchors);
            auto* shown =
                new QTableWidgetItem(r.hidden ? QStringLiteral("hidden") : QStringLiteral("shown"));
            shown->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
            shown->setCheckState(r.hidden ? Qt::Unchecked : Qt::Checked);
            table_->setItem(row, ShownColumn, shown);
        }
        shown_ = std::move(rows);
    }
    // The selection follows the picked figure; the current cell stays where
    // the person put it, so that Space still ticks the box they are on.
    const QModelIndex row = picked > 0 && picked <= table_->rowCount()
                                ? table_->model()->index(picked - 1, 0)
                                : QModelIndex();
    if (row.isValid())
        table_->selectionModel()->select(row, QItemSelectionModel::ClearAndSelect |
                                                  QItemSelectionModel::Rows);
    else
        table_->selectionModel()->clearSelection();
    picked_ = picked;
    enabled_ = enabled;
    table_->setEnabled(enabled);
    delete_->setEnabled(enabled && picked > 0);
}

void FiguresDock::RowPicked()
{
    const QList<QTableWidgetItem*> items = table_->selectedItems();
    const int n = items.isEmpty() ? 0 : items.front()->row() + 1;
    session_.SelectFigure(n);
}

void FiguresDock::ShownTicked(int row, bool shown)
{
    session_.SetFigureHidden(row + 1, !shown);
}

void FiguresDock::DeleteClicked()
{
    const int n = session_.SelectedFigure();
    if (n > 0)
        session_.DeleteFigureClick();
}
