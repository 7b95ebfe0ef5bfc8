#include "frmDesign.h"

#include "Messages.h"
#include "Numbers.h"
#include "SpinArrows.h"
#include "DesignCommands.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

using namespace Qt::StringLiterals;

void frmDesign::showBeside(const QWidget *window)
{
    if (!isVisible() && window) {
        // Beside the main window's frame, top edges level. Until a window is
        // first shown the window system places its client area at the point
        // given, so allow for a frame like the main window's; otherwise the
        // title bar lands above the screen when the main window is at its top.
        const QPoint frame = window->geometry().topLeft() - window->frameGeometry().topLeft();
        move(QPoint(window->frameGeometry().right() + 1, window->frameGeometry().top()) + frame);
    }
    setAttribute(Qt::WA_ShowWithoutActivating);
    show();
    raise();
}

frmDesign::frmDesign(QWidget *parent) : QWidget(parent, Qt::Tool)
{
    setWindowTitle(u"Form1"_s);

    m_txtMoveIncr = new QLineEdit(u"50"_s, this);
    m_txtMoveIncr->setMaximumWidth(80);
    m_chkMoveOrSize = new QCheckBox(u"Move / Size Control"_s, this);
    m_leftRight = new SpinArrows(Qt::Horizontal, this);
    m_upDown1 = new SpinArrows(Qt::Vertical, this);
    m_leftRightImage = new SpinArrows(Qt::Horizontal, this);
    m_upDownImage = new SpinArrows(Qt::Vertical, this);

    auto *step = new QFormLayout;
    step->addRow(new QLabel(u"Move Increment"_s, this), m_txtMoveIncr);

    auto *grid = new QGridLayout(this);
    grid->addLayout(step, 0, 0, 1, 2);
    grid->addWidget(m_chkMoveOrSize, 1, 0, 1, 2);
    grid->addWidget(new QLabel(u"Control Adjustment"_s, this), 2, 0, 1, 2);
    grid->addWidget(m_leftRight, 3, 0);
    grid->addWidget(m_upDown1, 3, 1);
    grid->addWidget(new QLabel(u"Card Image Adjustment"_s, this), 4, 0, 1, 2);
    grid->addWidget(m_leftRightImage, 5, 0);
    grid->addWidget(m_upDownImage, 5, 1);

    connect(m_leftRight, &SpinArrows::downClick, this, &frmDesign::LeftRight_DownClick);
    connect(m_leftRight, &SpinArrows::upClick, this, &frmDesign::LeftRight_UpClick);
    connect(m_upDown1, &SpinArrows::downClick, this, &frmDesign::UpDown1_DownClick);
    connect(m_upDown1, &SpinArrows::upClick, this, &frmDesign::UpDown1_UpClick);
    connect(m_upDownImage, &SpinArrows::downClick, this, &frmDesign::UpDownImage_DownClick);
    connect(m_upDownImage, &SpinArrows::upClick, this, &frmDesign::UpDownImage_UpClick);
    connect(m_leftRightImage, &SpinArrows::downClick, this, &frmDesign::LeftRightImage_DownClick);
    connect(m_leftRightImage, &SpinArrows::upClick, this, &frmDesign::LeftRightImage_UpClick);
}

int frmDesign::varMoveIncr() const
{
    return Numbers::toInt16(m_txtMoveIncr->text()).value_or(0);
}

void frmDesign::runBox(const QString &command)
{
    m_varMoveCommand = command;
    MoveCtrl();
}

void frmDesign::runImage(const QString &command)
{
    m_varMoveCommandImage = command;
    MoveImage();
}

void frmDesign::MoveCtrl()
{
    if (!m_target)
        return;
    const QString refused = m_target->nudgeBox(m_varActiveCtrl, m_varMoveCommand,
                                                     m_txtMoveIncr->text(),
                                                     m_chkMoveOrSize->isChecked());
    if (!refused.isEmpty())
        Messages::warn(refused);
}

void frmDesign::MoveImage()
{
    if (!m_target)
        return;
    const QString refused = m_target->nudgePicture(m_varMoveCommandImage, m_txtMoveIncr->text(),
                                                         m_chkMoveOrSize->isChecked());
    if (!refused.isEmpty())
        Messages::warn(refused);
}
