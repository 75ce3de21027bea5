#include "scene/reader_warnings.h"

#include <algorithm>

#include "scene/decimal_scan.h"

namespace kavelo::scene {

namespace {

bool IsWhite(char c) noexcept {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

bool IsLetter(char c) noexcept {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsWordChar(char c) noexcept {
    return IsLetter(c) || IsDecimalDigit(c) || c == '_';
}

bool IsItemLetter(char c) noexcept {
    return c == 'C' || c == 'P' || c == 'S';
}

// Where a number begins: an optional sign, then a digit or a point and a digit.
bool IsNumberStart(const char* p, const char* end) noexcept {
    if (p != end && (*p == '+' || *p == '-')) {
        ++p;
    }
    if (p != end && *p == '.') {
        ++p;
    }
    return p != end && IsDecimalDigit(*p);
}

struct KindWords {
    char letter;
    const char* name;
    const char* plural;  // its headings are the beginnings of this word, in any case
    const char* point;
    const char* points;
    int limit;
};

const KindWords& WordsOf(SceneItemKind kind) {
    static const KindWords kWords[] = {
        {'P', "polygon", "polygons", "vertex", "vertices", 4},
        {'C', "curve", "curves", "point", "points", 4},
        {'S', "surface", "surfaces", "point", "points", 16},
    };
    return kWords[static_cast<int>(kind)];
}

// A word that heads an item of `kind` as its author meant: "C", "Curve", "curves", "POLY"...
bool IsHeading(std::string_view word, SceneItemKind kind) {
    const std::string_view plural = WordsOf(kind).plural;
    if (word.empty() || word.size() > plural.size()) {
        return false;
    }
    for (std::size_t i = 0; i < word.size(); ++i) {
        const char lower =
            (word[i] >= 'A' && word[i] <= 'Z') ? static_cast<char>(word[i] + 32) : word[i];
        if (lower != plural[i]) {
            return false;
        }
    }
    return true;
}

// The letters from `p` on, no more than a long word's worth.
std::string_view LettersFrom(const char* p, const char* end) {
    const char* q = p;
    while (q != end && IsLetter(*q) && q - p < 40) {
        ++q;
    }
    return {p, static_cast<std::size_t>(q - p)};
}

std::string Quoted(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 2);
    out += '"';
    out += text;
    out += '"';
    return out;
}

// A character that takes a column: not a UTF-8 continuation byte, nor the "\r" of a "\r\n".
bool TakesColumn(const char* q, const char* end) noexcept {
    const auto byte = static_cast<unsigned char>(*q);
    return (byte & 0xC0) != 0x80 && !(byte == '\r' && q + 1 != end && q[1] == '\n');
}

}  // namespace

void ReaderWarnings::SkippedText(const char* from, const char* to) {
    const char* bound = from;  // the heading of a body is looked for after the body before it
    for (const char* p = from; p != to; ++p) {
        if (*p != '{') {
            continue;
        }
        const char* q = p + 1;
        while (q != to && IsWhite(*q)) {
            ++q;
        }
        if (!IsNumberStart(q, to)) {
            continue;
        }
        // The last word before the "{"; letters right after a digit or a point (the "e" of
        // "1e3") are no word.
        std::string_view word;
        for (const char* r = p; r != bound && word.empty();) {
            --r;
            if (!IsLetter(*r)) {
                continue;
            }
            const char* start = r;
            while (start != bound && IsLetter(start[-1])) {
                --start;
            }
            if (start == bound ||
                !(IsDecimalDigit(start[-1]) || start[-1] == '.' || start[-1] == '_')) {
                // A word of letters without end is named by its first 40.
                const auto length =
                    std::min<std::size_t>(static_cast<std::size_t>(r + 1 - start), 40);
                word = std::string_view(start, length);
            }
            r = start;
        }
        std::string text;
        if (word.empty()) {
            // No word: what stands before the "{" on its line, when that is short.
            const char* start = p;
            while (start != bound && start[-1] != '\n' && p - start < 40) {
                --start;
            }
            if (start != bound && start[-1] != '\n') {
                start = p;
            }
            while (start != p && IsWhite(*start)) {
                ++start;
            }
            Add(start, Quoted(std::string_view(start, static_cast<std::size_t>(p + 1 - start))) +
                           " is skipped with the numbers after it: items start with \"C\", \"P\" "
                           "or \"S\"");
        } else {
            text = Quoted(word) + " is skipped with the numbers after it: ";
            bool lowerHeading = false;
            for (const SceneItemKind kind :
                 {SceneItemKind::kPolygon, SceneItemKind::kCurve, SceneItemKind::kSurface}) {
                if (word[0] == WordsOf(kind).name[0] && IsHeading(word, kind)) {
                    text += "an item letter is a capital, \"";
                    text += WordsOf(kind).letter;
                    text += "\"";
                    lowerHeading = true;
                }
            }
            if (!lowerHeading) {
                text += "items start with \"C\", \"P\" or \"S\"";
            }
            Add(word.data(), text);
        }
        while (p != to && *p != '}') {
            ++p;
        }
        if (p == to) {
            return;
        }
        bound = p + 1;
    }
}

void ReaderWarnings::ItemLetter(const char* letter, SceneItemKind kind, const char* textStart) {
    const KindWords& words = WordsOf(kind);
    // Texts are made only for a warning: this runs for every item.
    const auto starts = [&words] { return std::string(" starts a ") + words.name; };
    // A comment mark earlier on the line, in the text between items.
    for (const char* p = letter; p != textStart && p[-1] != '\n';) {
        --p;
        const bool hash = *p == '#';
        if (hash || (*p == '/' && p + 1 != letter && p[1] == '/')) {
            Add(letter, std::string("\"") + words.letter + "\" after " + Quoted(hash ? "#" : "//") +
                            starts() + ": item letters count in comments too");
            return;
        }
    }
    if (letter != textStart && IsWordChar(letter[-1])) {
        const char* start = letter;
        while (start != textStart && IsWordChar(start[-1])) {
            --start;
        }
        const char* end = letter + 1;
        while (end != m_end && IsWordChar(*end)) {
            ++end;
        }
        Add(letter, std::string("\"") + words.letter + "\" inside " +
                        Quoted(std::string_view(start, static_cast<std::size_t>(end - start))) +
                        starts());
        return;
    }
    const std::string_view word = LettersFrom(letter, m_end);
    if (!IsHeading(word, kind)) {
        Add(letter, Quoted(word) + starts() + " at its \"" + words.letter + "\"");
    }
}

void ReaderWarnings::HeadingStretch(const char* letter, SceneItemKind kind, const char* from,
                                    const char* delimiter) {
    const auto found = [kind, delimiter] {
        return std::string("the ") + WordsOf(kind).name + "'s \"" + *delimiter +
               "\" is found past ";
    };
    const char* const kAnother = ", in what looks like another item";
    for (const char* p = from; p != delimiter; ++p) {
        if (*p == '}') {
            Add(letter, found() + "a \"}\" on line " + std::to_string(LineOf(p)) + kAnother);
            return;
        }
        if (*p == '\n') {
            const char* q = p + 1;
            while (q != delimiter && IsWhite(*q)) {
                ++q;
            }
            if (q != delimiter && IsItemLetter(*q)) {
                Add(letter, found() + Quoted(LettersFrom(q, delimiter)) + " on line " +
                                std::to_string(LineOf(q)) + kAnother);
                return;
            }
            p = q - 1;
        }
    }
}

void ReaderWarnings::ItemRead(const char* letter, SceneItemKind kind, int count) {
    const KindWords& words = WordsOf(kind);
    const auto item = [&words, count] {
        return std::string("a ") + words.name + " of " + std::to_string(count) + " " +
               (count == 1 ? words.point : words.points);
    };
    switch (kind) {
        case SceneItemKind::kPolygon:
            if (count < 3) {
                Add(letter, item() + " covers no area: a polygon takes 3 or 4");
            }
            break;
        case SceneItemKind::kCurve: {
            static const char* const kDrawn[] = {"nothing", "nothing", "a straight line",
                                                 "a quadratic arc"};
            if (count < 4) {
                Add(letter, item() + " draws " + kDrawn[count] + ": a cubic curve takes 4");
            }
            break;
        }
        case SceneItemKind::kSurface:
            if (count < 16) {
                const int rows = count / 4;
                Add(letter, item() + " draws " +
                                (rows < 2 ? std::string("nothing")
                                          : "only its first " + std::to_string(rows) + " rows") +
                                ": a patch takes 16, in rows of 4");
            }
            break;
    }
}

const char* ReaderWarnings::PastLimit(SceneItemKind kind, const char* at) {
    if (!IsNumberStart(at, m_end)) {
        return at;  // not a further point: the text between items tells for itself
    }
    const char* p = at;
    while (p != m_end && *p != '}' && !IsItemLetter(*p)) {
        ++p;
    }
    const KindWords& words = WordsOf(kind);
    const char* upTo = p == m_end ? "the end" : *p == '}' ? "\"}\"" : "the next item";
    Add(at, std::string("a ") + words.name + " holds " + std::to_string(words.limit) + " " +
                words.points + ": the " + std::to_string(words.limit + 1) +
                "th and the text after it up to " + upTo + " are dropped");
    return p != m_end && *p == '}' ? p + 1 : p;
}

void ReaderWarnings::Add(const char* at, const std::string& text) {
    const Place& place = MoveTo(at);
    m_out.push_back(std::string(m_fileName) + ":" + std::to_string(place.line) + ":" +
                    std::to_string(place.column) + ": warning: " + text);
}

// Lines and columns as the reader's diagnostic counts them: from 1, a "\r\n" is one character
// and a column is one UTF-8 character.
ReaderWarnings::Place& ReaderWarnings::MoveTo(const char* at) {
    Place& c = m_cursor;
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

}  // namespace kavelo::scene
