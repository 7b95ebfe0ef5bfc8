#include "WindowSettings.h"

#include <QSettings>
#include <QWidget>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {

const QString GeometryKey = u"window/geometry"_s;
const QString ZoomKey = u"view/zoom"_s;

// Fixed names, so the file is the same whichever program or test reads it.
QSettings settings()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, u"Borvessa"_s, u"Borvessa"_s);
}

} // namespace

double WindowSettings::zoom()
{
    bool ok = false;
    const double stored = settings().value(ZoomKey).toDouble(&ok);
    if (!ok || !std::isfinite(stored))
        return DefaultZoom;
    return std::clamp(stored, MinZoom, MaxZoom);
}

void WindowSettings::setZoom(double zoom)
{
    if (!std::isfinite(zoom))
        return;
    settings().setValue(ZoomKey, std::clamp(zoom, MinZoom, MaxZoom));
}

bool WindowSettings::restoreGeometry(QWidget *window)
{
    const QByteArray geometry = settings().value(GeometryKey).toByteArray();
    return window && !geometry.isEmpty() && window->restoreGeometry(geometry);
}

void WindowSettings::saveGeometry(const QWidget *window)
{
    if (window)
        settings().setValue(GeometryKey, window->saveGeometry());
}
