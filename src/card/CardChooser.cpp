#include "CardChooser.h"

QList<ChooserSlot> chooserSlots(const QStringList &fileNames)
{
    QList<ChooserSlot> result;
    result.reserve(fileNames.size());
    for (const QString &name : fileNames) {
        if (name.right(6).contains(QStringLiteral("qcfd"), Qt::CaseSensitive)) {
            result.append(ChooserSlot{});
            continue;
        }
        result.append(ChooserSlot{name.left(name.size() - 4), name, true});
    }
    return result;
}

QString chooserMenuCaption(const QString &cardName)
{
    QString caption = cardName;
    return caption.replace(QLatin1Char('&'), QStringLiteral("&&"));
}
