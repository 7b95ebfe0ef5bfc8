#include "CalibrationDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

CalibrationDialog::CalibrationDialog(const QString &cardTitle, const QString &printer, const QString &tray,
                                     QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(u"Calibrate Printing - %1"_s.arg(cardTitle));

    auto *steps = new QLabel(
        u"1. Print the calibration sheet on a blank card, or on paper of the same size, fed the way "
        "cards will be fed.\n"
        "2. With a ruler, measure where the centre of each cross landed: its distance from the paper's "
        "left edge and from its top edge, in millimetres.\n"
        "3. Enter the four numbers and apply them. They are kept as this card's calibration for the "
        "printer below, in your settings: that printer then prints each answer in its field, and "
        "other printers keep their own. A card's preparer can write them into the card itself "
        "instead (its enlargement, left print margin and layout) for the cards they hand out, and "
        "save the card to keep that."_s,
        this);
    steps->setWordWrap(true);
    const QString where = printer.isEmpty() ? u"no printer (choose one with File > Print)"_s
                          : tray.isEmpty()  ? u"\"%1\""_s.arg(printer)
                                            : u"\"%1\", tray %2"_s.arg(printer, tray);
    auto *target = new QLabel(u"Printer: %1"_s.arg(where), this);
    target->setTextFormat(Qt::PlainText);
    target->setObjectName(u"printer"_s);
    m_intoCard = new QCheckBox(u"&Write it into the card itself, for the cards you hand out"_s, this);

    auto *printSheet = new QPushButton(u"Print &Sheet"_s, this);
    auto *exportSheet = new QPushButton(u"&Export Sheet PDF..."_s, this);
    printSheet->setAutoDefault(false);
    exportSheet->setAutoDefault(false);
    connect(printSheet, &QPushButton::clicked, this, &CalibrationDialog::printSheetRequested);
    connect(exportSheet, &QPushButton::clicked, this, &CalibrationDialog::exportSheetRequested);
    auto *sheetButtons = new QHBoxLayout;
    sheetButtons->addWidget(printSheet);
    sheetButtons->addWidget(exportSheet);
    sheetButtons->addStretch(1);

    auto *form = new QFormLayout;
    const QString labels[] = {u"Mark A from the &left edge (mm):"_s, u"Mark A from the &top edge (mm):"_s,
                              u"Mark B from the left e&dge (mm):"_s, u"Mark B from the top ed&ge (mm):"_s};
    const QString names[] = {u"ax"_s, u"ay"_s, u"bx"_s, u"by"_s};
    for (std::size_t i = 0; i < m_fields.size(); ++i) {
        m_fields[i] = new QLineEdit(this);
        m_fields[i]->setObjectName(names[i]);
        form->addRow(labels[i], m_fields[i]);
    }

    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(u"&Apply..."_s, QDialogButtonBox::AcceptRole);
    buttons->addButton(QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(steps);
    layout->addWidget(target);
    layout->addLayout(sheetButtons);
    layout->addLayout(form);
    layout->addWidget(m_intoCard);
    layout->addWidget(buttons);
}

QStringList CalibrationDialog::numbers() const
{
    QStringList n;
    for (const QLineEdit *f : m_fields)
        n.append(f->text());
    return n;
}

void CalibrationDialog::setNumbers(const QStringList &numbers)
{
    for (std::size_t i = 0; i < m_fields.size() && qsizetype(i) < numbers.size(); ++i)
        m_fields[i]->setText(numbers.at(qsizetype(i)));
}

bool CalibrationDialog::intoCard() const
{
    return m_intoCard->isChecked();
}
