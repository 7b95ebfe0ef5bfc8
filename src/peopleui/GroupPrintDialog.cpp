#include "GroupPrintDialog.h"

#include "ListSearch.h"

#include "CardFormModel.h"
#include "CardPrinting.h"
#include "Messages.h"
#include "PagePreview.h"
#include "PdfExport.h"
#include "PeopleUi.h"
#include "SheetModel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTreeView>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

GroupPrintDialog::GroupPrintDialog(const CardFormModel &form, CardPrinting &printer, Setup setup, QWidget *parent)
    : QDialog(parent), m_form(form), m_printer(printer), m_setup(std::move(setup)),
      m_pages(m_setup.people.size())
{
    setObjectName(u"GroupPrintDialog"_s);
    setWindowTitle(u"Print for Several People - %1"_s.arg(form.varCardTitle()));

    m_model = PeopleUi::peopleModel(m_setup.people, true, this);
    m_filter = new QSortFilterProxyModel(this);
    m_filter->setSourceModel(m_model);
    m_filter->setFilterCaseSensitivity(Qt::CaseInsensitive);
    m_filter->setFilterKeyColumn(PeopleUi::NameColumn);
    m_filter->setFilterRole(PeopleUi::SearchRole);

    m_household = new QComboBox(this);
    m_household->setObjectName(u"household"_s);
    m_household->addItems(m_setup.households);
    m_household->setEnabled(!m_setup.households.isEmpty());
    auto *chooseHousehold = new QPushButton(u"Choose &household"_s, this);
    chooseHousehold->setEnabled(!m_setup.households.isEmpty());
    chooseHousehold->setAutoDefault(false);
    connect(chooseHousehold, &QPushButton::clicked, this, [this] { this->chooseHousehold(); });
    auto *householdLabel = new QLabel(u"Hou&sehold:"_s, this);
    householdLabel->setBuddy(m_household);

    m_search = new QLineEdit(this);
    m_search->setObjectName(u"search"_s);
    m_search->setClearButtonEnabled(true);
    m_search->setPlaceholderText(u"Any name, date, passport, address..."_s);
    auto *searchLabel = new QLabel(u"&Find:"_s, this);
    searchLabel->setBuddy(m_search);
    auto *chooseShown = new QPushButton(u"Choose sho&wn"_s, this);
    chooseShown->setAutoDefault(false);
    connect(chooseShown, &QPushButton::clicked, this, &GroupPrintDialog::chooseShown);

    m_list = new QTreeView(this);
    m_list->setObjectName(u"people"_s);
    m_list->setModel(m_filter);
    m_searcher = new ListSearch(m_search, m_list, m_filter, PeopleUi::NameColumn, this);
    m_searcher->setKeepsCurrentRow(true);
    PeopleUi::setUpList(m_list, 170, 85);
    m_count = new QLabel(this);

    m_previewName = new QLabel(this);
    m_previewName->setTextFormat(Qt::PlainText);
    m_previewName->setWordWrap(true);
    m_preview = new PagePreview(this);
    m_preview->setMinimumSize(280, 180);
    auto *faultsLabel = new QLabel(u"Chosen people whose cards have faults:"_s, this);
    m_faults = new QListWidget(this);
    m_faults->setObjectName(u"faults"_s);
    m_faults->setWordWrap(true);
    m_faults->setMaximumHeight(m_faults->fontMetrics().lineSpacing() * 5 + 8);
    m_leaveOut = new QCheckBox(u"&Leave out the people whose cards have faults"_s, this);
    m_leaveOut->setChecked(true);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    m_print = buttons->addButton(u"&Print..."_s, QDialogButtonBox::ActionRole);
    m_export = buttons->addButton(u"&Export PDF..."_s, QDialogButtonBox::ActionRole);
    m_print->setAutoDefault(false);
    m_export->setAutoDefault(false);
    connect(m_print, &QPushButton::clicked, this, [this] { print(); });
    connect(m_export, &QPushButton::clicked, this, &GroupPrintDialog::exportPdfAs);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *householdRow = new QHBoxLayout;
    householdRow->addWidget(householdLabel);
    householdRow->addWidget(m_household, 1);
    householdRow->addWidget(chooseHousehold);
    auto *searchRow = new QHBoxLayout;
    searchRow->addWidget(searchLabel);
    searchRow->addWidget(m_search, 1);
    searchRow->addWidget(chooseShown);
    auto *left = new QVBoxLayout;
    left->addLayout(householdRow);
    left->addLayout(searchRow);
    left->addWidget(m_list, 1);
    left->addWidget(m_count);
    auto *right = new QVBoxLayout;
    right->addWidget(m_previewName);
    right->addWidget(m_preview, 1);
    right->addWidget(faultsLabel);
    right->addWidget(m_faults);
    right->addWidget(m_leaveOut);
    auto *columns = new QHBoxLayout;
    columns->addLayout(left, 2);
    columns->addLayout(right, 3);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(columns, 1);
    layout->addWidget(buttons);

    connect(m_list->selectionModel(), &QItemSelectionModel::currentChanged, this, &GroupPrintDialog::updatePreview);
    connect(m_model, &QStandardItemModel::itemChanged, this, [this] {
        updateFaults();
        updateButtons();
    });
    QSize size(980, 600);
    if (parent && parent->screen())
        size = size.boundedTo(parent->screen()->availableSize() * 9 / 10);
    resize(size);
    connect(m_searcher, &ListSearch::selectionChanged, this, &GroupPrintDialog::updatePreview);
    selectRow(0);
    updateFaults();
    updateButtons();
}

void GroupPrintDialog::setSearchText(const QString &text)
{
    m_searcher->setText(text);
}

QStringList GroupPrintDialog::shownNames() const
{
    return m_searcher->shownTexts();
}

void GroupPrintDialog::chooseHousehold(const QString &household)
{
    const QString name = household.isEmpty() ? m_household->currentText() : household;
    if (name.isEmpty())
        return;
    for (std::size_t row = 0; row < m_setup.people.size(); ++row) {
        if (m_setup.people[row].value(Person::Household).compare(name, Qt::CaseInsensitive) == 0)
            setChosen(int(row), true);
    }
}

void GroupPrintDialog::chooseShown()
{
    for (int row = 0; row < m_filter->rowCount(); ++row)
        setChosen(m_filter->mapToSource(m_filter->index(row, 0)).row(), true);
}

void GroupPrintDialog::setChosen(int row, bool chosen)
{
    if (QStandardItem *item = m_model->item(row, PeopleUi::NameColumn))
        item->setCheckState(chosen ? Qt::Checked : Qt::Unchecked);
}

std::vector<Person> GroupPrintDialog::chosenPeople() const
{
    std::vector<Person> out;
    for (int row = 0; row < m_model->rowCount(); ++row) {
        if (m_model->item(row, PeopleUi::NameColumn)->checkState() == Qt::Checked)
            out.push_back(m_setup.people[std::size_t(row)]);
    }
    return out;
}

bool GroupPrintDialog::selectRow(int row)
{
    return m_searcher->selectRow(row);
}

std::optional<Person> GroupPrintDialog::previewed() const
{
    const QModelIndex index = m_list->currentIndex();
    if (!index.isValid())
        return std::nullopt;
    return m_setup.people[std::size_t(m_filter->mapToSource(index).row())];
}

const GroupPrint::Page &GroupPrintDialog::printerPage(int row)
{
    std::optional<GroupPrint::Page> &page = m_pages[std::size_t(row)];
    if (!page) {
        // The printer's margins are asked for once: every page has the card's paper.
        const auto margins = [this](const PrintPage &p) {
            if (!m_margins)
                m_margins = m_printer.unprintableMargins(p);
            return *m_margins;
        };
        std::vector<GroupPrint::Page> built = GroupPrint::pages(m_form, {m_setup.people[std::size_t(row)]},
                                                                m_setup.profile ? &*m_setup.profile : nullptr,
                                                                margins);
        page = std::move(built.front());
    }
    return *page;
}

void GroupPrintDialog::updatePreview()
{
    const QModelIndex index = m_list->currentIndex();
    if (!index.isValid() || !m_form.clsCard()) {
        m_previewName->setText(u"No one selected"_s);
        m_preview->setPage(PrintPage{}, m_setup.previewOptions, SheetModel{});
        return;
    }
    const GroupPrint::Page &page = printerPage(m_filter->mapToSource(index).row());
    m_previewName->setText(page.problems.isEmpty()
                               ? u"The card of %1"_s.arg(page.person.displayName())
                               : u"The card of %1, with faults: %2"_s.arg(page.person.displayName(),
                                                                         page.problems.join(u"; "_s)));
    const SheetModel sheet = SheetModel::build(page.page, m_margins && *m_margins ? &**m_margins : nullptr);
    m_preview->setPage(page.page, m_setup.previewOptions, sheet);
}

QStringList GroupPrintDialog::faultTexts() const
{
    QStringList texts;
    for (int i = 0; i < m_faults->count(); ++i)
        texts.append(m_faults->item(i)->text());
    return texts;
}

void GroupPrintDialog::updateFaults()
{
    m_faults->clear();
    int chosen = 0;
    for (int row = 0; row < m_model->rowCount(); ++row) {
        if (m_model->item(row, PeopleUi::NameColumn)->checkState() != Qt::Checked)
            continue;
        ++chosen;
        const GroupPrint::Page &page = printerPage(row);
        if (!page.problems.isEmpty())
            m_faults->addItem(u"%1: %2"_s.arg(page.person.displayName(), page.problems.join(u"; "_s)));
    }
    m_count->setText(u"%1 of %2 chosen"_s.arg(chosen).arg(m_model->rowCount()));
}

void GroupPrintDialog::updateButtons()
{
    const bool any = !chosenPeople().empty() && m_form.clsCard();
    m_print->setEnabled(any);
    m_export->setEnabled(any);
}

std::optional<GroupPrintDialog::Job> GroupPrintDialog::prepare(const std::vector<GroupPrint::Page> &pages)
{
    Job job;
    QStringList faulty;
    for (const GroupPrint::Page &p : pages) {
        if (!p.problems.isEmpty())
            faulty.append(u"%1: %2"_s.arg(p.person.displayName(), p.problems.join(u"; "_s)));
    }
    const bool leaveOut = m_leaveOut->isChecked();
    if (!leaveOut && !faulty.isEmpty()
        && !Messages::confirm(u"%1 card(s) have faults and will print as they are:\n\n%2\n\nPrint them anyway?"_s
                                  .arg(faulty.size())
                                  .arg(faulty.join(u'\n')),
                              u"Requesting Confirmation"_s, true))
        return std::nullopt;
    for (const GroupPrint::Page &p : pages) {
        if (leaveOut && !p.problems.isEmpty())
            job.leftOut.push_back(p);
        else
            job.pages.push_back(p.page);
    }
    return job;
}

void GroupPrintDialog::finish(int printed, const std::vector<GroupPrint::Page> &leftOut)
{
    m_summary = GroupPrint::summary(printed, leftOut);
    Messages::inform(m_summary, u"Print for Several People"_s);
    Q_EMIT statusMessage(QString(m_summary).replace(u'\n', u"; "_s));
    if (printed > 0)
        accept();
}

bool GroupPrintDialog::print()
{
    const std::vector<Person> people = chosenPeople();
    if (people.empty() || !m_form.clsCard())
        return false;
    std::vector<GroupPrint::Page> pages;
    for (int row = 0; row < m_model->rowCount(); ++row) {
        if (m_model->item(row, PeopleUi::NameColumn)->checkState() == Qt::Checked)
            pages.push_back(printerPage(row));
    }
    const std::optional<Job> job = prepare(pages);
    if (!job)
        return false;
    if (job->pages.empty()) {
        finish(0, job->leftOut);
        return false;
    }
    const QString printer = m_printer.currentPrinter();
    if (!Messages::confirm(u"Print %1 declaration form(s), one for each person%2?"_s.arg(job->pages.size())
                               .arg(printer.isEmpty() ? QString() : u", on \"%1\""_s.arg(printer)),
                           u"Requesting Confirmation"_s))
        return false;
    QString error;
    if (!m_printer.printPages(job->pages, 1, RenderOptions{}, &error)) {
        Messages::error(u"The cards were not printed.\n\n%1"_s.arg(error));
        return false;
    }
    if (const QString note = m_printer.lastNote(); !note.isEmpty())
        Messages::inform(note);
    finish(int(job->pages.size()), job->leftOut);
    return true;
}

bool GroupPrintDialog::exportPdf(const QString &path)
{
    const std::vector<Person> people = chosenPeople();
    if (people.empty() || !m_form.clsCard())
        return false;
    // A file gets the card's own print settings, as the card's Export PDF
    // writes it; no printer's margins apply.
    const std::optional<Job> job = prepare(GroupPrint::pages(m_form, people));
    if (!job)
        return false;
    if (job->pages.empty()) {
        finish(0, job->leftOut);
        return false;
    }
    QString error;
    if (!PdfExport::exportPages(path, job->pages, 1, RenderOptions{}, &error)) {
        Messages::error(u"The PDF file was not written.\n\n%1"_s.arg(error));
        return false;
    }
    finish(int(job->pages.size()), job->leftOut);
    return true;
}

void GroupPrintDialog::exportPdfAs()
{
    const QString path = QFileDialog::getSaveFileName(this, u"Export PDF"_s, m_setup.suggestedPdfPath,
                                                      u"PDF files (*.pdf)"_s);
    if (!path.isEmpty())
        exportPdf(path);
}
