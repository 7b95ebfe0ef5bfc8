#include "CardChooser.h"

QList<ChooserSlot> chooserSlots(const QStringList &fileNames)
{
    QList<ChooserSlot> result;
    for (const QString &name : fileNames) {
        if (name.right(6).contains(QStringLiteral("qcfd"), Qt::CaseSensitive)) {
            result.append(ChooserSlot{});
            continue;
        }
        result.append(ChooserSlot{name.left(name.size() - 4), true});
    }
    return result;
}
