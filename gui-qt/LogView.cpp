#include "gui-qt/LogView.h"

#include <QHeaderView>

#include <algorithm>

LogView::LogView(QWidget* parent) : QTableWidget(parent) {
    setColumnCount(0);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setStretchLastSection(false);
    setShowGrid(true);
    // A row wider than the column wraps rather than losing its end.
    setWordWrap(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    // One stop in the tab order: Tab leaves the log instead of moving between its rows.
    setTabKeyNavigation(false);

    QPalette shown = palette();
    for (const auto role : {QPalette::Highlight, QPalette::HighlightedText})
        shown.setColor(QPalette::Inactive, role, shown.color(QPalette::Active, role));
    setPalette(shown);
}

void LogView::SetColumn(const QString& heading, int width) {
    setColumnCount(1);
    auto* header = new QTableWidgetItem(heading);
    header->setTextAlignment(Qt::AlignCenter);
    setHorizontalHeaderItem(0, header);
    setColumnWidth(0, width);
}

void LogView::FitRow(int row) {
    setRowHeight(row, std::max(verticalHeader()->defaultSectionSize(), sizeHintForRow(row)));
}
