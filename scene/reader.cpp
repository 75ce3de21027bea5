#include "scene/reader.h"

#include "scene/reader_warnings.h"

#include <cmath>

#include "scene/decimal_scan.h"
#include "scene/list_builder.h"

namespace kavelo::scene {

namespace {

bool IsWhite(char c) noexcept {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// With kWarn the reader also tells `warnings` what it reads most likely not as meant; without it,
// none of that is compiled in.
template <bool kWarn>
class Reader {
  public:
    Reader(std::string_view bytes, std::string_view fileName, ReaderWarnings* warnings = nullptr)
        : m_begin(bytes.data()),
          m_p(bytes.data()),
          m_end(bytes.data() + bytes.size()),
          m_fileName(fileName),
          m_warnings(warnings),
          m_runStart(bytes.data()) {}

    SceneReadResult Run() {
        SceneListBuilder<PolygonNode> polygons;
        SceneListBuilder<CurveNode> curves;
        SceneListBuilder<SurfaceNode> surfaces;
        bool outOfMemory = !polygons.Started() || !curves.Started() || !surfaces.Started();
        auto keep = [&outOfMemory](auto& list) { outOfMemory = !list.Append(); };

        while (!m_failed && !outOfMemory) {
            if (!SkipWhite()) {
                break;
            }
            const char letter = *m_p++;
            // An item cut off by a fault was written into the tail, which stays the sentinel.
            if constexpr (kWarn) {
                if (letter == 'C' || letter == 'P' || letter == 'S') {
                    m_itemStart = m_p - 1;
                    m_warnings->SkippedText(m_runStart, m_itemStart);
                }
            }
            if (letter == 'C') {
                if (ReadCurve(curves.Tail())) {
                    keep(curves);
                }
            } else if (letter == 'P') {
                if (ReadPolygon(polygons.Tail())) {
                    keep(polygons);
                }
            } else if (letter == 'S') {
                if (ReadSurface(surfaces.Tail())) {
                    keep(surfaces);
                }
            }
        }
        if constexpr (kWarn) {
            if (!m_failed && !outOfMemory) {
                m_warnings->SkippedText(m_runStart, m_end);
            }
        }
        SceneReadResult result;
        if (outOfMemory) {
            const std::size_t items = polygons.Items() + curves.Items() + surfaces.Items();
            result.diagnostic = std::string(m_fileName) + ": out of memory after " +
                                std::to_string(items) + (items == 1 ? " item" : " items");
        } else if (m_failed) {
            result.diagnostic = Diagnostic();
        }
        result.scene.polygons = polygons.Finish();
        result.scene.curves = curves.Finish();
        result.scene.surfaces = surfaces.Finish();
        return result;
    }

  private:
    // Moves to the next character that is not white space; false at the end of the input.
    bool SkipWhite() noexcept {
        while (m_p != m_end && IsWhite(*m_p)) {
            ++m_p;
        }
        return m_p != m_end;
    }

    void Fail(const char* where, std::string message) {
        m_failed = true;
        m_failPos = where;
        m_message = std::move(message);
    }

    // Skips through the first `delimiter`, which must come within kMaxSkippedStretch characters.
    bool SkipThrough(char delimiter) {
        int counted = 0;
        while (m_p != m_end) {
            const char c = *m_p++;
            if (c == '\r' && m_p != m_end && *m_p == '\n') {
                continue;  // one line end in text mode: the "\n" is the character counted
            }
            ++counted;
            if (c == delimiter) {
                return true;
            }
            if (counted == kMaxSkippedStretch) {
                break;
            }
        }
        Fail(m_p, std::string("expected \"") + delimiter + "\" within " +
                      std::to_string(kMaxSkippedStretch) + " characters");
        return false;
    }

    // A number after white space: an optional sign, digits with an optional decimal point, an
    // optional exponent; the longest such prefix is taken.
    bool ReadNumber(double& out) {
        const ScannedDecimal number = SkipWhite() ? ScanDecimal(m_p, m_end) : ScannedDecimal{};
        if (number.digits == 0) {
            Fail(m_p, "expected a number");
            return false;
        }
        const double value = ConvertDecimal(number);
        if (std::isinf(value)) {
            Fail(m_p, "number out of range");
            return false;
        }
        out = value;
        m_p = number.end;
        return true;
    }

    bool ReadPoint(Point4& point) {
        return ReadNumber(point.x) && ReadNumber(point.y) && ReadNumber(point.z) &&
               ReadNumber(point.w);
    }

    // Reads points up to "}" or the limit; returns the number stored, 0 on a fault.
    int ReadPoints(Point4* points, int limit) {
        int stored = 0;
        for (;;) {
            if (!ReadPoint(points[stored])) {
                return 0;
            }
            ++stored;
            if (!SkipWhite()) {
                if (stored == limit) {
                    return stored;  // complete at its limit; the input simply ends after it
                }
                Fail(m_p, "expected \"}\" or a number");
                return 0;
            }
            if (*m_p == '}') {
                ++m_p;
                return stored;
            }
            if (stored == limit) {
                if constexpr (kWarn) {
                    m_stoppedAtLimit = true;
                }
                return stored;  // what follows is scanned as text between items
            }
        }
    }

    // SkipThrough, and with warnings a look at the text it skipped.
    bool SkipHeading(char delimiter, SceneItemKind kind) {
        const char* const from = m_p;
        if (!SkipThrough(delimiter)) {
            return false;
        }
        if constexpr (kWarn) {
            m_warnings->HeadingStretch(m_itemStart, kind, from, m_p - 1);
        }
        return true;
    }

    // With warnings: the item just read, and where the text between items begins again.
    void ItemEnded(SceneItemKind kind, int count) {
        if constexpr (kWarn) {
            if (count > 0) {
                m_warnings->ItemRead(m_itemStart, kind, count);
                m_runStart = m_stoppedAtLimit ? m_warnings->PastLimit(kind, m_p) : m_p;
            }
            m_stoppedAtLimit = false;
        }
    }

    bool ReadCurve(CurveNode& node) {
        if constexpr (kWarn) {
            m_warnings->ItemLetter(m_itemStart, SceneItemKind::kCurve, m_runStart);
        }
        if (!SkipHeading('{', SceneItemKind::kCurve)) {
            return false;
        }
        node.count = ReadPoints(node.points, 4);
        ItemEnded(SceneItemKind::kCurve, node.count);
        return node.count > 0;
    }

    bool ReadPolygon(PolygonNode& node) {
        if constexpr (kWarn) {
            m_warnings->ItemLetter(m_itemStart, SceneItemKind::kPolygon, m_runStart);
        }
        if (!SkipHeading('(', SceneItemKind::kPolygon) || !ReadNumber(node.normal.x) ||
            !ReadNumber(node.normal.y) || !ReadNumber(node.normal.z) ||
            !SkipHeading('{', SceneItemKind::kPolygon)) {
            return false;
        }
        node.count = ReadPoints(node.vertices, 4);
        ItemEnded(SceneItemKind::kPolygon, node.count);
        return node.count > 0;
    }

    bool ReadSurface(SurfaceNode& node) {
        if constexpr (kWarn) {
            m_warnings->ItemLetter(m_itemStart, SceneItemKind::kSurface, m_runStart);
        }
        if (!SkipHeading('{', SceneItemKind::kSurface)) {
            return false;
        }
        node.count = ReadPoints(node.points, 16);
        ItemEnded(SceneItemKind::kSurface, node.count);
        return node.count > 0;
    }

    // Line and column of the failure, 1-based; a "\r\n" is one character and the column counts
    // UTF-8 characters, not bytes.
    std::string Diagnostic() const {
        int line = 1;
        const char* lineStart = m_begin;
        for (const char* q = m_begin; q != m_failPos; ++q) {
            if (*q == '\n') {
                ++line;
                lineStart = q + 1;
            }
        }
        int column = 1;
        for (const char* q = lineStart; q != m_failPos; ++q) {
            const auto byte = static_cast<unsigned char>(*q);
            const bool continuation = (byte & 0xC0) == 0x80;
            const bool crBeforeLf = byte == '\r' && q + 1 != m_end && q[1] == '\n';
            if (!continuation && !crBeforeLf) {
                ++column;
            }
        }
        return std::string(m_fileName) + ":" + std::to_string(line) + ":" + std::to_string(column) +
               ": " + m_message;
    }

    const char* m_begin;
    const char* m_p;
    const char* m_end;
    std::string_view m_fileName;
    bool m_failed = false;
    const char* m_failPos = nullptr;
    std::string m_message;
    // Used with warnings only.
    ReaderWarnings* m_warnings;
    const char* m_runStart;             // where the text between items began
    const char* m_itemStart = nullptr;  // the letter of the item being read
    bool m_stoppedAtLimit = false;      // the item ended at its limit, not at "}"
};

}  // namespace

SceneReadResult ReadSceneText(std::string_view bytes, std::string_view fileName,
                              std::vector<std::string>* warnings) {
    if (warnings == nullptr) {
        return Reader<false>(bytes, fileName).Run();
    }
    ReaderWarnings collector(bytes, fileName, *warnings);
    return Reader<true>(bytes, fileName, &collector).Run();
}

}  // namespace kavelo::scene
