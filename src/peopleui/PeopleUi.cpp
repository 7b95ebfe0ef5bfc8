#include "PeopleUi.h"

#include "PeopleBook.h"

#include <QHeaderView>
#include <QStandardItemModel>
#include <QTreeView>

using namespace Qt::StringLiterals;

namespace {

QString &givenBook()
{
    static QString where;
    return where;
}

} // namespace

void PeopleUi::setBookLocation(const QString &where)
{
    givenBook() = where;
}

QString PeopleUi::bookLocation()
{
    return PeopleBook::chosenLocation(givenBook());
}

std::unique_ptr<PeopleBook> PeopleUi::openBook(QString *error)
{
    return PeopleBook::open(bookLocation(), PeopleBook::Open::CreateIfMissing, error);
}

QStandardItemModel *PeopleUi::peopleModel(const std::vector<Person> &people, bool checkable, QObject *parent)
{
    auto *model = new QStandardItemModel(int(people.size()), ColumnCount, parent);
    model->setHorizontalHeaderLabels({u"Name"_s, u"Born"_s, u"Household"_s});
    for (int row = 0; row < int(people.size()); ++row) {
        const Person &p = people[std::size_t(row)];
        auto *name = new QStandardItem(p.displayName());
        name->setData(QStringList(p.values.begin(), p.values.end()).join(u'\n'), SearchRole);
        name->setEditable(false);
        if (checkable) {
            name->setCheckable(true);
            name->setCheckState(Qt::Unchecked);
        }
        auto *born = new QStandardItem(p.value(Person::BirthDate));
        born->setEditable(false);
        auto *household = new QStandardItem(p.value(Person::Household));
        household->setEditable(false);
        model->setItem(row, NameColumn, name);
        model->setItem(row, BirthColumn, born);
        model->setItem(row, HouseholdColumn, household);
    }
    return model;
}

void PeopleUi::setUpList(QTreeView *list, int nameWidth, int birthWidth)
{
    list->setRootIsDecorated(false);
    list->setItemsExpandable(false);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setUniformRowHeights(true);
    list->header()->setStretchLastSection(true);
    list->setColumnWidth(NameColumn, nameWidth);
    list->setColumnWidth(BirthColumn, birthWidth);
}
