// The wording of refused values.
#include "costing/refusal.h"

#include "costing/decimal_text.h"

#include <cmath>

namespace quentar::costing {

namespace {

// Limits are round figures; "10000000" reads better than "1e+07".
std::string limitText(double v) {
    if (v > -1e16 && v < 1e16 && v == std::trunc(v)) return formatFixed(v, 0);
    return formatGeneral(v);
}

} // namespace

std::string refusalText(const Refusal &r) {
    const std::string limit = limitText(r.limit);
    switch (r.reason) {
    case Refusal::Reason::NotANumber: return "is not a number";
    case Refusal::Reason::NotAWholeNumber: return "is not a whole number";
    case Refusal::Reason::BelowLeast: return "must be at least " + limit;
    case Refusal::Reason::NotAboveLeast: return "must be more than " + limit;
    case Refusal::Reason::AboveMost: return "must be at most " + limit;
    case Refusal::Reason::LargerThanThePart:
        return "takes away the whole part: it must be more than " + limit;
    case Refusal::Reason::NotATime: return "is not a time (H:MM:SS)";
    case Refusal::Reason::NotACheck: return "is neither True nor False";
    case Refusal::Reason::NotAnItem: return "is not in the list";
    case Refusal::Reason::Computed: return "is computed from the other fields and cannot be set";
    case Refusal::Reason::NotASetting: return "is not a stored setting";
    }
    return "is not taken";
}

std::string refusalTextGerman(const Refusal &r) {
    const std::string limit = limitText(r.limit);
    switch (r.reason) {
    case Refusal::Reason::NotANumber: return "ist keine Zahl";
    case Refusal::Reason::NotAWholeNumber: return "ist keine ganze Zahl";
    case Refusal::Reason::BelowLeast: return "muss mindestens " + limit + " sein";
    case Refusal::Reason::NotAboveLeast: return "muss größer als " + limit + " sein";
    case Refusal::Reason::AboveMost: return "darf höchstens " + limit + " sein";
    case Refusal::Reason::LargerThanThePart:
        return "nimmt das ganze Teil weg: sie muss größer als " + limit + " sein";
    case Refusal::Reason::NotATime: return "ist keine Zeit (H:MM:SS)";
    case Refusal::Reason::NotACheck: return "ist weder True noch False";
    case Refusal::Reason::NotAnItem: return "steht nicht in der Liste";
    case Refusal::Reason::Computed: return "wird aus den anderen Feldern berechnet";
    case Refusal::Reason::NotASetting: return "ist keine gespeicherte Einstellung";
    }
    return "wird nicht übernommen";
}

} // namespace quentar::costing
