// Pencil archives: the keys another writer uses load and are written back the same, the
// texture is copied, and hostile archives neither read outside their bytes nor break drawing.

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <vector>

#include "YKBitmap.h"
#include "YKMessage.h"
#include "YKPencilBrushRenderer.h"

namespace {

using Brush = YKPencilBrushRenderer;

const uint8 kTexture[6] = {1, 2, 3, 4, 5, 6};

// Every key with a value other than its default, in the order the pencil writes them.
YKMessage FullArchive() {
    YKMessage archive;
    archive.AddBool("_antialiasing", false);
    archive.AddInt32("_r2", 10);
    archive.AddInt32("_g2", 20);
    archive.AddInt32("_b2", 30);
    archive.AddInt32("_a2", 40);
    archive.AddDouble("_size", 24.5);
    archive.AddInt32("_color", 7);
    archive.AddDouble("_ratio", 0.5);
    archive.AddDouble("_rotation", 0.3);
    archive.AddDouble("_hardness", 0.25);
    archive.AddInt32("_mode", YK_BRUSH_BURN_SUN_COLOR);
    archive.AddInt32("_shape", YK_BRUSH_SPHERE);
    archive.AddDouble("_spacing", 6);
    archive.AddBool("_continious", false);
    archive.AddInt8("_granulation", 12);
    archive.AddInt8("_pressure", int8(200));
    archive.AddInt8("_randomcenter", 3);
    archive.AddData("_texture", 0x52415754, kTexture, 6);
    archive.AddInt32("_texture_width", 3);
    archive.AddInt32("_texture_height", 2);
    return archive;
}

// Written back byte for byte: every key was read, and is written under the same name and type.
TEST(BrushArchiveTest, ArchiveLoadsAndIsWrittenBackKeyForKey) {
    const YKMessage archive = FullArchive();
    const Brush brush(&archive);
    EXPECT_EQ(brush.Pressure(), 200 / 255.0);
    const uint8* mask = brush.DabMask();
    EXPECT_NE(std::count(mask, mask + 128 * Brush::kMaskStride, 0), 128 * Brush::kMaskStride);
    const uint8* texture = nullptr;
    int32 width = 0;
    int32 height = 0;
    brush.Texture(&texture, &width, &height);
    const void* archived = nullptr;
    ssize_t length = 0;
    archive.FindData("_texture", 0x52415754, &archived, &length);
    ASSERT_NE(texture, nullptr);
    EXPECT_NE(static_cast<const void*>(texture), archived);
    EXPECT_EQ(std::vector<uint8>(texture, texture + width * height),
              std::vector<uint8>(kTexture, kTexture + 6));

    YKMessage written;
    brush.Archive(&written);
    EXPECT_EQ(written.Flatten(), archive.Flatten());
}

TEST(BrushArchiveTest, MissingKeysKeepTheirValuesAndNoTextureWritesNoTextureKeys) {
    Brush brush;
    brush.SetSpacing(3);
    const YKMessage empty;
    brush.Unarchive(&empty);
    EXPECT_EQ(brush.Spacing(), 3);
    YKMessage written;
    brush.Archive(&written);
    EXPECT_FALSE(written.HasData("_texture", 0x52415754) || written.HasInt32("_texture_width"));
}

TEST(BrushArchiveTest, HostileTexturesAreDroppedAndHostileSettingsDrawSafely) {
    struct {
        int32 bytes, width, height;
    } const textures[] = {{10, 100, 100}, {6, 6, 2},          {6, -3, -2},
                          {0, 0, 0},      {16, 65536, 65536}, {40000, 40000, 1}};
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double values[] = {nan, 0, -5, 1e300, std::numeric_limits<double>::infinity(), 0.5};
    for (int32 i = 0; i < 6; ++i) {
        YKMessage archive = FullArchive();
        const std::vector<uint8> bytes(textures[i].bytes, 9);
        archive.ReplaceData("_texture", 0x52415754, 0, bytes.data(), textures[i].bytes);
        archive.ReplaceInt32("_texture_width", textures[i].width);
        archive.ReplaceInt32("_texture_height", textures[i].height);
        for (const char* key : {"_size", "_ratio", "_rotation", "_hardness", "_spacing"}) {
            archive.ReplaceDouble(key, values[i]);
        }
        archive.ReplaceInt32("_r2", 1000);
        archive.ReplaceInt32("_g2", -7);
        Brush brush(&archive);
        const uint8* texture = kTexture;
        int32 width = 1;
        int32 height = 1;
        brush.Texture(&texture, &width, &height);
        EXPECT_TRUE(texture == nullptr && width == 0 && height == 0) << i;
        EXPECT_EQ(brush.Color(), yk_color(255, 0, 30, 40));
        EXPECT_TRUE(brush.PencilSize() >= 0 && brush.PencilSize() <= 126) << i;
        // Under the sanitizers: no out-of-range conversion or access on the way to the pixels.
        for (int32 mode : {0, 5, 77, -1}) {
            YKBitmap bitmap;
            brush.SetMode(mode);
            brush.SetShape(mode);
            brush.CreatePencil(brush.PencilSize());
            brush.SetCineTime(0);
            brush.DrawBrush(&bitmap, {3, 3}, nullptr);
            brush.SetCineTime(1);
            brush.DrawBrush(&bitmap, {90, -40}, nullptr);
        }
    }
}

}  // namespace
