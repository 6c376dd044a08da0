// Reads arbitrary bytes as a LightWave object. A refused file must say why and leave the object
// empty; a read one must index only points and materials it has, carry finite normals, and
// archive into bytes that reload and write back the same.

#include <cmath>
#include <cstdlib>
#include <string>

#include "YKLightWaveObject.h"
#include "YKMessage.h"

namespace {

std::string Written(const YK3DObject& object) {
    YKMessage archive;
    object.Archive(&archive);
    return archive.Flatten();
}

bool Consistent(const YK3DObject& object) {
    size_t corners = 0;
    for (const YK3DFace& face : object.Faces()) {
        if (face.material < 0 || face.material >= int32(object.Materials().size())) {
            return false;
        }
        for (int32 v : face.vertices) {
            if (v < 0 || v >= object.CountVertices()) {
                return false;
            }
        }
        corners += face.vertices.size();
    }
    for (const YK3DNormal& n : object.VertexNormals()) {
        if (!std::isfinite(n.x) || !std::isfinite(n.y) || !std::isfinite(n.z)) {
            return false;
        }
    }
    for (float coordinate : object.Vertices()) {
        if (!(std::fabs(coordinate) <= 1.0001f)) {
            return false;
        }
    }
    return corners == object.VertexNormals().size();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    YKLightWaveObject object;
    std::string error;
    if (!object.ReadFrom(data, size, &error)) {
        if (error.empty() || object.IsLoaded() || object.CountFaces() != 0 ||
            object.CountVertices() != 0 || !object.Materials().empty()) {
            std::abort();
        }
        return 0;
    }
    if (!Consistent(object)) {
        std::abort();
    }
    YKMessage archive;
    object.Archive(&archive);
    const YK3DObject copy(&archive);
    if (!copy.IsLoaded() || Written(copy) != archive.Flatten()) {
        std::abort();
    }
    return 0;
}
