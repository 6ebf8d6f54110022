// The numbers the transformation dialogs take: the array, the keyboard rotation and scaling, the
// viewport configuration. Typed with a decimal point or a decimal comma.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quentar::editor {

// The values a dialog field takes.
struct FieldRange {
    double least = -1e15, most = 1e15;
    bool whole = false;      // whole numbers only
    bool aboveLeast = false; // `least` itself is not taken
};

// A typed number: "." or "," as the decimal separator (a shop in Germany types 2,5), an optional
// sign and exponent, blanks around it ignored; nullopt for anything else, infinities included.
std::optional<double> typedNumber(std::string_view text);
// The value of a field's text, when it is a number the field takes.
std::optional<double> fieldValue(std::string_view text, const FieldRange &range);
// The text a field shows for a value: `decimals` places, or (-1) as few as show it exactly.
std::string fieldText(double value, int decimals = -1);

// The fields of the dialogs.
inline constexpr FieldRange kArrayCountRange{1, 10000, true, false}; // "Spalten:", "Zeilen:"
inline constexpr FieldRange kAnyNumberRange{};                       // spacings, angles, places
inline constexpr FieldRange kScalePercentRange{0.00001, 100000, false, false}; // "Skalierung in %:"
inline constexpr FieldRange kPositiveRange{0, 1e15, false, true}; // sizes of a viewport
inline constexpr int kViewportDecimals = 4;

// "Rotationswinkel eingeben": degrees, clockwise (keyboardRotationPoint).
struct KeyboardRotation {
    double degrees = 0;
};
// "Skalierungsfaktor eingeben": percent (keyboardScalingPoint).
struct KeyboardScaling {
    double percent = 100;
};

} // namespace quentar::editor
