// The card window's view: the zoom, the one transform from twips to pixels,
// the panel's place beside the card, and each box and the picture drawn from
// the model.
#include "frmCanCard.h"

#include "AnswerBox.h"
#include "CardPanel.h"
#include "CardPicture.h"

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QPushButton>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {

constexpr float PanelTopTwips = 120;

// Colours of the card string are numbers with blue in the high byte and red in
// the low byte (&H00BBGGRR); only the low 24 bits are drawn, whatever the card
// holds above them.
QColor colorFromCardValue(std::uint32_t bgr)
{
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

} // namespace

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
    const QSize size = m_panel->fra1()->sizeHint().expandedTo(m_panel->fra1()->minimumSize());
    return {m_panelLeftTwips, PanelTopTwips, float(CardPanel::WidthPx / s), float(size.height() / s)};
}

TwipRect frmCanCard::fraControlRectAt(double zoom) const
{
    const double s = scaleAt(zoom);
    const TwipRect top = fra1RectAt(zoom);
    const QSize size = m_panel->fraControl()->sizeHint();
    return {m_panelLeftTwips, top.bottom() + float(CardPanel::FrameGapPx / s), float(CardPanel::WidthPx / s),
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
    for (QWidget *frame : {static_cast<QWidget *>(m_panel->fra1()), static_cast<QWidget *>(m_panel->fraControl())}) {
        frame->layout()->invalidate();
        frame->layout()->activate();
    }
    const QRect top = toPixels(fra1Rect());
    m_panel->setGeometry(top.left(), top.top(), CardPanel::WidthPx,
                         m_panel->fra1()->sizeHint().height() + CardPanel::FrameGapPx
                             + m_panel->fraControl()->sizeHint().height());
    m_panel->layout()->activate();
    updateMinimumSize();
}

void frmCanCard::updateMinimumSize()
{
    const QRect pic = toPixels(m_model.picture());
    int right = std::max(pic.right(), m_panel->geometry().right());
    int bottom = std::max(pic.bottom(), m_panel->geometry().bottom());
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
    const CardFields &fields = m_model.fields();
    QFont font(b.fontName);
    font.setPointSizeF(std::max(1.0, double(b.fontSize) * m_zoom));
    // A capitals box shows what will print; the card keeps what was typed.
    if (fields.kind(index) == CardFields::Kind::Capitals)
        font.setCapitalization(QFont::AllUppercase);
    if (box->font() != font)
        box->setFont(font);
    // Every box of a card keeps its one-pixel border, also once it has been
    // edited: the flat look of the edit configuration is not the border.
    box->setBordered(b.bordered);
    box->setTick(fields.isTick(index));
    box->setMark(m_model.markText(index));
    // A wrong answer says why; the first box says how to go on.
    const QString tip = m_model.isMarked(index) ? m_model.markText(index)
                        : index == 0           ? u"Use Tab key to advance"_s
                                               : QString();
    if (box->toolTip() != tip)
        box->setToolTip(tip);
    // Screen readers announce the question of the box, and the group a tick
    // belongs to.
    const QString question = m_model.questionFor(index);
    if (box->accessibleName() != question)
        box->setAccessibleName(question);
    QString description;
    if (const CardFields::Group *g = fields.groupOf(index)) {
        description = u"%1: choice %2 of %3"_s.arg(fields.groupTitle(*g, [this](int i) {
                                                      return m_model.questionFor(i);
                                                  }))
                          .arg(g->boxes.indexOf(index) + 1)
                          .arg(g->boxes.size());
    }
    if (box->accessibleDescription() != description)
        box->setAccessibleDescription(description);
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
    if (m_panel->showSwitches(m_model)) {
        m_mnuReset->setVisible(m_model.designSwitchVisible());
        placePanel();
    }
    const bool hasCard = m_model.clsCard() != nullptr;
    for (QAction *a : {m_mnuSave1, m_mnuSave2, m_mnuPrint, m_mnuPrintPreview, m_mnuExportPdf,
                       m_mnuPrintAlignment, m_mnuExportAlignment, m_mnuCalibrate})
        a->setEnabled(hasCard);
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
