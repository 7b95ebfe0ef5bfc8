#include "RoundTrip.h"

#include "Card.h"
#include "CardFileEnvelope.h"
#include "CardFormModel.h"
#include "Cp1252.h"
#include "Numbers.h"

#include <QDir>
#include <QFile>
#include <QMap>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace RoundTrip {

namespace {

QString typedAnswer(int box)
{
    return u"typed %1, with a comma"_s.arg(box);
}

// What an answer reads back as once written: line breaks are dropped.
QString written(const QString &answer)
{
    QString text = answer;
    text.remove(u'\r');
    text.remove(u'\n');
    return text;
}

} // namespace

QString cardString(const QString &text, bool *loaded)
{
    Card card;
    card.setCardName(u"fuzz.qcf"_s);
    if (loaded)
        *loaded = false;
    if (!card.LoadCardFromStr(text))
        return {};
    if (loaded)
        *loaded = true;
    const bool design = card.DesignMode();
    QMap<int, QString> before;
    for (const clsAnsw &a : card.colAnsws())
        before.insert(a.ControlNum, a.Answ);

    // Every box the layout describes gets a new answer, as the window writes
    // its boxes.
    QMap<int, QString> typed;
    for (const CardCtrl &c : card.colCardCtrls())
        typed.insert(*Numbers::toInt16(c.fldName), typedAnswer(*Numbers::toInt16(c.fldName)));
    card.colAnsws().clear();
    for (auto it = typed.cbegin(); it != typed.cend(); ++it)
        card.colAnsws().Add(std::int16_t(it.key()), it.value(), QString::number(it.key()));
    card.setLastCntrl(std::int16_t(typed.isEmpty() ? -1 : typed.lastKey()));

    card.setUseDefaultVals(false);
    bool ok = card.Save_UseDefaultVals_Setting();
    if (!design)
        ok = ok && card.SaveAnwsersToCardStr();
    if (design)
        ok = ok && card.SaveCardLocToCardStr_Default();
    ok = ok && card.SaveCardLocToCardStr();
    if (design) {
        card.setSaveAtLineNum_Start(Card::FirstInstalledControl);
        card.setSaveAtLineNum_End(Card::LastInstalledControl);
        ok = ok && card.SaveControlValuesToCardStr();
    }
    card.setSaveAtLineNum_Start(Card::FirstCurrentControl);
    card.setSaveAtLineNum_End(Card::LastCurrentControl);
    ok = ok && card.SaveControlValuesToCardStr() && card.SetDesignModeValInCardStr();
    if (!ok)
        return u"the save failed: "_s + card.lastError().message();

    Card again;
    again.setCardName(u"fuzz.qcf"_s);
    if (!again.LoadCardFromStr(card.CardStr()))
        return u"the saved card no longer loads: "_s + again.lastError().message();
    if (design)
        return {};
    // By box number, as the window puts them into its boxes.
    QMap<int, QString> after;
    for (const clsAnsw &a : again.colAnsws())
        after.insert(a.ControlNum, a.Answ);
    for (auto it = typed.cbegin(); it != typed.cend(); ++it) {
        if (after.value(it.key()) != it.value())
            return u"the answer of box %1 does not read back"_s.arg(it.key());
    }
    for (auto it = before.cbegin(); it != before.cend(); ++it) {
        if (!typed.contains(it.key()) && after.value(it.key()) != it.value())
            return u"the answer of box %1, which was not written, changed"_s.arg(it.key());
    }
    return {};
}

QString envelope(const QByteArray &bytes, bool *decrypted)
{
    QByteArray text;
    QString reason;
    if (decrypted)
        *decrypted = false;
    QByteArray sealed;
    QByteArray opened;
    if (!CardFileEnvelope::encrypt(bytes, &sealed, &reason))
        return u"encrypting failed: "_s + reason;
    if (!CardFileEnvelope::decrypt(sealed, &opened, &reason) || opened != bytes)
        return u"encrypted text does not decrypt to itself"_s;
    if (!CardFileEnvelope::decrypt(bytes, &text, &reason))
        return {};
    if (decrypted)
        *decrypted = true;
    QByteArray again;
    if (!CardFileEnvelope::encrypt(text, &again, &reason))
        return u"re-encrypting failed: "_s + reason;
    if (again != bytes)
        return u"the decrypted text re-encrypts to other bytes"_s;
    return {};
}

QString cardWindow(const QString &text, const QString &dir, bool *loaded)
{
    if (loaded)
        *loaded = false;
    const QString path = QDir(dir).filePath(u"Fuzz.qcf"_s);
    QString reason;
    if (!CardFileEnvelope::writeCardFile(path, Cp1252::encode(text), &reason))
        return u"the card file could not be written: "_s + reason;
    CardFormModel model;
    if (!model.LoadCard(path))
        return {};
    if (loaded)
        *loaded = true;
    model.setVarCardTitle(u"Fuzz"_s);

    QMap<int, QString> expected;
    QMap<int, TwipRect> places;
    for (int i = 0; i < CardFormModel::BoxCount; ++i) {
        if (!model.box(i).visible)
            continue;
        const AnswerBoxState normal = model.box(i);
        model.SaveCntrlPxsPriorToMove();
        model.setCurEditCtrl(i);
        model.ConfigCtrlForEditing();
        const TwipRect edited = model.box(i).rect;
        if (edited.left > normal.rect.left
            || (edited.left < normal.rect.left && edited.right() > model.varRightSideOfCard()))
            return u"box %1 is not kept inside the picture"_s.arg(i);
        model.RestoreControl();
        TwipRect back = model.box(i).rect;
        back.height = normal.rect.height;
        if (!(back == normal.rect))
            return u"box %1 does not get its place back after the focus cycle"_s.arg(i);
        // Even boxes keep the answer they were loaded with.
        if (i % 2)
            model.setBoxText(i, typedAnswer(i));
        // Every box moves by a twip, inward from the end of the range.
        TwipRect moved = model.box(i).rect;
        moved.top += moved.top < 32000 ? 1 : -1;
        model.setBoxRect(i, moved);
        expected.insert(i, written(model.box(i).text));
        places.insert(i, model.box(i).rect);
    }
    const bool design = model.clsCard()->DesignMode();
    if (!model.SaveCard())
        return u"the save failed: "_s + model.lastError().message();

    CardFormModel again;
    if (!again.LoadCard(path))
        return u"the saved card no longer opens: "_s + again.lastError().message();
    for (auto it = places.cbegin(); it != places.cend(); ++it) {
        const TwipRect &r = again.box(it.key()).rect;
        if (Numbers::formatSingle(r.top) != Numbers::formatSingle(it.value().top)
            || Numbers::formatSingle(r.left) != Numbers::formatSingle(it.value().left))
            return u"box %1 does not read back where it was put"_s.arg(it.key());
    }
    if (design) {
        // The copy holds the card's answers in plain text.
        struct stat info {};
        const QString copy = Card::designCopyPath(u"Fuzz"_s);
        if (::stat(QFile::encodeName(copy).constData(), &info) != 0 || (info.st_mode & 0777) != 0600)
            return u"the design copy %1 is not for its owner only"_s.arg(copy);
        return {};
    }
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        if (again.box(it.key()).text != it.value())
            return u"the answer of box %1 does not read back"_s.arg(it.key());
    }
    return {};
}

} // namespace RoundTrip
