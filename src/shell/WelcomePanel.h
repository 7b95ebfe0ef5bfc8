#pragma once

#include <QWidget>

// What the main window shows while no card is open: the product picture,
// name and web address, and where to choose a card.
class WelcomePanel : public QWidget
{
    Q_OBJECT

public:
    explicit WelcomePanel(QWidget *parent = nullptr);
};
