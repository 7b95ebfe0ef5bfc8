#include "MDIForm1.h"

#include "CardMenu.h"
#include "CardOpener.h"
#include "MainLayout.h"
#include "Messages.h"
#include "PictureFile.h"
#include "ProductInfo.h"
#include "ScreenFit.h"
#include "WelcomePanel.h"
#include "WindowSettings.h"
#include "frmAbout.h"
#include "frmCanCard.h"
#include "frmDesign.h"
#include "frmMoreCards.h"
#include "frmReadme.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QStyle>
#include <QStackedWidget>

using namespace Qt::StringLiterals;

MDIForm1::MDIForm1(const QString &appPath, QWidget *parent) : QMainWindow(parent)
{
    setWindowTitle(u"Borvessa"_s);
    setWindowIcon(ProductInfo::picture(64));
    m_stack = new QStackedWidget(this);
    setCentralWidget(m_stack);
    m_picCards = new WelcomePanel(m_stack);
    m_stack->addWidget(m_picCards);
    buildMenus();

    SetAppPath(appPath);
    m_cardMenu->fill(m_appPath, this);
    LayoutForms(u"MDIForm1"_s);
}

MDIForm1::~MDIForm1() = default;

void MDIForm1::prepareForCards()
{
    PictureFile::startBackgroundReader();
}

frmCanCard *MDIForm1::cardWindow() const
{
    return m_card;
}

void MDIForm1::SetAppPath(const QString &appPath)
{
    // The folder of the running program, as the system reports it, so the
    // program finds its cards from any working directory.
    m_appPath = QDir::cleanPath(appPath.isEmpty() ? QCoreApplication::applicationDirPath() : appPath);
}

void MDIForm1::buildMenus()
{
    auto *file = new QMenu(u"&File"_s, this);
    m_mnuQuit = file->addAction(u"E&xit"_s, this, &MDIForm1::mnuQuit_Click);
    m_mnuQuit->setShortcut(QKeySequence(u"Ctrl+Q"_s));

    m_cardMenu = new CardMenu(this);
    connect(m_cardMenu->newCard(), &QAction::triggered, this, &MDIForm1::mnuNewCard_Click);
    connect(m_cardMenu->canCard(), &QAction::triggered, this, &MDIForm1::mnuCanCard_Click);
    connect(m_cardMenu->us(), &QAction::triggered, this, &MDIForm1::mnuUS_Click);
    connect(m_cardMenu->canBlueSetup(), &QAction::triggered, this, &MDIForm1::mnuCanBlueSetup_Click);
    connect(m_cardMenu, &CardMenu::slotChosen, this, &MDIForm1::mnuCustCard_Click);
    connect(m_cardMenu, &CardMenu::moreCardsRequested, this, &MDIForm1::mnuMoreCards_Click);

    auto *help = new QMenu(u"About"_s, this);
    m_mnuAbout = help->addAction(u"About"_s, this, &MDIForm1::mnuAbout_Click);
    m_mnuReadme = help->addAction(u"View Readme"_s, this, &MDIForm1::mnuReadme_Click);
    m_mnuHelp1 = help->addAction(u"Help"_s, this, &MDIForm1::mnuHelp1_Click);

    m_menus = {file, m_cardMenu, help};
    showMenusOf(m_menus);
}

void MDIForm1::mnuMoreCards_Click()
{
    QStringList names;
    QList<int> numbers;
    m_cardMenu->visibleSlots(&names, &numbers);
    auto *dialog = new frmMoreCards(names, numbers, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &frmMoreCards::cardChosen, this, &MDIForm1::mnuCustCard_Click);
    dialog->open();
}

void MDIForm1::showMenusOf(const QList<QMenu *> &menus)
{
    // A zoom chosen in a menu lays the window out again while that menu is
    // still open: the bar is left alone when it already shows these menus.
    QList<QMenu *> shown;
    for (QAction *a : menuBar()->actions())
        shown.append(a->menu());
    if (shown == menus)
        return;
    menuBar()->clear();
    for (QMenu *menu : menus)
        menuBar()->addMenu(menu);
}

QMargins MDIForm1::frameMargins() const
{
    const QRect frame = frameGeometry();
    const QRect client = geometry();
    if (isVisible() && frame != client)
        return QMargins(client.left() - frame.left(), client.top() - frame.top(),
                        frame.right() - client.right(), frame.bottom() - client.bottom());
    // Not shown yet: the title bar is the larger part of the frame.
    return QMargins(0, style()->pixelMetric(QStyle::PM_TitleBarHeight), 0, 0);
}

QSize MDIForm1::availableClientSize() const
{
    const QScreen *s = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!s)
        return QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    const QMargins m = frameMargins();
    return s->availableGeometry().size() - QSize(m.left() + m.right(), m.top() + m.bottom());
}

void MDIForm1::resizeToTwips(int width, int height, double zoom)
{
    m_widthTwips = width;
    m_heightTwips = height;
    const int dpi = logicalDpiX() > 0 ? logicalDpiX() : 96;
    const double s = dpi / 1440.0 * zoom;
    // Never larger than the screen: the card view scrolls instead.
    const QSize size = QSize(int(width * s + 0.5), int(height * s + 0.5)).boundedTo(availableClientSize());
    resize(size);
    keepOnScreen();
}

// The frame, title bar and borders included, moves back onto the screen's
// available area, and shrinks where it is larger.
void MDIForm1::keepOnScreen()
{
    const QScreen *s = screen() ? screen() : QGuiApplication::primaryScreen();
    // A window that nobody placed and that has no frame yet is still to be
    // placed by the window manager.
    if (!s || (!testAttribute(Qt::WA_Moved) && frameGeometry() == geometry()))
        return;
    // Worked in client coordinates, which mean the same before and after the
    // window manager has put its frame around the window.
    const QMargins m = frameMargins();
    const QRect frame = geometry().marginsAdded(m);
    const QRect fitted = ScreenFit::fit(frame, s->availableGeometry());
    if (fitted != frame)
        setGeometry(fitted.marginsRemoved(m));
}

void MDIForm1::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    // A remembered place may hold a window that no longer fits.
    keepOnScreen();
}

MainLayout::CardWindowLayout MDIForm1::cardLayout(double zoom) const
{
    const TwipRect picture = m_card->model().picture();
    const TwipRect question = m_card->fra1RectAt(zoom);
    const TwipRect control = m_card->fraControlRectAt(zoom);
    return MainLayout::forCard(picture.left, picture.top, picture.width, picture.height, control.top,
                               control.height, question.width);
}

void MDIForm1::chooseFittingZoom()
{
    const QSize room = availableClientSize();
    const int dpi = logicalDpiX() > 0 ? logicalDpiX() : 96;
    double chosen = frmCanCard::ZoomSteps.front();
    for (auto it = frmCanCard::ZoomSteps.rbegin(); it != frmCanCard::ZoomSteps.rend(); ++it) {
        if (*it > frmCanCard::DefaultZoom)
            continue;
        const MainLayout::CardWindowLayout l = cardLayout(*it);
        const double s = dpi / 1440.0 * *it;
        if (l.width * s + 0.5 <= room.width() && l.height * s + 0.5 <= room.height()) {
            chosen = *it;
            break;
        }
    }
    const QSignalBlocker block(m_card.data());
    m_card->setZoom(chosen);
    m_zoom = chosen;
}

void MDIForm1::LayoutForms(const QString &formName)
{
    if (formName == u"MDIForm1"_s) {
        m_stack->setCurrentWidget(m_picCards);
        m_picCards->show();
        m_cardMenu->canCard()->setVisible(false);
        showMenusOf(m_menus);
        // The welcome panel is not drawn through the card zoom: its twips are
        // taken at 1:1, and the window grows to what its picture and labels need.
        resizeToTwips(MainLayout::WelcomeWidth, MainLayout::WelcomeHeight, 1.0);
        updateTitle();
        return;
    }
    if (formName != u"frmCanCard"_s || !m_card)
        return;
    if (!m_userZoom)
        chooseFittingZoom();
    const MainLayout::CardWindowLayout l = cardLayout(m_zoom);
    m_card->setPanelLeft(float(l.panelLeft));
    m_stack->setCurrentWidget(m_scroll);
    showMenusOf(m_card->menus());
    resizeToTwips(l.width, l.height, m_zoom);
    updateTitle();
}

void MDIForm1::setZoom(double zoom)
{
    m_zoom = zoom;
    m_userZoom = true;
    if (m_card) {
        m_card->setZoom(zoom);
        LayoutForms(u"frmCanCard"_s);
    } else {
        LayoutForms(u"MDIForm1"_s);
    }
}

void MDIForm1::updateTitle()
{
    if (m_card && m_stack->currentWidget() == m_scroll) {
        const QString title = m_card->varCardTitle().isEmpty() ? m_card->windowTitle() : m_card->varCardTitle();
        // "[*][*]" shows as "[*]": a card name is text, never the placeholder.
        QString escaped = title;
        escaped.replace(u"[*]"_s, u"[*][*]"_s);
        setWindowTitle(escaped + u"[*] - Borvessa"_s);
        setWindowModified(m_card->model().isModified());
    } else {
        setWindowTitle(u"Borvessa"_s);
        setWindowModified(false);
    }
}

// ---- The card window ------------------------------------------------------------

frmCanCard *MDIForm1::ensureCardWindow(bool *created)
{
    *created = false;
    if (m_card)
        return m_card;
    *created = true;
    if (!m_scroll) {
        // Made with the first card, so a start does not build it.
        m_scroll = new QScrollArea(m_stack);
        m_scroll->setWidgetResizable(true);
        m_scroll->setFrameShape(QFrame::NoFrame);
        // A click on the picture or the panel's background must leave the
        // focus in the card window, which sees every key.
        m_scroll->setFocusPolicy(Qt::NoFocus);
        m_scroll->viewport()->setFocusPolicy(Qt::NoFocus);
        m_stack->addWidget(m_scroll);
    }
    m_card = new frmCanCard(m_zoom);
    m_card->move(0, 0);
    connect(m_card, &frmCanCard::closeRequested, this, [this] { closeCard(); });
    connect(m_card, &frmCanCard::helpRequested, this, &ProductInfo::showHelp);
    connect(m_card, &frmCanCard::activeBoxChanged, this, [this](int index) { ensureDesignWindow()->setVarActiveCtrl(index); });
    connect(m_card, &frmCanCard::designRequested, this, [this] { ensureDesignWindow()->showBeside(this); });
    connect(m_card, &frmCanCard::quitRequested, this, &MDIForm1::mnuQuit_Click);
    connect(&m_card->model(), &CardFormModel::modifiedChanged, this, &MDIForm1::updateTitle);
    connect(m_card, &frmCanCard::statusMessage, this,
            [this](const QString &text) { statusBar()->showMessage(text, 10000); });
    connect(m_card, &frmCanCard::zoomChanged, this, [this](double z) {
        m_zoom = z;
        m_userZoom = true;
        LayoutForms(u"frmCanCard"_s);
    });
    m_scroll->setWidget(m_card);
    return m_card;
}

void MDIForm1::discardCardWindow()
{
    if (!m_card)
        return;
    frmCanCard *card = m_card;
    m_card = nullptr;
    // The design window serves its card only: it goes with it.
    if (m_design) {
        m_design->setTarget(nullptr);
        m_design->close();
    }
    card->clearPicture();
    m_scroll->takeWidget();
    card->hide();
    card->deleteLater();
    LayoutForms(u"MDIForm1"_s);
}

frmDesign *MDIForm1::designWindow() const
{
    return m_design;
}

frmDesign *MDIForm1::ensureDesignWindow()
{
    if (!m_design) {
        // A tool window of the main window, so it stays above it; hidden
        // until design mode shows it.
        m_design = new frmDesign(this);
        m_design->setAttribute(Qt::WA_DeleteOnClose);
    }
    if (m_card)
        m_design->setTarget(&m_card->model());
    return m_design;
}

bool MDIForm1::closeCard()
{
    if (!m_card)
        return true;
    if (!m_card->maybeSave())
        return false;
    discardCardWindow();
    return true;
}

bool MDIForm1::mnuCustCard_Click(int index)
{
    const QList<ChooserSlot> &cards = m_cardMenu->chooser();
    if (index < 1 || index > cards.size() || !cards[index - 1].visible)
        return false;
    return openCard(cards[index - 1].caption, cards[index - 1].fileName);
}

bool MDIForm1::openCard(const QString &name, const QString &fileName)
{
    if (m_card && !m_card->maybeSave())
        return false;
    // The card file is read while the picture decodes; a window that shows
    // another card keeps it until both are known to be usable. An unusable
    // picture is reported first, whichever was found first.
    CardOpener opener(m_appPath, name, fileName);
    if (!opener.readCard()) {
        opener.finishPicture();
        Messages::error(opener.error());
        return false;
    }
    // A window made for this card is built while the picture decodes.
    bool created = false;
    frmCanCard *card = ensureCardWindow(&created);
    if (!opener.finishPicture()) {
        Messages::error(opener.error());
        if (created)
            discardCardWindow();
        return false;
    }
    card->takeCard(opener.takeCard(), opener.cardFile());
    putPicture(card, name, opener);
    card->setVarCardTitle(name);
    LayoutForms(u"frmCanCard"_s);
    showOpened(card, opener);
    Q_EMIT cardOpened(card);
    return true;
}

void MDIForm1::openLayout(const QString &name, void (frmCanCard::*setup)(), bool layoutFirst)
{
    if (m_card && !m_card->maybeSave())
        return;
    CardOpener opener(m_appPath, name);
    bool created = false;
    frmCanCard *card = ensureCardWindow(&created);
    if (!opener.finishPicture()) {
        Messages::error(opener.error());
        if (created)
            discardCardWindow();
        return;
    }
    putPicture(card, name, opener);
    if (layoutFirst)
        LayoutForms(u"frmCanCard"_s);
    (card->*setup)();
    if (!layoutFirst)
        LayoutForms(u"frmCanCard"_s);
    showOpened(card, opener);
}

void MDIForm1::putPicture(frmCanCard *card, const QString &name, const CardOpener &opener)
{
    card->clearPicture();
    card->setPicture(opener.picture());
    card->model().setPictureTag(name);
}

// Shows the card window, laid out, with the picture's notice if it has one.
void MDIForm1::showOpened(frmCanCard *card, const CardOpener &opener)
{
    card->show();
    if (!opener.notice().isEmpty())
        Messages::warn(opener.notice());
}

void MDIForm1::mnuCanCard_Click()
{
    openLayout(u"Canada"_s, &frmCanCard::SetUpCanCard, true);
}

void MDIForm1::mnuUS_Click()
{
    openLayout(u"US"_s, &frmCanCard::SetupUSCard, false);
}

void MDIForm1::mnuCanBlueSetup_Click()
{
    openLayout(u"Canada_Blue"_s, &frmCanCard::SetUpCanCard_blue, true);
}

// ---- Messages and dialogs -------------------------------------------------------

void MDIForm1::mnuNewCard_Click()
{
    Messages::show({QString(),
                    u"Additional card modules are available at \n\n            "_s
                        + ProductInfo::webAddress() + u"\n\n "_s,
                    Messages::Icon::Information});
}

void MDIForm1::mnuHelp1_Click()
{
    ProductInfo::showHelp();
}

void MDIForm1::mnuAbout_Click()
{
    if (!m_about) {
        auto *about = new frmAbout(this);
        about->setAttribute(Qt::WA_DeleteOnClose);
        m_about = about;
    }
    m_about->show();
    m_about->raise();
    m_about->activateWindow();
}

void MDIForm1::mnuReadme_Click()
{
    if (!frmReadme::showReadme(this, QDir(m_appPath).filePath(u"readme.txt"_s)))
        close();
}

void MDIForm1::mnuQuit_Click()
{
    close();
}

void MDIForm1::closeEvent(QCloseEvent *event)
{
    if (!closeCard()) {
        event->ignore();
        return;
    }
    // Every other window of the application closes with the main window.
    if (m_design)
        m_design->close();
    if (m_about)
        m_about->close();
    WindowSettings::savePlace(this);
    // Only a zoom the user chose is remembered; a fitted one is chosen anew.
    if (m_userZoom)
        WindowSettings::setZoom(m_zoom);
    event->accept();
}
