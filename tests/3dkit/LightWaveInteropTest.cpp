// Our LightWave reader against assimp's on every LightWave object among assimp's test models:
// where both read a file, they agree on what can be compared; where one refuses, the table
// below says which and why.

#include <assimp/cimport.h>
#include <assimp/material.h>
#include <assimp/scene.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>

#include "YKLightWaveObject.h"

namespace {

const char* const kModels = "/usr/share/assimp/models";

using Position = std::array<float, 3>;

// What both readers can say about a model, in the file's own coordinates.
struct Summary {
    size_t polygons = 0;
    std::set<Position> positions;  // distinct positions of the points polygons use
    std::set<std::string> surfaces;
    Position low{}, high{};
};

void Include(Summary* summary, const Position& p) {
    if (summary->positions.empty()) {
        summary->low = summary->high = p;
    }
    summary->positions.insert(p);
    for (int axis = 0; axis < 3; ++axis) {
        summary->low[axis] = std::min(summary->low[axis], p[axis]);
        summary->high[axis] = std::max(summary->high[axis], p[axis]);
    }
}

// Ours, scaled back by the radius the reader divided by.
Summary Ours(const YK3DObject& model) {
    Summary summary;
    summary.polygons = model.Faces().size();
    const float radius = model.Radius();
    for (const YK3DFace& face : model.Faces()) {
        summary.surfaces.insert(model.Materials()[face.material].name);
        for (int32 v : face.vertices) {
            const float* p = model.Vertices().data() + v * 3;
            Include(&summary, {p[0] * radius, p[1] * radius, p[2] * radius});
        }
    }
    return summary;
}

// Assimp's meshes, one per surface and with every corner a vertex of its own, summed up. Assimp
// turns LightWave's left-handed axes into right-handed ones by negating z; it is turned back.
Summary Theirs(const aiScene& scene) {
    Summary summary;
    for (unsigned m = 0; m < scene.mNumMeshes; ++m) {
        const aiMesh& mesh = *scene.mMeshes[m];
        summary.polygons += mesh.mNumFaces;
        aiString name;
        aiGetMaterialString(scene.mMaterials[mesh.mMaterialIndex], AI_MATKEY_NAME, &name);
        summary.surfaces.insert(name.C_Str());
        for (unsigned f = 0; f < mesh.mNumFaces; ++f) {
            for (unsigned i = 0; i < mesh.mFaces[f].mNumIndices; ++i) {
                const aiVector3D& p = mesh.mVertices[mesh.mFaces[f].mIndices[i]];
                Include(&summary, {p.x, p.y, -p.z});
            }
        }
    }
    return summary;
}

// Assimp's summary of the file, or none when it refuses it.
std::optional<Summary> ReadByAssimp(const std::filesystem::path& path, std::string* error) {
    // No post-processing: triangulating or dropping degenerate faces would change the counts.
    const aiScene* scene = aiImportFile(path.c_str(), 0);
    std::optional<Summary> summary;
    if (scene != nullptr && scene->mNumMeshes > 0) {
        summary = Theirs(*scene);
    } else {
        *error = aiGetErrorString();
    }
    aiReleaseImport(scene);
    return summary;
}

void ExpectAgree(const Summary& ours, const Summary& theirs) {
    EXPECT_EQ(ours.polygons, theirs.polygons);
    // Ours went through the scale into the unit sphere and back: equal within rounding, so
    // points are counted rather than matched.
    EXPECT_EQ(ours.positions.size(), theirs.positions.size());
    EXPECT_EQ(ours.surfaces, theirs.surfaces);
    for (int axis = 0; axis < 3; ++axis) {
        EXPECT_NEAR(ours.low[axis], theirs.low[axis], 1e-5f) << "axis " << axis;
        EXPECT_NEAR(ours.high[axis], theirs.high[axis], 1e-5f) << "axis " << axis;
    }
}

bool IsLightWave(const std::filesystem::path& path) {
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(), ::tolower);
    uint8 header[12] = {};
    std::ifstream(path, std::ios::binary).read(reinterpret_cast<char*>(header), sizeof header);
    return extension == ".lwo" || YKLightWaveObject::Check(header, sizeof header);
}

// The files on which the two readers part, and why.
struct Parting {
    const char* file;
    // Assimp refuses the file: compared instead with assimp's reading of this copy of the same
    // model saved as LWO2. Null when assimp reads the file.
    const char* twin;
    // We read no polygons where assimp reads some.
    bool weSkip;
    const char* why;
};

const Parting kPartings[] = {
    {"LWO/LWOB/ConcavePolygon.lwo", "LWO/LWO2/concave_polygon.lwo", false,
     "assimp 5.2.5 refuses every LWOB file (\"Unable to build a valid node graph\")"},
    {"LWO/LWOB/formatDetection", "LWO/LWO2/formatDetection", false, "the same"},
    {"LWO/LWOB/sphere_with_mat_gloss_10pc.lwo", "LWO/LWO2/sphere_with_mat_gloss_10pc.lwo", false,
     "the same"},
    {"LWO/LWOB/sphere_with_mat_gloss_50pc.lwo", "LWO/LWO2/sphere_with_mat_gloss_10pc.lwo", false,
     "the same; only the gloss differs between the two"},
    {"LWO/LWOB/MappingModes/bluewithcylindrictexz.lwo", nullptr, false,
     "the same; no LWO2 copy, so only our reading is checked (a box: 8 points, 6 faces)"},
    {"LWO/LWO2/Subdivision.lwo", nullptr, true,
     "its polygons are subdivision patches (PTCH), which we pass over; assimp reads them as "
     "plain polygons"},
};

const Parting* FindParting(const std::string& file) {
    for (const Parting& parting : kPartings) {
        if (file == parting.file) {
            return &parting;
        }
    }
    return nullptr;
}

}  // namespace

TEST(LightWaveInteropTest, AgreesWithAssimpOnItsTestModels) {
    if (!std::filesystem::is_directory(kModels)) {
        GTEST_SKIP() << "assimp's test models are not installed (assimp-testmodels)";
    }
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(kModels)) {
        if (entry.is_regular_file() && IsLightWave(entry.path())) {
            files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    ASSERT_GE(files.size(), 40u);
    size_t agreed = 0;
    for (const auto& path : files) {
        const std::string file = path.lexically_relative(kModels).string();
        SCOPED_TRACE(file);
        YKLightWaveObject ours;
        std::string ourError, theirError;
        const bool weRead = ours.Read(path.c_str(), &ourError);
        const std::optional<Summary> theirs = ReadByAssimp(path, &theirError);
        const Parting* parting = FindParting(file);
        if (parting == nullptr) {
            // Both read, or both refuse (an empty file).
            ASSERT_EQ(weRead, theirs.has_value()) << ourError << " / " << theirError;
            if (weRead) {
                ExpectAgree(Ours(ours), *theirs);
                ++agreed;
            }
            continue;
        }
        SCOPED_TRACE(parting->why);
        if (parting->weSkip) {
            EXPECT_TRUE(weRead) << ourError;
            EXPECT_EQ(ours.CountFaces(), 0);
            ASSERT_TRUE(theirs.has_value()) << theirError;
            EXPECT_GT(theirs->polygons, 0u);
        } else {
            ASSERT_TRUE(weRead) << ourError;
            EXPECT_FALSE(theirs.has_value()) << "assimp reads it now: compare directly";
            if (parting->twin != nullptr) {
                const std::optional<Summary> twin =
                    ReadByAssimp(std::filesystem::path(kModels) / parting->twin, &theirError);
                ASSERT_TRUE(twin.has_value()) << theirError;
                ExpectAgree(Ours(ours), *twin);
            } else {
                EXPECT_EQ(ours.CountVertices(), 8);
                EXPECT_EQ(ours.CountFaces(), 6);
            }
        }
    }
    EXPECT_GE(agreed, 30u);
}
