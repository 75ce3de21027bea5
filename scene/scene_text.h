// The pieces of the scene text that the reader and its warnings both look at: white space, where
// a number begins, lines and columns, and what a character is when it is not what was expected.
#pragma once

#include <string>
#include <string_view>

#include "scene/decimal_scan.h"

namespace kavelo::scene {

// Space, tab, line feed, carriage return, vertical tab and form feed: the C locale's isspace().
inline bool IsSceneWhite(char c) noexcept {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// Where a number begins: an optional sign, then a digit or a point and a digit.
inline bool IsNumberStart(const char* p, const char* end) noexcept {
    if (p != end && (*p == '+' || *p == '-')) {
        ++p;
    }
    if (p != end && *p == '.') {
        ++p;
    }
    return p != end && IsDecimalDigit(*p);
}

// Line and column of places in one text, from 1: a "\r\n" is one character and a column is one
// UTF-8 character, not a byte. Counts on from the latest place asked for, forwards or back.
class TextCursor {
  public:
    struct Place {
        const char* pos;
        int line;
        int column;
    };

    explicit TextCursor(std::string_view text)
        : m_begin(text.data()), m_end(text.data() + text.size()), m_place{m_begin, 1, 1} {}

    const Place& MoveTo(const char* at);
    // "LINE:COL".
    std::string Name(const char* at);

  private:
    const char* m_begin;
    const char* m_end;
    Place m_place;
};

// What stands at `p` where something else was expected, as "found ..." for a message: a printable
// character in quotes, a word of letters whole, a number's unit, another character by its code
// point and name, or the end of the file. `begin` is the start of the text.
std::string DescribeFound(const char* begin, const char* p, const char* end);

// An ASCII letter.
bool IsLetter(char c) noexcept;
// `text` between double quotes, its control characters written as "\x1b".
std::string Quoted(std::string_view text);

// A text that is not UTF-8 or ASCII but UTF-16 or UTF-32, by its byte order mark or by NULs
// between its bytes: "UTF-16", "UTF-32", or empty.
std::string_view WideEncodingOf(std::string_view bytes) noexcept;

}  // namespace kavelo::scene
