#pragma once

#include "Person.h"

#include <QDialog>

#include <optional>
#include <vector>

class ListSearch;
class QLineEdit;
class QPushButton;
class QSortFilterProxyModel;
class QStandardItemModel;
class QTreeView;

// The searchable list of the people book, to fill a card from one person:
// name, birth date and household. Typing narrows the list to the people any
// of whose fields contains the text, without regard to case; Fill, Enter or
// a double click chooses the person.
class PersonChooser : public QDialog
{
    Q_OBJECT

public:
    explicit PersonChooser(std::vector<Person> people, QWidget *parent = nullptr);

    void setSearchText(const QString &text);
    // The display names the list shows now, in its order.
    QStringList shownNames() const;
    // Selects the shown person at row; false when there is no such row.
    bool selectRow(int row);
    // The person chosen once the dialog is accepted, else none.
    std::optional<Person> chosen() const { return m_chosen; }

    QLineEdit *searchBox() const { return m_search; }
    QTreeView *list() const { return m_list; }
    QPushButton *fillButton() const { return m_fill; }

public Q_SLOTS:
    void accept() override;

protected:

private:
    void updateFillButton();

    std::vector<Person> m_people;
    std::optional<Person> m_chosen;
    QStandardItemModel *m_model = nullptr;
    QSortFilterProxyModel *m_filter = nullptr;
    QLineEdit *m_search = nullptr;
    ListSearch *m_searcher = nullptr;
    QTreeView *m_list = nullptr;
    QPushButton *m_fill = nullptr;
};
