#include "frmCanCard.h"

#include "AnswerBox.h"
#include "CardPanel.h"
#include "CardPicture.h"
#include "Messages.h"
#include "SpinArrows.h"
#include "cKeyBrd.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {

// Tab indexes of the panel's controls follow those of the answer boxes.
constexpr int PanelTabBase = CardFormModel::BoxCount;

void mapSmallFonts()
{
    // "Small Fonts" is a bitmap font of another platform; a small, legible
    // sans-serif takes its place at the same point sizes.
    static const bool done = [] {
        QFont::insertSubstitutions(u"Small Fonts"_s, {u"DejaVu Sans"_s, u"Liberation Sans"_s, u"Sans Serif"_s});
        return true;
    }();
    Q_UNUSED(done);
}

} // namespace

frmCanCard::frmCanCard(QWidget *parent) : frmCanCard(DefaultZoom, parent) {}

frmCanCard::frmCanCard(double zoom, QWidget *parent)
    : QWidget(parent),
      m_printing(m_model, this, [this] { return GetCopies(); }, [this] { return m_picture->image(); },
                 [this] { return scale(); }),
      m_people(m_model, m_printing, this),
      m_zoom(std::clamp(zoom, ZoomSteps.front(), ZoomSteps.back()))
{
    mapSmallFonts();
    setWindowTitle(u"Decleration Form"_s);
    setAutoFillBackground(true);

    m_picture = new CardPicture(this);
    buildBoxes();
    buildPanel();
    buildMenus();
    // Print Preview's Print button prints as the panel's Print button does.
    connect(&m_printing, &CardPrintCommands::printRequested, this, [this] {
        PrintCard1();
        if (m_model.isEditing())
            m_model.ConfigCtrlForEditing();
    });
    connect(&m_printing, &CardPrintCommands::copiesChosen, m_panel, &CardPanel::setCopies);
    connect(&m_printing, &CardPrintCommands::statusMessage, this, &frmCanCard::statusMessage);
    connect(&m_people, &PeopleCommands::statusMessage, this, &frmCanCard::statusMessage);
    // Every load ends with the switches: another card, another fields file.
    connect(&m_model, &CardFormModel::switchesChanged, this, &frmCanCard::updatePeopleMenu);

    connect(&m_model, &CardFormModel::boxChanged, this, &frmCanCard::updateBox);
    connect(&m_model, &CardFormModel::pictureChanged, this, &frmCanCard::updatePicture);
    connect(&m_model, &CardFormModel::switchesChanged, this, &frmCanCard::updateSwitches);
    connect(&m_model, &CardFormModel::tabOrderChanged, this, &frmCanCard::updateTabChain);
    connect(&m_model, &CardFormModel::questionChanged, m_panel->labQuestion(), &QLabel::setText);
    connect(&m_model, &CardFormModel::boxRaised, this, [this](int i) { m_boxes[i]->raise(); });
    connect(&m_model, &CardFormModel::boxSelectAll, this, [this](int i, bool select) {
        if (select)
            m_boxes[i]->selectAll();
        else
            m_boxes[i]->deselect();
    });

    // The off-card box that takes the focus when no answer box may have it.
    m_txtNoOp->setText(u" "_s);
    for (int i = 0; i < CardFormModel::BoxCount; ++i)
        updateBox(i);
    updatePicture();
    updateSwitches();
    updateTabChain();
}

frmCanCard::~frmCanCard() = default;

// ---- Construction ------------------------------------------------------------

void frmCanCard::registerControl(QWidget *widget, ControlKind kind, const QString &name,
                                 int tabIndex, bool tabStop)
{
    m_controls.append(FormControl{widget, kind, tabIndex, tabStop, name});
    widget->setObjectName(name);
    if (kind != ControlKind::Label && kind != ControlKind::Frame && kind != ControlKind::Image)
        widget->installEventFilter(this);
}

void frmCanCard::buildBoxes()
{
    for (int i = 0; i < CardFormModel::BoxCount; ++i) {
        auto *box = new AnswerBox(i, this);
        box->hide();
        m_boxes[i] = box;
        registerControl(box, ControlKind::TextBox, u"txtAddress(%1)"_s.arg(i), i, true);
        connect(box, &AnswerBox::gotFocus, this, &frmCanCard::txtAddress_GotFocus);
        connect(box, &AnswerBox::lostFocus, this, &frmCanCard::txtAddress_LostFocus);
        connect(box, &AnswerBox::refused, this, &frmCanCard::showRefused);
        connect(box, &AnswerBox::tickRequested, &m_model, &CardFormModel::setTicked);
        connect(box, &AnswerBox::tickRefused, this, [] {
            Messages::notice(u"This box takes a tick: press Space, or type x."_s);
        });
        // textChanged, not textEdited: an undo changes the answer too.
        connect(box, &QLineEdit::textChanged, this, [this, box] {
            m_model.setAnswer(box->index(), box->text());
        });
    }
    m_txtNoOp = new QLineEdit(this);
    m_txtNoOp->setGeometry(-2000, -2000, 20, 20);
    m_txtNoOp->setFocusPolicy(Qt::ClickFocus);
    m_txtNoOp->setAccessibleName(u"NoOp"_s);
}

void frmCanCard::buildPanel()
{
    m_panel = new CardPanel(this);
    const CardPanel *p = m_panel;
    int tab = PanelTabBase;
    registerControl(p->chkOrientation(), ControlKind::CheckBox, u"chkOrientation"_s, tab++, true);
    for (int i = 0; i < 4; ++i)
        registerControl(p->Option1(i), ControlKind::OptionButton, u"Option1(%1)"_s.arg(i), tab++, true);
    registerControl(p->buPrint(), ControlKind::CommandButton, u"buPrint"_s, tab++, true);
    registerControl(p->UpDown(), ControlKind::SpinControl, u"UpDown"_s, tab++, true);
    registerControl(p->LeftRight(), ControlKind::SpinControl, u"LeftRight"_s, tab++, true);
    registerControl(p->tallShort(), ControlKind::SpinControl, u"tallShort"_s, tab++, true);
    registerControl(p->narrowWide(), ControlKind::SpinControl, u"narrowWide"_s, tab++, true);
    registerControl(p->chkDefault(), ControlKind::CheckBox, u"chkDefault"_s, tab++, true);
    registerControl(p->chkDesign(), ControlKind::CheckBox, u"chkDesign"_s, tab++, true);
    registerControl(p->buDesignToggle(), ControlKind::CommandButton, u"buDesignToggle"_s, tab++, true);
    registerControl(p->buReset(), ControlKind::CommandButton, u"buReset"_s, tab++, true);
    registerControl(m_txtNoOp, ControlKind::TextBox, u"txtNoOp"_s, tab++, false);
    registerControl(m_picture, ControlKind::Image, u"imgCCCard"_s, tab++, false);
    registerControl(p->label1(), ControlKind::Label, u"Label1"_s, tab++, false);
    registerControl(p->labQuestion(), ControlKind::Label, u"labQuestion"_s, tab++, false);
    registerControl(p->labNotify(), ControlKind::Label, u"labNotify"_s, tab++, false);
    registerControl(p->fraPrintQty(), ControlKind::Frame, u"fraPrintQty"_s, tab++, false);
    registerControl(p->fraPosition(), ControlKind::Frame, u"fraPosition"_s, tab++, false);
    registerControl(p->fraSize(), ControlKind::Frame, u"fraSize"_s, tab++, false);
    registerControl(p->fra1(), ControlKind::Frame, u"fra1"_s, tab++, false);
    registerControl(p->fraControl(), ControlKind::Frame, u"fraControl"_s, tab++, false);

    connect(m_panel, &CardPanel::orientationClicked, this, &frmCanCard::chkOrientation_MouseUp);
    connect(m_panel, &CardPanel::designToggleClicked, this, &frmCanCard::ToggleDesign);
    connect(m_panel, &CardPanel::resetClicked, this, &frmCanCard::buReset_Click);
    connect(m_panel, &CardPanel::printClicked, this, &frmCanCard::buPrint_MouseUp);
    connect(m_panel, &CardPanel::arrowClicked, this, &frmCanCard::pictureArrow);
}

// ---- Loading ---------------------------------------------------------------------

bool frmCanCard::LoadCard(const QString &cardName)
{
    // The edited box goes back to rest before the boxes are rebuilt, and a
    // hidden box cannot pass the focus on while they are.
    QPointer<QWidget> previous = window()->focusWidget();
    focusNoOp();
    if (!m_model.LoadCard(cardName)) {
        if (previous)
            previous->setFocus(Qt::OtherFocusReason);
        return false;
    }
    m_people.forgetPerson();
    focusFirstBox();
    return true;
}

void frmCanCard::takeCard(std::unique_ptr<Card> card, const QString &cardName)
{
    focusNoOp();
    m_model.takeCard(std::move(card), cardName);
    m_people.forgetPerson();
    focusFirstBox();
}

void frmCanCard::focusFirstBox()
{
    const int first = m_model.firstBox();
    if (first < 0)
        return;
    AnswerBox *box = m_boxes[first];
    if (window()->focusWidget() == box)
        txtAddress_GotFocus(first);
    else
        box->setFocus(Qt::TabFocusReason);
}

void frmCanCard::setUpLayout(void (CardFormModel::*setup)())
{
    focusNoOp();
    (m_model.*setup)();
    focusFirstBox();
}

void frmCanCard::setPicture(const QImage &image)
{
    m_picture->setImage(image);
}

void frmCanCard::clearPicture()
{
    m_picture->clear();
}

void frmCanCard::setVarCardTitle(const QString &title)
{
    m_model.setVarCardTitle(title);
    setWindowTitle(title);
}

void frmCanCard::SetUpCanCard()
{
    setUpLayout(&CardFormModel::SetUpCanCard);
}

void frmCanCard::SetupUSCard()
{
    setUpLayout(&CardFormModel::SetupUSCard);
}

void frmCanCard::SetUpCanCard_blue()
{
    setUpLayout(&CardFormModel::SetUpCanCard_blue);
}

// ---- Focus and keys ------------------------------------------------------------------

void frmCanCard::txtAddress_GotFocus(int index)
{
    // Coming back from another window or a menu: the box is still edited.
    if (!m_model.boxGotFocus(index))
        return;
    Q_EMIT activeBoxChanged(index);
}

void frmCanCard::txtAddress_LostFocus(int index)
{
    m_model.boxLostFocus(index);
}

void frmCanCard::advanceFocus()
{
    cKeyBrd navigator;
    navigator.AdvanceFocus(Controls(), QApplication::focusWidget());
    if (QWidget *next = navigator.CCtrl())
        next->setFocus(Qt::TabFocusReason);
}

bool frmCanCard::eventFilter(QObject *watched, QEvent *event)
{
    // The window sees every key before its controls: Enter moves on to the
    // next input control and never reaches the box.
    // On a button too, Enter only moves on: someone going through the boxes
    // must never print or reset by it. Space presses a focused button.
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            advanceFocus();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frmCanCard::showRefused(int index, const QString &characters)
{
    Q_UNUSED(index);
    // Typing goes on in the box: the notice must not take the keyboard.
    Messages::notice(u"The character \"%1\" cannot be stored on a card and was left out."_s.arg(characters));
}

void frmCanCard::focusNoOp()
{
    m_txtNoOp->setFocus(Qt::OtherFocusReason);
}

// ---- Saving, closing, reset ---------------------------------------------------------

void frmCanCard::mnuSave_Click()
{
    if (!m_model.clsCard())
        return;
    // The boxes are saved at rest; the box being edited then stands as if
    // the focus had left it and come back.
    if (SaveCard())
        m_model.refocusEditedBox();
}

bool frmCanCard::SaveCard()
{
    if (!m_model.SaveCard()) {
        Messages::error(u"The card could not be saved.\n\n%1"_s.arg(m_model.lastError().message()));
        return false;
    }
    if (const QString warning = m_model.saveWarning(); !warning.isEmpty())
        Messages::warn(warning);
    return true;
}

void frmCanCard::mnuClose_Click()
{
    CloseCard();
}

void frmCanCard::CloseCard()
{
    Q_EMIT closeRequested();
}

void frmCanCard::mnuAssist_Click()
{
    Q_EMIT helpRequested();
}

void frmCanCard::mnuReset_Click()
{
    m_panel->buReset()->click();
}

void frmCanCard::buReset_Click()
{
    ResetCard();
    focusFirstBox();
}

bool frmCanCard::ResetCard()
{
    if (!m_model.clsCard())
        return false;
    if (!Messages::confirm(
            u"This will remove any changes made to the \r\ndeclaration card since installation.\r\n\r\n   .... Proceed?"_s,
            u"Requesting Confirmation"_s, true))
        return false;
    focusNoOp();
    if (!m_model.resetToInstalled()) {
        Messages::error(u"The card could not be reset.\n\n%1"_s.arg(m_model.lastError().message()));
        return false;
    }
    Messages::show({u"Borvessa"_s, u"Card Reset Complete."_s, Messages::Icon::Information});
    return true;
}

void frmCanCard::ToggleDesign()
{
    if (!m_model.clsCard())
        return;
    m_model.ToggleDesign();
    if (m_model.chkDesign())
        Q_EMIT designRequested();
}

void frmCanCard::chkOrientation_MouseUp()
{
    m_model.setOrientationChecked(m_panel->chkOrientation()->isChecked());
}

// ---- The picture arrows --------------------------------------------------------------

void frmCanCard::pictureArrow(CardFormModel::PictureArrow arrow)
{
    using Arrow = CardFormModel::PictureArrow;
    // The vertical arrows keep the focus in its box; the others take it away
    // first, so no box is enlarged while the picture changes under it.
    if (arrow != Arrow::Up && arrow != Arrow::Down)
        focusNoOp();
    if (const QString refused = m_model.pictureArrow(arrow, activeBoxIndex()); !refused.isEmpty())
        Messages::warn(refused);
}

int frmCanCard::GetCopies() const
{
    return m_panel->copies();
}

// ---- Printing ------------------------------------------------------------------------

void frmCanCard::buPrint_MouseUp()
{
    PrintCard1();
}

void frmCanCard::mnuPrint_Click()
{
    // The printer, tray and copies first; the page takes every box at rest,
    // and the box being edited is enlarged again afterwards, its answer
    // selected.
    m_printing.printWithDialog();
    if (m_model.isEditing())
        m_model.ConfigCtrlForEditing();
}

PrintPage frmCanCard::PrintCard2()
{
    return m_printing.page();
}

bool frmCanCard::PrintCard1()
{
    return m_printing.print();
}

// ---- Unsaved changes ----------------------------------------------------------------

bool frmCanCard::maybeSave()
{
    if (!m_model.isModified() || !m_model.clsCard())
        return true;
    const Messages::Answer answer = Messages::show(
        {u"Borvessa"_s, u"Save changes to %1?"_s.arg(m_model.varCardTitle()), Messages::Icon::Warning,
         Messages::Buttons::SaveDiscardCancel, Messages::Answer::Save});
    switch (answer) {
    case Messages::Answer::Save:
        return SaveCard();
    case Messages::Answer::Discard:
        return true;
    default:
        return false;
    }
}
