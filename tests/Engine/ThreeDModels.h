#pragma once

// Models built in code for the 3D layer's tests and benchmark: a cube and a sphere of chosen
// face count, prepared as a file's model is (normals, centres, scaled into the unit sphere).

#include <cmath>
#include <memory>
#include <numbers>
#include <vector>

#include "YK3DObject.h"

class CodeModel : public YK3DObject {
public:
    CodeModel(std::vector<float> vertices, std::vector<YK3DFace> faces, YK3DMaterial material) {
        mVertices = std::move(vertices);
        mFaces = std::move(faces);
        mMaterials = {material};
        Initialize();
    }
};

inline YK3DMaterial RedMaterial() {
    YK3DMaterial material;
    material.name = "red";
    material.red = 1;
    material.green = 0.2f;
    material.blue = 0.4f;
    return material;
}

inline std::unique_ptr<YK3DObject> MakeCube() {
    std::vector<float> vertices;
    for (int i = 0; i < 8; ++i) {
        vertices.insert(vertices.end(),
                        {i & 1 ? 1.f : -1.f, i & 2 ? 1.f : -1.f, i & 4 ? 1.f : -1.f});
    }
    std::vector<YK3DFace> faces;
    for (const auto& quad : std::vector<std::vector<int32>>{
             {0, 1, 3, 2}, {4, 6, 7, 5}, {0, 4, 5, 1}, {2, 3, 7, 6}, {0, 2, 6, 4}, {1, 5, 7, 3}}) {
        faces.push_back({0, quad});
    }
    return std::make_unique<CodeModel>(std::move(vertices), std::move(faces), RedMaterial());
}

// `slices` x `stacks` faces: triangles at the poles, quads between.
inline std::unique_ptr<YK3DObject> MakeSphere(int32 slices, int32 stacks) {
    std::vector<float> vertices;
    for (int32 j = 0; j <= stacks; ++j) {
        const double theta = std::numbers::pi * j / stacks;
        for (int32 i = 0; i < slices; ++i) {
            const double phi = 2 * std::numbers::pi * i / slices;
            vertices.insert(vertices.end(),
                            {float(std::sin(theta) * std::cos(phi)), float(std::cos(theta)),
                             float(std::sin(theta) * std::sin(phi))});
        }
    }
    std::vector<YK3DFace> faces;
    const auto at = [slices](int32 i, int32 j) { return j * slices + i % slices; };
    for (int32 j = 0; j < stacks; ++j) {
        for (int32 i = 0; i < slices; ++i) {
            if (j == 0) {
                faces.push_back({0, {at(i, 0), at(i, 1), at(i + 1, 1)}});
            } else if (j == stacks - 1) {
                faces.push_back({0, {at(i, j), at(i, j + 1), at(i + 1, j)}});
            } else {
                faces.push_back({0, {at(i, j), at(i, j + 1), at(i + 1, j + 1), at(i + 1, j)}});
            }
        }
    }
    return std::make_unique<CodeModel>(std::move(vertices), std::move(faces), RedMaterial());
}
