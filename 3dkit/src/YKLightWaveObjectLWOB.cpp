// The first LightWave object format: one point list, polygons numbering their surface in the
// list of surface names, and a SURF chunk per surface with its attributes.

#include <cmath>
#include <unordered_map>

#include "YKLightWaveObject_internal.h"

namespace yk_lightwave {
namespace {

constexpr uint32 kPNTS = 'PNTS', kPOLS = 'POLS', kSRFS = 'SRFS', kSURF = 'SURF';

bool Fail(std::string* error, const std::string& text) {
    *error = "LightWave object: " + text;
    return false;
}

// --- Polygons

// Calls `visit(indices, count, surface)` for each polygon of a POLS chunk that has vertices,
// its 1-based surface number made positive; the detail polygons that a negative surface number
// announces are passed over. Counting and filling both walk through here, so both see the
// same polygons.
template <typename Visit>
bool WalkPolygons(Bytes chunk, std::string* error, Visit&& visit) {
    while (chunk.Left() > 0) {
        uint16 count = 0, rawSurface = 0;
        Bytes indices;
        if (!chunk.U16(&count) || !chunk.Split(size_t(count) * 2, &indices) ||
            !chunk.U16(&rawSurface)) {
            return Fail(error, "a polygon in POLS is cut short");
        }
        int32 surface = static_cast<int16>(rawSurface);
        if (surface < 0) {
            surface = -surface;
            uint16 details = 0;
            if (!chunk.U16(&details)) {
                return Fail(error, "the detail count of a polygon in POLS is cut short");
            }
            for (uint16 d = 0; d < details; ++d) {
                uint16 detailCount = 0;
                if (!chunk.U16(&detailCount) || !chunk.Skip(size_t(detailCount) * 2 + 2)) {
                    return Fail(error, "a detail polygon in POLS is cut short");
                }
            }
        }
        if (count > 0) {
            visit(indices, count, surface);
        }
    }
    return true;
}

bool ReadPols(Bytes chunk, Model* model, std::string* error) {
    size_t faces = 0, faceVertices = 0;
    if (!WalkPolygons(chunk, error, [&](Bytes, uint16 count, int32) {
            ++faces;
            faceVertices += count;
        })) {
        return false;
    }
    if (!AddFaceVertices(faceVertices, model, error)) {
        return false;
    }
    model->faces.reserve(model->faces.size() + faces);
    return WalkPolygons(chunk, error, [&](Bytes indices, uint16 count, int32 surface) {
        YK3DFace& face = model->faces.emplace_back();
        // Checked against the material list once the whole file is read.
        face.material = surface - 1;
        face.vertices.resize(count);
        for (int32& vertex : face.vertices) {
            uint16 index = 0;
            indices.U16(&index);
            vertex = index;
        }
    });
}

// --- Surfaces

bool ReadSurfaceList(Bytes chunk, Model* model, std::string* error) {
    while (chunk.Left() > 0) {
        YK3DMaterial material;
        if (!chunk.Name(&material.name)) {
            return Fail(error, "a surface name in SRFS has no end");
        }
        if (model->materials.size() >= kMaxMaterials) {
            return Fail(error, "more than " + std::to_string(kMaxMaterials) + " surfaces");
        }
        model->materials.push_back(std::move(material));
    }
    return true;
}

bool ReadSurface(Bytes chunk, std::vector<YK3DMaterial>* surfaces, std::string* error) {
    YK3DMaterial surface;
    if (!chunk.Name(&surface.name)) {
        return Fail(error, "the name of a SURF chunk has no end");
    }
    const bool read = ForEachChunk<2>(chunk, "SURF", error, [&](uint32 id, Bytes sub) {
        float* field = nullptr;
        bool fixedPoint = false;
        switch (id) {
            case 'COLR': {
                uint8 rgba[4];
                if (!sub.U8(&rgba[0]) || !sub.U8(&rgba[1]) || !sub.U8(&rgba[2]) ||
                    !sub.U8(&rgba[3])) {
                    return Fail(error, "COLR of surface \"" + surface.name + "\" is cut short");
                }
                surface.red = rgba[0] / 255.0f;
                surface.green = rgba[1] / 255.0f;
                surface.blue = rgba[2] / 255.0f;
                surface.alpha = rgba[3] / 255.0f;
                return true;
            }
            case 'LUMI':
                fixedPoint = true;
                [[fallthrough]];
            case 'VLUM':
                field = &surface.luminosity;
                break;
            case 'DIFF':
                fixedPoint = true;
                [[fallthrough]];
            case 'VDIF':
                field = &surface.diffuse;
                break;
            case kSpecularLevel:
                fixedPoint = true;
                [[fallthrough]];
            case 'VSPC':
                field = &surface.specular;
                break;
            case 'REFL':
                fixedPoint = true;
                [[fallthrough]];
            case 'VRFL':
                field = &surface.reflection;
                break;
            case 'TRAN':
                fixedPoint = true;
                [[fallthrough]];
            case 'VTRN':
                field = &surface.transparency;
                break;
            default:
                return true;
        }
        uint16 fixed = 0;
        float value = 0;
        const bool ok = fixedPoint ? sub.U16(&fixed) : sub.F32(&value);
        if (!ok || !std::isfinite(value)) {
            return Fail(error, IdText(id) + " of surface \"" + surface.name +
                                   "\" is cut short or not a finite number");
        }
        *field = fixedPoint ? fixed / 256.0f : value;
        return true;
    });
    if (read) {
        surfaces->push_back(std::move(surface));
    }
    return read;
}

// --- After the last chunk

bool Finish(const std::vector<YK3DMaterial>& surfaces, Model* model, std::string* error) {
    // Each SURF describes the listed surface of its name; others describe nothing shown.
    std::unordered_map<std::string, const YK3DMaterial*> byName;
    for (const YK3DMaterial& surface : surfaces) {
        byName.emplace(surface.name, &surface);
    }
    for (YK3DMaterial& material : model->materials) {
        const auto found = byName.find(material.name);
        if (found != byName.end()) {
            material = *found->second;
        }
    }
    const int32 listed = static_cast<int32>(model->materials.size());
    const int64 points = static_cast<int64>(model->vertices.size() / 3);
    int32 fallback = -1;
    for (size_t f = 0; f < model->faces.size(); ++f) {
        YK3DFace& face = model->faces[f];
        if (face.material < 0 || face.material >= listed) {
            face.material = DefaultMaterial(model, &fallback);
        }
        for (int32 vertex : face.vertices) {
            if (vertex >= points) {
                return Fail(error, "polygon " + std::to_string(f) + " uses point " +
                                       std::to_string(vertex) + " of " + std::to_string(points));
            }
        }
    }
    return true;
}

}  // namespace

bool ReadLWOB(Bytes form, Model* model, std::string* error) {
    std::vector<YK3DMaterial> surfaces;
    const bool read = ForEachChunk<4>(form, "FORM", error, [&](uint32 id, Bytes chunk) {
        switch (id) {
            case kPNTS:
                return ReadPoints(chunk, model, error);
            case kPOLS:
                return ReadPols(chunk, model, error);
            case kSRFS:
                return ReadSurfaceList(chunk, model, error);
            case kSURF:
                if (surfaces.size() >= kMaxMaterials) {
                    return Fail(error, "more than " + std::to_string(kMaxMaterials) + " surfaces");
                }
                return ReadSurface(chunk, &surfaces, error);
            default:
                return true;
        }
    });
    return read && Finish(surfaces, model, error);
}

}  // namespace yk_lightwave
