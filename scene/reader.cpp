#include "scene/reader.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <type_traits>

#include "scene/decimal_scan.h"
#include "scene/list_builder.h"
#include "scene/reader_observer.h"
#include "scene/reader_warnings.h"
#include "scene/scene_text.h"

namespace kavelo::scene {

namespace {

// "nan", "inf" and the like: a number written the way other programs print it.
bool StartsNumberWord(const char* p, const char* end) {
    const auto is = [p, end](std::string_view word) {
        if (end - p < static_cast<std::ptrdiff_t>(word.size())) {
            return false;
        }
        for (std::size_t i = 0; i < word.size(); ++i) {
            if ((p[i] | 0x20) != word[i]) {
                return false;
            }
        }
        return true;
    };
    return is("nan") || is("inf");
}

// Reads the text once; `Observer` is told what is read at the points of reader_observer.h.
template <class Observer>
class Reader {
  public:
    Reader(std::string_view bytes, std::string_view fileName, Observer& observer,
           const ReadProgress& progress, SceneNodeAllocator& nodes)
        : m_nodes(nodes),
          m_text(bytes),
          m_p(bytes.data()),
          m_end(bytes.data() + bytes.size()),
          m_fileName(fileName),
          m_observer(observer),
          m_progress(progress),
          m_nextReport(progress ? m_p : m_end),
          m_runStart(bytes.data()) {}

    SceneReadResult Run() {
        SceneListBuilder<PolygonNode> polygons(m_nodes);
        SceneListBuilder<CurveNode> curves(m_nodes);
        SceneListBuilder<SurfaceNode> surfaces(m_nodes);
        bool outOfMemory = !polygons.Started() || !curves.Started() || !surfaces.Started();
        try {
            ReadItems(polygons, curves, surfaces, outOfMemory);
        } catch (const std::bad_alloc&) {
            outOfMemory = true;  // a message's or a warning's text did not fit
        }
        if (m_progress) {
            m_progress(static_cast<std::size_t>((m_failed ? m_failPos : m_p) - m_text.data()),
                       m_text.size());
        }
        SceneReadResult result;
        if (outOfMemory) {
            const std::size_t items = polygons.Items() + curves.Items() + surfaces.Items();
            result.diagnostic = OutOfMemoryDiagnostic(m_fileName, items);
            result.fault = ReadFault::kOther;
        } else if (m_stopped) {
            const std::size_t items = polygons.Items() + curves.Items() + surfaces.Items();
            result.diagnostic = "Stopped: " + GroupedNumber(items) + " items read, " +
                                std::to_string(Done() * 100 / m_text.size()) + "% of " +
                                std::string(m_fileName);
            result.fault = ReadFault::kStopped;
        } else if (m_failed) {
            result.diagnostic = std::string(m_fileName) + ":" + TextCursor(m_text).Name(m_failPos) +
                                ": " + m_message;
            result.fault = ReadFault::kInText;
        }
        result.scene.polygons = polygons.Finish();
        result.scene.curves = curves.Finish();
        result.scene.surfaces = surfaces.Finish();
        return result;
    }

  private:
    void ReadItems(SceneListBuilder<PolygonNode>& polygons, SceneListBuilder<CurveNode>& curves,
                   SceneListBuilder<SurfaceNode>& surfaces, bool& outOfMemory) {
        // An item cut off by a fault was written into the tail, which stays the sentinel.
        auto read = [this, &outOfMemory](auto& list, SceneItemKind kind) {
            if (ReadItem(list.Tail(), kind)) {
                outOfMemory = !list.Append();
            }
        };
        while (!m_failed && !outOfMemory && SkipWhite()) {
            // One comparison an item when nobody listens: m_nextReport is then the end.
            if (m_p >= m_nextReport && !Report()) {
                break;  // asked to stop before this item
            }
            m_itemStart = m_p++;
            const int kind = kKindOfByte[static_cast<unsigned char>(*m_itemStart)];
            switch (static_cast<SceneItemKind>(kind)) {
                case SceneItemKind::kPolygon:
                    read(polygons, SceneItemKind::kPolygon);
                    break;
                case SceneItemKind::kCurve:
                    read(curves, SceneItemKind::kCurve);
                    break;
                case SceneItemKind::kSurface:
                    read(surfaces, SceneItemKind::kSurface);
                    break;
            }
        }
        if (!m_failed && !outOfMemory && !m_stopped) {
            m_observer.TextBetween(m_runStart, m_end);
        }
    }

    static constexpr std::ptrdiff_t kReportEvery = 64 << 10;  // bytes

    // Tells how far the reading has come, before the item at m_p, which is short of the end;
    // false when the listener asks to stop there.
    bool Report() {
        m_stopped = !m_progress(Done(), m_text.size());
        m_nextReport = m_p + std::min(kReportEvery, m_end - m_p);
        return !m_stopped;
    }

    std::size_t Done() const { return static_cast<std::size_t>(m_p - m_text.data()); }

    // Moves to the next character that is not white space; false at the end of the input.
    bool SkipWhite() noexcept {
        while (m_p != m_end && IsSceneWhite(*m_p)) {
            ++m_p;
        }
        return m_p != m_end;
    }

    void Fail(const char* where, std::string message) {
        m_failed = true;
        m_failPos = where;
        m_message = std::move(message);
    }

    std::string Found() const { return DescribeFound(m_text.data(), m_p, m_end); }

    // Skips through the first `delimiter`, which must come within kMaxSkippedStretch characters,
    // after the item's letter or, `afterNormal`, a polygon's normal. A fault is told at the
    // item's letter, where the heading went wrong.
    bool SkipThrough(char delimiter, bool afterNormal) {
        int counted = 0;
        bool braceFirst = false;  // a polygon's "{" before its normal: the normal is missing
        bool tooFar = false;
        while (m_p != m_end) {
            const char c = *m_p++;
            if (c == '\r' && m_p != m_end && *m_p == '\n') {
                continue;  // one line end in text mode: the "\n" is the character counted
            }
            ++counted;
            if (c == delimiter) {
                return true;
            }
            braceFirst |= delimiter == '(' && c == '{';
            if (counted == kMaxSkippedStretch) {
                tooFar = true;
                break;
            }
        }
        const std::string after =
            afterNormal ? "the normal" : std::string("\"") + *m_itemStart + "\"";
        const std::string where = !tooFar ? " after " + after + ", found end of file"
                                          : " within " + std::to_string(kMaxSkippedStretch) +
                                                " characters after " + after;
        Fail(m_itemStart,
             std::string("expected \"") + delimiter + "\"" + where +
                 (braceFirst ? "; a polygon starts with its normal: P (x y z) {" : ""));
        return false;
    }

    // A number after white space: an optional sign, digits with an optional decimal point, an
    // optional exponent; the longest such prefix is taken.
    bool ReadNumber(double& out) {
        const ScannedDecimal number = SkipWhite() ? ScanDecimal(m_p, m_end) : ScannedDecimal{};
        if (number.digits == 0) {
            // A point cut short by "}" is most likely written as x y z.
            const bool shortPoint = m_inPoint && m_p != m_end && *m_p == '}';
            Fail(m_p, "expected a number, " + Found() +
                          (shortPoint ? ": each point takes four numbers, x y z w" : ""));
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
        if (!ReadNumber(point.x)) {
            return false;
        }
        m_inPoint = true;
        const bool read = ReadNumber(point.y) && ReadNumber(point.z) && ReadNumber(point.w);
        m_inPoint = false;
        return read;
    }

    // Reads points up to "}" or the limit; returns the number stored, 0 on a fault.
    int ReadPoints(Point4* points, int limit, SceneItemKind kind) {
        int stored = 0;
        for (;;) {
            if (!ReadPoint(points[stored])) {
                return 0;
            }
            ++stored;
            const bool more = SkipWhite();
            if (more && *m_p == '}') {
                ++m_p;
                m_closed = true;
                return stored;
            }
            if (stored == limit) {
                return stored;  // what follows is scanned as text between items
            }
            if (!more || !IsNumberStart(m_p, m_end)) {
                // A letter, a comment or the end most likely follows an item whose "}" is
                // missing; anything else is a number gone wrong inside the item.
                const bool unclosed = !more || (IsLetter(*m_p) && !StartsNumberWord(m_p, m_end)) ||
                                      *m_p == '#' || *m_p == '/';
                Fail(m_p, "expected \"}\" or a number, " + Found() + "; " +
                              (unclosed ? "the " : "in the ") + WordsOf(kind).name + " at " +
                              TextCursor(m_text).Name(m_itemStart) +
                              (unclosed ? " is not closed" : ""));
                return 0;
            }
        }
    }

    // The heading up to "{" and the points after it; returns the number stored, 0 on a fault.
    int ReadBody(Point4* points, int limit, SceneItemKind kind) {
        const char* const from = m_p;
        if (!SkipThrough('{', kind == SceneItemKind::kPolygon)) {
            return 0;
        }
        m_observer.HeadingStretch(m_itemStart, kind, from, m_p - 1);
        m_closed = false;
        return ReadPoints(points, limit, kind);
    }

    // The polygon's normal: "(" and three numbers.
    bool ReadNormal(PolygonNode& node) {
        const char* const from = m_p;
        if (!SkipThrough('(', false)) {
            return false;
        }
        m_observer.HeadingStretch(m_itemStart, SceneItemKind::kPolygon, from, m_p - 1);
        return ReadNumber(node.normal.x) && ReadNumber(node.normal.y) && ReadNumber(node.normal.z);
    }

    static_assert(std::extent_v<decltype(PolygonNode::vertices)> >=
                  WordsOf(SceneItemKind::kPolygon).limit);
    static_assert(std::extent_v<decltype(CurveNode::points)> >=
                  WordsOf(SceneItemKind::kCurve).limit);
    static_assert(std::extent_v<decltype(SurfaceNode::points)> >=
                  WordsOf(SceneItemKind::kSurface).limit);

    // One item after its letter, into `node`; false on a fault.
    template <class Node>
    bool ReadItem(Node& node, SceneItemKind kind) {
        m_observer.TextBetween(m_runStart, m_itemStart);
        m_observer.ItemLetter(m_itemStart, kind, m_runStart);
        const Point4* normal = nullptr;
        if constexpr (std::is_same_v<Node, PolygonNode>) {
            if (!ReadNormal(node)) {
                return false;
            }
            normal = &node.normal;
        }
        node.count = ReadBody(PointsOf(node), WordsOf(kind).limit, kind);
        if (node.count == 0) {
            return false;
        }
        m_observer.ItemRead(m_itemStart, kind, PointsOf(node), node.count, m_closed, normal);
        m_runStart = m_closed ? m_p : m_observer.PastLimit(kind, m_p);
        return true;
    }

    SceneNodeAllocator& m_nodes;
    std::string_view m_text;
    const char* m_p;
    const char* m_end;
    std::string_view m_fileName;
    Observer& m_observer;
    const ReadProgress& m_progress;
    const char* m_nextReport;           // where to tell next; the end when nobody listens
    const char* m_runStart;             // where the text between items began
    const char* m_itemStart = nullptr;  // the letter of the item being read
    bool m_closed = false;              // the item ended at its "}", not at its limit
    bool m_inPoint = false;             // a point's first number has been read
    bool m_failed = false;
    bool m_stopped = false;  // the progress listener asked to stop before the item at m_p
    const char* m_failPos = nullptr;
    std::string m_message;
};

}  // namespace

std::string OutOfMemoryDiagnostic(std::string_view fileName, std::size_t items) {
    return std::string(fileName) + ": out of memory after " + std::to_string(items) +
           (items == 1 ? " item" : " items");
}

SceneReadResult ReadSceneText(std::string_view bytes, std::string_view fileName,
                              WarningList* warnings, const ReadProgress& progress,
                              SceneNodeAllocator& nodes) {
    // Such a file reads as nothing, or as a fault at its first number: say why, once, and none
    // of the warnings, which would be about NULs, not the text.
    const std::string_view encoding = WideEncodingOf(bytes);
    const std::size_t earlierWarnings = warnings != nullptr ? warnings->Total() : 0;
    SceneReadResult result;
    if (warnings == nullptr || !encoding.empty()) {
        NoReaderObserver quiet;
        result = Reader<NoReaderObserver>(bytes, fileName, quiet, progress, nodes).Run();
    } else {
        ReaderWarnings collector(bytes, fileName, *warnings);
        result = Reader<ReaderWarnings>(bytes, fileName, collector, progress, nodes).Run();
    }
    if (!encoding.empty()) {
        result.diagnostic =
            std::string(fileName) + " looks like " + std::string(encoding) + ": save it as UTF-8";
        result.fault = ReadFault::kOther;
    }
    // Read into nothing, without a fault or a warning that tells why: an empty file, comments
    // only, or not the file meant.
    const auto none = [](const auto& list) {
        return list.get() == nullptr || list->next == nullptr;
    };
    if (warnings != nullptr && warnings->Total() == earlierWarnings && !result.diagnostic &&
        none(result.scene.polygons) && none(result.scene.curves) && none(result.scene.surfaces)) {
        warnings->Add(std::string(fileName) + " holds no items");
    }
    return result;
}

}  // namespace kavelo::scene
