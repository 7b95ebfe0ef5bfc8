#pragma once

#include <QRect>

// Where a window's frame goes so that it lies wholly on the screen's
// available area: moved first, as little as it takes, then shrunk where it is
// larger than the area. An empty area leaves the frame as it is.
namespace ScreenFit {

QRect fit(const QRect &frame, const QRect &available);

} // namespace ScreenFit
