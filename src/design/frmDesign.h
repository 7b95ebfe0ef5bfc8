#pragma once

#include <QPointer>
#include <QWidget>

class QCheckBox;
class QLineEdit;
class SpinArrows;
class frmCanCard;

// The design tool window: steps one answer box (up, down, left, right, or
// narrower and wider) and the card picture (moved or resized) by the typed
// "Move Increment". One window serves the whole application; it is created
// hidden on the first focus gain of an answer box and acts on the card
// window whose box last had the focus.
class frmDesign : public QWidget
{
    Q_OBJECT

public:
    // The design window, or nullptr when none was created yet.
    static frmDesign *instance();
    // The hook of every answer box's focus gain: creates the window (hidden)
    // if needed and makes the box the active one.
    static frmDesign *activateBox(frmCanCard *form, int index);
    // Shows the window beside the card window, without taking the focus away.
    static void showBeside(frmCanCard *form);
    // Closes the window, if there is one (the application is ending).
    static void closeInstance();

    int varActiveCtrl() const { return m_varActiveCtrl; }
    void setVarActiveCtrl(int index) { m_varActiveCtrl = index; }
    frmCanCard *cardForm() const;
    void setCardForm(frmCanCard *form);
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
    explicit frmDesign(QWidget *parent = nullptr);
    void runBox(const QString &command);
    void runImage(const QString &command);

    QPointer<frmCanCard> m_form;
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
