#include "PersonChooser.h"

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
    m_list->setRootIsDecorated(false);
    m_list->setItemsExpandable(false);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setUniformRowHeights(true);
    m_list->header()->setStretchLastSection(true);
    m_list->setColumnWidth(PeopleUi::NameColumn, 220);
    m_list->setColumnWidth(PeopleUi::BirthColumn, 90);

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

    connect(m_search, &QLineEdit::textChanged, this, &PersonChooser::setSearchText);
    connect(m_list, &QTreeView::activated, this, &PersonChooser::accept);
    connect(m_list->selectionModel(), &QItemSelectionModel::currentChanged, this, &PersonChooser::updateFillButton);
    // Up and Down in the search box move through the list.
    m_search->installEventFilter(this);
    selectRow(0);
}

void PersonChooser::setSearchText(const QString &text)
{
    if (m_search->text() != text)
        m_search->setText(text); // comes back here through textChanged
    m_filter->setFilterFixedString(text);
    selectRow(0);
}

QStringList PersonChooser::shownNames() const
{
    QStringList names;
    names.reserve(m_filter->rowCount());
    for (int row = 0; row < m_filter->rowCount(); ++row)
        names.append(m_filter->index(row, PeopleUi::NameColumn).data().toString());
    return names;
}

bool PersonChooser::selectRow(int row)
{
    const QModelIndex index = m_filter->index(row, PeopleUi::NameColumn);
    if (index.isValid())
        m_list->setCurrentIndex(index);
    else
        m_list->selectionModel()->clear();
    updateFillButton();
    return index.isValid();
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

bool PersonChooser::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_search && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp || key == Qt::Key_PageDown) {
            QCoreApplication::sendEvent(m_list, event);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
