#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <fstream>
#include <limits>

#include "LightWaveWriter.h"
#include "YKLightWaveObject.h"

namespace {

using Bytes = std::vector<uint8>;

// Points whose farthest lies at distance 40; two quads' worth of polygons, one carrying a detail
// polygon; two listed surfaces, one described, and a description of a surface not listed.
Bytes SampleLWOB() {
    LightWaveWriter pnts, pols, srfs, blue, ghost, odd;
    pnts.Point(0, 0, 0).Point(10, 0, 0).Point(10, 10, 0).Point(0, 10, 0).Point(0, 0, -40);
    // A quad on surface 2 with one detail triangle, then a triangle on surface 1.
    pols.U16(4).U16(0).U16(1).U16(2).U16(3).U16(uint16(-2)).U16(1);
    pols.U16(3).U16(0).U16(1).U16(4).U16(1);  // the detail
    pols.U16(3).U16(0).U16(1).U16(4).U16(1);
    srfs.Name("Red").Name("Blue");
    blue.Name("Blue");
    blue.SubChunk("COLR", LightWaveWriter().U16(0x0000).U16(0xFF00));
    blue.SubChunk("DIFF", LightWaveWriter().U16(128));
    odd.bytes = {1, 2, 3};
    blue.SubChunk("ODD ", odd);
    blue.SubChunk("VSPC", LightWaveWriter().F32(0.25f));
    ghost.Name("Ghost").SubChunk("COLR", LightWaveWriter().U32(0xFFFFFF00));
    LightWaveWriter file;
    file.Chunk("PNTS", pnts).Chunk("ODD ", odd).Chunk("SRFS", srfs).Chunk("POLS", pols);
    file.Chunk("SURF", blue).Chunk("SURF", ghost);
    return file.Form("LWOB");
}

// Two layers, each with points indexed from 0; a patch list that is passed over, with its tags;
// surfaces described in another order than their tags; one tag that names no surface.
Bytes SampleLWO2() {
    LightWaveWriter layer, points0, faces0, tags0, points1, patches, patchTags, faces1, tags1;
    layer.U16(0).U16(0).Point(0, 0, 0).Name("layer");
    points0.Point(0, 0, 0).Point(1, 0, 0).Point(0, 1, 0);
    // Flag bits above the count; the last index in the four-byte form.
    faces0.Id("FACE").U16(0xFC00 | 3).U16(0).U16(1).U32(0xFF000002);
    tags0.Id("SURF").U16(0).U16(1);
    points1.Point(5, 0, 0).Point(5, 1, 0).Point(5, 1, 1).Point(5, 0, 1);
    patches.Id("PTCH").U16(4).U16(0).U16(1).U16(2).U16(3);
    patchTags.Id("SURF").U16(0).U16(0);
    faces1.Id("FACE").U16(4).U16(0).U16(1).U16(2).U16(3).U16(3).U16(0).U16(1).U16(2);
    tags1.Id("SURF").U16(1).U16(2);
    LightWaveWriter b, a;
    b.Name("B").Name("");
    b.SubChunk("COLR", LightWaveWriter().F32(0.1f).F32(0.2f).F32(0.3f).U16(0));
    b.SubChunk("DIFF", LightWaveWriter().F32(0.7f).U16(0));
    a.Name("A").Name("").SubChunk("TRAN", LightWaveWriter().F32(0.5f).U16(0));
    LightWaveWriter file;
    file.Chunk("TAGS", LightWaveWriter().Name("A").Name("B").Name("C"));
    file.Chunk("LAYR", layer).Chunk("PNTS", points0).Chunk("POLS", faces0).Chunk("PTAG", tags0);
    file.Chunk("LAYR", layer).Chunk("PNTS", points1).Chunk("POLS", patches);
    file.Chunk("PTAG", patchTags).Chunk("POLS", faces1).Chunk("PTAG", tags1);
    file.Chunk("SURF", b).Chunk("SURF", a);
    return file.Form("LWO2");
}

bool Read(YKLightWaveObject* object, const Bytes& bytes, std::string* error) {
    return object->ReadFrom(bytes.data(), bytes.size(), error);
}

}  // namespace

TEST(LightWaveReadTest, LWOBDetailPolygonsSurfacesAndScale) {
    YKLightWaveObject object;
    std::string error;
    ASSERT_TRUE(Read(&object, SampleLWOB(), &error)) << error;
    EXPECT_TRUE(object.IsLoaded());

    // The detail triangle is not a face; surface -2 is the second surface.
    ASSERT_EQ(object.CountFaces(), 2);
    EXPECT_EQ(object.Faces()[0].material, 1);
    EXPECT_EQ(object.Faces()[0].vertices, (std::vector<int32>{0, 1, 2, 3}));
    EXPECT_EQ(object.Faces()[1].material, 0);
    EXPECT_EQ(object.Faces()[1].vertices, (std::vector<int32>{0, 1, 4}));

    ASSERT_EQ(object.Materials().size(), 2u);
    const YK3DMaterial& red = object.Materials()[0];
    const YK3DMaterial& blue = object.Materials()[1];
    EXPECT_EQ(red.name, "Red");
    EXPECT_FLOAT_EQ(red.red, YK3DMaterial().red);
    EXPECT_EQ(blue.name, "Blue");
    EXPECT_FLOAT_EQ(blue.red, 0);
    EXPECT_FLOAT_EQ(blue.blue, 1);
    EXPECT_FLOAT_EQ(blue.alpha, 0);
    EXPECT_FLOAT_EQ(blue.diffuse, 0.5f);
    EXPECT_FLOAT_EQ(blue.specular, 0.25f);

    // The farthest point lies at 40: everything shrinks by 1/40.
    EXPECT_FLOAT_EQ(object.Radius(), 40);
    ASSERT_EQ(object.CountVertices(), 5);
    EXPECT_FLOAT_EQ(object.Vertices()[3], 0.25f);
    EXPECT_FLOAT_EQ(object.Vertices()[14], -1);
}

TEST(LightWaveReadTest, LWO2LayersTagsAndSkippedPatches) {
    YKLightWaveObject object;
    std::string error;
    ASSERT_TRUE(Read(&object, SampleLWO2(), &error)) << error;

    ASSERT_EQ(object.CountVertices(), 7);
    ASSERT_EQ(object.CountFaces(), 3);
    EXPECT_EQ(object.Faces()[0].vertices, (std::vector<int32>{0, 1, 2}));
    EXPECT_EQ(object.Faces()[1].vertices, (std::vector<int32>{3, 4, 5, 6}));
    EXPECT_EQ(object.Faces()[2].vertices, (std::vector<int32>{3, 4, 5}));

    // Tag order, surfaces only; faces without a described surface share one default.
    ASSERT_EQ(object.Materials().size(), 3u);
    EXPECT_EQ(object.Materials()[0].name, "A");
    EXPECT_FLOAT_EQ(object.Materials()[0].transparency, 0.5f);
    EXPECT_EQ(object.Materials()[1].name, "B");
    EXPECT_FLOAT_EQ(object.Materials()[1].green, 0.2f);
    EXPECT_FLOAT_EQ(object.Materials()[1].diffuse, 0.7f);
    EXPECT_EQ(object.Faces()[0].material, 1);
    EXPECT_EQ(object.Faces()[1].material, 2);
    EXPECT_EQ(object.Faces()[2].material, 2);
}

// Each damaged file is refused with a text that says what is wrong, and leaves the object empty
// even after a good read.
TEST(LightWaveReadTest, DamagedFilesAreRefused) {
    const auto lwob = [](const LightWaveWriter& chunks) { return chunks.Form("LWOB"); };
    const auto lwo2 = [](const LightWaveWriter& chunks) { return chunks.Form("LWO2"); };
    const LightWaveWriter triangle = LightWaveWriter().Point(0, 0, 0).Point(1, 0, 0).Point(0, 1, 0);
    Bytes longForm = SampleLWOB();
    longForm[7] += 2;
    Bytes notForm = SampleLWOB();
    notForm[0] = 'R';
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const struct {
        const char* name;
        Bytes bytes;
        const char* says;
    } cases[] = {
        {"not FORM", notForm, "Not a LightWave object"},
        {"other FORM type", LightWaveWriter().Form("LWOC"), "Not a LightWave object"},
        {"FORM past the end", longForm, "FORM claims"},
        {"billions of points claimed",
         lwob(LightWaveWriter().Id("PNTS").U32(0xFFFFFFF0).Point(0, 0, 0)), "claims 4294967280"},
        {"chunk header cut", lwob(LightWaveWriter().Id("PNTS").U16(0)), "cut short"},
        {"polygon cut",
         lwob(LightWaveWriter()
                  .Chunk("PNTS", triangle)
                  .Chunk("POLS", LightWaveWriter().U16(3).U16(0).U16(1))),
         "cut short"},
        {"detail cut",
         lwob(LightWaveWriter()
                  .Chunk("PNTS", triangle)
                  .Chunk("POLS", LightWaveWriter()
                                     .U16(3)
                                     .U16(0)
                                     .U16(1)
                                     .U16(2)
                                     .U16(uint16(-1))
                                     .U16(2)
                                     .U16(1)
                                     .U16(0)
                                     .U16(1))),
         "detail polygon"},
        {"LWOB point out of range",
         lwob(LightWaveWriter()
                  .Chunk("PNTS", triangle)
                  .Chunk("POLS", LightWaveWriter().U16(3).U16(0).U16(1).U16(3).U16(1))),
         "uses point 3 of 3"},
        {"point not finite",
         lwob(LightWaveWriter().Chunk("PNTS", LightWaveWriter().Point(0, nan, 0))),
         "not a finite number"},
        {"SURF value cut",
         lwob(LightWaveWriter().Chunk(
             "SURF", LightWaveWriter().Name("S").SubChunk("VDIF", LightWaveWriter().U16(1)))),
         "VDIF of surface \"S\""},
        {"LWO2 point out of range",
         lwo2(
             LightWaveWriter()
                 .Chunk("PNTS", triangle)
                 .Chunk("POLS", LightWaveWriter().Id("FACE").U16(3).U16(0).U16(1).U32(0xFF000003))),
         "uses point 3 of 3"},
        {"LWO2 points of another layer",
         lwo2(LightWaveWriter()
                  .Chunk("PNTS", triangle)
                  .Chunk("LAYR", LightWaveWriter().U16(1))
                  .Chunk("POLS", LightWaveWriter().Id("FACE").U16(1).U16(0))),
         "uses point 0 of 0"},
        {"PTAG polygon out of range",
         lwo2(LightWaveWriter()
                  .Chunk("PNTS", triangle)
                  .Chunk("POLS", LightWaveWriter().Id("FACE").U16(3).U16(0).U16(1).U16(2))
                  .Chunk("PTAG", LightWaveWriter().Id("SURF").U16(1).U16(0))),
         "PTAG names polygon 1 of 1"},
        {"tag out of range",
         lwo2(LightWaveWriter()
                  .Chunk("PNTS", triangle)
                  .Chunk("POLS", LightWaveWriter().Id("FACE").U16(3).U16(0).U16(1).U16(2))
                  .Chunk("PTAG", LightWaveWriter().Id("SURF").U16(0).U16(5))),
         "has tag 5 of 0"},
        {"tag without end", lwo2(LightWaveWriter().Chunk("TAGS", LightWaveWriter().Id("ABCD"))),
         "has no end"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        YKLightWaveObject object;
        std::string error;
        ASSERT_TRUE(Read(&object, SampleLWO2(), &error)) << error;
        EXPECT_FALSE(Read(&object, c.bytes, &error));
        EXPECT_NE(error.find(c.says), std::string::npos) << error;
        EXPECT_FALSE(object.IsLoaded());
        EXPECT_EQ(object.CountFaces(), 0);
        EXPECT_EQ(object.CountVertices(), 0);
        EXPECT_TRUE(object.Materials().empty());
    }
}

TEST(LightWaveReadTest, CreateFromFileChecksTheSignature) {
    char path[] = "/tmp/gravik-lwo-test-XXXXXX";
    const int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    close(fd);
    const Bytes sample = SampleLWO2();
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(sample.data()), std::streamsize(sample.size()));
    std::string error;
    EXPECT_TRUE(YK3DObject::Check(path));
    const std::unique_ptr<YK3DObject> object = YK3DObject::Create3DObject(path, &error);
    ASSERT_NE(object, nullptr) << error;
    EXPECT_EQ(object->CountFaces(), 3);

    std::ofstream(path, std::ios::binary) << "FORM\0\0\0\4ILBM";
    EXPECT_FALSE(YK3DObject::Check(path));
    EXPECT_EQ(YK3DObject::Create3DObject(path, &error), nullptr);
    EXPECT_NE(error.find("not a 3D object"), std::string::npos) << error;
    unlink(path);
    EXPECT_EQ(YK3DObject::Create3DObject(path, &error), nullptr);
    EXPECT_NE(error.find(path), std::string::npos) << error;
}
