#include "scene/reader_warnings.h"

#include <algorithm>
#include <cmath>

#include "scene/dump.h"
#include "scene/item_kinds.h"
#include "scene/scene_text.h"

namespace kavelo::scene {

namespace {

bool IsWordChar(char c) noexcept {
    return IsLetter(c) || IsDecimalDigit(c) || c == '_';
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

}  // namespace

namespace {

// The last word before the "{" at `p`, not before `bound`; letters right after a digit or a point
// (the "e" of "1e3") are no word. A word of letters without end is named by its first 40.
std::string_view WordBefore(const char* p, const char* bound) {
    for (const char* r = p; r != bound;) {
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
            return {start, std::min<std::size_t>(static_cast<std::size_t>(r + 1 - start), 40)};
        }
        r = start;
    }
    return {};
}

// Why a body headed by `word` is skipped.
std::string SkippedWordText(std::string_view word) {
    std::string text = Quoted(word) + " is skipped with the numbers after it: ";
    bool lowerHeading = false;
    for (const ItemKindWords& row : kItemKinds) {
        if (word[0] == row.name[0] && IsHeading(word, row.kind)) {
            text += "an item letter is a capital, \"";
            text += row.letter;
            text += "\"";
            lowerHeading = true;
        }
    }
    return lowerHeading ? text : text + "items start with " + ItemLettersText();
}

}  // namespace

void ReaderWarnings::BodyWithoutItem(const char* brace, const char* bound) {
    const std::string_view word = WordBefore(brace, bound);
    if (!word.empty()) {
        Add(word.data(), SkippedWordText(word));
        return;
    }
    // No word: what stands before the "{" on its line, when that is short.
    const char* start = brace;
    while (start != bound && start[-1] != '\n' && brace - start < 40) {
        --start;
    }
    if (start != bound && start[-1] != '\n') {
        start = brace;
    }
    while (start != brace && IsSceneWhite(*start)) {
        ++start;
    }
    Add(start, Quoted(std::string_view(start, static_cast<std::size_t>(brace + 1 - start))) +
                   " is skipped with the numbers after it: items start with " + ItemLettersText());
}

void ReaderWarnings::TextBetween(const char* from, const char* to) {
    const char* bound = from;  // the heading of a body is looked for after the body before it
    for (const char* p = from; p != to; ++p) {
        if (*p != '{') {
            continue;
        }
        const char* q = p + 1;
        while (q != to && IsSceneWhite(*q)) {
            ++q;
        }
        if (!IsNumberStart(q, to)) {
            continue;
        }
        BodyWithoutItem(p, bound);
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
    const ItemKindWords& words = WordsOf(kind);
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
            while (q != delimiter && IsSceneWhite(*q)) {
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

void ReaderWarnings::CountWarning(const char* letter, SceneItemKind kind, int count) {
    const ItemKindWords& words = WordsOf(kind);
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

namespace {

struct Vec3 {
    double x, y, z;
};

Vec3 Minus(const Point4& a, const Point4& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}

Vec3 Cross(const Vec3& a, const Vec3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

double Dot(const Vec3& a, const Vec3& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

// Points written as x y z and read four numbers at a time: the item ends at its "}" short of its
// limit after a number count that threes divide, and its weights vary as coordinates do.
bool LooksLikeTriples(const Point4* points, int count, int limit, bool closed) {
    if (!closed || count >= limit || count * 4 % 3 != 0) {
        return false;
    }
    for (int i = 1; i < count; ++i) {
        if (points[i].w != points[0].w) {
            return true;
        }
    }
    return false;
}

// What is wrong with the shape of a polygon of four vertices, or nothing. Within a millionth of
// its size it counts as flat; OpenGL fills a bent or concave one as if it were flat and convex.
const char* FourCornerFault(const Point4* v) {
    Vec3 normal{0, 0, 0};  // Newell's: good for any simple polygon, flat or not
    double size = 0;
    for (int i = 0; i < 4; ++i) {
        const Point4& a = v[i];
        const Point4& b = v[(i + 1) % 4];
        normal.x += (a.y - b.y) * (a.z + b.z);
        normal.y += (a.z - b.z) * (a.x + b.x);
        normal.z += (a.x - b.x) * (a.y + b.y);
        const Vec3 edge = Minus(b, a);
        size = std::max(size, std::sqrt(Dot(edge, edge)));
    }
    const double length = std::sqrt(Dot(normal, normal));
    if (length <= 1e-12 * size * size) {
        return nullptr;  // no area: the vertex count tells
    }
    const Vec3 unit{normal.x / length, normal.y / length, normal.z / length};
    for (int i = 1; i < 4; ++i) {
        if (std::abs(Dot(unit, Minus(v[i], v[0]))) > 1e-6 * size) {
            return "its 4 vertices are not in one plane";
        }
    }
    for (int i = 0; i < 4; ++i) {
        const Vec3 turn = Cross(Minus(v[(i + 1) % 4], v[i]), Minus(v[(i + 2) % 4], v[(i + 1) % 4]));
        if (Dot(turn, unit) < -1e-9 * size * size) {
            return "it is not convex";
        }
    }
    return nullptr;
}

// Whether every control point stands for the same place (x/w, y/w, z/w).
bool AllCoincide(const Point4* points, int count) {
    for (int i = 1; i < count; ++i) {
        const Point4& a = points[0];
        const Point4& b = points[i];
        if (a.x * b.w != b.x * a.w || a.y * b.w != b.y * a.w || a.z * b.w != b.z * a.w) {
            return false;
        }
    }
    return true;
}

}  // namespace

void ReaderWarnings::ItemRead(const char* letter, SceneItemKind kind, const Point4* points,
                              int count, bool closed, const Point4* normal) {
    const ItemKindWords& words = WordsOf(kind);
    if (LooksLikeTriples(points, count, words.limit, closed)) {
        Add(letter, std::string("the points of this ") + words.name +
                        " look written as x y z: each point takes four numbers, x y z w");
        return;
    }
    CountWarning(letter, kind, count);
    if (kind == SceneItemKind::kPolygon) {
        if (normal->x == 0 && normal->y == 0 && normal->z == 0) {
            Add(letter, "the polygon's normal 0 0 0 has no length: it lights nothing");
        }
        if (const char* fault = count == 4 ? FourCornerFault(points) : nullptr) {
            Add(letter,
                std::string("this polygon is drawn filled as if flat and convex, but ") + fault);
        }
        return;
    }
    for (int i = 0; i < count; ++i) {
        if (points[i].w <= 0) {
            Add(letter, "point " + std::to_string(i + 1) + " of this " + words.name +
                            " has weight " + FormatShortest(points[i].w) +
                            ": a weight must be above 0");
            return;
        }
    }
    if (count == words.limit && AllCoincide(points, count)) {
        Add(letter, "all " + std::to_string(count) + " control points of this " + words.name +
                        " are at one place: it draws nothing to see");
    }
}

const char* ReaderWarnings::PastLimit(SceneItemKind kind, const char* at) {
    const ItemKindWords& words = WordsOf(kind);
    if (!IsNumberStart(at, m_end)) {
        // Glued to the last number, as in "1,5" or "1.5cm", it is a mistake inside that number;
        // other text between items, the next item's letter among it, tells for itself.
        const bool glued = at != m_end && at != m_begin && !IsSceneWhite(*at) && *at != '}' &&
                           !IsItemLetter(*at) && (IsDecimalDigit(at[-1]) || at[-1] == '.');
        if (glued) {
            Add(at, "text after the last number of this " + std::string(words.name) +
                        " is dropped, " + DescribeFound(m_begin, at, m_end));
        }
        return at;
    }
    const char* p = at;
    while (p != m_end && *p != '}' && !IsItemLetter(*p)) {
        ++p;
    }
    const char* upTo = p == m_end ? "the end" : *p == '}' ? "\"}\"" : "the next item";
    Add(at, std::string("a ") + words.name + " holds " + std::to_string(words.limit) + " " +
                words.points + ": the " + std::to_string(words.limit + 1) +
                "th and the text after it up to " + upTo + " are dropped");
    return p != m_end && *p == '}' ? p + 1 : p;
}

void ReaderWarnings::Add(const char* at, const std::string& text) {
    if (!m_out.WantsText()) {
        m_out.Count();
        return;
    }
    m_out.Add(std::string(m_fileName) + ":" + m_cursor.Name(at) + ": warning: " + text);
}
}  // namespace kavelo::scene
