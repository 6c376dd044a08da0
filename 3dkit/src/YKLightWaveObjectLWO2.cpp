// The later LightWave object format: layers each with their own point list, polygons of several
// kinds (only faces are shown; patches, curves and bones are passed over), surfaces named by
// tags and given to polygons by PTAG chunks. UV maps, images and envelopes are not read.

#include <algorithm>
#include <cmath>
#include <unordered_map>

#include "YKLightWaveObject_internal.h"

namespace yk_lightwave {
namespace {

constexpr uint32 kTAGS = 'TAGS', kLAYR = 'LAYR', kPNTS = 'PNTS', kPOLS = 'POLS', kPTAG = 'PTAG',
                 kSURF = 'SURF', kFACE = 'FACE';

bool Fail(std::string* error, const std::string& text) {
    *error = "LightWave object: " + text;
    return false;
}

// Where the polygons and tags of the file stand while its chunks are read.
struct State {
    std::vector<std::string> tags;
    std::vector<YK3DMaterial> surfaces;
    // A tag index per face, -1 until a PTAG gives one.
    std::vector<int64> faceTags;
    // The latest point list: polygons index it from 0.
    size_t pointBase = 0, pointCount = 0;
    // The latest list of faces, which PTAG chunks index from 0; empty after other polygons.
    size_t faceBase = 0, faceCount = 0;
};

bool ReadTags(Bytes chunk, State* state, std::string* error) {
    while (chunk.Left() > 0) {
        std::string tag;
        if (!chunk.Name(&tag)) {
            return Fail(error, "a tag in TAGS has no end");
        }
        if (state->tags.size() >= kMaxMaterials) {
            return Fail(error, "more than " + std::to_string(kMaxMaterials) + " tags");
        }
        state->tags.push_back(std::move(tag));
    }
    return true;
}

bool ReadPols(Bytes chunk, Model* model, State* state, std::string* error) {
    uint32 type = 0;
    if (!chunk.Id(&type)) {
        return Fail(error, "POLS has no polygon type");
    }
    state->faceBase = model->faces.size();
    state->faceCount = 0;
    if (type != kFACE) {
        return true;
    }
    while (chunk.Left() > 0) {
        uint16 flagsAndCount = 0;
        if (!chunk.U16(&flagsAndCount)) {
            return Fail(error, "a polygon in POLS is cut short");
        }
        // The top six bits are flags.
        const uint16 count = flagsAndCount & 0x03FF;
        if (!AddFaceVertices(count, model, error)) {
            return false;
        }
        YK3DFace face;
        face.vertices.reserve(std::min<size_t>(count, chunk.Left() / 2));
        for (uint16 v = 0; v < count; ++v) {
            uint32 index = 0;
            if (!chunk.VX(&index)) {
                return Fail(error, "a polygon in POLS is cut short");
            }
            if (index >= state->pointCount) {
                return Fail(error, "polygon " + std::to_string(model->faces.size()) +
                                       " uses point " + std::to_string(index) + " of " +
                                       std::to_string(state->pointCount) + " in its layer");
            }
            face.vertices.push_back(static_cast<int32>(state->pointBase + index));
        }
        if (count > 0) {
            model->faces.push_back(std::move(face));
            state->faceTags.push_back(-1);
            ++state->faceCount;
        }
    }
    return true;
}

bool ReadPolygonTags(Bytes chunk, State* state, std::string* error) {
    uint32 type = 0;
    if (!chunk.Id(&type)) {
        return Fail(error, "PTAG has no tag type");
    }
    if (type != kSURF) {
        return true;
    }
    while (chunk.Left() > 0) {
        uint32 polygon = 0;
        uint16 tag = 0;
        if (!chunk.VX(&polygon) || !chunk.U16(&tag)) {
            return Fail(error, "an entry of PTAG is cut short");
        }
        // Tags of patches or other polygons we pass over name no face; nothing to give them.
        if (state->faceCount == 0) {
            continue;
        }
        if (polygon >= state->faceCount) {
            return Fail(error, "PTAG names polygon " + std::to_string(polygon) + " of " +
                                   std::to_string(state->faceCount));
        }
        state->faceTags[state->faceBase + polygon] = tag;
    }
    return true;
}

bool ReadSurface(Bytes chunk, State* state, std::string* error) {
    YK3DMaterial surface;
    std::string source;
    if (!chunk.Name(&surface.name) || !chunk.Name(&source)) {
        return Fail(error, "the name of a SURF chunk has no end");
    }
    if (state->surfaces.size() >= kMaxMaterials) {
        return Fail(error, "more than " + std::to_string(kMaxMaterials) + " surfaces");
    }
    const bool read = ForEachChunk<2>(chunk, "SURF", error, [&](uint32 id, Bytes sub) {
        float* fields[3] = {};
        switch (id) {
            case 'COLR':
                fields[0] = &surface.red;
                fields[1] = &surface.green;
                fields[2] = &surface.blue;
                break;
            case 'LUMI':
                fields[0] = &surface.luminosity;
                break;
            case 'DIFF':
                fields[0] = &surface.diffuse;
                break;
            case kSpecularLevel:
                fields[0] = &surface.specular;
                break;
            case 'REFL':
                fields[0] = &surface.reflection;
                break;
            case 'TRAN':
                fields[0] = &surface.transparency;
                break;
            default:
                return true;
        }
        // Each value is followed by an envelope index, which we do not animate.
        for (float* field : fields) {
            float value = 0;
            if (field != nullptr && (!sub.F32(&value) || !std::isfinite(value))) {
                return Fail(error, IdText(id) + " of surface \"" + surface.name +
                                       "\" is cut short or not a finite number");
            }
            if (field != nullptr) {
                *field = value;
            }
        }
        return true;
    });
    if (read) {
        state->surfaces.push_back(std::move(surface));
    }
    return read;
}

// Materials for the tags that name a surface, in tag order; each face gets its tag's.
bool Finish(const State& state, Model* model, std::string* error) {
    std::unordered_map<std::string, const YK3DMaterial*> byName;
    for (const YK3DMaterial& surface : state.surfaces) {
        byName.emplace(surface.name, &surface);
    }
    std::vector<int32> tagMaterial(state.tags.size(), -1);
    for (size_t t = 0; t < state.tags.size(); ++t) {
        const auto found = byName.find(state.tags[t]);
        if (found != byName.end()) {
            tagMaterial[t] = static_cast<int32>(model->materials.size());
            model->materials.push_back(*found->second);
        }
    }
    int32 fallback = -1;
    for (size_t f = 0; f < model->faces.size(); ++f) {
        const int64 tag = state.faceTags[f];
        if (tag >= int64(state.tags.size())) {
            return Fail(error, "polygon " + std::to_string(f) + " has tag " + std::to_string(tag) +
                                   " of " + std::to_string(state.tags.size()));
        }
        const int32 material = tag < 0 ? -1 : tagMaterial[tag];
        model->faces[f].material = material >= 0 ? material : DefaultMaterial(model, &fallback);
    }
    return true;
}

}  // namespace

bool ReadLWO2(Bytes form, Model* model, std::string* error) {
    State state;
    const bool read = ForEachChunk<4>(form, "FORM", error, [&](uint32 id, Bytes chunk) {
        switch (id) {
            case kTAGS:
                return ReadTags(chunk, &state, error);
            case kLAYR:
                // A new layer: its polygons index its own points, which follow.
                state.pointBase = model->vertices.size() / 3;
                state.pointCount = 0;
                state.faceCount = 0;
                return true;
            case kPNTS:
                state.pointBase = model->vertices.size() / 3;
                if (!ReadPoints(chunk, model, error)) {
                    return false;
                }
                state.pointCount = model->vertices.size() / 3 - state.pointBase;
                return true;
            case kPOLS:
                return ReadPols(chunk, model, &state, error);
            case kPTAG:
                return ReadPolygonTags(chunk, &state, error);
            case kSURF:
                return ReadSurface(chunk, &state, error);
            default:
                return true;
        }
    });
    return read && Finish(state, model, error);
}

}  // namespace yk_lightwave
