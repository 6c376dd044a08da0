#include <algorithm>
#include <cmath>
#include <utility>

#include "YK3DObject.h"
#include "YK3DObject_internal.h"
#include "yk_osmesa.h"

// Drawing a model into the current OpenGL context. There is no depth buffer: faces are drawn
// back to front, ordered by the depth of their centres under the current matrices.

namespace {

// Below this many faces a bucket is put in order by exchanges.
constexpr size_t kExchangeSortBelow = 5;

void ExchangeSort(int32* first, int32* last, const std::vector<float>& keys) {
    for (int32* i = first; i < last; ++i) {
        for (int32* j = i + 1; j < last; ++j) {
            if (keys[static_cast<size_t>(*j)] < keys[static_cast<size_t>(*i)]) {
                std::swap(*i, *j);
            }
        }
    }
}

// The model's colour for material `index`; faces naming no material take the default one.
YK3DMaterial MaterialOf(const std::vector<YK3DMaterial>& materials, int32 index) {
    return index >= 0 && static_cast<size_t>(index) < materials.size()
               ? materials[static_cast<size_t>(index)]
               : YK3DMaterial{};
}

void SetMaterial(const YKOSMesa& gl, const YK3DMaterial& material) {
    const float r = material.red, g = material.green, b = material.blue, a = material.alpha;
    // The lights' ambient is strong: a fifth of the colour keeps the shading visible.
    const float ambient[4] = {r * 0.2f, g * 0.2f, b * 0.2f, a};
    const float emission[4] = {r * material.luminosity, g * material.luminosity,
                               b * material.luminosity, a};
    const float diffuse[4] = {r * material.diffuse, g * material.diffuse, b * material.diffuse, a};
    const float specular[4] = {material.specular, material.specular, material.specular, a};
    gl.Materialfv(GL_FRONT_AND_BACK, GL_AMBIENT, ambient);
    gl.Materialfv(GL_FRONT_AND_BACK, GL_EMISSION, emission);
    gl.Materialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, diffuse);
    gl.Materialfv(GL_FRONT_AND_BACK, GL_SPECULAR, specular);
}

}  // namespace

// --- Face order ---

void YK3DObject::z_sort(std::vector<int32>* order, const std::vector<float>& keys) {
    // Ranges still to be put in order; a stack rather than recursion, so that no spread of keys
    // can exhaust the call stack.
    std::vector<std::pair<size_t, size_t>> pending{{0, order->size()}};
    std::vector<int32> scratch;
    std::vector<size_t> starts;
    while (!pending.empty()) {
        const auto [begin, end] = pending.back();
        pending.pop_back();
        int32* const first = order->data() + begin;
        const size_t count = end - begin;
        if (count < kExchangeSortBelow) {
            ExchangeSort(first, first + count, keys);
            continue;
        }
        float low = keys[static_cast<size_t>(first[0])];
        float high = low;
        for (size_t i = 1; i < count; ++i) {
            const float key = keys[static_cast<size_t>(first[i])];
            low = std::min(low, key);
            high = std::max(high, key);
        }
        if (!(low < high)) {
            continue;  // all keys equal (or not numbers): nothing to order
        }
        // One bucket per face; the lowest key lands in the first, the highest in the last, so
        // every bucket is smaller than the range it came from.
        const double scale = double(count - 1) / (double(high) - double(low));
        const auto bucketOf = [&](int32 face) {
            const double place = (double(keys[static_cast<size_t>(face)]) - low) * scale;
            return std::isfinite(place)
                       ? std::clamp<size_t>(static_cast<size_t>(std::lround(place)), 0, count - 1)
                       : size_t{0};
        };
        starts.assign(count + 1, 0);
        for (size_t i = 0; i < count; ++i) {
            ++starts[bucketOf(first[i]) + 1];
        }
        for (size_t b = 1; b <= count; ++b) {
            starts[b] += starts[b - 1];
        }
        scratch.resize(count);
        std::vector<size_t> fill(starts.begin(), starts.end() - 1);
        for (size_t i = 0; i < count; ++i) {
            scratch[fill[bucketOf(first[i])]++] = first[i];
        }
        std::copy(scratch.begin(), scratch.end(), first);
        for (size_t b = 0; b < count; ++b) {
            if (starts[b + 1] - starts[b] > 1) {
                pending.emplace_back(begin + starts[b], begin + starts[b + 1]);
            }
        }
    }
}

void YK3DObject::ComputeZbuf() {
    const YKOSMesa* gl = yk_osmesa();
    if (gl == nullptr) {
        return;
    }
    float modelview[16];
    float projection[16];
    gl->GetFloatv(GL_MODELVIEW_MATRIX, modelview);
    gl->GetFloatv(GL_PROJECTION_MATRIX, projection);
    // Only the third row of projection x modelview is needed (matrices are column-major).
    float row[4];
    for (int c = 0; c < 4; ++c) {
        row[c] = 0;
        for (int k = 0; k < 4; ++k) {
            row[c] += projection[k * 4 + 2] * modelview[c * 4 + k];
        }
    }
    const size_t count = mFaces.size();
    mDepthKeys.resize(count);
    mDrawOrder.resize(count);
    if (mFaceCentres.size() != count) {
        // A model its kind filled without Initialize().
        mFaceCentres = yk_3d::FaceCentres(mVertices, mFaces);
    }
    for (size_t i = 0; i < count; ++i) {
        const YK3DNormal& centre = mFaceCentres[i];
        mDepthKeys[i] = row[0] * centre.x + row[1] * centre.y + row[2] * centre.z + row[3];
        mDrawOrder[i] = static_cast<int32>(i);
    }
    z_sort(&mDrawOrder, mDepthKeys);
}

// --- Drawing ---

void YK3DObject::RenderObject(int32 quality) {
    const YKOSMesa* gl = yk_osmesa();
    if (gl == nullptr) {
        return;
    }
    ComputeZbuf();
    // Each face's first normal, as the normals are stored face after face.
    std::vector<size_t> firstNormal;
    if (quality == 0) {
        firstNormal.resize(mFaces.size());
        size_t next = 0;
        for (size_t i = 0; i < mFaces.size(); ++i) {
            firstNormal[i] = next;
            next += mFaces[i].vertices.size();
        }
    }
    const bool haveNormals =
        quality == 0 && (mFaces.empty() || firstNormal.back() + mFaces.back().vertices.size() <=
                                               mVertexNormals.size());
    const auto vertex = [&](int32 index) {
        const size_t v = static_cast<size_t>(index) * 3;
        gl->Vertex3f(mVertices[v], mVertices[v + 1], mVertices[v + 2]);
    };
    for (const int32 index : mDrawOrder) {
        const YK3DFace& face = mFaces[static_cast<size_t>(index)];
        if (quality == 2) {
            if (face.vertices.size() > 2) {
                gl->Color3f(0, 1, 0);
                gl->Begin(GL_LINE_LOOP);
                std::for_each(face.vertices.begin(), face.vertices.end(), vertex);
                gl->End();
            }
            continue;
        }
        const YK3DMaterial material = MaterialOf(mMaterials, face.material);
        if (quality == 1) {
            gl->Color3f(material.red, material.green, material.blue);
            gl->Begin(GL_POLYGON);
            std::for_each(face.vertices.begin(), face.vertices.end(), vertex);
            gl->End();
            continue;
        }
        SetMaterial(*gl, material);
        gl->Begin(GL_POLYGON);
        for (size_t k = 0; k < face.vertices.size(); ++k) {
            if (haveNormals) {
                const YK3DNormal& n = mVertexNormals[firstNormal[static_cast<size_t>(index)] + k];
                gl->Normal3f(n.x, n.y, n.z);
            }
            vertex(face.vertices[k]);
        }
        gl->End();
    }
}
