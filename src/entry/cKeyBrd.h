#pragma once

#include "FormControl.h"

#include <QList>

#include <cstdint>

// Finds the control that the Enter key moves the focus to: the next control
// in tab order that can take input and is visible, enabled and a tab stop,
// wrapping round to the lowest tab index. One navigator serves one key press.
class cKeyBrd
{
public:
    // Searches the form's controls for the control after the active one.
    // Afterwards CtlPtr() is its position in the collection and CCtrl() the
    // widget; when no control qualifies after one full cycle of tab numbers,
    // the active control is kept (CCtrl() is then the active widget).
    void AdvanceFocus(const QList<FormControl> &controls, const QWidget *active);

    QWidget *CCtrl() const { return m_cctrl; }
    int CtlPtr() const { return m_ctlPtr; }
    std::int16_t tabNum() const { return m_tabNum; }
    bool TabIndexSet() const { return m_tabIndexSet; }

private:
    bool GetTabNumbControl();
    void IncTabNum() { ++m_tabNum; }
    void WrapTabNum();
    bool TestLegalType() const;
    bool TestTabIndex() const;
    bool TestVisible() const;
    bool TestEnabled() const;
    bool TestTabStop() const;
    const FormControl &current() const { return (*m_controls)[m_ctlPtr]; }

    const QList<FormControl> *m_controls = nullptr;
    const QWidget *m_form = nullptr;
    QWidget *m_cctrl = nullptr;
    std::int16_t m_tabNum = 0;
    int m_ctlPtr = 0;
    bool m_tabIndexSet = false;
    int m_visited = 0; // tab numbers looked for, to stop after one full cycle
};
