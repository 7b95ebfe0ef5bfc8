#include "cKeyBrd.h"

void cKeyBrd::AdvanceFocus(const QList<FormControl> &controls, const QWidget *active)
{
    m_controls = &controls;
    m_tabIndexSet = false;
    m_ctlPtr = 0;
    m_visited = 0;
    m_cctrl = const_cast<QWidget *>(active);
    m_tabNum = 0;
    int activePtr = -1;
    for (int i = 0; i < controls.size(); ++i) {
        if (controls[i].widget == active) {
            m_tabNum = std::int16_t(controls[i].tabIndex);
            activePtr = i;
            break;
        }
    }
    if (controls.isEmpty())
        return;
    m_form = controls.first().widget ? controls.first().widget->window() : nullptr;

    while (!m_tabIndexSet) {
        m_tabIndexSet = false;
        if (!GetTabNumbControl()) {
            // A full cycle found nothing that may take the focus: stay.
            m_ctlPtr = activePtr < 0 ? 0 : activePtr;
            return;
        }
        if (!TestVisible() || !TestEnabled() || !TestTabStop()) {
            m_ctlPtr = 0;
            continue;
        }
        m_tabIndexSet = true;
    }
    m_cctrl = current().widget;
}

bool cKeyBrd::GetTabNumbControl()
{
    // The search has no end of its own when nothing qualifies; one full cycle
    // of tab numbers is the limit.
    const int cycle = int(m_controls->size());
    m_ctlPtr = 0;
    for (;;) {
        if (++m_visited > cycle + 1)
            return false;
        IncTabNum();
        WrapTabNum();
        for (int i = 0; i < m_controls->size(); ++i) {
            m_ctlPtr = i;
            if (TestLegalType() && TestTabIndex())
                return true;
        }
    }
}

void cKeyBrd::WrapTabNum()
{
    // A tab index at or above the count wraps as well; otherwise Enter would
    // stay on a box whose card gives it a large tab order.
    if (m_tabNum >= m_controls->size() - 1) {
        m_tabNum = 0;
        m_ctlPtr = 0;
    }
}

bool cKeyBrd::TestLegalType() const
{
    switch (current().kind) {
    case ControlKind::TextBox:
    case ControlKind::ComboBox:
    case ControlKind::ListBox:
    case ControlKind::CommandButton:
        return current().widget != nullptr;
    default:
        return false;
    }
}

bool cKeyBrd::TestTabIndex() const
{
    return current().tabIndex == m_tabNum;
}

bool cKeyBrd::TestVisible() const
{
    const QWidget *w = current().widget;
    return w && (m_form ? w->isVisibleTo(m_form) : !w->isHidden());
}

bool cKeyBrd::TestEnabled() const
{
    return current().widget && current().widget->isEnabled();
}

bool cKeyBrd::TestTabStop() const
{
    return current().tabStop;
}
