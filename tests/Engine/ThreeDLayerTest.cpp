#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <numbers>
#include <set>
#include <vector>

#include "ReferenceImage.h"
#include "TestDocument.h"
#include "ThreeDModels.h"
#include "YK3DLayer.h"
#include "YKLayerFactory.h"
#include "YKMessage.h"
#include "yk_osmesa.h"

namespace {

// The rotation value that turns the model by `degrees`.
double ValueFor(double degrees) {
    return degrees * 10 / (2 * std::numbers::pi);
}

// Which pixels of a width x height target the model covers, computed without OpenGL: the
// vertices turned about x, then y, then z as seen from +z, each face's projection filled at
// the pixel centres.
std::vector<bool> ExpectedSilhouette(const YK3DObject& model, int32 width, int32 height,
                                     std::array<double, 3> degrees) {
    std::array<double, 9> m = {1, 0, 0, 0, 1, 0, 0, 0, 1};  // row-major, m = Rx * Ry * Rz
    for (int axis = 0; axis < 3; ++axis) {
        const double a = degrees[axis] * std::numbers::pi / 180;
        const double c = std::cos(a), s = std::sin(a);
        std::array<double, 9> r = {1, 0, 0, 0, 1, 0, 0, 0, 1};
        const int u = (axis + 1) % 3, v = (axis + 2) % 3;
        r[u * 3 + u] = c, r[u * 3 + v] = -s, r[v * 3 + u] = s, r[v * 3 + v] = c;
        std::array<double, 9> product{};
        for (int i = 0; i < 3; ++i) {
            for (int j = 0; j < 3; ++j) {
                for (int k = 0; k < 3; ++k) {
                    product[i * 3 + j] += m[i * 3 + k] * r[k * 3 + j];
                }
            }
        }
        m = product;
    }
    const std::vector<float>& p = model.Vertices();
    std::vector<std::array<double, 2>> screen;
    for (size_t i = 0; i < p.size(); i += 3) {
        const double x = m[0] * p[i] + m[1] * p[i + 1] + m[2] * p[i + 2];
        const double y = m[3] * p[i] + m[4] * p[i + 1] + m[5] * p[i + 2];
        screen.push_back({(x + 1) / 2 * width, (1 - y) / 2 * height});
    }
    std::vector<bool> covered(size_t(width) * height, false);
    for (const YK3DFace& face : model.Faces()) {
        const size_t n = face.vertices.size();
        for (int32 py = 0; py < height; ++py) {
            for (int32 px = 0; px < width; ++px) {
                const double cx = px + 0.5, cy = py + 0.5;
                bool positive = false, negative = false;
                for (size_t k = 0; k < n; ++k) {
                    const auto& a = screen[size_t(face.vertices[k])];
                    const auto& b = screen[size_t(face.vertices[(k + 1) % n])];
                    const double cross = (b[0] - a[0]) * (cy - a[1]) - (b[1] - a[1]) * (cx - a[0]);
                    positive |= cross > 0;
                    negative |= cross < 0;
                }
                if (!(positive && negative)) {
                    covered[size_t(py) * width + px] = true;
                }
            }
        }
    }
    return covered;
}

class ThreeDLayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (yk_osmesa() == nullptr) {
            GTEST_SKIP() << "no OSMesa: " << yk_osmesa_error();
        }
    }
    YK3DLayer* Add(std::unique_ptr<YK3DObject> model) {
        auto* layer = new YK3DLayer(doc.host.GetUniqueID(), "model", std::move(model), {0, 0});
        user->AddChild(layer, false);
        return layer;
    }
    // The rendered pixels of `rect`.
    static PixelImage Pixels(YK3DLayer* layer, YKRect<int32> rect) {
        return ImageOf(*layer->Bitmap(), rect);
    }

    TestDocument doc;
    YKUserLayer* user = doc.AddUserLayer();
};

TEST_F(ThreeDLayerTest, SilhouetteMatchesTheProjectedModelWithinOnePixel) {
    struct Case {
        bool sphere;
        std::array<double, 3> degrees;
        YKRect<int32> rect;
    };
    for (const Case& c :
         {Case{false, {30, 45, 0}, {0, 0, 99, 79}}, Case{false, {-20, 10, 70}, {10, 5, 73, 68}},
          Case{true, {15, 0, 40}, {0, 0, 63, 95}}}) {
        std::unique_ptr<YK3DObject> model = c.sphere ? MakeSphere(24, 12) : MakeCube();
        const YK3DObject& shape = *model;
        YK3DLayer layer(1, "alone", std::move(model), {0, 0});
        layer.Render(c.rect, ValueFor(c.degrees[0]), ValueFor(c.degrees[1]),
                     ValueFor(c.degrees[2]));
        const int32 width = c.rect.Width() + 1, height = c.rect.Height() + 1;
        const std::vector<bool> expected = ExpectedSilhouette(shape, width, height, c.degrees);
        const PixelImage image = Pixels(&layer, c.rect);
        int32 covered = 0;
        int32 offEdge = 0;
        for (int32 y = 0; y < height; ++y) {
            for (int32 x = 0; x < width; ++x) {
                const bool want = expected[size_t(y) * width + x];
                covered += want ? 1 : 0;
                if ((image.pixels[size_t(y) * width + x] >> 24 > 127) == want) {
                    continue;
                }
                // A differing pixel must lie on the edge: a neighbour is on the other side.
                bool onEdge = false;
                for (int32 dy = -1; dy <= 1; ++dy) {
                    for (int32 dx = -1; dx <= 1; ++dx) {
                        const int32 nx = x + dx, ny = y + dy;
                        onEdge |= nx >= 0 && ny >= 0 && nx < width && ny < height &&
                                  expected[size_t(ny) * width + nx] != want;
                    }
                }
                offEdge += onEdge ? 0 : 1;
            }
        }
        EXPECT_GT(covered, width * height / 5) << "the model fills a good part of the target";
        EXPECT_EQ(offEdge, 0) << "pixels wrong by more than one along the edge";
    }
}

TEST_F(ThreeDLayerTest, FrameSwitchesRenderOnlyWhenAnAngleChangesAndMovesShiftTheRendering) {
    YK3DLayer* layer = Add(MakeCube());
    EXPECT_EQ(layer->Frame(), (YKRect<int32>{-128, -128, 127, 127}));
    const int32 first = layer->RenderCount();
    EXPECT_GE(first, 1);
    const PixelImage straight = Pixels(layer, layer->Frame());

    YKEnvelopDouble* y = layer->RotationYEnvelop();
    y->SetValue(0.0, 3);
    y->SetValue(ValueFor(60), 5);
    doc.GoTo(2);
    doc.GoTo(3);
    EXPECT_EQ(layer->RenderCount(), first) << "the angles stayed 0";
    doc.GoTo(4);
    EXPECT_EQ(layer->RenderCount(), first + 1);
    doc.GoTo(4);
    EXPECT_EQ(layer->RenderCount(), first + 1);
    doc.GoTo(1);
    EXPECT_EQ(layer->RenderCount(), first + 2);
    EXPECT_EQ(Pixels(layer, layer->Frame()).pixels, straight.pixels);

    layer->MoveBoundingBoxBy({10, -4}, false);
    EXPECT_EQ(layer->RenderCount(), first + 2) << "a move only shifts";
    EXPECT_EQ(layer->Frame(), (YKRect<int32>{-118, -132, 137, 123}));
    EXPECT_EQ(Pixels(layer, layer->Frame()).pixels, straight.pixels);

    // The option panel's angles key the envelopes at the current frame.
    YKMessage attributes;
    attributes.AddFloat("_z_env", 2.5f);
    layer->ExtractAttributes(&attributes);
    EXPECT_EQ(layer->RenderCount(), first + 3);
    YKMessage filled;
    layer->FillWithAttributes(&filled);
    float z = 0;
    int32 faces = 0;
    EXPECT_TRUE(filled.FindFloat("_z_env", &z));
    EXPECT_EQ(z, 2.5f);
    EXPECT_TRUE(filled.FindInt32("_count_faces", &faces));
    EXPECT_EQ(faces, 6);
    EXPECT_NE(Pixels(layer, layer->Frame()).pixels, straight.pixels);
}

TEST_F(ThreeDLayerTest, ArchiveRoundTripsModelAndAngles) {
    YK3DLayer* layer = Add(MakeSphere(12, 6));
    layer->RotationXEnvelop()->SetValue(1.5, 4);
    YKMessage archive;
    layer->Archive(&archive, true);
    const char* className = nullptr;
    ASSERT_TRUE(archive.FindString("Class", &className));
    EXPECT_STREQ(className, "YK3DLayer");

    std::unique_ptr<YKLayer> built(YKLayerFactory::Default().Build(&archive, &doc.manager()));
    auto* loaded = dynamic_cast<YK3DLayer*>(built.get());
    ASSERT_NE(loaded, nullptr);
    ASSERT_NE(loaded->Model(), nullptr);
    EXPECT_EQ(loaded->Model()->CountFaces(), 72);
    EXPECT_EQ(loaded->Model()->Vertices(), layer->Model()->Vertices());
    EXPECT_STREQ(loaded->RotationXEnvelop()->Name(), "Rotation 3D: X");
    EXPECT_EQ(loaded->RotationXEnvelop()->Value(4), 1.5);
    EXPECT_EQ(loaded->RotationYEnvelop()->Value(4), 0.0);

    // Added to the document, the loaded layer shows what the original shows.
    user->AddChild(built.release(), false);
    EXPECT_EQ(Pixels(loaded, loaded->Frame()).pixels, Pixels(layer, layer->Frame()).pixels);
}

TEST_F(ThreeDLayerTest, FastPreviewDrawsLargeModelsFlatThenAsGreenOutlines) {
    const YKRect<int32> rect{0, 0, 79, 79};
    const auto colours = [&](int32 slices, int32 stacks, bool fast, int32* quality) {
        YK3DLayer layer(1, "preview", MakeSphere(slices, stacks), {0, 0});
        layer.SetFastPreview(fast);
        *quality = layer.Quality();
        layer.Render(rect, 0.3, 0.7, 0);
        std::set<uint32> opaque;
        for (uint32 pixel : Pixels(&layer, rect).pixels) {
            if (pixel >> 24 != 0) {
                opaque.insert(pixel);
            }
        }
        return opaque;
    };
    int32 quality = -1;
    EXPECT_GT(colours(40, 25, false, &quality).size(), 10u) << "lit: many shades";
    EXPECT_EQ(quality, 0);
    EXPECT_GT(colours(37, 27, true, &quality).size(), 10u) << "999 faces are still lit";
    EXPECT_EQ(quality, 0);
    EXPECT_EQ(colours(40, 25, true, &quality), (std::set<uint32>{0xFFFF3366u}));
    EXPECT_EQ(quality, 1);
    EXPECT_EQ(colours(250, 200, true, &quality), (std::set<uint32>{0xFF00FF00u}));
    EXPECT_EQ(quality, 2);
}

TEST(ThreeDDepthSortTest, OrdersLikeAPlainSortWhateverTheSpreadOfKeys) {
    // Clusters, ties, a far outlier and keys spread over many magnitudes: the buckets must be
    // split again until every face is in place.
    std::vector<float> keys;
    for (int32 i = 0; i < 3000; ++i) {
        keys.push_back(i % 7 == 0 ? 0.5f : float((i * 7919) % 1000) * 1e-6f);
    }
    keys.push_back(1e30f);
    for (int32 i = 0; i < 60; ++i) {
        keys.push_back(std::ldexp(1.0f, -i));
    }
    std::vector<int32> order(keys.size());
    for (size_t i = 0; i < order.size(); ++i) {
        order[i] = int32(i);
    }
    YK3DObject::z_sort(&order, keys);
    EXPECT_EQ(std::set<int32>(order.begin(), order.end()).size(), keys.size());
    EXPECT_TRUE(std::is_sorted(order.begin(), order.end(), [&](int32 a, int32 b) {
        return keys[size_t(a)] < keys[size_t(b)];
    }));
}

TEST(ThreeDLayerWithoutOSMesaTest, ShowsAnEmptyFrameAndSaysWhy) {
    yk_osmesa_use_library("libOSMesa-absent.so.0");
    YK3DLayer layer(1, "no renderer", MakeCube(), {0, 0});
    layer.Render({0, 0, 31, 31}, 1, 2, 3);
    const std::string error = yk_osmesa_error();
    yk_osmesa_use_library(nullptr);
    EXPECT_EQ(layer.RenderCount(), 1);
    EXPECT_TRUE(layer.Bitmap()->IsEmpty());
    EXPECT_NE(error.find("libOSMesa-absent.so.0"), std::string::npos) << error;
}

}  // namespace
