#pragma once

#include <QDialog>
#include <QList>

class ListSearch;
class QLineEdit;
class QListView;
class QPushButton;
class QSortFilterProxyModel;
class QStringListModel;

// The searchable list of every card, for a chooser with more cards than its
// menu can show. Typing narrows the list to the names that contain the text,
// without regard to case; Open, Enter or a double click chooses a card.
class frmMoreCards : public QDialog
{
    Q_OBJECT

public:
    // names[i] is the card of chooser slot slotNumbers[i].
    frmMoreCards(const QStringList &names, const QList<int> &slotNumbers, QWidget *parent = nullptr);

    void setSearchText(const QString &text);
    // The names the list shows now, in its order.
    QStringList shownNames() const;
    // Selects the shown card at row; false when there is no such row.
    bool selectRow(int row);

    QLineEdit *searchBox() const { return m_search; }
    QListView *list() const { return m_list; }
    QPushButton *openButton() const { return m_open; }

Q_SIGNALS:
    // Sent when the user chose a card; the dialog is closed by then.
    void cardChosen(int slotNumber);

public Q_SLOTS:
    void accept() override;

protected:

private:
    void updateOpenButton();

    QList<int> m_slotNumbers;
    QStringListModel *m_model = nullptr;
    QSortFilterProxyModel *m_filter = nullptr;
    QLineEdit *m_search = nullptr;
    ListSearch *m_searcher = nullptr;
    QListView *m_list = nullptr;
    QPushButton *m_open = nullptr;
};
