#include "PrinterProfiles.h"

#include "Numbers.h"
#include "UserSettings.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace PrinterProfiles {

namespace {

// Names become one key each, whatever characters they hold.
QString part(const QString &name)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(name));
}

QString choiceGroup(const QString &cardFile)
{
    return u"printing/"_s + part(cardKey(cardFile));
}

QString profileGroup(const QString &cardFile, const QString &printer, const QString &tray)
{
    return u"calibration/%1/%2/%3"_s.arg(part(cardKey(cardFile)), part(printer),
                                         tray.isEmpty() ? u"-"_s : part(tray));
}

bool written(QSettings &s, QString *error)
{
    s.sync();
    if (s.status() == QSettings::NoError)
        return true;
    if (error)
        *error = u"%1: the printer calibration could not be saved."_s.arg(QDir::toNativeSeparators(s.fileName()));
    return false;
}

} // namespace

QString cardKey(const QString &cardFile)
{
    return QFileInfo(cardFile).completeBaseName().toLower();
}

Choice choice(const QString &cardFile)
{
    QSettings s = userSettings();
    s.beginGroup(choiceGroup(cardFile));
    return {s.value(u"printer"_s).toString(), s.value(u"tray"_s).toString()};
}

void setChoice(const QString &cardFile, const Choice &choice)
{
    QSettings s = userSettings();
    s.beginGroup(choiceGroup(cardFile));
    s.setValue(u"printer"_s, choice.printer);
    s.setValue(u"tray"_s, choice.tray);
}

std::optional<PrinterProfile> profile(const QString &cardFile, const QString &printer, const QString &tray)
{
    if (printer.isEmpty())
        return std::nullopt;
    QSettings s = userSettings();
    s.beginGroup(profileGroup(cardFile, printer, tray));
    // Numbers are kept as the card keeps them, with '.' in any locale; a
    // profile with a value that does not read is no profile.
    const std::optional<std::int16_t> margin = Numbers::toInt16(s.value(u"margin"_s).toString());
    const std::optional<float> enlarge = Numbers::toSingle(s.value(u"enlarge"_s).toString());
    const std::optional<float> down = Numbers::toSingle(s.value(u"layoutDown"_s).toString());
    if (!margin || !enlarge || !down || !(*enlarge > 0) || !Numbers::isTwip(*down))
        return std::nullopt;
    return PrinterProfile{*margin, *enlarge, *down};
}

bool setProfile(const QString &cardFile, const QString &printer, const QString &tray,
                const PrinterProfile &profile, QString *error)
{
    QSettings s = userSettings();
    s.beginGroup(profileGroup(cardFile, printer, tray));
    s.setValue(u"margin"_s, QString::number(profile.margin));
    s.setValue(u"enlarge"_s, Numbers::formatSingle(profile.enlarge));
    s.setValue(u"layoutDown"_s, Numbers::formatSingle(profile.layoutDown));
    s.endGroup();
    return written(s, error);
}

bool removeProfile(const QString &cardFile, const QString &printer, const QString &tray, QString *error)
{
    QSettings s = userSettings();
    s.remove(profileGroup(cardFile, printer, tray));
    return written(s, error);
}

QString describe(const QString &printer, const QString &tray, bool hasProfile)
{
    const QString where = tray.isEmpty() ? u"\"%1\""_s.arg(printer) : u"\"%1\", tray %2"_s.arg(printer, tray);
    if (printer.isEmpty())
        return u"Prints with the card's own calibration."_s;
    return hasProfile ? u"Prints with the calibration for %1."_s.arg(where)
                      : u"Prints with the card's own calibration: %1 has none of its own."_s.arg(where);
}

} // namespace PrinterProfiles
