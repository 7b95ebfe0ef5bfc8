#include "ScreenFit.h"

#include <algorithm>

namespace ScreenFit {

QRect fit(const QRect &frame, const QRect &available)
{
    if (available.isEmpty() || frame.isEmpty())
        return frame;
    const int width = std::min(frame.width(), available.width());
    const int height = std::min(frame.height(), available.height());
    // A frame larger than the area keeps its top-left corner on it, so the
    // title bar and the menus stay in reach.
    const int left = std::clamp(frame.left(), available.left(), available.right() + 1 - width);
    const int top = std::clamp(frame.top(), available.top(), available.bottom() + 1 - height);
    return QRect(left, top, width, height);
}

} // namespace ScreenFit
