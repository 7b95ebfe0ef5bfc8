#pragma once

#include "CardMenu.h"
#include "MainLayout.h"

#include <QList>
#include <QMainWindow>
#include <QPointer>


class CardOpener;
class QAction;
class QMenu;
class QScrollArea;
class QStackedWidget;
class frmCanCard;
class frmDesign;

// The main window: starts the program, lists the card files in the
// "&CustomCard" menu, opens a chosen card in the card window, and sizes
// itself around the card picture and the control panel. It holds the
// application folder from which cards and pictures are read.
class MDIForm1 : public QMainWindow
{
    Q_OBJECT

public:
    // appPath: the folder of the cards; empty for the program's own folder.
    explicit MDIForm1(const QString &appPath = {}, QWidget *parent = nullptr);
    ~MDIForm1() override;

    QString AppPath() const { return m_appPath; }
    void SetAppPath(const QString &appPath = {});
    void LayoutForms(const QString &formName);

    // The window's size as laid out, in twips.
    int heightTwips() const { return m_heightTwips; }
    int widthTwips() const { return m_widthTwips; }

    // Starts the picture reader's thread, which opening the first card
    // needs. The program calls it once its window is first painted.
    static void prepareForCards();

    frmCanCard *cardWindow() const;
    QWidget *picCards() const { return m_picCards; }
    // The card slots the menu lists; with more cards than a screenful, the
    // rest are reached through mnuMoreCards.
    QList<QAction *> mnuCustCard() const { return m_cardMenu->slotActions(); }
    // All slots, listed or not.
    const QList<ChooserSlot> &chooser() const { return m_cardMenu->chooser(); }
    QAction *mnuMoreCards() const { return m_cardMenu->moreCards(); }
    QAction *mnuNewCard() const { return m_cardMenu->newCard(); }
    QAction *mnuCanCard() const { return m_cardMenu->canCard(); }
    QAction *mnuUS() const { return m_cardMenu->us(); }
    QAction *mnuCanBlueSetup() const { return m_cardMenu->canBlueSetup(); }
    QAction *mnuAbout() const { return m_mnuAbout; }
    QAction *mnuReadme() const { return m_mnuReadme; }
    QAction *mnuHelp1() const { return m_mnuHelp1; }
    QAction *mnuQuit() const { return m_mnuQuit; }
    QList<QMenu *> ownMenus() const { return m_menus; }
    double zoom() const { return m_zoom; }
    // The user's zoom: kept and remembered. Until one is set, each card opens
    // at the largest zoom up to the default at which the window fits the screen.
    void setZoom(double zoom);
    bool hasUserZoom() const { return m_userZoom; }

    // Slot numbers start at 1, as the menu shows them.
    bool mnuCustCard_Click(int index);
    // Opens the card of that name from the application folder: the card file
    // fileName, or when it is empty the file name + ".qcf" in any case.
    bool openCard(const QString &name, const QString &fileName = {});
    // Opens the searchable list of every card.
    void mnuMoreCards_Click();
    void mnuCanCard_Click();
    void mnuUS_Click();
    void mnuCanBlueSetup_Click();
    void mnuNewCard_Click();
    void mnuHelp1_Click();
    void mnuAbout_Click();
    void mnuReadme_Click();
    void mnuQuit_Click();

    // Closes the card window, asking about unsaved changes; false when the
    // user chose Cancel.
    bool closeCard();
    // The design window, or null while none has been made (it is made on a
    // box's first focus gain, and goes with its card).
    frmDesign *designWindow() const;

Q_SIGNALS:
    void cardOpened(frmCanCard *card);

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void buildMenus();
    void showMenusOf(const QList<QMenu *> &menus);
    frmCanCard *ensureCardWindow(bool *created);
    void discardCardWindow();
    frmDesign *ensureDesignWindow();
    void openLayout(const QString &name, void (frmCanCard::*setup)(), bool layoutFirst);
    void putPicture(frmCanCard *card, const QString &name, const CardOpener &opener);
    void showOpened(frmCanCard *card, const CardOpener &opener);
    void resizeToTwips(int width, int height, double zoom);
    void keepOnScreen();
    MainLayout::CardWindowLayout cardLayout(double zoom) const;
    void chooseFittingZoom();
    // The largest client size whose frame fits the screen's available area.
    QSize availableClientSize() const;
    QMargins frameMargins() const;
    void updateTitle();

    QString m_appPath;
    int m_heightTwips = 0;
    int m_widthTwips = 0;
    double m_zoom = 2.0;
    bool m_userZoom = false;
    QPointer<frmCanCard> m_card;
    QPointer<frmDesign> m_design;
    QStackedWidget *m_stack = nullptr;
    QWidget *m_picCards = nullptr;
    QScrollArea *m_scroll = nullptr;

    QList<QMenu *> m_menus;
    CardMenu *m_cardMenu = nullptr;
    QAction *m_mnuQuit = nullptr;
    QAction *m_mnuAbout = nullptr;
    QAction *m_mnuReadme = nullptr;
    QAction *m_mnuHelp1 = nullptr;
    QPointer<QWidget> m_about;
};
