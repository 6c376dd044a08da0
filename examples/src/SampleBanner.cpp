// The sample banner: a 468 x 60 web banner of 20 frames built through Gravik's own classes, the
// way the tools would build it, and saved as a document. It shows each kind of vector object,
// gradients, a pattern, dashes, caps and joins, effects, opacity, merge methods, a bitmap layer,
// paint strokes and key-framed position, rotation, opacity and colour.

#include "SampleBanner.h"

#include <cmath>
#include <memory>
#include <vector>

#include "YKBitmapLayer.h"
#include "YKBitmapRoster.h"
#include "YKCacheLayer.h"
#include "YKDash.h"
#include "YKDispatcher.h"
#include "YKDocument.h"
#include "YKEnvelopManager.h"
#include "YKGradientContainer.h"
#include "YKPaintLayer.h"
#include "YKRaster.h"
#include "YKRasterLayer.h"
#include "YKUserLayer.h"
#include "YKVectorEntity.h"
#include "YKVectorEntityFactory.h"
#include "YKVectorText.h"
#include "YKVectorTextBezier.h"
#include "YKViewerLayer.h"
#include "yk_brush_modes.h"
#include "yk_composition.h"
#include "yk_sketch_modes.h"

namespace {

using Point = YKPoint<double>;
constexpr int32 kFrames = 20;
// Fonts the set-up installs on every machine.
constexpr const char* kHeadlineFont =
    "/usr/share/fonts/truetype/liberation2/LiberationSans-Bold.ttf";
constexpr const char* kTaglineFont = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";

// Builds objects into the document's current user layer.
class BannerBuilder {
public:
    explicit BannerBuilder(YKDocument* document)
        : mDocument(document), mViewer(document->ViewerLayer()) {}

    // An object of `type` drawn through `points` as the tools draw it (press on the first,
    // each further point reached and clicked), styled by `style`.
    template <typename Style>
    YKRasterLayer* Shape(int32 type, int32 typeID, const char* name, std::vector<Point> points,
                         Style style) {
        return Place(Drawn(type, points), typeID, name, style);
    }

    // A line of text typed at `origin`.
    template <typename Style>
    YKRasterLayer* Text(const char* name, Point origin, const char* text, Style style) {
        auto* entity = new YKVectorText(origin, mDocument->GetUniqueID(), Manager());
        entity->setString(text);
        entity->endTextEdit();
        return Place(entity, YKRasterLayer::kText, name, style);
    }

    // A line of text laid along a Bézier path drawn through `points` with the pen.
    template <typename Style>
    YKRasterLayer* TextAlong(const char* name, std::vector<Point> points, const char* text,
                             Style style) {
        std::unique_ptr<YKVectorEntity> path(Drawn(YKVectorEntity::kTypeBezier, points));
        auto* entity = new YKVectorTextBezier(static_cast<const YKVectorBezier&>(*path));
        entity->setString(text);
        entity->endTextEdit();
        return Place(entity, YKRasterLayer::kTextOnBezier, name, style);
    }

    void Add(YKObjectLayer* layer) { mViewer->CurrentUserLayer()->AddChild(layer, true); }

private:
    YKEnvelopManager* Manager() const { return mDocument->EnvelopManager(); }

    YKVectorEntity* Drawn(int32 type, const std::vector<Point>& points) {
        YKVectorEntity* entity =
            YKVectorEntityFactory::Create(type, points[0], mDocument->GetUniqueID(), Manager());
        const bool chain = type == YKVectorEntity::kTypePolyline ||
                           type == YKVectorEntity::kTypeFreeHand ||
                           type == YKVectorEntity::kTypeBezier;
        for (size_t i = 1; i < points.size(); ++i) {
            entity->nextPoint(points[i], false);
            if (chain) {
                entity->addPoint(points[i], false);
            }
        }
        entity->endCreationWithTol(0.5);
        return entity;
    }

    // Styles `entity` through its attribute record, as the panels do, and puts it on a layer.
    template <typename Style>
    YKRasterLayer* Place(YKVectorEntity* entity, int32 typeID, const char* name, Style style) {
        YKVectorAttributes attributes;
        entity->getAttributes(&attributes);
        style(&attributes);
        entity->setAttributes(&attributes);
        auto* layer = new YKRasterLayer(entity->ID(), name, typeID);
        layer->SetEntity(entity);
        Add(layer);
        layer->EndCreation();
        return layer;
    }

    YKDocument* mDocument;
    YKViewerLayer* mViewer;
};

YKGradientContainer TwoColourGradient(GradientType type, YKGradientItem::Color from,
                                      YKGradientItem::Color to, Point s, Point e) {
    YKGradient gradient;
    gradient.Eraze();
    gradient.AddItem(0, 0.5, 1, from, to);
    YKGradientContainer container;
    container.SetGradient(gradient);
    container.SetGradientType(type);
    container.SetSxSy(s.x, s.y);
    container.SetExEy(e.x, e.y);
    return container;
}

// Diagonal stripes, the pattern of the ribbon.
void HoldStripePattern() {
    auto raster = std::make_unique<YKRaster>(YKRect<int32>{0, 0, 7, 7});
    auto* pixels = reinterpret_cast<uint32*>(raster->Bits());
    for (int32 y = 0; y < 8; ++y) {
        for (int32 x = 0; x < 8; ++x) {
            pixels[y * raster->BytesPerRow() / 4 + x] = (x + y) % 8 < 3 ? 0xFFFFD166u : 0xFFEF476Fu;
        }
    }
    YKBitmapRoster::Default().AddBitmap(std::move(raster), "Ribbon Stripes");
}

// A small round badge image for the bitmap layer: a disc shaded from the top-left.
YKRaster* BadgeImage() {
    auto* raster = new YKRaster(YKRect<int32>{0, 0, 31, 31});
    auto* pixels = reinterpret_cast<uint32*>(raster->Bits());
    for (int32 y = 0; y < 32; ++y) {
        for (int32 x = 0; x < 32; ++x) {
            const double d = std::hypot(x - 15.5, y - 15.5);
            const uint32 alpha =
                d < 14 ? 255 : (d < 15.5 ? static_cast<uint32>((15.5 - d) * 170) : 0);
            const uint32 shade = static_cast<uint32>(150 + 100 * (1 - (x + y) / 62.0));
            pixels[y * raster->BytesPerRow() / 4 + x] =
                (alpha << 24) | (shade << 16) | ((shade * 3 / 4) << 8) | 40u;
        }
    }
    return raster;
}

}  // namespace

YKDocument* YKBuildSampleBanner(YKDispatcher* dispatcher) {
    YKDocument* document =
        dispatcher->CreateDocument(468, 60, "Sample Banner", yk_color{29, 53, 87, 255});
    if (document == nullptr) {
        return nullptr;
    }
    YKEnvelopManager* manager = document->EnvelopManager();
    manager->SetMaxFrame(kFrames, false);
    for (int32 frame = 1; frame <= kFrames; ++frame) {
        manager->SetFrameDuration(frame, 8);  // hundredths of a second
    }
    YKDash::InitPredefDash();
    HoldStripePattern();
    YKViewerLayer* viewer = document->ViewerLayer();
    viewer->LockHirarchy();
    viewer->BeginInvalidate();
    BannerBuilder build(document);

    // The ground: a rounded rectangle with a dark linear gradient.
    const YKGradientContainer ground = TwoColourGradient(GRADIENT_LINEAR, {0.11, 0.21, 0.34, 1},
                                                         {0.07, 0.45, 0.51, 1}, {0, 0}, {1, 1});
    build.Shape(YKVectorEntity::kTypeRoundRect, YKRasterLayer::kRoundRectangle, "Ground",
                {{-232, -28}, {231, 27}}, [&](YKVectorAttributes* a) {
                    a->fillColorFlag = kColorFlagGradient;
                    a->fillGradient = &ground;
                    a->strokeColor = {168, 218, 220, 255};
                    a->width = 2;
                    a->rx = 10;
                    a->ry = 10;
                });

    // A striped ribbon along the bottom, multiplied into the ground.
    YKRasterLayer* ribbon =
        build.Shape(YKVectorEntity::kTypeRectangle, YKRasterLayer::kRectangle, "Ribbon",
                    {{-230, 14}, {229, 25}}, [](YKVectorAttributes* a) {
                        a->fillColorFlag = kColorFlagPattern;
                        a->fillPatternName = "Ribbon Stripes";
                        a->fillPatternAlpha = 255;
                        a->strokeColorFlag = kColorFlagNone;
                    });
    ribbon->ChangeMergeMethod(YK_MULTIPLY, nullptr);

    // The sun: an ellipse with a radial gradient and a glow, crossing the banner.
    const YKGradientContainer sun = TwoColourGradient(GRADIENT_RADIAL, {1, 0.95, 0.6, 1},
                                                      {1, 0.6, 0.1, 1}, {0.5, 0.5}, {1, 0.5});
    YKRasterLayer* disc = build.Shape(YKVectorEntity::kTypeEllipse, YKRasterLayer::kEllipse, "Sun",
                                      {{-200, -18}, {-170, 12}}, [&](YKVectorAttributes* a) {
                                          a->fillColorFlag = kColorFlagGradient;
                                          a->fillGradient = &sun;
                                          a->strokeColorFlag = kColorFlagNone;
                                      });
    disc->SetOuterGlowParam(6, 256, static_cast<int32>(0xFFFFD166u));
    disc->SetProcessMask(YKEffectLayer::kOuterGlow);
    disc->SetEffectEnable(true);
    disc->PositionEnvelop()->SetValue(Point{150, -18}, kFrames);

    // An arc with a dash and arrow caps, screened over what is below.
    YKRasterLayer* arc = build.Shape(YKVectorEntity::kTypeArc, YKRasterLayer::kArc, "Orbit",
                                     {{-60, -24}, {10, 22}}, [](YKVectorAttributes* a) {
                                         a->strokeColor = {230, 57, 70, 255};
                                         a->width = 2;
                                         a->dash = YKDash::PredefDash(1);
                                         a->firstCap = YK_CAP_ROUND;
                                         a->lastCap = YK_CAP_ARROW1;
                                         a->fillColorFlag = kColorFlagNone;
                                     });
    arc->ChangeMergeMethod(YK_SCREEN, nullptr);

    // A zigzag polyline with mitred joins and round caps, changing colour.
    YKRasterLayer* zigzag = build.Shape(
        YKVectorEntity::kTypePolyline, YKRasterLayer::kPolyline, "Zigzag",
        {{20, 10}, {35, -12}, {50, 10}, {65, -12}, {80, 10}}, [](YKVectorAttributes* a) {
            a->strokeColor = {241, 250, 238, 255};
            a->width = 3;
            a->join = YK_JOIN_MITER;
            a->miterLimit = 4;
            a->firstCap = YK_CAP_ROUND;
            a->lastCap = YK_CAP_SQUARE;
            a->fillColorFlag = kColorFlagNone;
        });
    zigzag->Entity()->Stroke()->color->SetValue(yk_color{255, 209, 102, 255}, kFrames);

    // A Bézier wave that turns a little, back and forth.
    YKRasterLayer* wave = build.Shape(YKVectorEntity::kTypeBezier, YKRasterLayer::kBezier, "Wave",
                                      {{95, 0}, {105, -20}, {120, 0}, {135, 20}, {150, 0}},
                                      [](YKVectorAttributes* a) {
                                          a->strokeColor = {168, 218, 220, 255};
                                          a->width = 2.5;
                                          a->firstCap = YK_CAP_CIRCLE;
                                          a->lastCap = YK_CAP_DIAMOND;
                                      });
    wave->RotationEnvelop()->SetValue(0.0, 1);
    wave->RotationEnvelop()->SetValue(0.6, kFrames / 2);
    wave->RotationEnvelop()->SetValue(0.0, kFrames);

    // A freehand flourish under the wave.
    std::vector<Point> flourish;
    for (int32 i = 0; i <= 24; ++i) {
        flourish.push_back({160 + i * 2.5, 8 + 8 * std::sin(i / 2.5) - i * 0.3});
    }
    build.Shape(YKVectorEntity::kTypeFreeHand, YKRasterLayer::kFreeHand, "Flourish", flourish,
                [](YKVectorAttributes* a) {
                    a->strokeColor = {255, 209, 102, 255};
                    a->width = 1.5;
                    a->fillColorFlag = kColorFlagNone;
                });

    // The button: a rounded rectangle with an emboss and a shadow, fading in and out.
    YKRasterLayer* button =
        build.Shape(YKVectorEntity::kTypeRoundRect, YKRasterLayer::kRoundRectangle, "Button",
                    {{-130, -14}, {-75, 14}}, [](YKVectorAttributes* a) {
                        a->fillColorFlag = kColorFlagColor;
                        a->fillColor = {230, 57, 70, 255};
                        a->strokeColorFlag = kColorFlagNone;
                        a->rx = 8;
                        a->ry = 8;
                    });
    button->SetEmbossParam(2, 2, 2, 256, YKEffectLayer::kOpaqueWhite, YKEffectLayer::kOpaqueBlack,
                           0);
    button->SetOuterShadowParam(3, 3, 3, 200, YKEffectLayer::kOpaqueBlack);
    button->SetProcessMask(YKEffectLayer::kEmboss | YKEffectLayer::kOuterShadow);
    button->SetEffectEnable(true);
    button->ChangeOpacity(230);
    if (YKCacheLayer* fade = button->DedicatedParent(); fade != nullptr) {
        fade->OpacityEnvelop()->SetValue(120, kFrames / 2);
        fade->OpacityEnvelop()->SetValue(230, kFrames);
    }

    // A badge image, added to the lightest of what is below.
    auto* badge = new YKBitmapLayer(document->GetUniqueID(), BadgeImage(), "Badge", {192, -28});
    build.Add(badge);
    badge->ChangeMergeMethod(YK_LIGHTEST, nullptr);

    // Two paint strokes of the pencil brush.
    auto* paint = new YKPaintLayer(document->GetUniqueID(), "Sparkle");
    // The masks are built from the hardness: it is set first.
    paint->Renderer().SetHardness(0.6);
    paint->Renderer().CreatePencil(3);
    paint->Renderer().SetColor(yk_color{241, 250, 238, 255});
    for (int32 i = 0; i <= 30; ++i) {
        paint->AddStrokePoint({-20 + i * 1.5, -20 + 6 * std::sin(i / 3.0)});
    }
    build.Add(paint);
    paint->Redraw();

    // The headline, warming from white to gold while it grows a little and shrinks back.
    YKRasterLayer* headline =
        build.Text("Headline", {-226, 6}, "Spring Sale!", [](YKVectorAttributes* a) {
            a->fontDescription = kHeadlineFont;
            a->textSizeH = 11;
            a->textSizeV = 11;
            a->fillColorFlag = kColorFlagColor;
            a->fillColor = {241, 250, 238, 255};
            a->strokeColorFlag = kColorFlagNone;
        });
    auto* headlineText = static_cast<YKVectorText*>(headline->Entity());
    headlineText->textAttributes().fillColor->SetValue(yk_color{255, 209, 102, 255}, kFrames);
    headlineText->textAttributes().sizeH->SetValue(12.5, kFrames / 2);
    headlineText->textAttributes().sizeV->SetValue(12.5, kFrames / 2);
    headlineText->textAttributes().sizeH->SetValue(11.0, kFrames);
    headlineText->textAttributes().sizeV->SetValue(11.0, kFrames);

    // A line of text along a gentle curve over the ribbon, turning from pale blue to white.
    YKRasterLayer* tagline =
        build.TextAlong("Tagline", {{-60, 25}, {-10, 17}, {40, 22}, {90, 27}, {140, 21}},
                        "banners \xC2\xB7 buttons \xC2\xB7 animations", [](YKVectorAttributes* a) {
                            a->fontDescription = kTaglineFont;
                            a->textSizeH = 7;
                            a->textSizeV = 7;
                            a->fillColorFlag = kColorFlagColor;
                            a->fillColor = {168, 218, 220, 255};
                            a->strokeColorFlag = kColorFlagNone;
                        });
    static_cast<YKVectorTextBezier*>(tagline->Entity())
        ->textAttributes()
        .fillColor->SetValue(yk_color{255, 255, 255, 255}, kFrames);

    viewer->EndInvalidate();
    viewer->UnlockHirarchy();
    return document;
}
