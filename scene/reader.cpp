#include "scene/reader.h"

#include <cerrno>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <locale.h>
#include <memory>
#include <system_error>

namespace {

bool IsWhite(char c) noexcept {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

bool IsDigit(char c) noexcept { return c >= '0' && c <= '9'; }

// Converts an out-of-range number with the C library, which knows the nearest subnormal or zero
// for numbers too small and gives HUGE_VAL for numbers too large.
double ConvertWithCLocale(const char* first, const char* last) {
    static locale_t cLocale = newlocale(LC_ALL_MASK, "C", nullptr);
    std::string copy(first, last);
    return strtod_l(copy.c_str(), nullptr, cLocale);
}

class Reader {
public:
    Reader(std::string_view bytes, std::string_view fileName)
        : m_begin(bytes.data()), m_p(bytes.data()), m_end(bytes.data() + bytes.size()),
          m_fileName(fileName) {}

    SceneReadResult Run() {
        SceneReadResult result;
        PolygonNode* polygonTail = NewSceneNode<PolygonNode>();
        result.scene.polygons.reset(polygonTail);
        CurveNode* curveTail = NewSceneNode<CurveNode>();
        result.scene.curves.reset(curveTail);
        SurfaceNode* surfaceTail = NewSceneNode<SurfaceNode>();
        result.scene.surfaces.reset(surfaceTail);

        while (!m_failed) {
            if (!SkipWhite()) {
                break;
            }
            const char letter = *m_p++;
            if (letter == 'C') {
                if (ReadCurve(*curveTail)) {
                    curveTail = Append(curveTail);
                }
            } else if (letter == 'P') {
                if (ReadPolygon(*polygonTail)) {
                    polygonTail = Append(polygonTail);
                }
            } else if (letter == 'S') {
                if (ReadSurface(*surfaceTail)) {
                    surfaceTail = Append(surfaceTail);
                }
            }
        }
        // An item cut off by a fault was written into the tail, which stays the sentinel.
        polygonTail->next = nullptr;
        curveTail->next = nullptr;
        surfaceTail->next = nullptr;
        if (m_failed) {
            result.diagnostic = Diagnostic();
        }
        return result;
    }

private:
    template <class Node>
    static Node* Append(Node* tail) {
        Node* fresh = NewSceneNode<Node>();
        tail->next = fresh;
        return fresh;
    }

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

    bool ReadNumber(double& out) {
        if (!SkipWhite()) {
            Fail(m_p, "expected a number");
            return false;
        }
        const std::size_t length =
            ScanSceneNumber(std::string_view(m_p, static_cast<std::size_t>(m_end - m_p)));
        if (length == 0) {
            Fail(m_p, "expected a number");
            return false;
        }
        const char* first = m_p;
        const char* last = m_p + length;
        const char* digits = (*first == '+') ? first + 1 : first;
        double value = 0.0;
        const auto [ptr, ec] = std::from_chars(digits, last, value, std::chars_format::general);
        if (ec == std::errc::result_out_of_range) {
            value = ConvertWithCLocale(digits, last);
            if (std::isinf(value)) {
                Fail(first, "number out of range");
                return false;
            }
        } else if (ec != std::errc() || ptr != last) {
            Fail(first, "expected a number");
            return false;
        }
        out = value;
        m_p = last;
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
                return stored;  // what follows is scanned as text between items
            }
        }
    }

    bool ReadCurve(CurveNode& node) {
        if (!SkipThrough('{')) {
            return false;
        }
        node.count = ReadPoints(node.points, 4);
        return node.count > 0;
    }

    bool ReadPolygon(PolygonNode& node) {
        if (!SkipThrough('(') || !ReadNumber(node.normal.x) || !ReadNumber(node.normal.y) ||
            !ReadNumber(node.normal.z) || !SkipThrough('{')) {
            return false;
        }
        node.count = ReadPoints(node.vertices, 4);
        return node.count > 0;
    }

    bool ReadSurface(SurfaceNode& node) {
        if (!SkipThrough('{')) {
            return false;
        }
        node.count = ReadPoints(node.points, 16);
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
        return std::string(m_fileName) + ":" + std::to_string(line) + ":" +
               std::to_string(column) + ": " + m_message;
    }

    const char* m_begin;
    const char* m_p;
    const char* m_end;
    std::string_view m_fileName;
    bool m_failed = false;
    const char* m_failPos = nullptr;
    std::string m_message;
};

}  // namespace

std::size_t ScanSceneNumber(std::string_view text) noexcept {
    const char* const first = text.data();
    const char* const end = first + text.size();
    const char* q = first;
    if (q != end && (*q == '+' || *q == '-')) {
        ++q;
    }
    std::size_t digits = 0;
    while (q != end && IsDigit(*q)) {
        ++q;
        ++digits;
    }
    if (q != end && *q == '.') {
        ++q;
        while (q != end && IsDigit(*q)) {
            ++q;
            ++digits;
        }
    }
    if (digits == 0) {
        return 0;
    }
    if (q != end && (*q == 'e' || *q == 'E')) {
        const char* r = q + 1;
        if (r != end && (*r == '+' || *r == '-')) {
            ++r;
        }
        if (r != end && IsDigit(*r)) {
            while (r != end && IsDigit(*r)) {
                ++r;
            }
            q = r;
        }
    }
    return static_cast<std::size_t>(q - first);
}

SceneReadResult ReadSceneText(std::string_view bytes, std::string_view fileName) {
    return Reader(bytes, fileName).Run();
}

SceneReadResult ReadSceneFile(const std::string& path, std::optional<std::string_view> fileName) {
    const std::string_view name = fileName.value_or(path);
    struct Closer {
        void operator()(std::FILE* f) const noexcept { std::fclose(f); }
    };
    std::unique_ptr<std::FILE, Closer> file(std::fopen(path.c_str(), "rb"));
    std::string problem;
    std::string bytes;
    if (!file) {
        problem = std::string("cannot open: ") + std::strerror(errno);
    } else {
        char buffer[1 << 16];
        std::size_t got = 0;
        while ((got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) {
            bytes.append(buffer, got);
        }
        if (std::ferror(file.get())) {
            problem = std::string("cannot read: ") + std::strerror(errno);
        }
    }
    if (!problem.empty()) {
        SceneReadResult result = ReadSceneText({}, name);
        result.diagnostic = std::string(name) + ": " + problem;
        return result;
    }
    return ReadSceneText(bytes, name);
}
