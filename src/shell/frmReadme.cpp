#include "frmReadme.h"

#include "Cp1252.h"
#include "Messages.h"

#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

frmReadme::frmReadme(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmReadme"));
    setWindowTitle(QStringLiteral("Readme.txt"));
    setModal(true);

    m_Text1 = new QPlainTextEdit(this);
    m_Text1->setObjectName(QStringLiteral("Text1"));
    m_Text1->setReadOnly(true);
    m_Text1->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    // About 80 columns by 25 lines of the readme's fixed-width text.
    const QFontMetrics metrics(m_Text1->font());
    m_Text1->setMinimumSize(metrics.horizontalAdvance(QString(82, u'M')), metrics.lineSpacing() * 25);

    m_buAgree = new QPushButton(QStringLiteral("I Agree"), this);
    m_buAgree->setObjectName(QStringLiteral("buAgree"));
    m_buAgree->setDefault(true);
    m_buAgreeNot = new QPushButton(QStringLiteral("I Do Not Agree"), this);
    m_buAgreeNot->setObjectName(QStringLiteral("buAgreeNot"));
    m_buAgreeNot->setAutoDefault(false);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_buAgree);
    buttons->addWidget(m_buAgreeNot);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_Text1);
    layout->addLayout(buttons);

    connect(m_buAgree, &QPushButton::clicked, this, &frmReadme::buAgree_Click);
    connect(m_buAgreeNot, &QPushButton::clicked, this, &frmReadme::buAgreeNot_Click);
    m_buAgree->setFocus();
}

void frmReadme::setText(const QString &text)
{
    m_Text1->setPlainText(text);
}

QString frmReadme::text() const
{
    return m_Text1->toPlainText();
}

bool frmReadme::loadReadme(const QString &path, QString *text, QString *error)
{
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        // One read of at most the shown size and one byte more, to know
        // whether there is more.
        QByteArray bytes = file.read(MaxShownBytes + 1);
        if (file.error() == QFileDevice::NoError) {
            const bool cut = bytes.size() > MaxShownBytes;
            if (cut)
                bytes.truncate(MaxShownBytes);
            QString decoded = Cp1252::decode(bytes);
            decoded.replace(QLatin1String("\r\n"), QLatin1String("\n"));
            decoded.replace(u'\r', u'\n');
            if (cut)
                decoded += QStringLiteral("\n\n[The readme is longer than 1 MB and was cut here. "
                                          "The whole text is in %1.]\n")
                               .arg(QDir::toNativeSeparators(path));
            if (text)
                *text = decoded;
            return true;
        }
    }
    if (error) {
        *error = QStringLiteral("The readme file %1 cannot be read: %2.")
                     .arg(QDir::toNativeSeparators(path), file.errorString());
    }
    return false;
}

bool frmReadme::showReadme(QWidget *parent, const QString &path)
{
    QString text;
    QString error;
    if (!loadReadme(path, &text, &error)) {
        Messages::warn(error);
        return true;
    }
    frmReadme dialog(parent);
    dialog.setText(text);
    dialog.exec();
    return !dialog.declined();
}

void frmReadme::reject()
{
    buAgree_Click();
}

void frmReadme::buAgree_Click()
{
    accept();
}

void frmReadme::buAgreeNot_Click()
{
    m_declined = true;
    done(QDialog::Rejected);
}
