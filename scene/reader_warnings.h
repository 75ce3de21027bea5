// What the scene reader reads without a fault but most likely not as the author meant: the
// forgiving grammar's silent cases, told as "FILE:LINE:COL: warning: TEXT".
#pragma once

#include <string>
#include <string_view>

#include "scene/reader_observer.h"
#include "scene/scene_text.h"
#include "scene/warning_list.h"

namespace kavelo::scene {

// The reader's observer (reader_observer.h) that collects the warnings; never changes what is
// read. Positions point into the bytes given to the constructor.
class ReaderWarnings {
  public:
    ReaderWarnings(std::string_view bytes, std::string_view fileName, WarningList& out)
        : m_begin(bytes.data()),
          m_end(bytes.data() + bytes.size()),
          m_fileName(fileName),
          m_out(out),
          m_cursor(bytes) {}

    // Text between items, [from, to): an item body ("{" and numbers) in it lost its item.
    void TextBetween(const char* from, const char* to);
    // An item letter found between items, which began at `textStart`: does it stand in a comment
    // or in a word?
    void ItemLetter(const char* letter, SceneItemKind kind, const char* textStart);
    // The text skipped after an item's letter, or after a polygon's normal, up to its delimiter.
    void HeadingStretch(const char* letter, SceneItemKind kind, const char* from,
                        const char* delimiter);
    // An item read with `count` points: their number, weights and shape.
    void ItemRead(const char* letter, SceneItemKind kind, const Point4* points, int count,
                  bool closed, const Point4* normal);
    // An item full at its limit went on with the point at `at`. Returns where the text dropped
    // with that point ends: past its "}", or at the next item letter or the end of the input.
    const char* PastLimit(SceneItemKind kind, const char* at);

  private:
    void Add(const char* at, const std::string& text);
    void BodyWithoutItem(const char* brace, const char* bound);
    void CountWarning(const char* letter, SceneItemKind kind, int count);
    int LineOf(const char* at) { return m_cursor.MoveTo(at).line; }

    const char* m_begin;
    const char* m_end;
    std::string_view m_fileName;
    WarningList& m_out;
    TextCursor m_cursor;
};

}  // namespace kavelo::scene
