#include "YK3DObject.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <numeric>

#include "YK3DObject_internal.h"
#include "YKLightWaveObject.h"
#include "yk_open_input.h"

namespace yk_3d {

namespace {

// Above this many faces around one vertex, every one of them is averaged in without the angle
// test: comparing each pair would make a hostile fan of a million faces take hours.
constexpr size_t kMaxTestedValence = 64;

double Length(double x, double y, double z) {
    return std::pow(x * x + y * y + z * z, 0.5);
}

const float* Vertex(const std::vector<float>& vertices, int32 index) {
    return vertices.data() + size_t(index) * 3;
}

}  // namespace

std::vector<YK3DNormal> FaceNormals(const std::vector<float>& vertices,
                                    const std::vector<YK3DFace>& faces) {
    std::vector<YK3DNormal> normals(faces.size());
    for (size_t f = 0; f < faces.size(); ++f) {
        const std::vector<int32>& corners = faces[f].vertices;
        // Newell's sum: the plane's normal however the corners bend away from it, the usual
        // cross product for triangles. LightWave lists corners clockwise as seen from the front
        // of the face, so the normal points out of the front.
        double x = 0, y = 0, z = 0;
        for (size_t c = 0; c < corners.size(); ++c) {
            const float* a = Vertex(vertices, corners[c]);
            const float* b = Vertex(vertices, corners[(c + 1) % corners.size()]);
            x += (double(a[1]) - b[1]) * (double(a[2]) + b[2]);
            y += (double(a[2]) - b[2]) * (double(a[0]) + b[0]);
            z += (double(a[0]) - b[0]) * (double(a[1]) + b[1]);
        }
        const double length = Length(x, y, z);
        if (length > 0 && std::isfinite(length)) {
            normals[f] = {float(x / length), float(y / length), float(z / length)};
        }
    }
    return normals;
}

std::vector<YK3DNormal> VertexNormals(const std::vector<float>& vertices,
                                      const std::vector<YK3DFace>& faces,
                                      const std::vector<YK3DNormal>& faceNormals,
                                      float thresholdDegrees) {
    // The faces around each vertex, each once, as one list cut by offsets.
    const size_t vertexCount = vertices.size() / 3;
    std::vector<size_t> offsets(vertexCount + 1, 0);
    std::vector<int64> lastFace(vertexCount, -1);
    size_t corners = 0;
    for (size_t f = 0; f < faces.size(); ++f) {
        for (int32 v : faces[f].vertices) {
            if (lastFace[v] != int64(f)) {
                lastFace[v] = int64(f);
                ++offsets[v + 1];
            }
        }
        corners += faces[f].vertices.size();
    }
    std::partial_sum(offsets.begin(), offsets.end(), offsets.begin());
    std::vector<int32> around(offsets.back());
    std::vector<size_t> fill(offsets.begin(), offsets.end() - 1);
    std::fill(lastFace.begin(), lastFace.end(), -1);
    for (size_t f = 0; f < faces.size(); ++f) {
        for (int32 v : faces[f].vertices) {
            if (lastFace[v] != int64(f)) {
                lastFace[v] = int64(f);
                around[fill[v]++] = static_cast<int32>(f);
            }
        }
    }

    const float s = std::sin(3.1415927f * thresholdDegrees / 180.0f);
    std::vector<YK3DNormal> normals;
    normals.reserve(corners);
    for (size_t f = 0; f < faces.size(); ++f) {
        const YK3DNormal& own = faceNormals[f];
        for (int32 v : faces[f].vertices) {
            const size_t valence = offsets[v + 1] - offsets[v];
            double x = own.x, y = own.y, z = own.z;
            int32 added = 1;
            for (size_t i = offsets[v]; i < offsets[v + 1]; ++i) {
                const int32 g = around[i];
                const YK3DNormal& other = faceNormals[g];
                const float dot = own.x * other.x + own.y * other.y + own.z * other.z;
                // A face without a plane has no direction to lend.
                const bool flat = other.x == 0 && other.y == 0 && other.z == 0;
                if (size_t(g) != f && !flat && (valence > kMaxTestedValence || dot < s)) {
                    x += other.x;
                    y += other.y;
                    z += other.z;
                    ++added;
                }
            }
            normals.push_back({float(x / added), float(y / added), float(z / added)});
        }
    }
    return normals;
}

std::vector<YK3DNormal> FaceCentres(const std::vector<float>& vertices,
                                    const std::vector<YK3DFace>& faces) {
    std::vector<YK3DNormal> centres(faces.size());
    for (size_t f = 0; f < faces.size(); ++f) {
        const std::vector<int32>& corners = faces[f].vertices;
        if (corners.empty()) {
            continue;
        }
        double x = 0, y = 0, z = 0;
        for (int32 v : corners) {
            const float* p = Vertex(vertices, v);
            x += p[0];
            y += p[1];
            z += p[2];
        }
        const double n = double(corners.size());
        centres[f] = {float(x / n), float(y / n), float(z / n)};
    }
    return centres;
}

float FarthestDistance(const std::vector<float>& vertices) {
    double farthest = 0;
    for (size_t i = 0; i + 2 < vertices.size(); i += 3) {
        farthest = std::max(farthest, Length(vertices[i], vertices[i + 1], vertices[i + 2]));
    }
    return float(farthest);
}

void DrawInFileOrder(size_t faces, std::vector<float>* keys, std::vector<int32>* order) {
    keys->assign(faces, 0.0f);
    order->resize(faces);
    std::iota(order->begin(), order->end(), 0);
}

}  // namespace yk_3d

namespace {

// The first bytes of the file at `path`, as many as it has up to `size`.
bool ReadHeader(const char* path, uint8* header, size_t size, size_t* got, std::string* reason) {
    const int fd = yk_open_input(path, reason);
    if (fd < 0) {
        return false;
    }
    const ssize_t count = read(fd, header, size);
    close(fd);
    *got = count > 0 ? size_t(count) : 0;
    return true;
}

}  // namespace

YK3DObject::~YK3DObject() = default;

// --- Preparing the model

void YK3DObject::Initialize() {
    mFaceNormals = yk_3d::FaceNormals(mVertices, mFaces);
    mVertexNormals = yk_3d::VertexNormals(mVertices, mFaces, mFaceNormals, mThreshold);
    mFaceCentres = yk_3d::FaceCentres(mVertices, mFaces);
    mRadius = yk_3d::FarthestDistance(mVertices);
    if (mRadius > 0) {
        Scale(1.0f / mRadius);
    }
    yk_3d::DrawInFileOrder(mFaces.size(), &mDepthKeys, &mDrawOrder);
}

void YK3DObject::Scale(float factor) {
    for (float& coordinate : mVertices) {
        coordinate *= factor;
    }
    // The centres follow the vertices so that the depth sort keeps seeing the same faces.
    for (YK3DNormal& centre : mFaceCentres) {
        centre = {centre.x * factor, centre.y * factor, centre.z * factor};
    }
}

// --- Files

bool YK3DObject::Read(const char*, std::string* error) {
    *error = "This kind of 3D object reads no files";
    return false;
}

bool YK3DObject::Check(const char* path) {
    uint8 header[12];
    size_t got = 0;
    std::string reason;
    return ReadHeader(path, header, sizeof header, &got, &reason) &&
           YKLightWaveObject::Check(header, got);
}

std::unique_ptr<YK3DObject> YK3DObject::Create3DObject(const char* path, std::string* error) {
    uint8 header[12];
    size_t got = 0;
    std::string reason;
    if (!ReadHeader(path, header, sizeof header, &got, &reason)) {
        *error = std::string("Cannot read \"") + (path != nullptr ? path : "") + "\": " + reason;
        return nullptr;
    }
    if (!YKLightWaveObject::Check(header, got)) {
        *error = std::string("\"") + path + "\" is not a 3D object this system reads";
        return nullptr;
    }
    auto object = std::make_unique<YKLightWaveObject>();
    if (!object->Read(path, error)) {
        return nullptr;
    }
    return object;
}
