#pragma once

#include <QPointer>
#include <QWidget>

// The kinds of control a window holds, as the keyboard navigation sees them.
enum class ControlKind {
    TextBox,
    ComboBox,
    ListBox,
    CommandButton,
    CheckBox,
    OptionButton,
    Label,
    Frame,
    Image,
    SpinControl,
};

// One entry of a window's controls collection: the widget, its kind, its
// place in the tab order and whether Tab and Enter stop at it. Visibility and
// the enabled state are read from the widget itself.
struct FormControl
{
    QPointer<QWidget> widget;
    ControlKind kind = ControlKind::Label;
    int tabIndex = 0;
    bool tabStop = false;
    QString name;
};
