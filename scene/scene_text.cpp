#include "scene/scene_text.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

namespace kavelo::scene {

namespace {

// A character that takes a column: not a UTF-8 continuation byte, nor the "\r" of a "\r\n".
bool TakesColumn(const char* q, const char* end) noexcept {
    const auto byte = static_cast<unsigned char>(*q);
    return (byte & 0xC0) != 0x80 && !(byte == '\r' && q + 1 != end && q[1] == '\n');
}

// The code point of the UTF-8 sequence at `p`, or -1 when it is not one.
std::int32_t DecodeUtf8(const char* p, const char* end) noexcept {
    const auto lead = static_cast<unsigned char>(*p);
    const int length = lead >= 0xF0 && lead < 0xF5 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
    if (length == 0 || end - p < length) {
        return -1;
    }
    std::int32_t code = lead & (0x7F >> length);
    for (int i = 1; i < length; ++i) {
        const auto byte = static_cast<unsigned char>(p[i]);
        if ((byte & 0xC0) != 0x80) {
            return -1;
        }
        code = (code << 6) | (byte & 0x3F);
    }
    const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
    return overlong || code > 0x10FFFF || (code >= 0xD800 && code < 0xE000) ? -1 : code;
}

struct NamedCharacter {
    std::int32_t code;
    const char* name;
    const char* use;  // what was most likely meant, or nullptr
};

// Characters that come with text pasted from web pages, word processors and PDF files.
constexpr NamedCharacter kNamed[] = {
    {0x00, "NULL", nullptr},
    {0x1A, "SUBSTITUTE", nullptr},
    {0x7F, "DELETE", nullptr},
    {0xA0, "NO-BREAK SPACE", " "},
    {0xB0, "DEGREE SIGN", nullptr},
    {0xB7, "MIDDLE DOT", "."},
    {0xD7, "MULTIPLICATION SIGN", nullptr},
    {0x2010, "HYPHEN", "-"},
    {0x2011, "NON-BREAKING HYPHEN", "-"},
    {0x2013, "EN DASH", "-"},
    {0x2014, "EM DASH", "-"},
    {0x2018, "LEFT SINGLE QUOTATION MARK", nullptr},
    {0x2019, "RIGHT SINGLE QUOTATION MARK", nullptr},
    {0x201C, "LEFT DOUBLE QUOTATION MARK", nullptr},
    {0x201D, "RIGHT DOUBLE QUOTATION MARK", nullptr},
    {0x2000, "EN QUAD", " "},
    {0x2001, "EM QUAD", " "},
    {0x2002, "EN SPACE", " "},
    {0x2003, "EM SPACE", " "},
    {0x2004, "THREE-PER-EM SPACE", " "},
    {0x2005, "FOUR-PER-EM SPACE", " "},
    {0x2006, "SIX-PER-EM SPACE", " "},
    {0x2007, "FIGURE SPACE", " "},
    {0x2008, "PUNCTUATION SPACE", " "},
    {0x2009, "THIN SPACE", " "},
    {0x200A, "HAIR SPACE", " "},
    {0x200B, "ZERO WIDTH SPACE", nullptr},
    {0x202F, "NARROW NO-BREAK SPACE", " "},
    {0x2212, "MINUS SIGN", "-"},
    {0x3000, "IDEOGRAPHIC SPACE", " "},
    {0xFEFF, "ZERO WIDTH NO-BREAK SPACE", nullptr},
    {0xFF0B, "FULLWIDTH PLUS SIGN", "+"},
    {0xFF0C, "FULLWIDTH COMMA", nullptr},
    {0xFF0D, "FULLWIDTH HYPHEN-MINUS", "-"},
    {0xFF0E, "FULLWIDTH FULL STOP", "."},
};

std::string CodePoint(std::int32_t code) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string digits;
    for (int shift = code > 0xFFFF ? 16 : 12; shift >= 0; shift -= 4) {
        digits += kHex[(code >> shift) & 0xF];
    }
    return "U+" + digits;
}

// "U+2212 MINUS SIGN: use "-"", or the code point alone for a character without a name here.
std::string DescribeCodePoint(std::int32_t code) {
    static constexpr const char* kDigits[] = {"ZERO", "ONE", "TWO",   "THREE", "FOUR",
                                              "FIVE", "SIX", "SEVEN", "EIGHT", "NINE"};
    std::string text = CodePoint(code);
    if (code >= 0xFF10 && code <= 0xFF19) {
        const int digit = code - 0xFF10;
        return text + " FULLWIDTH DIGIT " + kDigits[digit] + ": use " +
               Quoted(std::string(1, static_cast<char>('0' + digit)));
    }
    if ((code >= 0xFF21 && code <= 0xFF3A) || (code >= 0xFF41 && code <= 0xFF5A)) {
        const bool capital = code <= 0xFF3A;
        const char letter = static_cast<char>((capital ? 'A' - 0xFF21 : 'a' - 0xFF41) + code);
        return text + " FULLWIDTH LATIN " + (capital ? "CAPITAL" : "SMALL") + " LETTER " +
               static_cast<char>(capital ? letter : letter - 32) + ": use " +
               Quoted(std::string(1, letter));
    }
    for (const NamedCharacter& named : kNamed) {
        if (named.code == code) {
            text += std::string(" ") + named.name;
            if (named.use == nullptr) {
                return text;
            }
            // A space that looks like one but is not, pasted from a page or a word processor.
            return text + ": use " + (named.use[0] == ' ' ? "a plain space" : Quoted(named.use));
        }
    }
    return text;
}

}  // namespace

const TextCursor::Place& TextCursor::MoveTo(const char* at) {
    Place& c = m_place;
    if (at >= c.pos) {
        for (const char* q = c.pos; q != at; ++q) {
            if (*q == '\n') {
                ++c.line;
                c.column = 1;
            } else if (TakesColumn(q, m_end)) {
                ++c.column;
            }
        }
    } else {
        bool newLine = false;
        for (const char* q = at; q != c.pos; ++q) {
            if (*q == '\n') {
                --c.line;
                newLine = true;
            } else if (TakesColumn(q, m_end)) {
                --c.column;
            }
        }
        if (newLine) {
            const char* lineStart = at;
            while (lineStart != m_begin && lineStart[-1] != '\n') {
                --lineStart;
            }
            c.column = 1;
            for (const char* q = lineStart; q != at; ++q) {
                c.column += TakesColumn(q, m_end) ? 1 : 0;
            }
        }
    }
    c.pos = at;
    return c;
}

std::string TextCursor::Name(const char* at) {
    const Place& place = MoveTo(at);
    return std::to_string(place.line) + ":" + std::to_string(place.column);
}

std::string DescribeFound(const char* begin, const char* p, const char* end) {
    if (p == end) {
        return "found end of file";
    }
    const char c = *p;
    const bool afterNumber = p != begin && (IsDecimalDigit(p[-1]) || p[-1] == '.');
    if (IsLetter(c)) {
        const char* q = p;
        while (q != end && IsLetter(*q) && q - p < 16) {
            ++q;
        }
        const std::string_view word(p, static_cast<std::size_t>(q - p));
        const char* why = !afterNumber                   ? ""
                          : (word == "e" || word == "E") ? ": an exponent takes digits"
                                                         : ": numbers take no unit";
        return "found " + Quoted(word) + why;
    }
    if (c > ' ' && c < 0x7F) {
        const bool decimalComma = c == ',' && afterNumber && end - p > 1 && IsDecimalDigit(p[1]);
        const bool separator = (c == ',' || c == ';') && afterNumber && !decimalComma;
        return "found " + Quoted(std::string(1, c)) +
               (decimalComma ? ": a number takes \".\" as its decimal point"
                : separator  ? ": numbers are separated by spaces"
                             : "");
    }
    const auto byte = static_cast<unsigned char>(c);
    const std::int32_t code = byte < 0x80 ? byte : DecodeUtf8(p, end);
    if (code < 0) {
        static constexpr char kHex[] = "0123456789ABCDEF";
        return std::string("found byte 0x") + kHex[byte >> 4] + kHex[byte & 0xF] +
               ", which is not UTF-8";
    }
    return "found " + DescribeCodePoint(code);
}

std::string_view WideEncodingOf(std::string_view bytes) noexcept {
    const auto at = [&bytes](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    if (bytes.size() >= 4 && ((at(0) == 0xFF && at(1) == 0xFE && at(2) == 0 && at(3) == 0) ||
                              (at(0) == 0 && at(1) == 0 && at(2) == 0xFE && at(3) == 0xFF))) {
        return "UTF-32";
    }
    if (bytes.size() >= 2 &&
        ((at(0) == 0xFF && at(1) == 0xFE) || (at(0) == 0xFE && at(1) == 0xFF))) {
        return "UTF-16";
    }
    // Without a mark: ASCII text in either byte order puts NULs in fixed places of every unit.
    const auto nulsEvery = [&bytes, &at](std::size_t unit, std::size_t keep) {
        const std::size_t n = std::min<std::size_t>(bytes.size(), 256) / unit * unit;
        if (n < 4) {
            return false;
        }
        for (std::size_t i = 0; i < n; ++i) {
            if ((at(i) == 0) == (i % unit == keep)) {
                return false;
            }
        }
        return true;
    };
    if (nulsEvery(4, 0) || nulsEvery(4, 3)) {
        return "UTF-32";
    }
    if (nulsEvery(2, 0) || nulsEvery(2, 1)) {
        return "UTF-16";
    }
    return {};
}

bool IsLetter(char c) noexcept {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

std::string Quoted(std::string_view text) {
    // A control character would reach the terminal as one: an escape sequence in the file could
    // recolour it, retitle it or clear it. C0, DEL and C1, and bytes that are not UTF-8, are
    // written as "\x1b" instead.
    static constexpr char kHex[] = "0123456789abcdef";
    std::string quoted = "\"";
    const char* const end = text.data() + text.size();
    for (const char* p = text.data(); p != end;) {
        const auto byte = static_cast<unsigned char>(*p);
        std::size_t length = 1;
        bool control = (byte < 0x20 && byte != '\t') || byte == 0x7F;
        if (byte >= 0x80) {
            const std::int32_t code = DecodeUtf8(p, end);
            length = code < 0 ? 1 : code < 0x800 ? 2 : code < 0x10000 ? 3 : 4;
            control = code < 0xA0;
        }
        for (const char* q = p; q != p + length; ++q) {
            if (control) {
                const auto c = static_cast<unsigned char>(*q);
                quoted += {'\\', 'x', kHex[c >> 4], kHex[c & 0xF]};
            } else {
                quoted += *q;
            }
        }
        p += length;
    }
    return quoted + "\"";
}

}  // namespace kavelo::scene
