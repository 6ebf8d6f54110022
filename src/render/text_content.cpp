// Reading the formatting codes of TEXT and MTEXT into plain lines of runs.
#include "render/text_content.h"

#include "document/text_codec.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace quentar::render {

namespace {

void appendUtf8(std::string &out, uint32_t cp) {
    if (cp == 0 || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        cp = 0xFFFD;
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// The %% control codes of both kinds of text.
std::string percentCodes(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '%' || i + 2 >= s.size() || s[i + 1] != '%') {
            out += s[i];
            continue;
        }
        const char c = s[i + 2];
        switch (c) {
        case 'c':
        case 'C':
            appendUtf8(out, 0xD8);
            i += 2;
            break; // Ø
        case 'd':
        case 'D':
            appendUtf8(out, 0xB0);
            i += 2;
            break;
        case 'p':
        case 'P':
            appendUtf8(out, 0xB1);
            i += 2;
            break;
        case '%':
            out += '%';
            i += 2;
            break;
        case 'u':
        case 'U':
        case 'o':
        case 'O':
        case 'k':
        case 'K':
            i += 2;
            break;
        default:
            if (c >= '0' && c <= '9') {
                std::size_t j = i + 2;
                uint32_t cp = 0;
                while (j < s.size() && j < i + 5 && s[j] >= '0' && s[j] <= '9')
                    cp = cp * 10 + static_cast<uint32_t>(s[j++] - '0');
                appendUtf8(out, cp);
                i = j - 1;
            } else {
                out += s[i];
            }
        }
    }
    return out;
}

} // namespace

double TextLine::heightFactor() const {
    double h = 0;
    for (const TextRun &r : runs)
        if (!r.text.empty())
            h = std::max(h, r.heightFactor);
    return h > 0 ? h : (runs.empty() ? 1 : runs.front().heightFactor);
}

std::string TextLine::plain() const {
    std::string s;
    for (const TextRun &r : runs)
        s += r.text;
    return s;
}

std::vector<TextLine> parseTextContent(std::string_view bytes, bool mtext, double baseHeight) {
    const std::string s = percentCodes(document::decodeForDisplay(bytes));
    std::vector<TextLine> lines(1);
    double height = 1;
    std::vector<double> heights; // saved at each "{"
    auto run = [&]() -> std::string & {
        auto &runs = lines.back().runs;
        if (runs.empty() || runs.back().heightFactor != height)
            runs.push_back({{}, height});
        return runs.back().text;
    };
    auto newLine = [&] {
        lines.emplace_back();
        if (lines.size() > 100000)
            lines.pop_back();
    };
    if (!mtext) {
        run() = s;
        return lines;
    }
    const std::size_t n = s.size();
    // The argument of a switch: up to the next ";" (or the end).
    auto argument = [&](std::size_t &i) {
        const std::size_t end = s.find(';', i);
        std::string_view a =
            std::string_view(s).substr(i, end == std::string::npos ? n - i : end - i);
        i = end == std::string::npos ? n : end + 1;
        return a;
    };
    for (std::size_t i = 0; i < n;) {
        const char c = s[i];
        if (c == '{') {
            heights.push_back(height);
            ++i;
            continue;
        }
        if (c == '}') {
            if (!heights.empty()) {
                height = heights.back();
                heights.pop_back();
            }
            ++i;
            continue;
        }
        if (c == '^' && i + 1 < n) {
            const char k = s[i + 1];
            if (k == 'J' || k == 'M')
                newLine();
            else if (k == 'I')
                run() += ' ';
            i += 2;
            continue;
        }
        if (c != '\\' || i + 1 >= n) {
            run() += c;
            ++i;
            continue;
        }
        const char k = s[i + 1];
        i += 2;
        switch (k) {
        case 'P':
            newLine();
            break;
        case '~':
            appendUtf8(run(), 0xA0);
            break;
        case '\\':
        case '{':
        case '}':
            run() += k;
            break;
        case 'S': {
            // Stacked: up^down; up/down; up#down; shown in one line as up/down.
            std::string_view a = argument(i);
            std::string out;
            for (std::size_t j = 0; j < a.size(); ++j) {
                const char d = a[j];
                if (d == '\\' && j + 1 < a.size()) {
                    out += a[++j];
                } else if (d == '^' || d == '#' || d == '/') {
                    // "1^ " is an exponent-like stack with an empty lower part.
                    const bool lowerEmpty =
                        a.substr(j + 1).find_first_not_of(' ') == std::string_view::npos;
                    const bool upperEmpty = out.find_first_not_of(' ') == std::string::npos;
                    if (!lowerEmpty && !upperEmpty)
                        out += '/';
                } else {
                    out += d;
                }
            }
            while (!out.empty() && out.back() == ' ')
                out.pop_back();
            while (!out.empty() && out.front() == ' ')
                out.erase(out.begin());
            run() += out;
            break;
        }
        case 'H': {
            std::string_view a = argument(i);
            const bool relative = !a.empty() && (a.back() == 'x' || a.back() == 'X');
            if (relative)
                a.remove_suffix(1);
            double v = 0;
            auto [p, ec] = std::from_chars(a.data(), a.data() + a.size(), v);
            (void)p;
            if (ec == std::errc() && std::isfinite(v) && v > 0) {
                height = relative ? height * v : (baseHeight > 0 ? v / baseHeight : 1);
                height = std::clamp(height, 1e-3, 1e3);
            }
            break;
        }
        case 'U':
            if (i < n && s[i] == '+') {
                std::size_t j = i + 1;
                uint32_t cp = 0;
                auto [p, ec] = std::from_chars(s.data() + j, s.data() + std::min(n, j + 4), cp, 16);
                if (ec == std::errc() && p == s.data() + std::min(n, j + 4)) {
                    appendUtf8(run(), cp);
                    i = j + 4;
                    break;
                }
            }
            run() += "\\U";
            break;
        case 'M':
            // \M+NXXXX: a multibyte character of a code page; shown as a replacement.
            if (i + 5 < n && s[i] == '+') {
                appendUtf8(run(), 0xFFFD);
                i += 6;
            }
            break;
        case 'f':
        case 'F':
        case 'C':
        case 'c':
        case 'W':
        case 'T':
        case 'Q':
        case 'A':
        case 'p':
            argument(i);
            break;
        case 'L':
        case 'l':
        case 'O':
        case 'o':
        case 'K':
        case 'k':
        case 'N':
            break;
        default:
            // An unknown switch is kept as written.
            run() += '\\';
            run() += k;
            break;
        }
    }
    return lines;
}

} // namespace quentar::render
