// What a TEXT or MTEXT says once its formatting codes are read: lines of runs of plain text.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quentar::render {

// A stretch of text in one height.
struct TextRun {
    std::string text;        // UTF-8, no codes left
    double heightFactor = 1; // of the entity's text height (\H)
};

// One line: a paragraph, or the part of one before a line break.
struct TextLine {
    std::vector<TextRun> runs;
    double heightFactor() const; // the tallest run's (1 when empty)
    std::string plain() const;   // the runs joined
};

// The lines of a text as read from the file (bytes, decoded for display here).
//
// Both kinds: the control codes %%c (diameter), %%d (degree), %%p (plus/minus), %%% and %%nnn
// (a character code); %%u, %%o and %%k (under-, over-, strike-through switches) are dropped.
// MTEXT in addition: \P and ^J break lines; \S up^down; (also up/down and up#down) becomes
// "up/down"; \H sets the height of what follows (a factor when it ends in "x", else in drawing
// units, made a factor of `baseHeight`, the entity's height); \U+XXXX is the
// character; \~ a space that does not break; \\ \{ \} the characters; the font, colour, width,
// tracking, slant, alignment and line switches (\f \F \C \c \W \T \Q \A \p \L \l \O \o \K \k)
// and grouping braces are dropped.
std::vector<TextLine> parseTextContent(std::string_view bytes, bool mtext, double baseHeight = 1);

} // namespace quentar::render
