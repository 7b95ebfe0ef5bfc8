#include "TestCards.h"

#include "CardFileEnvelope.h"
#include "CardLayouts.h"
#include "Cp1252.h"
#include "InstalledCardText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

namespace TestCards {

QString installedText(const CardLayout &layout)
{
    return installedCardText(layout, tablePrintSettings(layout));
}

QString withLine(const QString &text, int n, const QString &line)
{
    QStringList lines = text.split(QStringLiteral("\r\n"));
    lines[n - 1] = line;
    return lines.join(QStringLiteral("\r\n"));
}

QString lineOf(const QString &text, int n)
{
    return text.split(QStringLiteral("\r\n")).value(n - 1);
}

bool writeCard(const QString &path, const QString &text)
{
    QString reason;
    return CardFileEnvelope::writeCardFile(path, Cp1252::encode(text), &reason);
}

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

bool copyBundledFields(const QString &name, const QString &cardPath)
{
    const QString from = qEnvironmentVariable("BORVESSA_SOURCE_DIR") + QStringLiteral("/cards/") + name
        + QStringLiteral(".fields");
    const QFileInfo card(cardPath);
    const QString to = card.absoluteDir().filePath(card.completeBaseName() + QStringLiteral(".fields"));
    QFile::remove(to);
    return QFile::copy(from, to);
}

} // namespace TestCards
