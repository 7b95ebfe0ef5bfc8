#pragma once

#include "CardFormModel.h"
#include "CardPanel.h"
#include "CardPrintCommands.h"
#include "FormControl.h"
#include "PeopleCommands.h"

#include <QList>
#include <QPointer>
#include <QWidget>

#include <array>

class AnswerBox;
class CardPicture;
class QAction;
class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class SpinArrows;

// The card window: the card picture with its 96 answer boxes laid over it,
// and the control panel to its right. It draws the CardFormModel at a zoom
// through one transform (twips to pixels) and turns the user's actions into
// model operations; no geometry is computed here.
class frmCanCard : public QWidget
{
    Q_OBJECT

public:
    static constexpr double DefaultZoom = 2.0;
    // The zooms of View > Zoom In and Zoom Out, smallest first.
    static constexpr std::array<double, 7> ZoomSteps = {1.0, 1.25, 1.5, 2.0, 2.5, 3.0, 4.0};

    explicit frmCanCard(QWidget *parent = nullptr);
    // A window shown at zoom from the start, so the boxes are not built at
    // the default zoom first.
    explicit frmCanCard(double zoom, QWidget *parent = nullptr);
    ~frmCanCard() override;

    CardFormModel &model() { return m_model; }
    const CardFormModel &model() const { return m_model; }

    // ---- Loading
    bool LoadCard(const QString &cardName);
    // Shows a card that CardFormModel::readCard has read.
    void takeCard(std::unique_ptr<Card> card, const QString &cardName);
    void setPicture(const QImage &image);
    void clearPicture();
    QString varCardTitle() const { return m_model.varCardTitle(); }
    void setVarCardTitle(const QString &title);
    void SetUpCanCard();
    void SetupUSCard();
    void SetUpCanCard_blue();
    // Gives the focus to the visible box with the lowest tab index.
    void focusFirstBox();

    // ---- The view
    double zoom() const { return m_zoom; }
    void setZoom(double zoom);
    // Pixels per twip at the current zoom, or at another.
    double scale() const { return scaleAt(m_zoom); }
    double scaleAt(double zoom) const;
    QRect toPixels(const TwipRect &rect) const;
    // The two frames of the control panel, in twips at the current zoom.
    TwipRect fra1Rect() const { return fra1RectAt(m_zoom); }
    TwipRect fraControlRect() const { return fraControlRectAt(m_zoom); }
    // The same at another zoom: the panel keeps its size in pixels.
    TwipRect fra1RectAt(double zoom) const;
    TwipRect fraControlRectAt(double zoom) const;
    void setPanelLeft(float twips);

    // ---- Controls
    AnswerBox *txtAddress(int index) const { return m_boxes.at(index); }
    QLineEdit *txtNoOp() const { return m_txtNoOp; }
    CardPicture *imgCCCard() const { return m_picture; }
    QLabel *labQuestion() const { return m_panel->labQuestion(); }
    QLabel *labNotify() const { return m_panel->labNotify(); }
    QCheckBox *chkOrientation() const { return m_panel->chkOrientation(); }
    QCheckBox *chkDefault() const { return m_panel->chkDefault(); }
    QCheckBox *chkDesign() const { return m_panel->chkDesign(); }
    QPushButton *buDesignToggle() const { return m_panel->buDesignToggle(); }
    QPushButton *buReset() const { return m_panel->buReset(); }
    QPushButton *buPrint() const { return m_panel->buPrint(); }
    QRadioButton *Option1(int index) const { return m_panel->Option1(index); }
    SpinArrows *UpDown() const { return m_panel->UpDown(); }
    SpinArrows *LeftRight() const { return m_panel->LeftRight(); }
    SpinArrows *tallShort() const { return m_panel->tallShort(); }
    SpinArrows *narrowWide() const { return m_panel->narrowWide(); }
    QGroupBox *fraControl() const { return m_panel->fraControl(); }
    QFrame *fra1() const { return m_panel->fra1(); }

    // The controls collection, in creation order, with kinds and tab indexes.
    QList<FormControl> Controls() const;
    int TabIndex(const QWidget *control) const;
    // The answer box number of the focused control, or -1.
    int activeBoxIndex() const;

    // ---- Menus, shown in the main window's menu bar while the card is open
    QList<QMenu *> menus() const { return m_menus; }
    QAction *mnuSave(int index) const { return index == 1 ? m_mnuSave1 : m_mnuSave2; }
    QAction *mnuPrint() const { return m_mnuPrint; }
    QAction *mnuQuit() const { return m_mnuQuit; }
    QAction *mnuClose() const { return m_mnuClose; }
    QAction *mnuReset() const { return m_mnuReset; }
    QAction *mnuAssist() const { return m_mnuAssist; }
    QAction *mnuPrintPreview() const { return m_mnuPrintPreview; }
    QAction *mnuExportPdf() const { return m_mnuExportPdf; }
    QAction *mnuPrintAlignment() const { return m_mnuPrintAlignment; }
    QAction *mnuExportAlignment() const { return m_mnuExportAlignment; }
    QAction *mnuCalibrate() const { return m_mnuCalibrate; }
    QAction *mnuFillFromPerson() const { return m_mnuFillFromPerson; }
    QAction *mnuSaveAsPerson() const { return m_mnuSaveAsPerson; }
    QAction *mnuPrintForSeveralPeople() const { return m_mnuPrintForSeveralPeople; }

    // ---- Handlers
    void txtAddress_GotFocus(int index);
    void txtAddress_LostFocus(int index);
    // The Enter key: moves the focus to the next input control in tab order.
    void advanceFocus();
    void mnuSave_Click();
    bool SaveCard();
    void mnuClose_Click();
    void CloseCard();
    void mnuAssist_Click();
    void mnuReset_Click();
    void buReset_Click();
    // Asks for confirmation and resets; false when cancelled or failed.
    bool ResetCard();
    void ToggleDesign();
    void chkOrientation_MouseUp();
    // The picture arrows of the panel.
    void UpDown_UpClick() { pictureArrow(CardFormModel::PictureArrow::Up); }
    void UpDown_DownClick() { pictureArrow(CardFormModel::PictureArrow::Down); }
    void LeftRight_UpClick() { pictureArrow(CardFormModel::PictureArrow::Right); }
    void LeftRight_DownClick() { pictureArrow(CardFormModel::PictureArrow::Left); }
    void narrowWide_UpClick() { pictureArrow(CardFormModel::PictureArrow::Wider); }
    void narrowWide_DownClick() { pictureArrow(CardFormModel::PictureArrow::Narrower); }
    void tallShort_UpClick() { pictureArrow(CardFormModel::PictureArrow::Shorter); }
    void tallShort_DownClick() { pictureArrow(CardFormModel::PictureArrow::Taller); }
    int GetCopies() const;

    // ---- Printing
    void buPrint_MouseUp();
    void mnuPrint_Click();
    // Asks for confirmation, then prints one page per copy; false when
    // cancelled or the printer failed (the failure has been shown).
    bool PrintCard1();
    // The page as it prints: the answers of the visible boxes 0 to 39.
    PrintPage PrintCard2();
    // Print Preview, Export PDF, the alignment page and the calibration.
    CardPrintCommands &printing() { return m_printing; }
    // Fill From Person, Save As Person and Print for Several People.
    PeopleCommands &people() { return m_people; }

    // ---- Unsaved changes (the model holds the flag)
    // Asks "Save changes to <card>?" when there are unsaved changes; true
    // when the caller may go on (saved, discarded or nothing to save).
    bool maybeSave();

Q_SIGNALS:
    // A box gained the focus (and is now the one design commands act on).
    void activeBoxChanged(int index);
    // Design mode was switched on: the design window should show.
    void designRequested();
    void helpRequested();
    void closeRequested();
    void quitRequested();
    void zoomChanged(double zoom);
    void layoutChanged();
    // A short confirmation for the main window's status bar.
    void statusMessage(const QString &text);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // One picture arrow, with the focus step it takes; a refusal is shown.
    void pictureArrow(CardFormModel::PictureArrow arrow);
    void buildBoxes();
    void buildPanel();
    void buildMenus();
    QMenu *buildPeopleMenu();
    // The People items work on a card whose fields file takes people.
    void updatePeopleMenu();
    // One zoom step up (direction > 0) or down, within ZoomSteps.
    void stepZoom(int direction);
    void registerControl(QWidget *widget, ControlKind kind, const QString &name, int tabIndex,
                         bool tabStop);
    void updateBox(int index);
    void updatePicture();
    void updateSwitches();
    void updateTabChain();
    void placePanel();
    void updateMinimumSize();
    void showRefused(int index, const QString &characters);
    void focusNoOp();
    void setUpLayout(void (CardFormModel::*setup)());

    CardFormModel m_model;
    CardPrintCommands m_printing;
    PeopleCommands m_people;
    double m_zoom = DefaultZoom;
    float m_panelLeftTwips = 0;

    std::array<AnswerBox *, CardFormModel::BoxCount> m_boxes{};
    QList<FormControl> m_controls;
    QLineEdit *m_txtNoOp = nullptr;
    CardPicture *m_picture = nullptr;
    CardPanel *m_panel = nullptr;

    QList<QMenu *> m_menus;
    QMenu *m_fileMenu = nullptr;
    QAction *m_mnuSave1 = nullptr;
    QAction *m_mnuSave2 = nullptr;
    QAction *m_mnuPrint = nullptr;
    QAction *m_mnuQuit = nullptr;
    QAction *m_mnuClose = nullptr;
    QAction *m_mnuReset = nullptr;
    QAction *m_mnuAssist = nullptr;
    QAction *m_mnuPrintPreview = nullptr;
    QAction *m_mnuExportPdf = nullptr;
    QAction *m_mnuPrintAlignment = nullptr;
    QAction *m_mnuExportAlignment = nullptr;
    QAction *m_mnuCalibrate = nullptr;
    QAction *m_mnuFillFromPerson = nullptr;
    QAction *m_mnuSaveAsPerson = nullptr;
    QAction *m_mnuPrintForSeveralPeople = nullptr;
};
