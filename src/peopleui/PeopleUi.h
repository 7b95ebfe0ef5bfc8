#pragma once

#include "Person.h"

#include <QString>

#include <memory>
#include <vector>

class PeopleBook;
class QStandardItemModel;
class QObject;
class QTreeView;

// What the People menu's windows share: the book they use and the list of
// people they show.
namespace PeopleUi {

// The book given on the command line (--book); empty for the one in the
// user's settings or the default.
void setBookLocation(const QString &where);
QString bookLocation();
// Opens the chosen book, making the default one when it is missing; null,
// with the book's message, when it cannot be used.
std::unique_ptr<PeopleBook> openBook(QString *error);

// The columns of a list of people, and the role on column 0 that holds every
// field of the person, for a filter that matches any of them.
enum Column { NameColumn, BirthColumn, HouseholdColumn, ColumnCount };
constexpr int SearchRole = Qt::UserRole + 1;
// The row of the model is the index into people. Checkable rows start unchecked.
QStandardItemModel *peopleModel(const std::vector<Person> &people, bool checkable, QObject *parent);
// A flat list of whole rows, one current at a time, with the name and birth
// date columns this wide.
void setUpList(QTreeView *list, int nameWidth, int birthWidth);

} // namespace PeopleUi
