#pragma once

class QSettings;
class QWidget;

// Remembers the main window's geometry and the zoom between runs, in the
// user's configuration (~/.config/Borvessa/Borvessa.conf).
class WindowSettings
{
public:
    static constexpr double MinZoom = 1.0;
    static constexpr double MaxZoom = 4.0;
    static constexpr double DefaultZoom = 2.0;

    // The remembered zoom, kept within MinZoom..MaxZoom; DefaultZoom when none
    // is remembered or the stored value is not a number.
    static double zoom();
    static void setZoom(double zoom);

    // Returns false when no usable geometry is remembered; the window then
    // keeps its own size and place.
    static bool restoreGeometry(QWidget *window);
    static void saveGeometry(const QWidget *window);
};
