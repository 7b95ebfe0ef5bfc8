#include "CardOpener.h"

#include "CardFormModel.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

CardOpener::CardOpener(const QString &appPath, const QString &name, const QString &fileName)
    : m_cardFile(fileName.isEmpty() ? fileIn(appPath, name + u".qcf"_s) : QDir(appPath).filePath(fileName)),
      m_pictureFile(fileIn(appPath, name + u".gif"_s)),
      m_result(PictureFile::readInBackground(m_pictureFile))
{
}

bool CardOpener::readCard()
{
    CardError error;
    m_card = CardFormModel::readCard(m_cardFile, &error);
    if (!m_card)
        m_error = u"The card cannot be opened.\n\n%1"_s.arg(error.message());
    return m_card != nullptr;
}

bool CardOpener::finishPicture()
{
    if (m_pictureUsable)
        return *m_pictureUsable;
    const PictureFile::Result result = m_result.get();
    m_pictureUsable = result.error.isEmpty();
    if (!*m_pictureUsable) {
        m_error = u"The card picture %1 cannot be shown: %2."_s.arg(QDir::toNativeSeparators(m_pictureFile),
                                                                    result.error);
        return false;
    }
    m_picture = result.image;
    m_notice = result.notice;
    return true;
}

QString CardOpener::fileIn(const QString &folder, const QString &wanted)
{
    const QDir dir(folder);
    if (QFileInfo::exists(dir.filePath(wanted)))
        return dir.filePath(wanted);
    for (const QString &entry : dir.entryList(QDir::Files)) {
        if (entry.compare(wanted, Qt::CaseInsensitive) == 0)
            return dir.filePath(entry);
    }
    return dir.filePath(wanted);
}
