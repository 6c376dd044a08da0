#pragma once

// YK3DObject: a polygon model as the 3D layer shows it. Materials (one per surface), vertices
// normalised into the unit sphere at load, faces indexing them, and a normal per face vertex
// smoothed across faces that meet at less than the threshold angle. Kinds read files
// (YKLightWaveObject); the base only holds, archives and draws a model.

#include <memory>
#include <string>
#include <vector>

#include "yk_types.h"

class YKMessage;

struct YK3DMaterial {
    std::string name;  // at most 255 bytes
    float red = 0.8f, green = 0.8f, blue = 0.8f, alpha = 1.0f;
    float luminosity = 0, diffuse = 1, specular = 0, reflection = 0, transparency = 0;
};

struct YK3DFace {
    int32 material = 0;
    std::vector<int32> vertices;  // indices into the vertex list, each checked at load
};

struct YK3DNormal {
    float x = 0, y = 0, z = 0;
};

class YK3DObject {
public:
    // Models larger than these are refused by readers and by archives.
    static constexpr int64 kMaxVertices = int64{1} << 24;
    static constexpr int64 kMaxFaceVertices = int64{1} << 26;

    YK3DObject() = default;
    // From an archive written by Archive(); an inconsistent archive leaves the object empty.
    explicit YK3DObject(const YKMessage* archive);
    YK3DObject(const YK3DObject&) = delete;
    YK3DObject& operator=(const YK3DObject&) = delete;
    virtual ~YK3DObject();

    void Archive(YKMessage* archive) const;

    // Face normals, smoothed vertex normals, centre points, then the scale into the unit sphere.
    void Initialize();
    // Reads a model file; the base reads nothing. Empty error on success.
    virtual bool Read(const char* path, std::string* error);
    // Whether the file at `path` is a model this system reads.
    static bool Check(const char* path);
    // The model in the file at `path`, or null with `error` set.
    static std::unique_ptr<YK3DObject> Create3DObject(const char* path, std::string* error);

    // --- Drawing into the current OpenGL context (the 3D layer makes one). Quality 0: lit,
    // smooth polygons; 1: flat polygons in material colours; 2: green outlines.
    void RenderObject(int32 quality);
    // Face depth keys under the current modelview and projection, then the faces sorted by them.
    void ComputeZbuf();
    // The distribution sort of the face order by key.
    static void z_sort(std::vector<int32>* order, const std::vector<float>& keys);

    int32 CountFaces() const { return static_cast<int32>(mFaces.size()); }
    int32 CountVertices() const { return static_cast<int32>(mVertices.size() / 3); }
    // The farthest vertex's distance from the origin as Initialize() found it, before it scaled
    // the model into the unit sphere; about 1 for a model from an archive.
    float Radius() const { return mRadius; }
    // Multiplies every vertex by `factor`.
    void Scale(float factor);
    void SetTreshold(float degrees) { mThreshold = degrees; }
    float Treshold() const { return mThreshold; }
    bool IsLoaded() const { return mLoaded; }

    const std::vector<YK3DMaterial>& Materials() const { return mMaterials; }
    // x, y, z per vertex.
    const std::vector<float>& Vertices() const { return mVertices; }
    const std::vector<YK3DFace>& Faces() const { return mFaces; }
    // One per face vertex, in face order.
    const std::vector<YK3DNormal>& VertexNormals() const { return mVertexNormals; }

protected:
    std::vector<YK3DMaterial> mMaterials;
    std::vector<float> mVertices;
    std::vector<YK3DFace> mFaces;
    std::vector<YK3DNormal> mFaceNormals;
    std::vector<YK3DNormal> mVertexNormals;
    std::vector<YK3DNormal> mFaceCentres;
    std::vector<float> mDepthKeys;
    std::vector<int32> mDrawOrder;
    float mThreshold = 89.5f;
    float mRadius = 0;
    bool mLoaded = false;
};
