#pragma once

// YKLightWaveObject: a model read from a LightWave object file, "LWOB" (points, polygons,
// surface names and surface attributes) or the later "LWO2" (layers, points, polygons, surface
// tags and surfaces with colour; UV maps and images are skipped).

#include "YK3DObject.h"

class YKLightWaveObject : public YK3DObject {
public:
    YKLightWaveObject() = default;
    explicit YKLightWaveObject(const YKMessage* archive) : YK3DObject(archive) {}

    // Replaces the model with the file's. False with `error` set on a file that is not a
    // LightWave object or is damaged; the object is then empty.
    bool Read(const char* path, std::string* error) override;
    // The same from bytes in memory (the file reader and the fuzz target share it).
    bool ReadFrom(const uint8* data, size_t size, std::string* error);
    // Whether `header` (the file's first 12 bytes) starts a LightWave object.
    static bool Check(const uint8* header, size_t size);
};
