#include "frmMoreCards.h"

#include "ListSearch.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QStringListModel>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

frmMoreCards::frmMoreCards(const QStringList &names, const QList<int> &slotNumbers, QWidget *parent)
    : QDialog(parent), m_slotNumbers(slotNumbers)
{
    setObjectName(u"frmMoreCards"_s);
    setWindowTitle(u"More Cards"_s);

    m_model = new QStringListModel(names, this);
    m_filter = new QSortFilterProxyModel(this);
    m_filter->setSourceModel(m_model);
    m_filter->setFilterCaseSensitivity(Qt::CaseInsensitive);

    auto *label = new QLabel(u"&Find a card:"_s, this);
    m_search = new QLineEdit(this);
    m_search->setObjectName(u"search"_s);
    m_search->setClearButtonEnabled(true);
    label->setBuddy(m_search);

    m_list = new QListView(this);
    m_list->setObjectName(u"cards"_s);
    m_list->setModel(m_filter);
    m_searcher = new ListSearch(m_search, m_list, m_filter, 0, this);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    // All rows have one height, so a long list is laid out at once.
    m_list->setUniformItemSizes(true);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Open | QDialogButtonBox::Cancel, this);
    m_open = buttons->button(QDialogButtonBox::Open);
    m_open->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &frmMoreCards::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &frmMoreCards::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_search);
    layout->addWidget(m_list);
    layout->addWidget(buttons);
    resize(360, 480);

    connect(m_list, &QListView::activated, this, &frmMoreCards::accept);
    connect(m_list->selectionModel(), &QItemSelectionModel::currentChanged, this, &frmMoreCards::updateOpenButton);
    connect(m_searcher, &ListSearch::selectionChanged, this, &frmMoreCards::updateOpenButton);
    selectRow(0);
}

void frmMoreCards::setSearchText(const QString &text)
{
    m_searcher->setText(text);
}

QStringList frmMoreCards::shownNames() const
{
    return m_searcher->shownTexts();
}

bool frmMoreCards::selectRow(int row)
{
    return m_searcher->selectRow(row);
}

void frmMoreCards::updateOpenButton()
{
    m_open->setEnabled(m_list->currentIndex().isValid());
}

void frmMoreCards::accept()
{
    const QModelIndex index = m_list->currentIndex();
    if (!index.isValid())
        return;
    const int row = m_filter->mapToSource(index).row();
    if (row < 0 || row >= m_slotNumbers.size())
        return;
    const int slotNumber = m_slotNumbers.at(row);
    QDialog::accept();
    Q_EMIT cardChosen(slotNumber);
}
