#include "MainLayout.h"

#include "Numbers.h"

#include <algorithm>

namespace MainLayout {

CardWindowLayout forCard(float pictureLeft, float pictureTop, float pictureWidth,
                         float pictureHeight, float panelTop, float panelHeight, float panelWidth)
{
    CardWindowLayout l;
    l.panelLeft = std::int32_t(Numbers::roundHalfEven(double(pictureLeft) + double(pictureWidth) + PanelGap));
    const auto pictureBottom = std::int32_t(Numbers::roundHalfEven(double(pictureTop) + double(pictureHeight)));
    const auto panelBottom = std::int32_t(Numbers::roundHalfEven(double(panelTop) + double(panelHeight)));
    l.height = std::max(pictureBottom, panelBottom) + BottomMargin;
    l.width = std::int32_t(Numbers::roundHalfEven(double(pictureWidth) + PanelGap + double(panelWidth) + RightMargin));
    return l;
}

} // namespace MainLayout
