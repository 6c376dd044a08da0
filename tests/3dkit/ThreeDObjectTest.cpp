#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>

#include "YK3DObject.h"
#include "YKMessage.h"

namespace {

// A model given in code, as a reader would leave it before Initialize().
class CodeModel : public YK3DObject {
public:
    CodeModel(std::vector<float> vertices, std::vector<YK3DFace> faces, float threshold) {
        mVertices = std::move(vertices);
        mFaces = std::move(faces);
        YK3DMaterial shiny;
        shiny.name = "shiny";
        shiny.red = 0.25f, shiny.specular = 0.75f, shiny.transparency = 0.125f;
        mMaterials = {YK3DMaterial(), shiny};
        SetTreshold(threshold);
        Initialize();
    }
};

// The cube of side 2 about the origin; each face's corners turn about its outward normal.
CodeModel Cube(float threshold) {
    std::vector<float> vertices;
    for (int i = 0; i < 8; ++i) {
        vertices.insert(vertices.end(),
                        {i & 1 ? 1.f : -1.f, i & 2 ? 1.f : -1.f, i & 4 ? 1.f : -1.f});
    }
    return CodeModel(vertices,
                     {{0, {0, 2, 3, 1}},
                      {1, {4, 5, 7, 6}},
                      {0, {0, 1, 5, 4}},
                      {1, {2, 6, 7, 3}},
                      {0, {0, 4, 6, 2}},
                      {1, {1, 3, 7, 5}}},
                     threshold);
}

const float* Position(const YK3DObject& model, int32 vertex) {
    return model.Vertices().data() + vertex * 3;
}

bool Finite(const YK3DNormal& n) {
    return std::isfinite(n.x) && std::isfinite(n.y) && std::isfinite(n.z);
}

std::string Flat(const YK3DObject& model) {
    YKMessage archive;
    model.Archive(&archive);
    return archive.Flatten();
}

}  // namespace

// At a cube's corner the three faces meet at right angles: a threshold near 90 degrees averages
// them (the corner's direction from the centre, a third of its length), 0 keeps each face's own.
TEST(ThreeDObjectTest, CornerNormalsFollowTheThreshold) {
    const CodeModel smooth = Cube(89.5f);
    const CodeModel sharp = Cube(0.0f);
    EXPECT_FLOAT_EQ(smooth.Radius(), std::sqrt(3.0f));
    ASSERT_EQ(smooth.VertexNormals().size(), 24u);
    size_t corner = 0;
    for (const YK3DFace& face : smooth.Faces()) {
        for (int32 v : face.vertices) {
            const float* p = Position(smooth, v);
            const YK3DNormal& n = smooth.VertexNormals()[corner];
            EXPECT_NEAR(n.x, p[0] / std::sqrt(3.0f), 1e-6);
            EXPECT_NEAR(n.y, p[1] / std::sqrt(3.0f), 1e-6);
            EXPECT_NEAR(n.z, p[2] / std::sqrt(3.0f), 1e-6);
            // Sharp: the face's outward axis, the one the corner shares with the whole face.
            const YK3DNormal& own = sharp.VertexNormals()[corner];
            EXPECT_FLOAT_EQ(own.x * own.x + own.y * own.y + own.z * own.z, 1);
            EXPECT_GT(own.x * p[0] + own.y * p[1] + own.z * p[2], 0);
            ++corner;
        }
    }
}

// Faces without an area get no NaN and lend nothing to the faces they touch.
TEST(ThreeDObjectTest, DegenerateFacesStayFinite) {
    const CodeModel model({0, 0, 0, 1, 0, 0, 0, 1, 0, 2, 0, 0},
                          {{0, {0, 1, 2}}, {0, {0, 1}}, {0, {0, 1, 3}}, {0, {1, 1, 2}}, {0, {2}}},
                          89.5f);
    for (const YK3DNormal& n : model.VertexNormals()) {
        EXPECT_TRUE(Finite(n));
    }
    for (size_t corner = 0; corner < 3; ++corner) {
        const YK3DNormal& n = model.VertexNormals()[corner];
        EXPECT_FLOAT_EQ(n.x, 0);
        EXPECT_FLOAT_EQ(n.y, 0);
        EXPECT_FLOAT_EQ(std::fabs(n.z), 1);
    }
}

// A vertex shared by very many faces (a cone's tip) averages them all from one sum; comparing
// each pair of 50,000 faces would take minutes.
TEST(ThreeDObjectTest, CrowdedVertexAveragesEveryFace) {
    const int32 sides = 50000;
    std::vector<float> vertices = {0, 0, 1};
    std::vector<YK3DFace> faces;
    for (int32 i = 0; i < sides; ++i) {
        const double angle = 2 * M_PI * i / sides;
        vertices.insert(vertices.end(), {float(std::cos(angle)), float(std::sin(angle)), 0});
        faces.push_back({0, {0, 1 + i, 1 + (i + 1) % sides}});
    }
    const CodeModel cone(vertices, faces, 89.5f);
    for (int32 f = 0; f < sides; f += 997) {
        const YK3DNormal& tip = cone.VertexNormals()[size_t(f) * 3];
        EXPECT_NEAR(tip.x, 0, 1e-4);
        EXPECT_NEAR(tip.y, 0, 1e-4);
        EXPECT_NEAR(std::fabs(tip.z), std::sqrt(0.5), 1e-3);
    }
}

TEST(ThreeDObjectTest, ArchiveRoundTripsByteForByte) {
    const CodeModel cube = Cube(30.0f);
    YKMessage archive;
    cube.Archive(&archive);
    const YK3DObject copy(&archive);
    EXPECT_TRUE(copy.IsLoaded());
    EXPECT_EQ(Flat(copy), archive.Flatten());
    EXPECT_FLOAT_EQ(copy.Treshold(), 30.0f);
    EXPECT_EQ(copy.Materials()[1].name, "shiny");
    EXPECT_FLOAT_EQ(copy.Materials()[1].transparency, 0.125f);
    ASSERT_EQ(copy.VertexNormals().size(), cube.VertexNormals().size());
    EXPECT_FLOAT_EQ(copy.VertexNormals()[5].y, cube.VertexNormals()[5].y);
}

TEST(ThreeDObjectTest, InconsistentArchivesLeaveTheObjectEmpty) {
    YKMessage good;
    Cube(89.5f).Archive(&good);
    const auto replaceData = [](const char* name, const std::function<void(std::string*)>& edit) {
        return [=](YKMessage* m) {
            const void* data;
            ssize_t size;
            m->FindData(name, YK_RAW_TYPE, &data, &size);
            std::string bytes(static_cast<const char*>(data), size_t(size));
            edit(&bytes);
            m->RemoveName(name);
            m->AddData(name, YK_RAW_TYPE, bytes.data(), ssize_t(bytes.size()));
        };
    };
    const auto putInt = [](size_t offset, int32 value) {
        return [=](std::string* bytes) { std::memcpy(bytes->data() + offset, &value, 4); };
    };
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const struct {
        const char* name;
        std::function<void(YKMessage*)> edit;
    } cases[] = {
        {"one vertex more than stored", [](YKMessage* m) { m->ReplaceInt32("3D:Vertex", 9); }},
        {"negative face count", [](YKMessage* m) { m->ReplaceInt32("3D:Faces", -1); }},
        {"vertex index out of range", replaceData("3D:FacesData", putInt(8, 8))},
        {"material index out of range", replaceData("3D:FacesData", putInt(0, 2))},
        {"corner count past the data", replaceData("3D:FacesData", putInt(4, 1000))},
        {"bytes after the last face",
         replaceData("3D:FacesData", [](std::string* b) { b->append(4, '\0'); })},
        {"coordinate not finite",
         replaceData("3D:VertexData",
                     [nan](std::string* b) { std::memcpy(b->data() + 4, &nan, 4); })},
        {"names short of the count",
         replaceData("3D:MaterialNames", [](std::string* b) { b->resize(256); })},
        {"name without an end",
         replaceData("3D:MaterialNames", [](std::string* b) { b->replace(0, 256, 256, 'x'); })},
        {"threshold not finite", [nan](YKMessage* m) { m->ReplaceFloat("3D:Treshold", nan); }},
        {"no faces", [](YKMessage* m) { m->RemoveName("3D:FacesData"); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        YKMessage archive = good;
        c.edit(&archive);
        const YK3DObject object(&archive);
        EXPECT_FALSE(object.IsLoaded());
        EXPECT_EQ(object.CountFaces(), 0);
        EXPECT_EQ(object.CountVertices(), 0);
        EXPECT_TRUE(object.Materials().empty());
    }
}
