#pragma once

#include <QProxyStyle>

// The program's style: the platform's own, except that the menu bar's
// overflow button gets its icon only when it is first drawn. The menu bar
// asks for that icon as it is built, and reading the style's icon files makes
// Qt load every image format plugin to ask each about the files, which would
// put several libraries into every start for a button that rarely shows.
class DeferredIconStyle : public QProxyStyle
{
public:
    DeferredIconStyle();

    QIcon standardIcon(StandardPixmap icon, const QStyleOption *option = nullptr,
                       const QWidget *widget = nullptr) const override;
};
