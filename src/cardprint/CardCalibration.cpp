#include "CardCalibration.h"

#include "CardFormModel.h"
#include "Numbers.h"

using namespace Qt::StringLiterals;

namespace CardCalibration {

namespace {

constexpr int MarginLine = 552;
constexpr int MarginLabel = 16; // characters before the value
constexpr int EnlargeLine = 553;
constexpr int EnlargeLabel = 14;

bool fail(QString *error, const QString &reason)
{
    if (error)
        *error = reason;
    return false;
}

// Rewrites a setting line with the label it already has.
bool rewrite(Card &card, int line, int labelLength, const QString &value, QString *error)
{
    if (!card.FetchLine(line))
        return fail(error, card.lastError().message());
    return card.SaveValueToCardStr(value, line, card.Line().left(labelLength))
        || fail(error, card.lastError().message());
}

} // namespace

bool apply(CardFormModel &form, const Calibration::Solution &s, QString *error)
{
    Card *card = form.clsCard();
    if (!card)
        return fail(error, u"No card is loaded."_s);
    // Both lines are rewritten on a copy first, so a failure changes nothing.
    Card trial;
    trial.setCardStr(card->CardStr());
    if (!rewrite(trial, MarginLine, MarginLabel, QString::number(s.margin), error)
        || !rewrite(trial, EnlargeLine, EnlargeLabel, Numbers::formatSingle(s.enlarge), error))
        return false;
    card->setCardStr(trial.CardStr());
    card->setVarLeftPrintMargin(s.margin);
    card->setVarEnlarge(s.enlarge);

    // The whole layout moves, picture and boxes 0 to 39 together, as the
    // Move Text arrows move it.
    form.moveLayout(s.layoutDown);
    return true;
}

} // namespace CardCalibration
