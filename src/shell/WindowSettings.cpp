#include "WindowSettings.h"

#include "UserSettings.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {

const QString PlaceKey = u"window/place"_s;
// Written by earlier versions, with a size that overrode the card's layout.
const QString OldGeometryKey = u"window/geometry"_s;
const QString ZoomKey = u"view/zoom"_s;

} // namespace

double WindowSettings::zoom()
{
    bool ok = false;
    const double stored = userSettings().value(ZoomKey).toDouble(&ok);
    if (!ok || !std::isfinite(stored))
        return DefaultZoom;
    return std::clamp(stored, MinZoom, MaxZoom);
}

bool WindowSettings::hasZoom()
{
    bool ok = false;
    const double stored = userSettings().value(ZoomKey).toDouble(&ok);
    return ok && std::isfinite(stored);
}

void WindowSettings::setZoom(double zoom)
{
    if (!std::isfinite(zoom))
        return;
    userSettings().setValue(ZoomKey, std::clamp(zoom, MinZoom, MaxZoom));
}

bool WindowSettings::restorePlace(QWidget *window)
{
    const QVariant stored = userSettings().value(PlaceKey);
    if (!window || !stored.canConvert<QPoint>())
        return false;
    const QPoint place = stored.toPoint();
    // A screen that was unplugged since would leave the window out of sight.
    const QScreen *screen = QGuiApplication::screenAt(place);
    if (!screen || !screen->availableGeometry().contains(place))
        return false;
    // The place is the client area's corner: a window manager places an
    // unmapped window by it, before anyone knows its frame.
    window->setGeometry(QRect(place, window->size()));
    return true;
}

void WindowSettings::savePlace(const QWidget *window)
{
    if (!window)
        return;
    QSettings s = userSettings();
    s.setValue(PlaceKey, window->geometry().topLeft());
    s.remove(OldGeometryKey);
}
