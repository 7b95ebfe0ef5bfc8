#include "PersonChooser.h"

#include "ListSearch.h"

#include "PeopleUi.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTreeView>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

PersonChooser::PersonChooser(std::vector<Person> people, QWidget *parent)
    : QDialog(parent), m_people(std::move(people))
{
    setObjectName(u"PersonChooser"_s);
    setWindowTitle(u"Fill From Person"_s);

    m_model = PeopleUi::peopleModel(m_people, false, this);
    m_filter = new QSortFilterProxyModel(this);
    m_filter->setSourceModel(m_model);
    m_filter->setFilterCaseSensitivity(Qt::CaseInsensitive);
    m_filter->setFilterKeyColumn(PeopleUi::NameColumn);
    m_filter->setFilterRole(PeopleUi::SearchRole);

    auto *label = new QLabel(u"&Find a person:"_s, this);
    m_search = new QLineEdit(this);
    m_search->setObjectName(u"search"_s);
    m_search->setClearButtonEnabled(true);
    label->setBuddy(m_search);

    m_list = new QTreeView(this);
    m_list->setObjectName(u"people"_s);
    m_list->setModel(m_filter);
    m_searcher = new ListSearch(m_search, m_list, m_filter, PeopleUi::NameColumn, this);
    PeopleUi::setUpList(m_list, 220, 90);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    m_fill = buttons->addButton(u"&Fill"_s, QDialogButtonBox::AcceptRole);
    m_fill->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &PersonChooser::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &PersonChooser::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_search);
    layout->addWidget(m_list);
    layout->addWidget(buttons);
    resize(480, 420);

    connect(m_list, &QTreeView::activated, this, &PersonChooser::accept);
    connect(m_list->selectionModel(), &QItemSelectionModel::currentChanged, this, &PersonChooser::updateFillButton);
    connect(m_searcher, &ListSearch::selectionChanged, this, &PersonChooser::updateFillButton);
    selectRow(0);
}

void PersonChooser::setSearchText(const QString &text)
{
    m_searcher->setText(text);
}

QStringList PersonChooser::shownNames() const
{
    return m_searcher->shownTexts();
}

bool PersonChooser::selectRow(int row)
{
    return m_searcher->selectRow(row);
}

void PersonChooser::updateFillButton()
{
    m_fill->setEnabled(m_list->currentIndex().isValid());
}

void PersonChooser::accept()
{
    const QModelIndex index = m_list->currentIndex();
    if (!index.isValid())
        return;
    const int row = m_filter->mapToSource(index).row();
    if (row < 0 || row >= int(m_people.size()))
        return;
    m_chosen = m_people[std::size_t(row)];
    QDialog::accept();
}
