#pragma once

#include "SysInfo.h"

#include <QDialog>

class QLabel;
class QPushButton;

// The About box: the product's name, version, web address, a notice line and
// its picture, with a button that starts the desktop's system-information
// program. It is modeless and deletes itself when closed, so create it with
// new. A click on the window, its picture or a label closes it; the web
// address can be selected and copied instead.
class frmAbout : public QDialog
{
    Q_OBJECT

public:
    explicit frmAbout(QWidget *parent = nullptr);

    // The system-information starter used by "&System Info...".
    SysInfo &sysInfo() { return m_sysInfo; }

protected:
    void mousePressEvent(QMouseEvent *event) override;

private:
    void Form_Load();
    void cmdSysInfo_Click();

    SysInfo m_sysInfo;
    QLabel *m_lblTitle = nullptr;
    QLabel *m_lblVersion = nullptr;
    QLabel *m_lblDisclaimer = nullptr;
    QLabel *m_Label1 = nullptr;
    QLabel *m_Image1 = nullptr;
    QPushButton *m_cmdSysInfo = nullptr;
    QPushButton *m_cmdOK = nullptr;
};
