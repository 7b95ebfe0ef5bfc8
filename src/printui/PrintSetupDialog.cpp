#include "PrintSetupDialog.h"

#include "CupsDestination.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

const int CopyChoices[] = {1, 5, 10, 25};

QString millimetres(double twips)
{
    return QString::number(twips * 25.4 / 1440.0, 'f', 1);
}

} // namespace

PrintSetupDialog::PrintSetupDialog(const QString &cardTitle, const QString &cardFile, const PrintPage &page,
                                   const PrinterProfiles::Choice &choice, int copies, QWidget *parent)
    : QDialog(parent), m_cardFile(cardFile)
{
    setWindowTitle(u"Print - %1"_s.arg(cardTitle));

    m_printer = new QComboBox(this);
    m_printer->setObjectName(u"printer"_s);
    const QStringList printers = CupsDestination::printers(&m_defaultPrinter);
    // The first entry follows whatever the system's default printer is.
    m_printer->addItem(m_defaultPrinter.isEmpty() ? u"Default printer (none is set)"_s
                                                  : u"Default printer (%1)"_s.arg(m_defaultPrinter),
                       QString());
    for (const QString &name : printers)
        m_printer->addItem(name, name);
    int current = m_printer->findData(choice.printer);
    if (current < 0) {
        // A remembered printer that is gone stays chosen, so the print says so.
        m_printer->addItem(u"%1 (not installed)"_s.arg(choice.printer), choice.printer);
        current = m_printer->count() - 1;
    }
    m_printer->setCurrentIndex(current);

    m_tray = new QComboBox(this);
    m_tray->setObjectName(u"tray"_s);

    m_copies = new QComboBox(this);
    m_copies->setObjectName(u"copies"_s);
    for (const int n : CopyChoices)
        m_copies->addItem(QString::number(n), n);
    m_copies->setCurrentIndex(std::max(0, m_copies->findData(copies)));

    auto *paper = new QLabel(u"%1 by %2 mm, %3: the card's own"_s.arg(
                                 millimetres(page.paperWidth), millimetres(page.paperHeight),
                                 page.landscape ? u"landscape"_s : u"portrait"_s),
                             this);
    m_calibration = new QLabel(this);
    m_calibration->setWordWrap(true);
    m_problem = new QLabel(this);
    m_problem->setWordWrap(true);
    m_problem->setStyleSheet(u"color: #b00020"_s);
    for (QLabel *label : {paper, m_calibration, m_problem})
        label->setTextFormat(Qt::PlainText);

    auto *form = new QFormLayout;
    form->addRow(u"&Printer:"_s, m_printer);
    form->addRow(u"&Tray:"_s, m_tray);
    form->addRow(u"&Copies:"_s, m_copies);
    form->addRow(u"Paper:"_s, paper);

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *print = buttons->addButton(u"&Print..."_s, QDialogButtonBox::AcceptRole);
    print->setDefault(true);
    buttons->addButton(QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_calibration);
    layout->addWidget(m_problem);
    layout->addWidget(buttons);

    printerChanged();
    if (const int tray = m_tray->findData(choice.tray); tray >= 0)
        m_tray->setCurrentIndex(tray);
    describe();
    connect(m_printer, &QComboBox::currentIndexChanged, this, &PrintSetupDialog::printerChanged);
    connect(m_tray, &QComboBox::currentIndexChanged, this, &PrintSetupDialog::describe);
}

void PrintSetupDialog::printerChanged()
{
    const QSignalBlocker quiet(m_tray);
    m_tray->clear();
    m_tray->addItem(u"The printer's choice"_s, QString());
    QString name = m_printer->currentData().toString();
    if (name.isEmpty())
        name = m_defaultPrinter;
    const QStringList trays = name.isEmpty() ? QStringList() : CupsDestination::trays(name);
    for (const QString &tray : trays)
        m_tray->addItem(tray, tray);
    m_tray->setEnabled(!trays.isEmpty());
    describe();
}

void PrintSetupDialog::describe()
{
    QString name = m_printer->currentData().toString();
    if (name.isEmpty())
        name = m_defaultPrinter;
    const QString tray = m_tray->currentData().toString();
    const bool calibrated = PrinterProfiles::profile(m_cardFile, name, tray).has_value();
    m_calibration->setText(PrinterProfiles::describe(name, tray, calibrated));
    m_problem->setText(name.isEmpty() ? u"No printer is chosen and there is no default printer."_s
                                      : CupsDestination::unavailable(name));
    m_problem->setVisible(!m_problem->text().isEmpty());
}

PrinterProfiles::Choice PrintSetupDialog::choice() const
{
    return {m_printer->currentData().toString(), m_tray->currentData().toString()};
}

int PrintSetupDialog::copies() const
{
    return m_copies->currentData().toInt();
}

QString PrintSetupDialog::calibrationText() const
{
    return m_calibration->text();
}

QString PrintSetupDialog::problemText() const
{
    return m_problem->text();
}
