#pragma once

#include "PrintPage.h"
#include "PrinterProfiles.h"

#include <QDialog>

class QComboBox;
class QLabel;

// File > Print: the printer and tray the card goes to, and the copies, with
// the card's own paper and orientation shown (never changed here) and which
// calibration the chosen printer prints with. Accepted when the user asks to
// print; the card window then confirms and prints as its Print button does.
class PrintSetupDialog : public QDialog
{
    Q_OBJECT

public:
    // The copies offered are the panel's: 1, 5, 10 and 25.
    PrintSetupDialog(const QString &cardTitle, const QString &cardFile, const PrintPage &page,
                     const PrinterProfiles::Choice &choice, int copies, QWidget *parent = nullptr);

    PrinterProfiles::Choice choice() const;
    int copies() const;

    QComboBox *printerBox() const { return m_printer; }
    QComboBox *trayBox() const { return m_tray; }
    QComboBox *copiesBox() const { return m_copies; }
    QString calibrationText() const;
    QString problemText() const;

private:
    void printerChanged();
    void describe();

    QString m_cardFile;
    QComboBox *m_printer = nullptr;
    QComboBox *m_tray = nullptr;
    QComboBox *m_copies = nullptr;
    QLabel *m_calibration = nullptr;
    QLabel *m_problem = nullptr;
    QString m_defaultPrinter;
};
