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

// The resource of the product picture.
QString pictureResource();

// The product picture fitted into a square of side pixels. When the resource
// is missing, a picture of a card with a tick is drawn instead, so a window
// never shows an empty space.
QPixmap picture(int side);

// The help message of both menus: where help is to be found.
void showHelp();

} // namespace ProductInfo
