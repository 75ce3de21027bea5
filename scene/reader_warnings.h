// What the scene reader reads without a fault but most likely not as the author meant: the
// forgiving grammar's silent cases, told as "FILE:LINE:COL: warning: TEXT".
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kavelo::scene {

enum class SceneItemKind { kPolygon, kCurve, kSurface };

// Fed by the reader as it goes; never changes what is read. Positions point into the bytes given
// to the constructor and come in the order of the text, apart from short steps back.
class ReaderWarnings {
  public:
    ReaderWarnings(std::string_view bytes, std::string_view fileName, std::vector<std::string>& out)
        : m_begin(bytes.data()),
          m_end(bytes.data() + bytes.size()),
          m_fileName(fileName),
          m_out(out),
          m_cursor{m_begin, 1, 1} {}

    // Text between items, [from, to): an item body ("{" and numbers) in it lost its item.
    void SkippedText(const char* from, const char* to);
    // An item letter found between items, which began at `textStart`: does it stand in a comment
    // or in a word?
    void ItemLetter(const char* letter, SceneItemKind kind, const char* textStart);
    // The text skipped after an item's letter, or after a polygon's normal, up to its delimiter.
    void HeadingStretch(const char* letter, SceneItemKind kind, const char* from,
                        const char* delimiter);
    // An item read with `count` points.
    void ItemRead(const char* letter, SceneItemKind kind, int count);
    // An item full at its limit went on with the point at `at`. Returns where the text dropped
    // with that point ends: past its "}", or at the next item letter or the end of the input.
    const char* PastLimit(SceneItemKind kind, const char* at);

  private:
    struct Place {
        const char* pos;
        int line;
        int column;
    };

    void Add(const char* at, const std::string& text);
    Place& MoveTo(const char* at);
    int LineOf(const char* at) { return MoveTo(at).line; }

    const char* m_begin;
    const char* m_end;
    std::string_view m_fileName;
    std::vector<std::string>& m_out;
    Place m_cursor;  // line and column are counted on from the latest place asked for
};

}  // namespace kavelo::scene
