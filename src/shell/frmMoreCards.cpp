#include "frmMoreCards.h"

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

    connect(m_search, &QLineEdit::textChanged, this, &frmMoreCards::setSearchText);
    connect(m_list, &QListView::activated, this, &frmMoreCards::accept);
    connect(m_list->selectionModel(), &QItemSelectionModel::currentChanged, this, &frmMoreCards::updateOpenButton);
    // Up and Down in the search box move through the list.
    m_search->installEventFilter(this);
    selectRow(0);
}

void frmMoreCards::setSearchText(const QString &text)
{
    if (m_search->text() != text)
        m_search->setText(text); // comes back here through textChanged
    m_filter->setFilterFixedString(text);
    selectRow(0);
}

QStringList frmMoreCards::shownNames() const
{
    QStringList names;
    names.reserve(m_filter->rowCount());
    for (int row = 0; row < m_filter->rowCount(); ++row)
        names.append(m_filter->index(row, 0).data().toString());
    return names;
}

bool frmMoreCards::selectRow(int row)
{
    const QModelIndex index = m_filter->index(row, 0);
    if (index.isValid())
        m_list->setCurrentIndex(index);
    else
        m_list->selectionModel()->clear();
    updateOpenButton();
    return index.isValid();
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

bool frmMoreCards::eventFilter(QObject *watched, QEvent *event)
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
