#define TINYGLTF_IMPLEMENTATION
#define TINYGLTF_NO_STB_IMAGE
#define TINYGLTF_NO_STB_IMAGE_WRITE
#define TINYGLTF_NO_EXTERNAL_IMAGE
#include "mesh/gltf_writer.h"

#include <tiny_gltf.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <sstream>

namespace kavelo::mesh {

namespace {

constexpr int kArrayBuffer = 34962;  // bufferView target of vertex attributes

// The colour the picture shows, whose values are sRGB, as the linear factor glTF expects.
double Linear(double c) {
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

// Appends `count` vectors of three floats from `data` to the buffer, as a view of their own.
int AddView(tinygltf::Model& model, const float* data, std::size_t count) {
    std::vector<unsigned char>& bytes = model.buffers[0].data;
    tinygltf::BufferView view;
    view.buffer = 0;
    view.byteOffset = bytes.size();
    view.byteLength = count * 3 * sizeof(float);
    view.byteStride = 3 * sizeof(float);  // strips share a view, each with an accessor of its own
    view.target = kArrayBuffer;
    const auto* raw = reinterpret_cast<const unsigned char*>(data);
    bytes.insert(bytes.end(), raw, raw + view.byteLength);
    model.bufferViews.push_back(view);
    return static_cast<int>(model.bufferViews.size() - 1);
}

// An accessor of `count` vectors from vertex `first` of the view; with their bounds when asked,
// as positions need.
int AddAccessor(tinygltf::Model& model, int view, const float* data, std::size_t first,
                std::size_t count, bool bounds) {
    tinygltf::Accessor a;
    a.bufferView = view;
    a.byteOffset = first * 3 * sizeof(float);
    a.componentType = TINYGLTF_COMPONENT_TYPE_FLOAT;
    a.type = TINYGLTF_TYPE_VEC3;
    a.count = count;
    if (bounds) {
        a.minValues.assign(3, std::numeric_limits<double>::infinity());
        a.maxValues.assign(3, -std::numeric_limits<double>::infinity());
        for (std::size_t i = first; i < first + count; ++i) {
            for (int k = 0; k < 3; ++k) {
                a.minValues[k] = std::min<double>(a.minValues[k], data[3 * i + k]);
                a.maxValues[k] = std::max<double>(a.maxValues[k], data[3 * i + k]);
            }
        }
    }
    model.accessors.push_back(a);
    return static_cast<int>(model.accessors.size() - 1);
}

// One mesh and its node for a kind: its triangles as one primitive, or each strip as one.
void AddPart(tinygltf::Model& model, const MeshPart& part, bool lines) {
    if (part.VertexCount() == 0) {
        return;
    }
    const int positions = AddView(model, part.positions.data(), part.VertexCount());
    const int normals = AddView(model, part.normals.data(), part.VertexCount());
    tinygltf::Mesh mesh;
    mesh.name = part.name;
    const std::vector<std::size_t> whole = {0};
    const std::vector<std::size_t>& starts = lines ? part.strips : whole;
    for (std::size_t s = 0; s < starts.size(); ++s) {
        const std::size_t end = s + 1 < starts.size() ? starts[s + 1] : part.VertexCount();
        const std::size_t count = end - starts[s];
        tinygltf::Primitive primitive;
        primitive.attributes["POSITION"] =
            AddAccessor(model, positions, part.positions.data(), starts[s], count, true);
        primitive.attributes["NORMAL"] =
            AddAccessor(model, normals, part.normals.data(), starts[s], count, false);
        primitive.material = 0;
        primitive.mode = lines ? TINYGLTF_MODE_LINE_STRIP : TINYGLTF_MODE_TRIANGLES;
        mesh.primitives.push_back(std::move(primitive));
    }
    model.meshes.push_back(std::move(mesh));
    tinygltf::Node node;
    node.name = part.name;
    node.mesh = static_cast<int>(model.meshes.size() - 1);
    model.nodes.push_back(std::move(node));
    model.scenes[0].nodes.push_back(static_cast<int>(model.nodes.size() - 1));
}

}  // namespace

std::string WriteGltf(const SceneMesh& mesh, const std::array<double, 3>& colour, bool binary) {
    tinygltf::Model model;
    model.asset.version = "2.0";
    model.asset.generator = "kavelo-render";
    model.scenes.emplace_back();
    model.scenes[0].name = "scene";
    model.defaultScene = 0;
    model.buffers.emplace_back();
    tinygltf::Material material;
    material.name = "scene";
    material.pbrMetallicRoughness.baseColorFactor = {Linear(colour[0]), Linear(colour[1]),
                                                     Linear(colour[2]), 1.0};
    material.pbrMetallicRoughness.metallicFactor = 0.0;
    material.doubleSided = true;  // the picture culls no face
    model.materials.push_back(material);
    AddPart(model, mesh.polygons, false);
    AddPart(model, mesh.curves, true);
    AddPart(model, mesh.surfaces, false);
    if (model.buffers[0].data.empty()) {
        model.buffers.clear();
        model.materials.clear();
    }
    std::ostringstream out;
    tinygltf::TinyGLTF writer;
    writer.WriteGltfSceneToStream(&model, out, !binary, binary);
    return out.str();
}

}  // namespace kavelo::mesh
