#pragma once

#include <QImage>
#include <QPixmap>
#include <QString>

// What the program says about itself: its name, version, web address, a notice
// line and its picture, shared by the About box and the main window.
namespace ProductInfo {

QString name();
QString version();
QString webAddress();
QString disclaimer();

// The product picture, a card with a tick, in a square of side pixels. The
// sizes the windows show as the program starts are drawn when it is built and
// kept in its resources as plain pixels, so a start only copies them; other
// sizes are drawn when asked for.
QPixmap picture(int side);

// The drawing itself, sharp at every size; the application icons and the
// built-in sizes come from it.
QImage drawnPicture(int side);

// The sizes built into the program, and the resource that holds each: its
// premultiplied ARGB32 pixels, row after row, in the machine's byte order.
inline constexpr int BuiltInSides[] = {64, 200};
QString builtInResource(int side);

// The help message of both menus: where help is to be found.
void showHelp();

} // namespace ProductInfo
