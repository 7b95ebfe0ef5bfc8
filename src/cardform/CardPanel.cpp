#include "CardPanel.h"

#include "SpinArrows.h"

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

CardPanel::CardPanel(QWidget *parent) : QWidget(parent)
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
        w->setFixedWidth(WidthPx);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(FrameGapPx);
    layout->addWidget(m_fra1);
    layout->addWidget(m_fraControl);
    layout->addStretch();

    using Arrow = CardFormModel::PictureArrow;
    const auto arrow = [this](SpinArrows *arrows, Arrow up, Arrow down) {
        connect(arrows, &SpinArrows::upClick, this, [this, up] { Q_EMIT arrowClicked(up); });
        connect(arrows, &SpinArrows::downClick, this, [this, down] { Q_EMIT arrowClicked(down); });
    };
    arrow(m_upDown, Arrow::Up, Arrow::Down);
    arrow(m_leftRight, Arrow::Right, Arrow::Left);
    arrow(m_narrowWide, Arrow::Wider, Arrow::Narrower);
    arrow(m_tallShort, Arrow::Shorter, Arrow::Taller);
    connect(m_chkOrientation, &QCheckBox::clicked, this, &CardPanel::orientationClicked);
    connect(m_buDesignToggle, &QPushButton::clicked, this, &CardPanel::designToggleClicked);
    connect(m_buReset, &QPushButton::clicked, this, &CardPanel::resetClicked);
    connect(m_buPrint, &QPushButton::clicked, this, &CardPanel::printClicked);
}

int CardPanel::copies() const
{
    int copies = 0;
    for (const QRadioButton *option : m_option1) {
        if (option->isChecked())
            copies = option->text().toInt();
    }
    return copies;
}

void CardPanel::setCopies(int copies)
{
    for (QRadioButton *option : m_option1) {
        if (option->text().toInt() == copies)
            option->setChecked(true);
    }
}

bool CardPanel::showSwitches(const CardFormModel &model)
{
    m_chkDefault->setChecked(model.chkDefault());
    m_chkDesign->setChecked(model.chkDesign());
    m_chkOrientation->setChecked(model.chkOrientation());
    m_labNotify->setText(model.labNotify());
    const bool hasCard = model.clsCard() != nullptr;
    m_chkOrientation->setEnabled(hasCard);
    m_buPrint->setEnabled(hasCard);
    const bool design = model.designSwitchVisible();
    if (m_buDesignToggle->isHidden() != design)
        return false;
    m_chkDesign->setVisible(design);
    m_buDesignToggle->setVisible(design);
    // The preparer of a card in design mode may also reset it.
    m_buReset->setVisible(design);
    return true;
}
