#pragma once
// View > Figures: a dock listing every figure on the chart, from which one is
// picked, hidden, shown again or deleted. It only mirrors the session; every
// change goes through the session's handlers, as a click on the chart does.

#include <QDockWidget>
#include <functional>
#include <vector>

#include "app/session/ChartSession.h"

class QPushButton;
class QTableWidget;

class FiguresDock : public QDockWidget {
public:
    FiguresDock(ChartSession& session, QWidget* parent);
    // Reads the figures and the picked one again; nothing changes when they have not.
    void refresh();

    enum Column { NumberColumn, TypeColumn, AnchorsColumn, ShownColumn, ColumnCount };

protected:
    void showEvent(QShowEvent* e) override;

private:
    void build();
    void RowPicked();
    void ShownTicked(int row, bool shown);
    void DeleteClicked();
    ChartSession& session_;
    QTableWidget* table_ = nullptr;
    QPushButton* delete_ = nullptr;
    std::vector<ChartSession::FigureRow> shown_;
    int picked_ = -1;
    bool enabled_ = true;
};
