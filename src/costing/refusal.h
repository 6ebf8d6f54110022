// Why a value the user gave is not taken, and its wording for the command line and the window.
#pragma once

#include <string>

namespace quentar::costing {

// A refused value: the reason and the limit it broke. The calculation keeps the last value it
// took; each front end words the reason in its own language.
struct Refusal {
    enum class Reason {
        NotANumber,            // not a finite number ("abc", "1,5", "inf", "nan")
        NotAWholeNumber,       // a whole-number field given a fraction ("1.5")
        BelowLeast,            // less than `limit`
        NotAboveLeast,         // `limit` or less where the value must lie above it
        AboveMost,             // more than `limit`
        LargerThanThePart,     // a negative allowance that takes away the whole part; `limit`
                               // is the value it must lie above
        NotATime,              // not "H:MM" or "H:MM:SS" with minutes and seconds below 60
        NotACheck,             // not one of True, False, 1, 0, yes, no, ja, nein
        NotAnItem,             // not one of the list's items
        Computed,              // the field is computed from the others and is not set directly
        NotASetting,           // no stored setting has this name
    };
    Reason reason;
    double limit = 0;

    bool operator==(const Refusal &) const = default;
};

// "is not a whole number", "must be at least 0" ...: to follow the refused text, as in
// "StueckEd: 1.5 is not a whole number".
std::string refusalText(const Refusal &refusal);
// The same in German for the calculator window: "ist keine ganze Zahl", "muss mindestens 0 sein".
std::string refusalTextGerman(const Refusal &refusal);

} // namespace quentar::costing
