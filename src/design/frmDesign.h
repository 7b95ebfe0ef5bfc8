#pragma once

#include <QWidget>

class DesignCommands;
class QCheckBox;
class QLineEdit;
class SpinArrows;

// The design tool window: steps one answer box (up, down, left, right, or
// narrower and wider) and the card picture (moved or resized) by the typed
// "Move Increment". It acts on the commands of one card (its target) and on
// the box that last had the focus; the main window owns it, creates it
// hidden on the first focus gain of an answer box and closes it with the
// card.
class frmDesign : public QWidget
{
    Q_OBJECT

public:
    explicit frmDesign(QWidget *parent = nullptr);

    // Shows the window beside the given window's frame, top edges level,
    // without taking the focus away.
    void showBeside(const QWidget *window);

    int varActiveCtrl() const { return m_varActiveCtrl; }
    void setVarActiveCtrl(int index) { m_varActiveCtrl = index; }
    DesignCommands *target() const { return m_target; }
    // The card the commands go to; null makes every command do nothing.
    void setTarget(DesignCommands *target) { m_target = target; }
    QString varMoveCommand() const { return m_varMoveCommand; }
    QString varMoveCommandImage() const { return m_varMoveCommandImage; }
    // The step as typed, read as a whole number of twips (0 when it is none).
    int varMoveIncr() const;

    QLineEdit *txtMoveIncr() const { return m_txtMoveIncr; }
    QCheckBox *chkMoveOrSize() const { return m_chkMoveOrSize; }
    SpinArrows *LeftRight() const { return m_leftRight; }
    SpinArrows *UpDown1() const { return m_upDown1; }
    SpinArrows *LeftRightImage() const { return m_leftRightImage; }
    SpinArrows *UpDownImage() const { return m_upDownImage; }

    void LeftRight_DownClick() { runBox(QStringLiteral("L")); }
    void LeftRight_UpClick() { runBox(QStringLiteral("R")); }
    void UpDown1_DownClick() { runBox(QStringLiteral("D")); }
    void UpDown1_UpClick() { runBox(QStringLiteral("U")); }
    void UpDownImage_DownClick() { runImage(QStringLiteral("D")); }
    void UpDownImage_UpClick() { runImage(QStringLiteral("U")); }
    void LeftRightImage_DownClick() { runImage(QStringLiteral("L")); }
    void LeftRightImage_UpClick() { runImage(QStringLiteral("R")); }

    // Carry out the last command on the active box or on the picture.
    void MoveCtrl();
    void MoveImage();

private:
    void runBox(const QString &command);
    void runImage(const QString &command);

    DesignCommands *m_target = nullptr;
    int m_varActiveCtrl = 0;
    QString m_varMoveCommand;
    QString m_varMoveCommandImage;
    QLineEdit *m_txtMoveIncr = nullptr;
    QCheckBox *m_chkMoveOrSize = nullptr;
    SpinArrows *m_leftRight = nullptr;
    SpinArrows *m_upDown1 = nullptr;
    SpinArrows *m_leftRightImage = nullptr;
    SpinArrows *m_upDownImage = nullptr;
};
