#include "frmAbout.h"

#include "ProductInfo.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

namespace {

constexpr int PictureSide = 64;

QLabel *plainLabel(const QString &name, const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    return label;
}

} // namespace

frmAbout::frmAbout(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAbout"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);

    m_Image1 = new QLabel(this);
    m_Image1->setObjectName(QStringLiteral("Image1"));
    m_Image1->setPixmap(ProductInfo::picture(PictureSide));
    m_Image1->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    m_lblTitle = plainLabel(QStringLiteral("lblTitle"), QStringLiteral("The Caption"), this);
    QFont titleFont = m_lblTitle->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.5);
    m_lblTitle->setFont(titleFont);
    m_lblVersion = plainLabel(QStringLiteral("lblVersion"), QStringLiteral("Version 1.0"), this);
    m_Label1 = plainLabel(QStringLiteral("Label1"), ProductInfo::webAddress(), this);
    m_Label1->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_lblDisclaimer = plainLabel(QStringLiteral("lblDisclaimer"), ProductInfo::disclaimer(), this);
    m_lblDisclaimer->setWordWrap(true);

    m_cmdOK = new QPushButton(QStringLiteral("OK"), this);
    m_cmdOK->setObjectName(QStringLiteral("cmdOK"));
    m_cmdOK->setDefault(true);
    m_cmdSysInfo = new QPushButton(QStringLiteral("&System Info..."), this);
    m_cmdSysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
    m_cmdSysInfo->setAutoDefault(false);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_cmdSysInfo);
    buttons->addWidget(m_cmdOK);

    auto *layout = new QGridLayout(this);
    layout->setHorizontalSpacing(16);
    layout->addWidget(m_Image1, 0, 0, 4, 1);
    layout->addWidget(m_lblTitle, 0, 1);
    layout->addWidget(m_lblVersion, 1, 1);
    layout->addWidget(m_Label1, 2, 1);
    layout->addWidget(m_lblDisclaimer, 3, 1);
    layout->setRowMinimumHeight(4, 12);
    layout->addLayout(buttons, 5, 0, 1, 2);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_cmdOK, &QPushButton::clicked, this, &frmAbout::accept);
    connect(m_cmdSysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);

    Form_Load();
}

void frmAbout::Form_Load()
{
    setWindowTitle(QStringLiteral("About ") + ProductInfo::name());
    m_lblVersion->setText(QStringLiteral("Version ") + ProductInfo::version());
    m_lblTitle->setText(ProductInfo::name());
}

void frmAbout::cmdSysInfo_Click()
{
    m_sysInfo.StartSysInfo();
}

// Presses on the picture and the plain labels reach the window too, since
// those ignore them; the selectable web address keeps its own.
void frmAbout::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        close();
        return;
    }
    QDialog::mousePressEvent(event);
}
