// The numbered messages of the program: the German text of each, the key of its translations.
#pragma once

#include <string_view>

namespace quentar::document {

// Messages are numbered 1 ... kMessageCount.
inline constexpr int kMessageCount = 35;

// The German text of message `number`; empty for a number outside 1 ... kMessageCount.
std::string_view germanMessage(int number);

} // namespace quentar::document
