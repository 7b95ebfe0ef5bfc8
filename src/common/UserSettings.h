#pragma once

#include <QSettings>

// The user's settings file, with fixed names, so the window, the card tool
// and the tests all read and write the same file whatever the application
// object is called.
inline QSettings userSettings()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Borvessa"),
                     QStringLiteral("Borvessa"));
}
