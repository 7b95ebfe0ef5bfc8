#pragma once

class QWidget;

// Remembers the main window's place on the screen and the zoom between runs,
// in the user's configuration (~/.config/Borvessa/Borvessa.conf). The
// window's size is not remembered: it follows the card, as LayoutForms sets it.
class WindowSettings
{
public:
    static constexpr double MinZoom = 1.0;
    static constexpr double MaxZoom = 4.0;
    static constexpr double DefaultZoom = 2.0;

    // The remembered zoom, kept within MinZoom..MaxZoom; DefaultZoom when none
    // is remembered or the stored value is not a number.
    static double zoom();
    // True when the user's own zoom is remembered (a number).
    static bool hasZoom();
    static void setZoom(double zoom);

    // Moves the window's client area to its remembered place, if that place is on one of
    // the screens; returns false when it is not, or none is remembered, and
    // the window then stays where it is. The size is left as it is.
    static bool restorePlace(QWidget *window);
    static void savePlace(const QWidget *window);
};
