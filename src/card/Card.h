#pragma once

#include "CardCtrls.h"
#include "CardError.h"
#include "CardFields.h"
#include "CardText.h"
#include "Questions.h"
#include "clsAnsws.h"

#include <QHash>
#include <QList>
#include <QString>

#include <cstdint>
#include <functional>

// The in-memory model of one declaration card. It holds the card string,
// locates lines and fields in it, reads the settings, the picture rectangle,
// the box layout, the answers and the questions, and rewrites single lines of
// the string when the card is saved.
//
// Line access is stateful: a current line number, the line's start and end
// positions (1-based), its text and the last extracted field.
class Card
{
public:
    // Bits of the load and save flags: which banks of lines are read or written.
    enum Bank : std::int16_t {
        BankDesignAnswers = 1,
        BankAnswers = 2,
        BankInstalledPicture = 4,
        BankCurrentPicture = 8,
        BankInstalledLayout = 16,
        BankCurrentLayout = 32,
    };

    // Fixed lines of the card string.
    enum : int {
        LineFontSize = 17,
        LineFontName = 18,
        LineInstalledPicture = 20,
        LineUseDefault = 24,
        LineDesignMode = 25,
        LineOrientation = 27,
        LinePaperHeight = 28,
        LinePaperWidth = 29,
        LineCurrentPicture = 36,
        FirstInstalledControl = 51,
        LastInstalledControl = 147,
        FirstCurrentControl = 151,
        LastCurrentControl = 247,
        FirstDesignAnswer = 251,
        LastDesignAnswer = 347,
        FirstAnswer = 351,
        LastAnswer = 447,
        FirstQuestion = 450,
        LastQuestion = 546,
        LineLeftMargin = 552,
        LineEnlarge = 553,
    };

    static constexpr int MaxBox = 95;

    CardCtrls &colCardCtrls() { return m_colCardCtrls; }
    const CardCtrls &colCardCtrls() const { return m_colCardCtrls; }
    Questions &colQuests() { return m_colQuests; }
    const Questions &colQuests() const { return m_colQuests; }
    clsAnsws &colAnsws() { return m_colAnsws; }
    const clsAnsws &colAnsws() const { return m_colAnsws; }
    // What the card's fields file says about its boxes; empty (every box
    // takes text) until the card window's loading reads it.
    const CardFields &fields() const { return m_fields; }
    void setFields(CardFields fields) { m_fields = std::move(fields); }

    // Reads, decrypts and parses the card file. On failure nothing of this
    // object changes and lastError() says why.
    bool LoadCard(const QString &path);
    // Parses a card string as LoadCard does after decryption (cardName is
    // only used to name errors).
    bool LoadCardFromStr(const QString &cardStr);

    const CardError &lastError() const { return m_lastError; }

    QString cardName() const { return m_cardName; }
    void setCardName(const QString &v) { m_cardName = v; }
    QString CardStr() const { return m_text.str(); }
    void setCardStr(const QString &v) { m_text.setStr(v); }

    qsizetype PxInFileForLineNum() const { return m_pxStart; }
    void setPxInFileForLineNum(qsizetype v) { m_pxStart = v; }
    int lineNum() const { return m_lineNum; }
    void setLineNum(int v) { m_lineNum = v; }
    int FldQty() const { return m_fldQty; }
    void setFldQty(int v) { m_fldQty = v; }
    qsizetype PxInFile_EndOf_LineNum() const { return m_pxEnd; }
    void setPxInFile_EndOf_LineNum(qsizetype v) { m_pxEnd = v; }

    // Line location. They return false when the line cannot be located (too
    // few lines, or no CR to end it); lastError() then names the line.
    bool GetStartOfLinePxInFileStr();
    bool GetEndOfLinePxInFileStr();
    bool GetStartOfLinePxInFileStr2();
    bool FetchLine(int lineNumber);
    bool FetchLine2();

    QString Line() const { return m_line; }
    void setLine(const QString &v) { m_line = v; }
    QString Field() const { return m_field; }
    void setField(const QString &v) { m_field = v; }
    // Field k of Line (1-based, comma separated); fields 2 and up come from
    // the first 500 characters only. Field 1 of a line without a comma is the
    // whole line.
    void GetField(int k);

    float CardImageTop() const { return m_imageTop; }
    void setCardImageTop(float v) { m_imageTop = v; }
    float CardImageLeft() const { return m_imageLeft; }
    void setCardImageLeft(float v) { m_imageLeft = v; }
    float CardImageHeight() const { return m_imageHeight; }
    void setCardImageHeight(float v) { m_imageHeight = v; }
    float CardImageWidth() const { return m_imageWidth; }
    void setCardImageWidth(float v) { m_imageWidth = v; }

    bool LoadCardPx(int firstLine);
    bool LoadControlPositions(int FirstLine, int LastLine);
    bool LoadAnswers(int FirstLine, int LastLine);
    bool GetAnsw(int lineNumber);

    QString Question() const { return m_question; }
    void setQuestion(const QString &v) { m_question = v; }
    QString Answer() const { return m_answer; }
    void setAnswer(const QString &v) { m_answer = v; }

    // Saving: each rewrites whole lines of the card string in place.
    bool SaveControlValuesToCardStr();
    std::int16_t LastCntrl() const { return m_lastCntrl; }
    void setLastCntrl(std::int16_t v) { m_lastCntrl = v; }
    // Writes the design copy (design mode only) and the encrypted card file.
    // A design copy that cannot be written does not stop the save; its
    // warning is then left in saveWarning() for the caller to show.
    bool SaveCardStrToFile();
    QString saveWarning() const { return m_saveWarning; }
    bool SaveAnwsersToCardStr();
    bool UseDefaultVals() const { return m_useDefaultVals; }
    void setUseDefaultVals(bool v) { m_useDefaultVals = v; }
    bool Save_UseDefaultVals_Setting();
    // Encrypts the card string and replaces the card file atomically.
    bool EncryptFileStr();
    bool DesignMode() const { return m_designMode; }
    void setDesignMode(bool v) { m_designMode = v; }
    bool GetDesignMode();
    bool SaveCardLocToCardStr();
    bool SaveCardLocToCardStr_Default();
    bool SaveValueToCardStr(const QString &ValToSave, int lineNumber,
                            const QString &TextAtBeginningOfLine);
    std::int16_t LoadTruthTable() const { return m_loadTruthTable; }
    void setLoadTruthTable(std::int16_t v) { m_loadTruthTable = v; }
    void GetTruthTable();
    bool ToggleDesignMode();
    bool SetDesignModeValInCardStr();

    bool GetOrientation();
    QString cardOrient() const { return m_cardOrient; }
    void setCardOrient(const QString &v) { m_cardOrient = v; }
    bool GetPaperSize();
    std::int32_t PaperHt() const { return m_paperHt; }
    void setPaperHt(std::int32_t v) { m_paperHt = v; }
    std::int32_t PaperWdth() const { return m_paperWdth; }
    void setPaperWdth(std::int32_t v) { m_paperWdth = v; }
    bool SaveCardOrientation();
    int SaveAtLineNum_Start() const { return m_saveStart; }
    void setSaveAtLineNum_Start(int v) { m_saveStart = v; }
    int SaveAtLineNum_End() const { return m_saveEnd; }
    void setSaveAtLineNum_End(int v) { m_saveEnd = v; }
    bool varRestCard() const { return m_varRestCard; }
    void setVarRestCard(bool v) { m_varRestCard = v; }
    QString varCardTitle() const { return m_varCardTitle; }
    void setVarCardTitle(const QString &v) { m_varCardTitle = v; }
    bool GetLeftPrintMargin();
    float varEnlarge() const { return m_varEnlarge; }
    void setVarEnlarge(float v) { m_varEnlarge = v; }
    std::int16_t varLeftPrintMargin() const { return m_varLeftPrintMargin; }
    void setVarLeftPrintMargin(std::int16_t v) { m_varLeftPrintMargin = v; }
    bool GetEnlargeFactor();
    float varFontSizeForPrting() const { return m_varFontSize; }
    void setVarFontSizeForPrting(float v) { m_varFontSize = v; }
    bool GetFontSizeForPrting();
    QString varFontForPrting() const { return m_varFont; }
    void setVarFontForPrting(const QString &v) { m_varFont = v; }
    bool GetFontForPrting();

    // Where the design copy of a card goes: Borvessa/Cards/Design/<title>.csv
    // under the user's data folder.
    static QString designCopyPath(const QString &title);

    // Text forms of the card string.
    static QString flagText(bool value);
    static bool readFlag(const QString &text);
    // The text written for an answer so that it reads back exactly as typed:
    // line breaks are dropped, and an answer that begins with a double quote
    // is enclosed in one more pair of them.
    static QString answerLineText(const QString &answer);

private:
    bool fail(int line, const QString &reason);
    bool replaceLine(int lineNumber, const QString &text);
    void replaceCurrentLine(const QString &text);
    bool loadSettings();
    bool LoadControlLine();
    bool LoadQuestions();
    bool GetQuest(int lineNumber);
    void GetLine();
    static QString GetTextAfterComma(int n, const QString &text);
    static QString StripQuotes(const QString &text);
    bool readValue(int lineNumber, int column, QString *value);
    bool readBoxNumber(const QString &text, int lineNumber, std::int16_t *box);
    bool loadBody();
    // The box a line of a layout or answer bank describes, as the loader
    // reads it; -1 for a line that describes none.
    static int bankLineBox(const QString &line, bool answerBank);
    // A line of a bank as the loaders walk it: 1-based start, the position
    // of its CR, and the box it describes (-1 for none).
    struct BankLine
    {
        qsizetype start;
        qsizetype end;
        int box;
        bool hasAnswer;
    };
    // The lines of the bank, the line (index into lines) each of the boxes
    // is written to, and the other lines that describe one of them: an
    // answer line whose answer must go, or a layout line that gets the same
    // values.
    bool bankTargets(int first, int last, bool answerBank, const QList<int> &boxes,
                     QList<BankLine> *lines, QHash<int, int> *targets, QList<int> *others);
    // Writes each of the boxes at its line of the bank as the box number, the
    // label of the line it replaces and values(box).
    bool writeBank(int first, int last, bool answerBank, const QList<int> &boxes,
                   const std::function<QString(int box)> &values);
    // The answer an answer line holds, as the loader reads it.
    static QString answerOfLine(const QString &line);

    CardCtrls m_colCardCtrls;
    Questions m_colQuests;
    clsAnsws m_colAnsws;
    QString m_cardName;
    // The card string and its line index; every line is located through it.
    CardText m_text;
    int m_lineNum = 0;
    qsizetype m_pxStart = 0;
    qsizetype m_pxEnd = 0;
    QString m_line;
    QString m_field;
    int m_fldQty = 0;
    float m_imageTop = 0;
    float m_imageLeft = 0;
    float m_imageWidth = 0;
    float m_imageHeight = 0;
    QString m_question;
    QString m_answer;
    std::int16_t m_loadTruthTable = 0;
    bool m_varRestCard = false;
    bool m_useDefaultVals = false;
    bool m_designMode = false;
    std::int16_t m_lastCntrl = 0;
    int m_saveStart = 0;
    int m_saveEnd = 0;
    QString m_varCardTitle;
    QString m_cardOrient;
    std::int32_t m_paperHt = 0;
    std::int32_t m_paperWdth = 0;
    std::int16_t m_varLeftPrintMargin = 0;
    float m_varEnlarge = 0;
    float m_varFontSize = 0;
    QString m_varFont;
    CardError m_lastError;
    CardFields m_fields;
    QString m_saveWarning;
};
