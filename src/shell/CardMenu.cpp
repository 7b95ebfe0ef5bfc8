#include "CardMenu.h"

#include "CardFolder.h"

#include <QAction>
#include <QGuiApplication>
#include <QScreen>

using namespace Qt::StringLiterals;

namespace {

// How many card slots fit in the chooser menu on the screen of window, with
// "New Card", "More Cards…" and the separators; never fewer than seven.
constexpr int MinimumChooserRows = 7;
int chooserRowsOnScreen(QWidget *window, QMenu *menu)
{
    QMenu probe;
    probe.setFont(menu->font());
    QAction *row = probe.addAction(u"Canada"_s);
    const int rowHeight = std::max(1, probe.actionGeometry(row).height());
    const QScreen *screen = window && window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    const int height = screen ? screen->availableGeometry().height() : 768;
    constexpr int OtherRows = 5; // menu bar, "More Cards…", "New Card", separators
    return std::max(MinimumChooserRows, height / rowHeight - OtherRows);
}

} // namespace

CardMenu::CardMenu(QWidget *parent) : QMenu(u"&CustomCard"_s, parent)
{
    m_newCard = addAction(u"New Card"_s);
    m_canCard = addAction(u"CanadianSetup"_s);
    m_us = addAction(u"USSetup"_s);
    m_canBlueSetup = addAction(u"CanBlueSetup"_s);
    m_us->setVisible(false);
    m_canBlueSetup->setVisible(false);
}

void CardMenu::fill(const QString &appPath, QWidget *window)
{
    m_slots = chooserSlots(CardFolder::cardFiles(appPath));
    // A few cards always fit; only more of them need the menu measured.
    const auto visible = std::count_if(m_slots.cbegin(), m_slots.cend(), [](const ChooserSlot &s) { return s.visible; });
    const int rows = visible <= MinimumChooserRows ? MinimumChooserRows : chooserRowsOnScreen(window, this);
    int listed = 0;
    for (int i = 0; i < m_slots.size(); ++i) {
        const ChooserSlot &chooserSlot = m_slots[i];
        if (chooserSlot.visible && listed == rows) {
            m_moreCards = new QAction(u"More Cards\u2026"_s, this);
            connect(m_moreCards, &QAction::triggered, this, &CardMenu::moreCardsRequested);
            insertAction(m_newCard, m_moreCards);
            break;
        }
        const int slot = i + 1;
        auto *action = new QAction(chooserMenuCaption(chooserSlot.caption), this);
        action->setVisible(chooserSlot.visible);
        action->setEnabled(chooserSlot.visible);
        connect(action, &QAction::triggered, this, [this, slot] { Q_EMIT slotChosen(slot); });
        insertAction(m_newCard, action);
        m_slotActions.append(action);
        listed += chooserSlot.visible ? 1 : 0;
    }
    if (!m_slotActions.isEmpty())
        insertSeparator(m_newCard);
}

void CardMenu::visibleSlots(QStringList *names, QList<int> *numbers) const
{
    for (int i = 0; i < m_slots.size(); ++i) {
        if (m_slots[i].visible) {
            names->append(m_slots[i].caption);
            numbers->append(i + 1);
        }
    }
}
