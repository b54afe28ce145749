#pragma once
// The operation log: a one-column report list with a centred heading, grid lines and
// whole-row selection of at most one row, which stays shown when the view loses the
// focus. Rows are read-only, and one too long for the column wraps onto a taller row.
// The view is one stop in the tab order.

#include <QTableWidget>

class LogView : public QTableWidget {
    Q_OBJECT
public:
    explicit LogView(QWidget* parent);

    // Puts in the one column, heading centred.
    void SetColumn(const QString& heading, int width);
    // Makes the row tall enough for its wrapped text; a row of one line keeps its height.
    void FitRow(int row);
};
