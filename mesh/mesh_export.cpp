#include "mesh/mesh_export.h"

#include <algorithm>
#include <bit>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "mesh/gltf_writer.h"

namespace kavelo::mesh {

namespace {

using Vec3 = std::array<double, 3>;

Vec3 Cross(const Vec3& a, const Vec3& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

// `v` scaled to length 1; false when it has no length to scale.
bool Normalise(Vec3& v) {
    const double length = std::hypot(v[0], v[1], v[2]);
    if (!(length > 0.0) || !std::isfinite(length)) {
        return false;
    }
    for (double& c : v) {
        c /= length;
    }
    return true;
}

bool Finite(const Vec3& p) {
    return std::isfinite(p[0]) && std::isfinite(p[1]) && std::isfinite(p[2]);
}

void Append(std::vector<float>& to, const Vec3& v) {
    to.insert(to.end(),
              {static_cast<float>(v[0]), static_cast<float>(v[1]), static_cast<float>(v[2])});
}

// One triangle with the normals given at its corners; a corner's normal without length becomes
// the triangle's own, and one of a degenerate triangle points along +Z.
void AddTriangle(MeshPart& part, const std::array<Vec3, 3>& corners, std::array<Vec3, 3> normals,
                 std::size_t& leftOut) {
    std::array<Vec3, 3> points{};
    for (int i = 0; i < 3; ++i) {
        points[i] = {static_cast<float>(corners[i][0]), static_cast<float>(corners[i][1]),
                     static_cast<float>(corners[i][2])};
        if (!Finite(points[i])) {
            ++leftOut;
            return;
        }
    }
    Vec3 face = Cross(
        {points[1][0] - points[0][0], points[1][1] - points[0][1], points[1][2] - points[0][2]},
        {points[2][0] - points[0][0], points[2][1] - points[0][1], points[2][2] - points[0][2]});
    if (!Normalise(face)) {
        face = {0.0, 0.0, 1.0};
    }
    for (int i = 0; i < 3; ++i) {
        Append(part.positions, points[i]);
        Append(part.normals, Normalise(normals[i]) ? normals[i] : face);
    }
}

void AddPolygons(const PolygonTriangles& polygons, SceneMesh& mesh) {
    const auto& v = polygons.vertices;
    const auto& n = polygons.normals;
    for (std::size_t at = 0; at + 9 <= v.size(); at += 9) {
        std::array<Vec3, 3> corners{};
        std::array<Vec3, 3> normals{};
        for (std::size_t i = 0; i < 3; ++i) {
            corners[i] = {v[at + 3 * i], v[at + 3 * i + 1], v[at + 3 * i + 2]};
            normals[i] = {n[at + 3 * i], n[at + 3 * i + 1], n[at + 3 * i + 2]};
        }
        AddTriangle(mesh.polygons, corners, normals, mesh.leftOut);
    }
}

// A homogeneous vertex of a tessellation in scene units.
Vec3 Divided(const Tessellation& t, std::size_t vertex) {
    const float* p = &t.vertices[t.size * vertex];
    const double w = t.size == 4 ? p[3] : 1.0;
    return {p[0] / w, p[1] / w, p[2] / w};
}

void AddSurfaces(const Tessellation& patches, SceneMesh& mesh) {
    const bool withNormals = patches.normals.size() == 3 * patches.VertexCount();
    for (std::size_t at = 0; at + 3 <= patches.VertexCount(); at += 3) {
        std::array<Vec3, 3> corners{};
        std::array<Vec3, 3> normals{};
        for (std::size_t i = 0; i < 3; ++i) {
            corners[i] = Divided(patches, at + i);
            if (withNormals) {
                const float* q = &patches.normals[3 * (at + i)];
                normals[i] = {q[0], q[1], q[2]};
            }
        }
        AddTriangle(mesh.surfaces, corners, normals, mesh.leftOut);
    }
}

// Each curve's segments joined into strips: a strip goes on while a segment starts where the one
// before it ended, and a new curve, or a point beyond the float range, starts another.
void AddCurves(const SceneGeometry& geometry, SceneMesh& mesh) {
    const Tessellation& lines = geometry.curves;
    Vec3 normal = kCurveNormal;
    Normalise(normal);
    MeshPart& part = mesh.curves;
    std::size_t curve = 0;
    bool open = false;
    Vec3 end{};
    for (std::size_t at = 0; at + 2 <= lines.VertexCount(); at += 2) {
        const bool first = curve < geometry.curveStarts.size() && geometry.curveStarts[curve] == at;
        curve += first ? 1 : 0;
        Vec3 a = Divided(lines, at);
        Vec3 b = Divided(lines, at + 1);
        a = {static_cast<float>(a[0]), static_cast<float>(a[1]), static_cast<float>(a[2])};
        b = {static_cast<float>(b[0]), static_cast<float>(b[1]), static_cast<float>(b[2])};
        if (!Finite(a) || !Finite(b)) {
            ++mesh.leftOut;
            open = false;
            continue;
        }
        if (first || !open || a != end) {
            part.strips.push_back(part.VertexCount());
            Append(part.positions, a);
            Append(part.normals, normal);
        }
        Append(part.positions, b);
        Append(part.normals, normal);
        end = b;
        open = true;
    }
}

}  // namespace

std::size_t SceneMesh::Triangles() const {
    return (polygons.VertexCount() + surfaces.VertexCount()) / 3;
}

std::size_t SceneMesh::Segments() const {
    return curves.VertexCount() - curves.strips.size();
}

SceneMesh MakeSceneMesh(const SceneGeometry& geometry) {
    SceneMesh mesh;
    AddPolygons(geometry.polygons, mesh);
    AddCurves(geometry, mesh);
    AddSurfaces(geometry.patches, mesh);
    return mesh;
}

std::optional<MeshFormat> MeshFormatOf(std::string_view path) {
    const std::size_t dot = path.rfind('.');
    const std::size_t slash = path.rfind('/');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) {
        return std::nullopt;
    }
    std::string extension(path.substr(dot + 1));
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    constexpr std::pair<std::string_view, MeshFormat> kFormats[] = {
        {"glb", MeshFormat::kGlb}, {"gltf", MeshFormat::kGltf}, {"obj", MeshFormat::kObj},
        {"ply", MeshFormat::kPly}, {"stl", MeshFormat::kStl},
    };
    for (const auto& [name, format] : kFormats) {
        if (extension == name) {
            return format;
        }
    }
    return std::nullopt;
}

namespace {

// The shortest text that reads back as the same float, in every locale.
void Number(std::string& out, double value) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, static_cast<float>(value));
    out.append(buffer, result.ptr);
}

void Line(std::string& out, const char* tag, const float* v, int n) {
    out += tag;
    for (int i = 0; i < n; ++i) {
        out += ' ';
        Number(out, v[i]);
    }
    out += '\n';
}

// OBJ: one object a kind, each vertex with the colour as its red, green and blue.
std::string WriteObj(const SceneMesh& mesh, const std::array<double, 3>& colour) {
    std::string out = "# kavelo-render: the tessellated scene, in scene units\n";
    std::size_t base = 1;  // OBJ counts vertices from 1, across objects
    for (const MeshPart* part : {&mesh.polygons, &mesh.curves, &mesh.surfaces}) {
        if (part->VertexCount() == 0) {
            continue;
        }
        out += std::string("o ") + part->name + "\n";
        for (std::size_t i = 0; i < part->VertexCount(); ++i) {
            const float rgbPoint[6] = {
                part->positions[3 * i],        part->positions[3 * i + 1],
                part->positions[3 * i + 2],    static_cast<float>(colour[0]),
                static_cast<float>(colour[1]), static_cast<float>(colour[2])};
            Line(out, "v", rgbPoint, 6);
            Line(out, "vn", &part->normals[3 * i], 3);
        }
        if (part == &mesh.curves) {
            for (std::size_t s = 0; s < part->strips.size(); ++s) {
                const std::size_t end =
                    s + 1 < part->strips.size() ? part->strips[s + 1] : part->VertexCount();
                out += "l";
                for (std::size_t i = part->strips[s]; i < end; ++i) {
                    out += " " + std::to_string(base + i);
                }
                out += "\n";
            }
        } else {
            for (std::size_t i = 0; i < part->VertexCount(); i += 3) {
                out += "f";
                for (std::size_t k = base + i; k < base + i + 3; ++k) {
                    out += " " + std::to_string(k) + "//" + std::to_string(k);
                }
                out += "\n";
            }
        }
        base += part->VertexCount();
    }
    return out;
}

template <class T>
void Put(std::string& out, T value) {
    static_assert(std::endian::native == std::endian::little);
    char bytes[sizeof(T)];
    std::memcpy(bytes, &value, sizeof(T));
    out.append(bytes, sizeof(T));
}

// PLY, binary little-endian: vertices with normal and colour, the triangles as faces, the
// curves' strips as edges.
std::string WritePly(const SceneMesh& mesh, const std::array<double, 3>& colour) {
    const MeshPart* parts[] = {&mesh.polygons, &mesh.curves, &mesh.surfaces};
    std::size_t vertices = 0;
    for (const MeshPart* part : parts) {
        vertices += part->VertexCount();
    }
    std::string out =
        "ply\nformat binary_little_endian 1.0\n"
        "comment kavelo-render: polygons, then curves, then surfaces, in scene units\n"
        "element vertex " +
        std::to_string(vertices) + "\n";
    for (const char* p : {"x", "y", "z", "nx", "ny", "nz"}) {
        out += std::string("property float ") + p + "\n";
    }
    out += "property uchar red\nproperty uchar green\nproperty uchar blue\n";
    out += "element face " + std::to_string(mesh.Triangles()) + "\n";
    out += "property list uchar int vertex_indices\n";
    out += "element edge " + std::to_string(mesh.Segments()) + "\n";
    out += "property int vertex1\nproperty int vertex2\nend_header\n";
    for (const MeshPart* part : parts) {
        for (std::size_t i = 0; i < part->VertexCount(); ++i) {
            for (int k = 0; k < 3; ++k) {
                Put(out, part->positions[3 * i + k]);
            }
            for (int k = 0; k < 3; ++k) {
                Put(out, part->normals[3 * i + k]);
            }
            for (const double c : colour) {
                Put(out, static_cast<std::uint8_t>(std::lround(std::clamp(c, 0.0, 1.0) * 255)));
            }
        }
    }
    const auto index = [](std::size_t i) { return static_cast<std::int32_t>(i); };
    const std::size_t curvesFrom = mesh.polygons.VertexCount();
    const std::size_t surfacesFrom = curvesFrom + mesh.curves.VertexCount();
    for (const auto& [part, from] :
         {std::pair{&mesh.polygons, std::size_t{0}}, std::pair{&mesh.surfaces, surfacesFrom}}) {
        for (std::size_t i = 0; i < part->VertexCount(); i += 3) {
            Put(out, std::uint8_t{3});
            for (std::size_t k = 0; k < 3; ++k) {
                Put(out, index(from + i + k));
            }
        }
    }
    const auto& strips = mesh.curves.strips;
    for (std::size_t s = 0; s < strips.size(); ++s) {
        const std::size_t end = s + 1 < strips.size() ? strips[s + 1] : mesh.curves.VertexCount();
        for (std::size_t i = strips[s] + 1; i < end; ++i) {
            Put(out, index(curvesFrom + i - 1));
            Put(out, index(curvesFrom + i));
        }
    }
    return out;
}

// STL, binary: each triangle with its face normal, which STL takes from the corners' order.
std::string WriteStl(const SceneMesh& mesh) {
    std::string out = "kavelo-render: the polygons and surfaces of the scene, in scene units";
    out.resize(80, ' ');
    Put(out, static_cast<std::uint32_t>(mesh.Triangles()));
    for (const MeshPart* part : {&mesh.polygons, &mesh.surfaces}) {
        const float* p = part->positions.data();
        for (std::size_t i = 0; i < part->VertexCount(); i += 3, p += 9) {
            Vec3 face = Cross({p[3] - p[0], p[4] - p[1], p[5] - p[2]},
                              {p[6] - p[0], p[7] - p[1], p[8] - p[2]});
            if (!Normalise(face)) {
                face = {0.0, 0.0, 0.0};  // a degenerate triangle: readers compute their own
            }
            for (const double c : face) {
                Put(out, static_cast<float>(c));
            }
            for (int k = 0; k < 9; ++k) {
                Put(out, p[k]);
            }
            Put(out, std::uint16_t{0});
        }
    }
    return out;
}

}  // namespace

std::string WriteMesh(const SceneMesh& mesh, MeshFormat format,
                      const std::array<double, 3>& colour) {
    switch (format) {
        case MeshFormat::kObj:
            return WriteObj(mesh, colour);
        case MeshFormat::kPly:
            return WritePly(mesh, colour);
        case MeshFormat::kStl:
            return WriteStl(mesh);
        case MeshFormat::kGlb:
        case MeshFormat::kGltf:
            break;
    }
    return WriteGltf(mesh, colour, format == MeshFormat::kGlb);
}

}  // namespace kavelo::mesh
