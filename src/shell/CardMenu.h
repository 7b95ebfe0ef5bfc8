#pragma once

#include "CardChooser.h"

#include <QList>
#include <QMenu>

class QAction;

// The "&CustomCard" menu: a slot for each card file of the application
// folder, as many as fit on the screen, "More Cards…" for the rest, then the
// fixed entries. Slot numbers start at 1, as the menu shows them.
class CardMenu : public QMenu
{
    Q_OBJECT

public:
    explicit CardMenu(QWidget *parent = nullptr);

    // Lists the cards of appPath; the screen of window limits the rows.
    void fill(const QString &appPath, QWidget *window);

    // All slots, listed or not, and the actions of those listed.
    const QList<ChooserSlot> &chooser() const { return m_slots; }
    QList<QAction *> slotActions() const { return m_slotActions; }
    // The visible slots' captions and numbers, for the list of every card.
    void visibleSlots(QStringList *names, QList<int> *numbers) const;

    QAction *moreCards() const { return m_moreCards; }
    QAction *newCard() const { return m_newCard; }
    QAction *canCard() const { return m_canCard; }
    QAction *us() const { return m_us; }
    QAction *canBlueSetup() const { return m_canBlueSetup; }

Q_SIGNALS:
    void slotChosen(int slot);
    void moreCardsRequested();

private:
    QList<ChooserSlot> m_slots;
    QList<QAction *> m_slotActions;
    QAction *m_moreCards = nullptr;
    QAction *m_newCard = nullptr;
    QAction *m_canCard = nullptr;
    QAction *m_us = nullptr;
    QAction *m_canBlueSetup = nullptr;
};
