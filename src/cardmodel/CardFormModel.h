#pragma once

#include "Card.h"
#include "DesignCommands.h"
#include "TwipGeometry.h"

#include <QObject>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

struct CardLayout;

// One answer box of the card window: its place in twips and its look. The
// widgets draw it; this is what saving, printing and the tests read.
struct AnswerBoxState
{
    TwipRect rect;
    bool visible = false;
    std::uint32_t backColor = 0xE0E0E0; // as the card holds it, all 32 bits
    QString text;
    QString fontName = QStringLiteral("Small Fonts");
    float fontSize = 3;
    int tabIndex = 0;
    QString tag; // the question text of a built-in layout
    bool bordered = false;
    bool flat = false;

    bool operator==(const AnswerBoxState &) const = default;
};

// The state of the card window without its widgets: the loaded card, the
// picture rectangle, the 96 answer boxes at rest, the ratio table that ties
// boxes to the picture, the snapshot of box positions, the edit
// configuration of the focused box (a look laid over that box, never written
// into its place at rest) and whether there are unsaved changes. Every
// geometry operation of the window works here, in twips; the window only
// forwards events and draws.
class CardFormModel : public QObject, public DesignCommands
{
    Q_OBJECT

public:
    static constexpr int BoxCount = 96;
    static constexpr int RatioRows = 41;     // boxes 0 to 40 have ratios
    static constexpr int FollowingBoxes = 40; // boxes 0 to 39 follow the picture
    static constexpr std::uint32_t LightGrey = 0xE0E0E0;
    static constexpr std::uint32_t EditColor = 8421631; // &H8080FF, light red
    static constexpr float NormalHeight = 105;
    static constexpr float EditHeight = 220;
    static constexpr float MinEditWidth = 270;
    static constexpr float MaxEditWidth = 2300;
    static constexpr float KeepInsideStep = 20;
    static constexpr float EditFontSize = 7;

    explicit CardFormModel(QObject *parent = nullptr);
    ~CardFormModel() override;

    // ---- Loading
    // Loads the card file and builds the boxes. On failure nothing changes
    // and lastError() names the file and the fault.
    bool LoadCard(const QString &cardName);
    // The two halves of LoadCard: reads and checks a card file for the
    // window, without touching any model (null, with *error set, when it
    // cannot be used); then builds the boxes from a card so read.
    static std::unique_ptr<Card> readCard(const QString &cardName, CardError *error);
    void takeCard(std::unique_ptr<Card> card, const QString &cardName);
    const CardError &lastError() const { return m_lastError; }
    // What keeps a card that the card model loaded from opening in the
    // window; a null error when it opens. The card tool applies it too.
    static CardError windowFault(const Card &card);
    // Loads a card string as the window would (reset = the installed
    // layout), and says why it would not open.
    static CardError openFault(const QString &cardName, const QString &cardStr, bool reset);

    Card *clsCard() { return m_card.get(); }
    const Card *clsCard() const { return m_card.get(); }
    QString CardNam() const { return m_cardNam; }
    QString varCardTitle() const { return m_cardTitle; }
    void setVarCardTitle(const QString &title);
    // The whole colour number: a card may hold one of 32 bits, which a single
    // precision number would round.
    std::uint32_t PreserveColor() const { return m_preserveColor; }

    void InitializeCardLocation();
    void GetCardLocVals();
    void InitializeCardControls();
    // Records the ratios of a placed box and gives it its visibility, tag and
    // tab index; returns the next tab index.
    int BuildControl(int index, bool visible, const QString &tag, int tabOrder);
    void mPlaceControl(int index, float height, float left, float top, float width);
    bool PositionImage(const QString &imgName, float top, float left, float width, float height);
    // False (and nothing changes) for a box without a ratio row or a picture
    // without width or height.
    bool mSetPositionRatio(int index);
    float verticalRatio(int index) const { return m_ratios[index][0]; }
    float horizontalRatio(int index) const { return m_ratios[index][1]; }

    // The built-in layouts.
    void SetUpCanCard();
    void SetupUSCard();
    void SetUpCanCard_blue();
    void applyLayout(const CardLayout &layout);

    // ---- Unsaved changes: set by every change the user makes, cleared by a
    // load, a save and a reset.
    bool isModified() const { return m_modified; }
    void setModified(bool modified);

    // ---- Boxes and picture
    // A box as the window shows it: the box in edit configuration with its
    // enlarged look, every other box at rest.
    const AnswerBoxState &box(int index) const
    {
        return index == m_editBox ? m_editLook : m_boxes.at(index);
    }
    // A box at rest, as saving and printing take it.
    const AnswerBoxState &restBox(int index) const { return m_boxes.at(index); }
    const std::array<AnswerBoxState, BoxCount> &restBoxes() const { return m_boxes; }
    const TwipRect &picture() const { return m_picture; }
    QString pictureTag() const { return m_pictureTag; }
    void setPictureTag(const QString &tag) { m_pictureTag = tag; }
    void setPicture(const TwipRect &rect);
    void setBoxText(int index, const QString &text);
    // The user typed an answer: the box's text, and the card is modified. A
    // tick in a group of which at most one may be ticked clears the others.
    void setAnswer(int index, const QString &text);

    // ---- Kinds of answer, from the card's fields file (none: all text)
    const CardFields &fields() const;
    // Ticks or clears a tick box as the user does: "x" or empty.
    void setTicked(int index, bool ticked);
    bool isTicked(int index) const { return CardFields::isTicked(m_boxes.at(index).text); }
    // A box whose answer is wrong (a month 13, a second tick of a pair), and
    // why; never the box being typed in.
    bool isMarked(int index) const { return !m_marks.at(index).isEmpty(); }
    QString markText(int index) const { return m_marks.at(index); }
    void setBoxRect(int index, const TwipRect &rect);
    void setBoxVisible(int index, bool visible);

    // ---- Edit configuration of the focused box
    int CurEditCtrl() const { return m_curEditCtrl; }
    void setCurEditCtrl(int index) { m_curEditCtrl = index; }
    bool isEditing() const { return m_editBox >= 0; }
    // The box in edit configuration, or -1.
    int editedBox() const { return m_editBox; }
    void SaveControl();
    // Puts box CurEditCtrl into edit configuration. A box still in edit
    // configuration is restored first, so at most one box is ever enlarged.
    void ConfigCtrlForEditing();
    // Gives the box in edit configuration back its recorded look.
    void RestoreControl();
    // A box gained the focus: the box still in edit configuration is
    // restored, the snapshot taken, and this box enlarged. False when the box
    // already was in edit configuration (nothing changes).
    bool boxGotFocus(int index);
    // The edited box as if it had left the focus and taken it again (after a
    // save): the snapshot is taken anew and its answer selected.
    void refocusEditedBox();
    // A box lost the focus: restored if it is the one in edit configuration.
    void boxLostFocus(int index);
    // The visible box with the lowest tab index, or -1; it takes the focus
    // when a card opens.
    int firstBox() const;
    // The left edge that keeps a box of this width inside the picture's right
    // edge: moved left by whole KeepInsideStep steps, unchanged if it fits.
    static float keptInside(float left, float width, float pictureRight);
    float varRightEdgeOfCntrl() const;
    float varRightSideOfCard() const;
    QString questionLine() const { return m_questionLine; }
    // The question of a box: the card's question for its number, else the
    // box's tag.
    QString questionFor(int index) const;
    QString txtAnsText() const { return m_txtAns; }

    // ---- Snapshot and picture commands
    // The snapshot as the card's controls collection, entry i + 1 for box i.
    CardCtrls mcolCntrlLocation() const;
    void SaveCntrlPxsPriorToMove();
    void RestoreCntrlPxsAfterMove();
    // Applies the snapshot to one box; an index outside 0 to 95 does nothing.
    void RestoreCntrlActiveCntrl(int activeIndex);
    void MoveControls(int moveVertAmt, int moveHorzAmt);
    void PositionControlwImageMove(int index, int moveVertAmt, int moveHorzAmt);
    void ResizeCard();
    void PositionControlwImageSizeChange(int index, float vertRatio, float horzRatio);
    // The picture moves or stretches by 20 twips and the snapshot follows.
    // Empty on success; else why the step was refused, and nothing changed.
    QString movePictureVertically(int amount);
    QString movePictureHorizontally(int amount);
    QString stretchPicture(int widthChange, int heightChange);

    // The card window's picture arrows, with the snapshot steps each takes;
    // activeBox is the box with the focus (or -1), which is enlarged again
    // after a vertical move. The card is modified on success; else the
    // result says why the step was refused.
    enum class PictureArrow { Up, Down, Left, Right, Narrower, Wider, Taller, Shorter };
    QString pictureArrow(PictureArrow arrow, int activeBox);

    // ---- Design commands: empty result on success, else why it was refused.
    QString MoveCtrl(int box, const QString &command, const QString &step, bool moveOrSize);
    QString MoveImage(const QString &command, const QString &step, bool moveOrSize);
    // The same for the design window: the card is modified on success, and
    // the snapshot follows a box moved while one is being edited.
    QString nudgeBox(int box, const QString &command, const QString &step, bool moveOrSize) override;
    QString nudgePicture(const QString &command, const QString &step, bool moveOrSize) override;
    // Moves the picture and boxes 0 to 39 down together (a calibration).
    void moveLayout(float down);

    // ---- Switches of the window
    bool chkDefault() const { return m_chkDefault; }
    bool chkDesign() const { return m_chkDesign; }
    bool designSwitchVisible() const { return m_designSwitchVisible; }
    bool chkOrientation() const { return m_chkOrientation; }
    QString labNotify() const { return m_labNotify; }
    void ToggleDesign();
    // The orientation check box changed: rewrites the card's orientation line.
    void setOrientationChecked(bool checked);

    // ---- Saving and reset
    std::int16_t SaveTruthTable() const;
    bool SaveCardToCardStr();
    void SaveAnswersToCardStr();
    bool SaveControlLocationsToCardStr();
    // Writes the card string into it and the card file; false with
    // lastError() when the file could not be written.
    bool SaveCard();
    // What the last save could not do but did not stop it (the design copy).
    QString saveWarning() const { return m_card ? m_card->saveWarning() : QString(); }
    void ClearVisibleControls();
    // The reset after its confirmation: reloads the installed layout, keeps
    // the answers of the last load or save, and saves.
    bool resetToInstalled();

    // A copy of everything the view shows, for comparisons.
    std::array<AnswerBoxState, BoxCount> boxes() const;

Q_SIGNALS:
    void boxChanged(int index);
    void boxRaised(int index);
    void boxSelectAll(int index, bool select);
    void pictureChanged();
    void questionChanged(const QString &text);
    void switchesChanged();
    void tabOrderChanged();
    void modifiedChanged(bool modified);

private:
    // A colour as the card's 32-bit signed number it was read as.
    static QString colorText(std::uint32_t color);
    static QString pictureOutOfRange();
    static QString boxOutOfRange(int index);
    // Why moving the visible following boxes as place() says would take one
    // out of the twip range; empty when none goes out.
    QString followingBoxesRefusal(const std::function<void(int, double *, double *)> &place) const;
    void setBox(int index, const AnswerBoxState &state);
    // The edit configuration of a box, from its place at rest.
    AnswerBoxState editLook(int index) const;
    // The box in edit configuration shows its place at rest again.
    void dropEditLook();
    void applySnapshotTo(int index);
    // Tab indexes after the highest listed one for boxes the card does not list.
    void numberUnlistedBoxes(const std::array<bool, BoxCount> &listed);
    void updateSwitchesFromCard(bool reset);
    CardFields::Answers answersForFaults() const;
    void updateMarks();
    float recordedWidth(int index) const;

    std::unique_ptr<Card> m_card;
    QString m_cardNam;
    QString m_cardTitle;
    QString m_pictureTag;
    std::uint32_t m_preserveColor = LightGrey;
    // The position snapshot, one entry a box (none before the first).
    struct SnapshotEntry
    {
        std::optional<float> height, left, top, width, fontSize; // none for a value past a number
        std::uint32_t backColor = LightGrey;
    };
    static std::optional<float> snapshotValue(float value);
    std::vector<SnapshotEntry> m_snapshot;
    float m_ratios[RatioRows][2] = {};
    TwipRect m_picture;
    std::array<AnswerBoxState, BoxCount> m_boxes;

    int m_curEditCtrl = 0;
    int m_editBox = -1;
    AnswerBoxState m_editLook;
    QString m_questionLine;
    QString m_txtAns;

    bool m_chkDefault = false;
    bool m_chkDesign = false;
    bool m_designSwitchVisible = false;
    bool m_chkOrientation = false;
    QString m_labNotify;
    bool m_modified = false;
    std::array<QString, BoxCount> m_marks;
    CardError m_lastError;
};
