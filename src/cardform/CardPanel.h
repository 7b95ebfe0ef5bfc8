#pragma once

#include "CardFormModel.h"

#include <QWidget>

#include <array>

class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class SpinArrows;

// The control panel to the right of the card: the question frame (fra1) above
// the printing frame (fraControl) with the orientation switch, the copies,
// the Print button, the picture arrows and the design switches. It shows
// what it is given and reports what the user pressed; the card window does
// the rest.
class CardPanel : public QWidget
{
    Q_OBJECT

public:
    static constexpr int WidthPx = 290;
    static constexpr int FrameGapPx = 8;

    explicit CardPanel(QWidget *parent = nullptr);

    // The copies chosen: 1, 5, 10 or 25.
    int copies() const;
    // Checks the option of that many copies; other numbers change nothing.
    void setCopies(int copies);
    // Shows the card's switches; true when the design controls appeared or
    // went, so the panel changed its height.
    bool showSwitches(const CardFormModel &model);

    QFrame *fra1() const { return m_fra1; }
    QLabel *label1() const { return m_label1; }
    QLabel *labQuestion() const { return m_labQuestion; }
    QLabel *labNotify() const { return m_labNotify; }
    QGroupBox *fraControl() const { return m_fraControl; }
    QCheckBox *chkOrientation() const { return m_chkOrientation; }
    QGroupBox *fraPrintQty() const { return m_fraPrintQty; }
    QRadioButton *Option1(int index) const { return m_option1.at(index); }
    QPushButton *buPrint() const { return m_buPrint; }
    QGroupBox *fraPosition() const { return m_fraPosition; }
    QGroupBox *fraSize() const { return m_fraSize; }
    SpinArrows *UpDown() const { return m_upDown; }
    SpinArrows *LeftRight() const { return m_leftRight; }
    SpinArrows *tallShort() const { return m_tallShort; }
    SpinArrows *narrowWide() const { return m_narrowWide; }
    QCheckBox *chkDefault() const { return m_chkDefault; }
    QCheckBox *chkDesign() const { return m_chkDesign; }
    QPushButton *buDesignToggle() const { return m_buDesignToggle; }
    QPushButton *buReset() const { return m_buReset; }

Q_SIGNALS:
    void orientationClicked(bool checked);
    void printClicked();
    void designToggleClicked();
    void resetClicked();
    void arrowClicked(CardFormModel::PictureArrow arrow);

private:
    QFrame *m_fra1 = nullptr;
    QLabel *m_label1 = nullptr;
    QLabel *m_labQuestion = nullptr;
    QLabel *m_labNotify = nullptr;
    QGroupBox *m_fraControl = nullptr;
    QCheckBox *m_chkOrientation = nullptr;
    QGroupBox *m_fraPrintQty = nullptr;
    std::array<QRadioButton *, 4> m_option1{};
    QPushButton *m_buPrint = nullptr;
    QGroupBox *m_fraPosition = nullptr;
    QGroupBox *m_fraSize = nullptr;
    SpinArrows *m_upDown = nullptr;
    SpinArrows *m_leftRight = nullptr;
    SpinArrows *m_tallShort = nullptr;
    SpinArrows *m_narrowWide = nullptr;
    QCheckBox *m_chkDefault = nullptr;
    QCheckBox *m_chkDesign = nullptr;
    QPushButton *m_buDesignToggle = nullptr;
    QPushButton *m_buReset = nullptr;
};
