#pragma once

#include <QPixmap>
#include <QString>

// What the program says about itself: its name, version, web address, a notice
// line and its picture, shared by the About box and the main window.
namespace ProductInfo {

QString name();
QString version();
QString webAddress();
QString disclaimer();

// The product picture, a card with a tick, drawn into a square of side
// pixels: sharp at every size, and with no image file to read and decode at
// start-up. The application icons are drawn from it.
QPixmap picture(int side);

// The help message of both menus: where help is to be found.
void showHelp();

} // namespace ProductInfo
