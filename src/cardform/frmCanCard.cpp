#include "frmCanCard.h"

#include "AnswerBox.h"
#include "CardPicture.h"
#include "CardPrinting.h"
#include "PdfExport.h"
#include "PrintLayout.h"
#include "Calibration.h"
#include "CalibrationDialog.h"
#include "PrintPreviewDialog.h"
#include "SheetModel.h"
#include "Messages.h"
#include "ProductInfo.h"
#include "SpinArrows.h"
#include "cKeyBrd.h"
#include "frmDesign.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QStandardPaths>
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

constexpr int PanelWidthPx = 290;
constexpr float PanelTopTwips = 120;
constexpr int FrameGapPx = 8;

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

// Colours of the card string are numbers with blue in the high byte and red in
// the low byte (&H00BBGGRR); only the low 24 bits are drawn, whatever the card
// holds above them.
QColor colorFromCardValue(std::uint32_t bgr)
{
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

} // namespace

frmCanCard::frmCanCard(QWidget *parent) : frmCanCard(DefaultZoom, parent) {}

frmCanCard::frmCanCard(double zoom, QWidget *parent)
    : QWidget(parent), m_zoom(std::clamp(zoom, ZoomSteps.front(), ZoomSteps.back()))
{
    mapSmallFonts();
    setWindowTitle(u"Decleration Form"_s);
    setAutoFillBackground(true);

    m_picture = new CardPicture(this);
    buildBoxes();
    buildPanel();
    buildMenus();

    connect(&m_model, &CardFormModel::boxChanged, this, &frmCanCard::updateBox);
    connect(&m_model, &CardFormModel::pictureChanged, this, &frmCanCard::updatePicture);
    connect(&m_model, &CardFormModel::switchesChanged, this, &frmCanCard::updateSwitches);
    connect(&m_model, &CardFormModel::tabOrderChanged, this, &frmCanCard::updateTabChain);
    connect(&m_model, &CardFormModel::questionChanged, m_labQuestion, &QLabel::setText);
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
        if (i == 0)
            box->setToolTip(u"Use Tab key to advance"_s);
        m_boxes[i] = box;
        registerControl(box, ControlKind::TextBox, u"txtAddress(%1)"_s.arg(i), i, true);
        connect(box, &AnswerBox::gotFocus, this, &frmCanCard::txtAddress_GotFocus);
        connect(box, &AnswerBox::lostFocus, this, &frmCanCard::txtAddress_LostFocus);
        connect(box, &AnswerBox::refused, this, &frmCanCard::showRefused);
        // textChanged, not textEdited: an undo changes the answer too.
        connect(box, &QLineEdit::textChanged, this, [this, box] {
            const QString text = box->text();
            if (m_model.box(box->index()).text == text)
                return;
            m_model.setBoxText(box->index(), text);
            setModified(true);
        });
    }
    m_txtNoOp = new QLineEdit(this);
    m_txtNoOp->setGeometry(-2000, -2000, 20, 20);
    m_txtNoOp->setFocusPolicy(Qt::ClickFocus);
    m_txtNoOp->setAccessibleName(u"NoOp"_s);
}

void frmCanCard::buildPanel()
{
    m_fra1 = new QFrame(this);
    m_fra1->setFrameShape(QFrame::StyledPanel);
    m_label1 = new QLabel(u" the  QUESTION"_s, m_fra1);
    QFont heading = m_label1->font();
    heading.setBold(true);
    m_label1->setFont(heading);
    m_labQuestion = new QLabel(u"Question"_s, m_fra1);
    m_labQuestion->setTextFormat(Qt::PlainText);
    m_labQuestion->setWordWrap(true);
    m_labQuestion->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_labQuestion->setMinimumHeight(m_labQuestion->fontMetrics().lineSpacing() * 5);
    m_labQuestion->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // Only the window's input controls take the focus, so that the window
    // sees every key.
    m_labQuestion->setFocusPolicy(Qt::NoFocus);
    m_labNotify = new QLabel(m_fra1);
    m_labNotify->setTextFormat(Qt::PlainText);
    auto *fra1Layout = new QVBoxLayout(m_fra1);
    fra1Layout->addWidget(m_label1);
    fra1Layout->addWidget(m_labQuestion);
    fra1Layout->addWidget(m_labNotify);

    m_fraControl = new QGroupBox(u"Printing Control"_s, this);
    m_chkOrientation = new QCheckBox(u"Rotate printer output 90 degrees"_s, m_fraControl);
    m_fraPrintQty = new QGroupBox(u"Copies"_s, m_fraControl);
    auto *qtyLayout = new QHBoxLayout(m_fraPrintQty);
    const QString captions[] = {u"1"_s, u"5"_s, u"10"_s, u"25"_s};
    for (int i = 0; i < 4; ++i) {
        m_option1[i] = new QRadioButton(captions[i], m_fraPrintQty);
        qtyLayout->addWidget(m_option1[i]);
    }
    m_option1[0]->setChecked(true);
    m_buPrint = new QPushButton(u"Print"_s, m_fraControl);

    m_fraPosition = new QGroupBox(u"Move Text"_s, m_fraControl);
    m_upDown = new SpinArrows(Qt::Vertical, m_fraPosition);
    m_upDown->setToolTip(u"Moves text up or down"_s);
    m_leftRight = new SpinArrows(Qt::Horizontal, m_fraPosition);
    m_leftRight->setToolTip(u"Moves text left or right"_s);
    auto *posLayout = new QHBoxLayout(m_fraPosition);
    posLayout->addWidget(m_upDown);
    posLayout->addWidget(m_leftRight);

    m_fraSize = new QGroupBox(u"Stretch Text"_s, m_fraControl);
    m_tallShort = new SpinArrows(Qt::Vertical, m_fraSize);
    m_tallShort->setToolTip(u"Makes text taller or shorter"_s);
    m_narrowWide = new SpinArrows(Qt::Horizontal, m_fraSize);
    m_narrowWide->setToolTip(u"Makes text narrower or wider"_s);
    auto *sizeLayout = new QHBoxLayout(m_fraSize);
    sizeLayout->addWidget(m_tallShort);
    sizeLayout->addWidget(m_narrowWide);

    m_chkDefault = new QCheckBox(u"Default"_s, m_fraControl);
    m_chkDefault->setEnabled(false);
    m_chkDesign = new QCheckBox(u"Design"_s, m_fraControl);
    m_chkDesign->setEnabled(false);
    m_buDesignToggle = new QPushButton(u"DesignTog"_s, m_fraControl);
    m_buReset = new QPushButton(u"Reset Card Position and Size"_s, m_fraControl);
    m_chkDefault->hide();
    m_chkDesign->hide();
    m_buDesignToggle->hide();
    m_buReset->hide();

    auto *arrows = new QHBoxLayout;
    arrows->addWidget(m_fraPosition);
    arrows->addWidget(m_fraSize);
    auto *design = new QHBoxLayout;
    design->addWidget(m_chkDesign);
    design->addWidget(m_buDesignToggle);
    auto *controlLayout = new QVBoxLayout(m_fraControl);
    controlLayout->addWidget(m_chkOrientation);
    controlLayout->addWidget(m_fraPrintQty);
    controlLayout->addWidget(m_buPrint);
    controlLayout->addLayout(arrows);
    controlLayout->addWidget(m_chkDefault);
    controlLayout->addLayout(design);
    controlLayout->addWidget(m_buReset);

    for (QWidget *w : {static_cast<QWidget *>(m_fra1), static_cast<QWidget *>(m_fraControl)})
        w->setFixedWidth(PanelWidthPx);

    int tab = PanelTabBase;
    registerControl(m_chkOrientation, ControlKind::CheckBox, u"chkOrientation"_s, tab++, true);
    for (int i = 0; i < 4; ++i)
        registerControl(m_option1[i], ControlKind::OptionButton, u"Option1(%1)"_s.arg(i), tab++, true);
    registerControl(m_buPrint, ControlKind::CommandButton, u"buPrint"_s, tab++, true);
    registerControl(m_upDown, ControlKind::SpinControl, u"UpDown"_s, tab++, true);
    registerControl(m_leftRight, ControlKind::SpinControl, u"LeftRight"_s, tab++, true);
    registerControl(m_tallShort, ControlKind::SpinControl, u"tallShort"_s, tab++, true);
    registerControl(m_narrowWide, ControlKind::SpinControl, u"narrowWide"_s, tab++, true);
    registerControl(m_chkDefault, ControlKind::CheckBox, u"chkDefault"_s, tab++, true);
    registerControl(m_chkDesign, ControlKind::CheckBox, u"chkDesign"_s, tab++, true);
    registerControl(m_buDesignToggle, ControlKind::CommandButton, u"buDesignToggle"_s, tab++, true);
    registerControl(m_buReset, ControlKind::CommandButton, u"buReset"_s, tab++, true);
    registerControl(m_txtNoOp, ControlKind::TextBox, u"txtNoOp"_s, tab++, false);
    registerControl(m_picture, ControlKind::Image, u"imgCCCard"_s, tab++, false);
    registerControl(m_label1, ControlKind::Label, u"Label1"_s, tab++, false);
    registerControl(m_labQuestion, ControlKind::Label, u"labQuestion"_s, tab++, false);
    registerControl(m_labNotify, ControlKind::Label, u"labNotify"_s, tab++, false);
    registerControl(m_fraPrintQty, ControlKind::Frame, u"fraPrintQty"_s, tab++, false);
    registerControl(m_fraPosition, ControlKind::Frame, u"fraPosition"_s, tab++, false);
    registerControl(m_fraSize, ControlKind::Frame, u"fraSize"_s, tab++, false);
    registerControl(m_fra1, ControlKind::Frame, u"fra1"_s, tab++, false);
    registerControl(m_fraControl, ControlKind::Frame, u"fraControl"_s, tab++, false);

    connect(m_chkOrientation, &QCheckBox::clicked, this, &frmCanCard::chkOrientation_MouseUp);
    connect(m_buDesignToggle, &QPushButton::clicked, this, &frmCanCard::ToggleDesign);
    connect(m_buReset, &QPushButton::clicked, this, &frmCanCard::buReset_Click);
    connect(m_buPrint, &QPushButton::clicked, this, &frmCanCard::buPrint_MouseUp);
    connect(m_upDown, &SpinArrows::upClick, this, &frmCanCard::UpDown_UpClick);
    connect(m_upDown, &SpinArrows::downClick, this, &frmCanCard::UpDown_DownClick);
    connect(m_leftRight, &SpinArrows::upClick, this, &frmCanCard::LeftRight_UpClick);
    connect(m_leftRight, &SpinArrows::downClick, this, &frmCanCard::LeftRight_DownClick);
    connect(m_narrowWide, &SpinArrows::upClick, this, &frmCanCard::narrowWide_UpClick);
    connect(m_narrowWide, &SpinArrows::downClick, this, &frmCanCard::narrowWide_DownClick);
    connect(m_tallShort, &SpinArrows::upClick, this, &frmCanCard::tallShort_UpClick);
    connect(m_tallShort, &SpinArrows::downClick, this, &frmCanCard::tallShort_DownClick);
}

void frmCanCard::buildMenus()
{
    m_fileMenu = new QMenu(u"&File"_s, this);
    m_mnuSave1 = m_fileMenu->addAction(u"&Save"_s, this, &frmCanCard::mnuSave_Click);
    m_mnuSave1->setShortcut(QKeySequence::Save);
    m_mnuSave2 = m_fileMenu->addAction(u"Save as Default"_s, this, &frmCanCard::mnuSave_Click);
    m_mnuSave2->setVisible(false);
    m_mnuPrint = m_fileMenu->addAction(u"Print"_s, this, &frmCanCard::mnuPrint_Click);
    m_mnuPrint->setShortcut(QKeySequence::Print);
    m_mnuPrintPreview = m_fileMenu->addAction(u"Print Pre&view"_s, this, &frmCanCard::printPreview);
    m_mnuExportPdf = m_fileMenu->addAction(u"&Export PDF..."_s, this, &frmCanCard::exportPdfAs);
    m_mnuPrintAlignment = m_fileMenu->addAction(u"Print &Alignment Page"_s, this,
                                                [this] { printAlignmentPage(); });
    m_mnuExportAlignment = m_fileMenu->addAction(u"Export Alignment Page P&DF..."_s, this,
                                                 &frmCanCard::exportAlignmentPdfAs);
    m_mnuCalibrate = m_fileMenu->addAction(u"&Calibrate Printing..."_s, this, &frmCanCard::calibratePrinting);
    m_fileMenu->addSeparator();
    m_mnuQuit = m_fileMenu->addAction(u"E&xit"_s, this, &frmCanCard::quitRequested);
    m_mnuQuit->setShortcut(QKeySequence(u"Ctrl+Q"_s));

    auto *edit = new QMenu(u"&Edit"_s, this);
    m_mnuClose = edit->addAction(u"&Close Card"_s, this, &frmCanCard::mnuClose_Click);
    m_mnuClose->setShortcut(QKeySequence::Close);
    m_mnuReset = edit->addAction(u"Reset"_s, this, &frmCanCard::mnuReset_Click);
    m_mnuReset->setVisible(false);

    auto *view = new QMenu(u"&View"_s, this);
    QAction *zoomIn = view->addAction(u"Zoom &In"_s, this, [this] {
        for (double z : ZoomSteps) {
            if (z > m_zoom + 1e-9) {
                setZoom(z);
                return;
            }
        }
    });
    zoomIn->setShortcuts({QKeySequence::ZoomIn, QKeySequence(u"Ctrl+="_s)});
    QAction *zoomOut = view->addAction(u"Zoom &Out"_s, this, [this] {
        for (auto it = std::rbegin(ZoomSteps); it != std::rend(ZoomSteps); ++it) {
            if (*it < m_zoom - 1e-9) {
                setZoom(*it);
                return;
            }
        }
    });
    zoomOut->setShortcut(QKeySequence::ZoomOut);
    QAction *zoomReset = view->addAction(u"&Reset Zoom"_s, this, [this] { setZoom(DefaultZoom); });
    zoomReset->setShortcut(QKeySequence(u"Ctrl+0"_s));

    auto *help = new QMenu(u"Help"_s, this);
    m_mnuAssist = help->addAction(u"Help "_s, this, &frmCanCard::mnuAssist_Click);

    m_menus = {m_fileMenu, edit, view, help};
    // Shortcuts work while the window is shown, whichever menu bar is in place.
    for (QMenu *menu : std::as_const(m_menus))
        addActions(menu->actions());
}

// ---- The view -------------------------------------------------------------------

double frmCanCard::scaleAt(double zoom) const
{
    const int dpi = logicalDpiX() > 0 ? logicalDpiX() : 96;
    return dpi / 1440.0 * zoom;
}

QRect frmCanCard::toPixels(const TwipRect &rect) const
{
    const double s = scale();
    const int left = int(std::lround(rect.left * s));
    const int top = int(std::lround(rect.top * s));
    const int right = int(std::lround((double(rect.left) + rect.width) * s));
    const int bottom = int(std::lround((double(rect.top) + rect.height) * s));
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

void frmCanCard::setZoom(double zoom)
{
    zoom = std::clamp(zoom, ZoomSteps.front(), ZoomSteps.back());
    if (std::abs(zoom - m_zoom) < 1e-9)
        return;
    m_zoom = zoom;
    for (int i = 0; i < CardFormModel::BoxCount; ++i)
        updateBox(i);
    updatePicture();
    Q_EMIT zoomChanged(m_zoom);
}

TwipRect frmCanCard::fra1RectAt(double zoom) const
{
    const double s = scaleAt(zoom);
    const QSize size = m_fra1->sizeHint().expandedTo(m_fra1->minimumSize());
    return {m_panelLeftTwips, PanelTopTwips, float(PanelWidthPx / s), float(size.height() / s)};
}

TwipRect frmCanCard::fraControlRectAt(double zoom) const
{
    const double s = scaleAt(zoom);
    const TwipRect top = fra1RectAt(zoom);
    const QSize size = m_fraControl->sizeHint();
    return {m_panelLeftTwips, top.bottom() + float(FrameGapPx / s), float(PanelWidthPx / s),
            float(size.height() / s)};
}

void frmCanCard::setPanelLeft(float twips)
{
    m_panelLeftTwips = twips;
    placePanel();
}

void frmCanCard::placePanel()
{
    // Controls just shown or hidden count at once, not at the next layout pass.
    for (QWidget *frame : {static_cast<QWidget *>(m_fra1), static_cast<QWidget *>(m_fraControl)}) {
        frame->layout()->invalidate();
        frame->layout()->activate();
    }
    const QRect top = toPixels(fra1Rect());
    m_fra1->setGeometry(top.left(), top.top(), PanelWidthPx, m_fra1->sizeHint().height());
    m_fraControl->setGeometry(top.left(), m_fra1->geometry().bottom() + 1 + FrameGapPx,
                              PanelWidthPx, m_fraControl->sizeHint().height());
    updateMinimumSize();
}

void frmCanCard::updateMinimumSize()
{
    const QRect pic = toPixels(m_model.picture());
    int right = std::max(pic.right(), m_fraControl->geometry().right());
    int bottom = std::max(pic.bottom(), m_fraControl->geometry().bottom());
    for (const AnswerBox *box : m_boxes) {
        if (!box->isHidden()) {
            right = std::max(right, box->geometry().right());
            bottom = std::max(bottom, box->geometry().bottom());
        }
    }
    setMinimumSize(right + 16, bottom + 16);
    Q_EMIT layoutChanged();
}

void frmCanCard::updateBox(int index)
{
    // A load or a zoom passes every box through here, several times over;
    // only what changed is set, as each new palette or font makes the box
    // polish and lay itself out again.
    const AnswerBoxState &b = m_model.box(index);
    AnswerBox *box = m_boxes[index];
    box->setGeometry(toPixels(b.rect));
    const QColor back = colorFromCardValue(b.backColor);
    const QPalette &current = box->palette();
    if (current.color(QPalette::Base) != back || current.color(QPalette::Window) != back
        || current.color(QPalette::Text) != QColor(Qt::black)) {
        QPalette pal = current;
        pal.setColor(QPalette::Base, back);
        pal.setColor(QPalette::Window, back);
        pal.setColor(QPalette::Text, Qt::black);
        box->setPalette(pal);
    }
    QFont font(b.fontName);
    font.setPointSizeF(std::max(1.0, double(b.fontSize) * m_zoom));
    if (box->font() != font)
        box->setFont(font);
    // Every box of a card keeps its one-pixel border, also once it has been
    // edited: the flat look of the edit configuration is not the border.
    box->setBordered(b.bordered);
    // Screen readers announce the question of the box.
    const QString question = m_model.questionFor(index);
    if (box->accessibleName() != question)
        box->setAccessibleName(question);
    if (box->text() != b.text)
        box->setText(b.text);
    if (box->isHidden() == b.visible)
        box->setVisible(b.visible);
}

void frmCanCard::updatePicture()
{
    m_picture->setGeometry(toPixels(m_model.picture()));
    m_picture->lower();
    placePanel();
}

void frmCanCard::updateSwitches()
{
    m_chkDefault->setChecked(m_model.chkDefault());
    m_chkDesign->setChecked(m_model.chkDesign());
    m_chkOrientation->setChecked(m_model.chkOrientation());
    m_labNotify->setText(m_model.labNotify());
    const bool design = m_model.designSwitchVisible();
    if (m_buDesignToggle->isHidden() == design) {
        m_chkDesign->setVisible(design);
        m_buDesignToggle->setVisible(design);
        // The preparer of a card in design mode may also reset it.
        m_buReset->setVisible(design);
        m_mnuReset->setVisible(design);
        placePanel();
    }
    const bool hasCard = m_model.clsCard() != nullptr;
    for (QAction *a : {m_mnuSave1, m_mnuSave2, m_mnuPrint, m_mnuPrintPreview, m_mnuExportPdf,
                       m_mnuPrintAlignment, m_mnuExportAlignment, m_mnuCalibrate})
        a->setEnabled(hasCard);
    m_chkOrientation->setEnabled(hasCard);
    m_buPrint->setEnabled(hasCard);
}

void frmCanCard::updateTabChain()
{
    // Qt's tab chain follows the tab indexes, as the Enter key does.
    QList<FormControl> ordered = Controls();
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](const FormControl &a, const FormControl &b) { return a.tabIndex < b.tabIndex; });
    QWidget *previous = nullptr;
    for (const FormControl &c : std::as_const(ordered)) {
        if (!c.widget || !c.tabStop)
            continue;
        if (c.kind == ControlKind::Label || c.kind == ControlKind::Frame || c.kind == ControlKind::Image)
            continue;
        if (previous)
            QWidget::setTabOrder(previous, c.widget);
        previous = c.widget;
    }
}

QList<FormControl> frmCanCard::Controls() const
{
    QList<FormControl> list = m_controls;
    for (int i = 0; i < CardFormModel::BoxCount; ++i)
        list[i].tabIndex = m_model.box(i).tabIndex;
    return list;
}

int frmCanCard::TabIndex(const QWidget *control) const
{
    for (const FormControl &c : Controls()) {
        if (c.widget == control)
            return c.tabIndex;
    }
    return -1;
}

int frmCanCard::activeBoxIndex() const
{
    // The window's own focus, also while another window is active.
    const QWidget *focus = window()->focusWidget();
    for (int i = 0; i < CardFormModel::BoxCount; ++i) {
        if (m_boxes[i] == focus)
            return i;
    }
    return -1;
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
    setModified(false);
    focusFirstBox();
    return true;
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
    frmDesign::activateBox(this, index);
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
    QPointer<QWidget> active = QApplication::focusWidget();
    focusNoOp();
    m_model.RestoreControl();
    QCoreApplication::processEvents();
    SaveCard();
    if (active && active != m_txtNoOp)
        active->setFocus(Qt::OtherFocusReason);
}

bool frmCanCard::SaveCard()
{
    if (!m_model.SaveCard()) {
        Messages::error(u"The card could not be saved.\n\n%1"_s.arg(m_model.lastError().message()));
        return false;
    }
    if (const QString warning = m_model.saveWarning(); !warning.isEmpty())
        Messages::warn(warning);
    setModified(false);
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
    ProductInfo::showHelp();
}

void frmCanCard::mnuReset_Click()
{
    m_buReset->click();
}

void frmCanCard::buReset_Click()
{
    QCoreApplication::processEvents();
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
    QCoreApplication::processEvents();
    if (!m_model.resetToInstalled()) {
        Messages::error(u"The card could not be reset.\n\n%1"_s.arg(m_model.lastError().message()));
        return false;
    }
    QCoreApplication::processEvents();
    setModified(false);
    Messages::show({u"Borvessa"_s, u"Card Reset Complete."_s, Messages::Icon::Information});
    return true;
}

void frmCanCard::ToggleDesign()
{
    if (!m_model.clsCard())
        return;
    m_model.ToggleDesign();
    setModified(true);
    if (m_model.chkDesign())
        frmDesign::showBeside(this);
}

void frmCanCard::chkOrientation_MouseUp()
{
    m_model.setOrientationChecked(m_chkOrientation->isChecked());
    setModified(true);
}

// ---- The picture arrows --------------------------------------------------------------

void frmCanCard::UpDown_UpClick()
{
    m_model.RestoreCntrlActiveCntrl(activeBoxIndex());
    m_model.SaveCntrlPxsPriorToMove();
    if (!pictureStep(m_model.movePictureVertically(-20)))
        return;
    m_model.RestoreCntrlPxsAfterMove();
    reconfigureFocusedBox();
    setModified(true);
}

void frmCanCard::UpDown_DownClick()
{
    m_model.RestoreCntrlPxsAfterMove();
    if (!pictureStep(m_model.movePictureVertically(20)))
        return;
    m_model.RestoreCntrlPxsAfterMove();
    reconfigureFocusedBox();
    setModified(true);
}

void frmCanCard::LeftRight_DownClick()
{
    focusNoOp();
    if (!pictureStep(m_model.movePictureHorizontally(-20)))
        return;
    setModified(true);
}

void frmCanCard::LeftRight_UpClick()
{
    focusNoOp();
    if (!pictureStep(m_model.movePictureHorizontally(20)))
        return;
    setModified(true);
}

void frmCanCard::narrowWide_DownClick()
{
    focusNoOp();
    if (!pictureStep(m_model.stretchPicture(-20, 0)))
        return;
    setModified(true);
}

void frmCanCard::narrowWide_UpClick()
{
    focusNoOp();
    if (!pictureStep(m_model.stretchPicture(20, 0)))
        return;
    setModified(true);
}

void frmCanCard::tallShort_DownClick()
{
    focusNoOp();
    if (!pictureStep(m_model.stretchPicture(0, 20)))
        return;
    setModified(true);
}

void frmCanCard::tallShort_UpClick()
{
    focusNoOp();
    if (!pictureStep(m_model.stretchPicture(0, -20)))
        return;
    setModified(true);
}

bool frmCanCard::pictureStep(const QString &refused)
{
    if (refused.isEmpty())
        return true;
    Messages::warn(refused);
    return false;
}

int frmCanCard::GetCopies() const
{
    int copies = 0;
    for (const QRadioButton *option : m_option1) {
        if (option->isChecked())
            copies = option->text().toInt();
    }
    return copies;
}

// ---- Printing ------------------------------------------------------------------------

void frmCanCard::buPrint_MouseUp()
{
    PrintCard1();
}

void frmCanCard::mnuPrint_Click()
{
    // The box being edited prints at its normal place and size, and is
    // enlarged again afterwards.
    const bool editing = m_model.isEditing();
    m_model.RestoreControl();
    PrintCard1();
    if (editing)
        reconfigureFocusedBox();
}

void frmCanCard::reconfigureFocusedBox()
{
    const int active = activeBoxIndex();
    if (active >= 0 && active == m_model.CurEditCtrl())
        m_model.boxGotFocus(active);
}

PrintPage frmCanCard::pageAtRest()
{
    const bool editing = m_model.isEditing();
    m_model.RestoreControl();
    PrintPage page = PrintCard2();
    if (editing)
        reconfigureFocusedBox();
    return page;
}

// A job the printer took but has not printed yet is neither printed nor
// failed; the user is told so.
static void tellPrinterNote(const CardPrinting &printer)
{
    if (const QString note = printer.lastNote(); !note.isEmpty())
        Messages::inform(note);
}

CardPrinting &frmCanCard::printer()
{
    return m_printer ? *m_printer : CardPrinting::systemPrinter();
}

PrintPage frmCanCard::PrintCard2() const
{
    return PrintLayout::page(m_model);
}

bool frmCanCard::PrintCard1()
{
    if (!m_model.clsCard())
        return false;
    const int copies = GetCopies();
    CardPrinting &printer = this->printer();
    const PrintPage page = PrintCard2();
    // Before a card is used up, say how many answers will not land in their
    // fields.
    const std::optional<QMarginsF> margins = printer.unprintableMargins(page);
    const std::size_t misfits = SheetModel::build(page, margins ? &*margins : nullptr).misfits.size();
    QString question = u"Print %1 declaration form(s)?"_s.arg(copies);
    if (misfits > 0)
        question += u"\n\n%1 answer(s) will not print inside their fields; Print Preview shows which."_s.arg(misfits);
    if (!Messages::confirm(question, u"Requesting Confirmation"_s))
        return false;
    QString error;
    if (!printer.print(page, copies, RenderOptions{}, &error)) {
        Messages::error(u"The card was not printed.\n\n%1"_s.arg(error));
        return false;
    }
    tellPrinterNote(printer);
    return true;
}

RenderOptions frmCanCard::previewOptions() const
{
    RenderOptions options;
    options.drawPicture = true;
    options.picture = m_picture->image();
    return options;
}

void frmCanCard::printPreview()
{
    if (!m_model.clsCard())
        return;
    const PrintPage page = pageAtRest();
    PrintPreviewDialog dialog(page, GetCopies(), previewOptions(), this, printer().unprintableMargins(page));
    dialog.setWindowTitle(u"Print Preview - %1"_s.arg(m_model.varCardTitle()));
    // The page at the size of the card on screen, within the screen.
    QSize size(int(page.pageWidth() * scale()) + 80, int(page.pageHeight() * scale()) + 120);
    if (const QScreen *screen = this->screen())
        size = size.boundedTo(screen->availableSize() * 9 / 10);
    dialog.resize(size.expandedTo(dialog.minimumSizeHint()));
    if (dialog.exec() == QDialog::Accepted)
        mnuPrint_Click();
}

bool frmCanCard::exportPdf(const QString &path, bool alignment)
{
    const PrintPage page = pageAtRest();
    RenderOptions options;
    options.drawOutlines = alignment;
    QString error;
    if (!PdfExport::exportPdf(path, page, alignment ? 1 : GetCopies(), options, &error)) {
        Messages::error(u"The PDF file was not written.\n\n%1"_s.arg(error));
        return false;
    }
    Q_EMIT statusMessage(u"Exported %1"_s.arg(QFileInfo(path).fileName()));
    return true;
}

QString frmCanCard::suggestedPdfPath(const QString &suffix) const
{
    // The user's documents, not the card folder beside the program.
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty())
        folder = QDir::homePath();
    return QDir(folder).filePath(m_model.varCardTitle() + suffix + u".pdf"_s);
}

void frmCanCard::exportPdfAs()
{
    if (!m_model.clsCard())
        return;
    const QString path = QFileDialog::getSaveFileName(this, u"Export PDF"_s, suggestedPdfPath(),
                                                      u"PDF files (*.pdf)"_s);
    if (!path.isEmpty())
        exportPdf(path);
}

void frmCanCard::exportAlignmentPdfAs()
{
    if (!m_model.clsCard())
        return;
    const QString path = QFileDialog::getSaveFileName(this, u"Export Alignment Page"_s,
                                                      suggestedPdfPath(u" alignment"_s),
                                                      u"PDF files (*.pdf)"_s);
    if (!path.isEmpty())
        exportPdf(path, true);
}

// ---- Calibration -----------------------------------------------------------------

bool frmCanCard::printCalibrationSheet()
{
    if (!m_model.clsCard())
        return false;
    const QString failure = u"The calibration sheet was not printed."_s;
    CardPrinting &printer = this->printer();
    const PrintPage page = pageAtRest();
    QString error;
    if (!printer.printSheet(page, [&page](QPainter &p) { Calibration::paintSheet(p, page); }, &error)) {
        Messages::error(failure + u"\n\n"_s + error);
        return false;
    }
    tellPrinterNote(printer);
    return true;
}

bool frmCanCard::exportCalibrationSheet(const QString &path)
{
    if (!m_model.clsCard())
        return false;
    const PrintPage page = pageAtRest();
    QString error;
    if (!PdfExport::exportSheet(path, page, [&page](QPainter &p) { Calibration::paintSheet(p, page); }, &error)) {
        Messages::error(u"The PDF file was not written.\n\n%1"_s.arg(error));
        return false;
    }
    Q_EMIT statusMessage(u"Exported %1"_s.arg(QFileInfo(path).fileName()));
    return true;
}

bool frmCanCard::applyCalibration(const QStringList &numbers)
{
    if (!m_model.clsCard())
        return false;
    QString error;
    const std::optional<Calibration::Measurement> m = Calibration::parse(numbers, &error);
    const PrintPage page = pageAtRest();
    std::optional<Calibration::Solution> solution;
    if (m)
        solution = Calibration::solve(page, *m, &error);
    if (!solution) {
        Messages::error(u"The calibration was not applied.\n\n%1"_s.arg(error));
        return false;
    }
    if (!Messages::confirm(u"Apply this calibration to %1?\n\n%2"_s.arg(m_model.varCardTitle(), solution->summary()),
                           u"Calibrate Printing"_s))
        return false;
    beginDesignCommand();
    const bool applied = Calibration::apply(m_model, *solution, &error);
    endDesignCommand();
    if (!applied) {
        Messages::error(u"The calibration was not applied.\n\n%1"_s.arg(error));
        return false;
    }
    setModified(true);
    Q_EMIT statusMessage(u"Calibration applied; Print Preview shows the result. Save the card to keep it."_s);
    return true;
}

void frmCanCard::calibratePrinting()
{
    if (!m_model.clsCard())
        return;
    CalibrationDialog dialog(m_model.varCardTitle(), this);
    connect(&dialog, &CalibrationDialog::printSheetRequested, this, [this] { printCalibrationSheet(); });
    connect(&dialog, &CalibrationDialog::exportSheetRequested, this, [this, &dialog] {
        const QString path = QFileDialog::getSaveFileName(&dialog, u"Export Calibration Sheet"_s,
                                                          suggestedPdfPath(u" calibration"_s),
                                                          u"PDF files (*.pdf)"_s);
        if (!path.isEmpty())
            exportCalibrationSheet(path);
    });
    // A refused measurement brings the dialog back with what was typed.
    while (dialog.exec() == QDialog::Accepted) {
        if (applyCalibration(dialog.numbers()))
            return;
    }
}

bool frmCanCard::printAlignmentPage()
{
    if (!m_model.clsCard())
        return false;
    const QString failure = u"The alignment page was not printed."_s;
    CardPrinting &printer = this->printer();
    if (!Messages::confirm(
            u"Print an alignment page on plain paper? It shows each box's outline with its answer; hold it against a blank card to check the calibration."_s,
            u"Requesting Confirmation"_s))
        return false;
    RenderOptions options;
    options.drawOutlines = true;
    QString error;
    const bool printed = printer.print(pageAtRest(), 1, options, &error);
    if (!printed)
        Messages::error(failure + u"\n\n"_s + error);
    else
        tellPrinterNote(printer);
    return printed;
}

void frmCanCard::beginDesignCommand()
{
    m_designCommandEditing = m_model.isEditing();
    if (m_designCommandEditing)
        m_model.RestoreControl();
}

void frmCanCard::endDesignCommand()
{
    if (m_designCommandEditing)
        reconfigureFocusedBox();
    m_designCommandEditing = false;
}

// ---- Unsaved changes ----------------------------------------------------------------

void frmCanCard::setModified(bool modified)
{
    if (m_modified == modified)
        return;
    m_modified = modified;
    Q_EMIT modifiedChanged(modified);
}

bool frmCanCard::maybeSave()
{
    if (!m_modified || !m_model.clsCard())
        return true;
    const Messages::Answer answer = Messages::show(
        {u"Borvessa"_s, u"Save changes to %1?"_s.arg(m_model.varCardTitle()), Messages::Icon::Warning,
         Messages::Buttons::SaveDiscardCancel, Messages::Answer::Save});
    switch (answer) {
    case Messages::Answer::Save:
        focusNoOp();
        m_model.RestoreControl();
        return SaveCard();
    case Messages::Answer::Discard:
        return true;
    default:
        return false;
    }
}
