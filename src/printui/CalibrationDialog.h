#pragma once

#include "PrintPage.h"

#include <QDialog>
#include <QStringList>

#include <array>

class QCheckBox;
class QLineEdit;

// Calibrate Printing: prints or exports the calibration sheet on the card's
// paper and takes the four measurements of marks A and B in millimetres.
// The calibration is for the printer (and tray) the card prints on, unless
// the preparer asks to write it into the card itself. Accepted when the user
// asks to apply it; solving and applying is the card window's.
class CalibrationDialog : public QDialog
{
    Q_OBJECT

public:
    // printer: the card's printer, empty when there is none.
    CalibrationDialog(const QString &cardTitle, const QString &printer, const QString &tray,
                      QWidget *parent = nullptr);

    // AX, AY, BX, BY as typed.
    QStringList numbers() const;
    void setNumbers(const QStringList &numbers);
    // Whether the calibration goes into the card's own settings and layout.
    bool intoCard() const;
    QCheckBox *intoCardBox() const { return m_intoCard; }

Q_SIGNALS:
    void printSheetRequested();
    void exportSheetRequested();

private:
    std::array<QLineEdit *, 4> m_fields{};
    QCheckBox *m_intoCard = nullptr;
};
