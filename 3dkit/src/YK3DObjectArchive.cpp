// The model in a layer's message. A name holds values of one type only, so each count keeps its
// key and the bytes it counts go under the key with "Data" added.

#include <bit>
#include <cmath>
#include <cstring>

#include "YK3DObject.h"
#include "YK3DObject_internal.h"
#include "YKMessage.h"

namespace {

static_assert(std::endian::native == std::endian::little,
              "archived numbers are little-endian, as the message is");

constexpr const char* kThreshold = "3D:Treshold";
constexpr const char* kMaterials = "3D:Material";
constexpr const char* kMaterialNames = "3D:MaterialNames";
constexpr const char* kMaterialData = "3D:MaterialData";
constexpr const char* kVertices = "3D:Vertex";
constexpr const char* kVertexData = "3D:VertexData";
constexpr const char* kFaces = "3D:Faces";
constexpr const char* kFaceData = "3D:FacesData";

constexpr size_t kNameBytes = 256;
constexpr size_t kMaterialBytes = 36;

void Append(std::string* bytes, const void* value, size_t size) {
    bytes->append(static_cast<const char*>(value), size);
}

// Reads fixed-size values from archived bytes, failing at their end.
class Reader {
public:
    Reader(const void* data, ssize_t size)
        : mData(static_cast<const char*>(data)), mLeft(size > 0 ? size_t(size) : 0) {}
    size_t Left() const { return mLeft; }
    template <typename T>
    bool Take(T* out) {
        if (mLeft < sizeof(T)) {
            return false;
        }
        std::memcpy(out, mData, sizeof(T));
        mData += sizeof(T);
        mLeft -= sizeof(T);
        return true;
    }
    bool Finite(float* out) { return Take(out) && std::isfinite(*out); }

private:
    const char* mData;
    size_t mLeft;
};

// A count and the bytes it counts; false when either is missing or the count is negative.
bool FindCounted(const YKMessage& archive, const char* countKey, const char* dataKey, int32* count,
                 const void** data, ssize_t* size) {
    return archive.FindInt32(countKey, count) && *count >= 0 &&
           archive.FindData(dataKey, YK_RAW_TYPE, data, size);
}

bool ReadMaterials(const YKMessage& archive, std::vector<YK3DMaterial>* materials) {
    int32 count = 0;
    const void *names = nullptr, *data = nullptr;
    ssize_t namesSize = 0, dataSize = 0;
    if (!FindCounted(archive, kMaterials, kMaterialData, &count, &data, &dataSize) ||
        !archive.FindData(kMaterialNames, YK_RAW_TYPE, &names, &namesSize) ||
        size_t(namesSize) != count * kNameBytes || size_t(dataSize) != count * kMaterialBytes) {
        return false;
    }
    Reader values(data, dataSize);
    materials->resize(size_t(count));
    for (int32 m = 0; m < count; ++m) {
        const char* name = static_cast<const char*>(names) + m * kNameBytes;
        if (std::memchr(name, 0, kNameBytes) == nullptr) {
            return false;
        }
        YK3DMaterial& material = (*materials)[m];
        material.name = name;
        float* fields[] = {&material.red,        &material.green,       &material.blue,
                           &material.luminosity, &material.diffuse,     &material.specular,
                           &material.reflection, &material.transparency};
        for (float* field : fields) {
            if (!values.Finite(field)) {
                return false;
            }
        }
        int32 unused;
        values.Take(&unused);
    }
    return true;
}

bool ReadVertices(const YKMessage& archive, std::vector<float>* vertices) {
    int32 count = 0;
    const void* data = nullptr;
    ssize_t size = 0;
    if (!FindCounted(archive, kVertices, kVertexData, &count, &data, &size) ||
        count > YK3DObject::kMaxVertices || size_t(size) != size_t(count) * 12) {
        return false;
    }
    Reader values(data, size);
    vertices->resize(size_t(count) * 3);
    for (float& coordinate : *vertices) {
        if (!values.Finite(&coordinate)) {
            return false;
        }
    }
    return true;
}

bool ReadFaces(const YKMessage& archive, int32 materials, int32 vertices,
               std::vector<YK3DFace>* faces) {
    int32 count = 0;
    const void* data = nullptr;
    ssize_t size = 0;
    if (!FindCounted(archive, kFaces, kFaceData, &count, &data, &size) ||
        size_t(count) > size_t(size) / 8) {
        return false;
    }
    Reader values(data, size);
    faces->resize(size_t(count));
    int64 corners = 0;
    for (YK3DFace& face : *faces) {
        int32 n = 0;
        if (!values.Take(&face.material) || !values.Take(&n) || face.material < 0 ||
            face.material >= materials || n < 0 || size_t(n) > values.Left() / 4 ||
            (corners += n) > YK3DObject::kMaxFaceVertices) {
            return false;
        }
        face.vertices.resize(size_t(n));
        for (int32& vertex : face.vertices) {
            values.Take(&vertex);
            if (vertex < 0 || vertex >= vertices) {
                return false;
            }
        }
    }
    // Bytes left over mean the count and the data disagree.
    return values.Left() == 0;
}

}  // namespace

YK3DObject::YK3DObject(const YKMessage* archive) {
    float threshold = mThreshold;
    std::vector<YK3DMaterial> materials;
    std::vector<float> vertices;
    std::vector<YK3DFace> faces;
    if (archive == nullptr ||
        (archive->FindFloat(kThreshold, &threshold) && !std::isfinite(threshold)) ||
        !ReadMaterials(*archive, &materials) || !ReadVertices(*archive, &vertices) ||
        !ReadFaces(*archive, int32(materials.size()), int32(vertices.size() / 3), &faces)) {
        return;
    }
    mThreshold = threshold;
    mMaterials = std::move(materials);
    mVertices = std::move(vertices);
    mFaces = std::move(faces);
    // The stored vertices were scaled when the model was read: scaling again would move them.
    mFaceNormals = yk_3d::FaceNormals(mVertices, mFaces);
    mVertexNormals = yk_3d::VertexNormals(mVertices, mFaces, mFaceNormals, mThreshold);
    mFaceCentres = yk_3d::FaceCentres(mVertices, mFaces);
    mRadius = yk_3d::FarthestDistance(mVertices);
    yk_3d::DrawInFileOrder(mFaces.size(), &mDepthKeys, &mDrawOrder);
    mLoaded = true;
}

void YK3DObject::Archive(YKMessage* archive) const {
    std::string names, materials, vertices, faces;
    for (const YK3DMaterial& material : mMaterials) {
        std::string name = material.name.substr(0, kNameBytes - 1);
        name.resize(kNameBytes, '\0');
        names += name;
        const float values[] = {material.red,        material.green,       material.blue,
                                material.luminosity, material.diffuse,     material.specular,
                                material.reflection, material.transparency};
        const int32 zero = 0;
        Append(&materials, values, sizeof values);
        Append(&materials, &zero, sizeof zero);
    }
    Append(&vertices, mVertices.data(), mVertices.size() * sizeof(float));
    for (const YK3DFace& face : mFaces) {
        const int32 count = static_cast<int32>(face.vertices.size());
        Append(&faces, &face.material, sizeof face.material);
        Append(&faces, &count, sizeof count);
        Append(&faces, face.vertices.data(), face.vertices.size() * sizeof(int32));
    }
    archive->AddFloat(kThreshold, mThreshold);
    archive->AddInt32(kMaterials, static_cast<int32>(mMaterials.size()));
    archive->AddData(kMaterialNames, YK_RAW_TYPE, names.data(), ssize_t(names.size()));
    archive->AddData(kMaterialData, YK_RAW_TYPE, materials.data(), ssize_t(materials.size()));
    archive->AddInt32(kVertices, CountVertices());
    archive->AddData(kVertexData, YK_RAW_TYPE, vertices.data(), ssize_t(vertices.size()));
    archive->AddInt32(kFaces, CountFaces());
    archive->AddData(kFaceData, YK_RAW_TYPE, faces.data(), ssize_t(faces.size()));
}
