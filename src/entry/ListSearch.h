#pragma once

#include <QObject>
#include <QStringList>

class QAbstractItemView;
class QLineEdit;
class QSortFilterProxyModel;

// A search line over a filtered list, as the lists of cards and of people
// have it: typing narrows the list to the rows that hold the text and
// selects the first; Up, Down, Page Up and Page Down in the line move
// through the list, so the keyboard never has to leave the line.
class ListSearch : public QObject
{
    Q_OBJECT

public:
    // column: the column whose rows are selected and whose texts are shown.
    ListSearch(QLineEdit *line, QAbstractItemView *view, QSortFilterProxyModel *filter, int column,
               QObject *parent);

    // Filtering keeps the current row where it is still shown, instead of
    // going to the first (a list the user ticks people in).
    void setKeepsCurrentRow(bool keep) { m_keepCurrent = keep; }
    // Puts the text in the line and filters by it.
    void setText(const QString &text);
    // Makes a row of the filtered list current; false, with none current,
    // when it has no such row.
    bool selectRow(int row);
    // The column's texts of the rows shown, in order.
    QStringList shownTexts() const;

Q_SIGNALS:
    // After the list was filtered or a row selected through the search.
    void selectionChanged();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLineEdit *m_line;
    QAbstractItemView *m_view;
    QSortFilterProxyModel *m_filter;
    int m_column;
    bool m_keepCurrent = false;
};
