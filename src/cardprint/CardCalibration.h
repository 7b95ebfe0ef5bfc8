#pragma once

#include "Calibration.h"

class CardFormModel;

namespace CardCalibration {

// Applies a solution to the card loaded in the form: lines 552 and 553 are
// rewritten with the labels they have, and the picture moves with boxes 0
// to 39. The card file changes with the next save. False, with nothing
// changed, when a line cannot be rewritten.
bool apply(CardFormModel &form, const Calibration::Solution &s, QString *error);

} // namespace CardCalibration
