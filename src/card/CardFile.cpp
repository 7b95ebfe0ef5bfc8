// The card file: loading a card from its encrypted file, and writing the
// card back with its plain design copy.

#include "Card.h"

#include "AtomicFile.h"
#include "CardFileEnvelope.h"
#include "Cp1252.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

QString Card::designCopyPath(const QString &title)
{
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return base + u"/Borvessa/Cards/Design/"_s + title + u".csv"_s;
}

bool Card::LoadCard(const QString &path)
{
    Card next = *this;
    next.m_cardName = path;
    next.m_lastError = {};

    QByteArray bytes;
    QString reason;
    if (!CardFileEnvelope::readCardFile(path, &bytes, &reason)) {
        m_lastError = CardError{path, 0, reason};
        return false;
    }
    next.setCardStr(Cp1252::decode(bytes));
    if (!next.loadBody()) {
        m_lastError = next.m_lastError;
        return false;
    }
    *this = std::move(next);
    return true;
}

bool Card::SaveCardStrToFile()
{
    m_saveWarning.clear();
    if (m_designMode) {
        const QString title = m_varCardTitle.isEmpty() ? QFileInfo(m_cardName).completeBaseName()
                                                       : m_varCardTitle;
        const QString path = designCopyPath(title);
        QString reason = u"cannot be written: its folder cannot be made"_s;
        // The copy holds the answers in plain text: for the user's eyes only,
        // however an older copy was set.
        const bool written = QDir().mkpath(QFileInfo(path).absolutePath())
            && AtomicFile::write(path, Cp1252::encode(m_text.str()), &reason,
                                 QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        if (!written) {
            m_saveWarning = u"The design copy %1 %2. The card file is saved all the same."_s
                            .arg(QDir::toNativeSeparators(path), reason);
        }
    }
    return EncryptFileStr();
}

bool Card::EncryptFileStr()
{
    const QChar bad = Cp1252::firstUnencodable(m_text.str());
    if (!bad.isNull()) {
        return fail(0, u"the card text holds the character U+%1, which a card file cannot store"_s
                           .arg(uint(bad.unicode()), 4, 16, QChar(u'0')));
    }
    QString reason;
    if (!CardFileEnvelope::writeCardFile(m_cardName, Cp1252::encode(m_text.str()), &reason))
        return fail(0, reason);
    return true;
}
