#pragma once

#include "PrintPage.h"

#include <QDialog>
#include <QStringList>

#include <array>

class QLineEdit;

// Calibrate Printing: prints or exports the calibration sheet on the card's
// paper and takes the four measurements of marks A and B in millimetres.
// Accepted when the user asks to apply them; solving and applying is the
// card window's.
class CalibrationDialog : public QDialog
{
    Q_OBJECT

public:
    explicit CalibrationDialog(const QString &cardTitle, QWidget *parent = nullptr);

    // AX, AY, BX, BY as typed.
    QStringList numbers() const;
    void setNumbers(const QStringList &numbers);

Q_SIGNALS:
    void printSheetRequested();
    void exportSheetRequested();

private:
    std::array<QLineEdit *, 4> m_fields{};
};
