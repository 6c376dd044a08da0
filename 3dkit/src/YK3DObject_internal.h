#pragma once

// The steps of preparing a model, shared by loading (which also scales the model into the unit
// sphere) and unarchiving (which takes the stored vertices as they are).

#include <vector>

#include "YK3DObject.h"

namespace yk_3d {

// The unit normal of each face's plane; zero for faces without an area.
std::vector<YK3DNormal> FaceNormals(const std::vector<float>& vertices,
                                    const std::vector<YK3DFace>& faces);
// A normal per face corner: the face's own averaged with those of the faces sharing the corner's
// vertex whose dot product with it is below sin(threshold).
std::vector<YK3DNormal> VertexNormals(const std::vector<float>& vertices,
                                      const std::vector<YK3DFace>& faces,
                                      const std::vector<YK3DNormal>& faceNormals,
                                      float thresholdDegrees);
// The mean of each face's vertices, the point the depth sort uses.
std::vector<YK3DNormal> FaceCentres(const std::vector<float>& vertices,
                                    const std::vector<YK3DFace>& faces);
// The largest distance of a vertex from the origin.
float FarthestDistance(const std::vector<float>& vertices);

// Keys of 0 and faces in file order: drawable before the first depth sort.
void DrawInFileOrder(size_t faces, std::vector<float>* keys, std::vector<int32>* order);

}  // namespace yk_3d
