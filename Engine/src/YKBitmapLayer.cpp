#include "YKBitmapLayer.h"

#include <cstdio>
#include <cstring>

#include "YKEnvelopManager.h"
#include "YKMessage.h"
#include "yk_composition.h"
#include "yk_image_limits.h"

// Sections: construction · archive · images · tree membership · messages. Placement and
// rendering are in YKBitmapLayerRender.cpp.

namespace {

constexpr const char* kClassName = "YKBitmapLayer";
constexpr const char* kAnimationName = "Animation";
constexpr int32 kBytesPerPixel = 4;

// Images are taken only when their data holds every pixel their size asks for: a few bytes of a
// hostile file must not turn into a large blank image.
bool HoldsPixels(ssize_t size, int64 width, int64 height) {
    return yk_image_size_ok(width, height, kBytesPerPixel) &&
           int64{size} >= width * height * kBytesPerPixel;
}

std::unique_ptr<YKRaster> RasterFromArchive(const YKMessage& part) {
    YKRect<int32> frame = YKRect<int32>::None();
    int32 space = YK_RGBA_COLOR_SPACE;
    const void* data = nullptr;
    ssize_t size = 0;
    part.FindInt32("YKRaster::_color_space", &space);
    if (!part.FindRect("YKRaster::_frame", &frame) || !frame.IsValid() ||
        space != YK_RGBA_COLOR_SPACE ||
        !part.FindData("YKRaster::_data", YK_RAW_TYPE, &data, &size) ||
        !HoldsPixels(size, int64{frame.right} - frame.left + 1,
                     int64{frame.bottom} - frame.top + 1)) {
        return nullptr;
    }
    auto raster = std::make_unique<YKRaster>(part);
    return raster->Bits() != nullptr ? std::move(raster) : nullptr;
}

// The older files stored bare pixel rows, sized by the layer's width and height.
std::unique_ptr<YKRaster> RasterFromRawData(const void* data, ssize_t size, int32 width,
                                            int32 height) {
    if (!HoldsPixels(size, width, height)) {
        return nullptr;
    }
    auto raster = std::make_unique<YKRaster>(YKRect<int32>{0, 0, width - 1, height - 1});
    if (raster->Bits() == nullptr) {
        return nullptr;
    }
    std::memcpy(raster->Bits(), data, static_cast<size_t>(raster->BitsLength()));
    return raster;
}

}  // namespace

// --- Construction ---

YKBitmapLayer::YKBitmapLayer() : YKObjectLayer(0, nullptr, 0) {}

YKBitmapLayer::YKBitmapLayer(int32 id, YKRaster* image, const char* name, YKPoint<double> position)
    : YKObjectLayer(id, name, 0), mStill(image), mImage(image) {
    if (image != nullptr) {
        mPendingPlacement = NaturalPlacement(*image, position);
    }
}

YKBitmapLayer::YKBitmapLayer(int32 id, YKRasterList* images, const char* name,
                             YKPoint<double> position)
    : YKObjectLayer(id, name, 0), mImages(images) {
    MakeAnimation();
    mImage = mImages != nullptr ? mImages->ItemAt(0) : nullptr;
    if (mImage != nullptr) {
        mPendingPlacement = NaturalPlacement(*mImage, position);
    }
}

YKBitmapLayer::YKBitmapLayer(int32 id, const YKBitmap* bitmap, const char* name)
    : YKObjectLayer(id, name, 0) {
    if (bitmap == nullptr || bitmap->IsEmpty()) {
        return;
    }
    mBitmap.MergeWith(bitmap, bitmap->Frame(), YK_COPY, 255);
    mStill.reset(mBitmap.Raster(mBitmap.Frame()));
    if (mStill == nullptr || mStill->Bits() == nullptr) {
        mStill.reset();
        mBitmap.MakeEmpty();
        return;
    }
    mImage = mStill.get();
    mPendingPlacement = NaturalPlacement(
        *mImage, YKPoint<double>{double(mImage->Frame().left), double(mImage->Frame().top)});
}

YKBitmapLayer::YKBitmapLayer(const YKMessage* archive) : YKObjectLayer(archive) {
    if (archive == nullptr) {
        return;
    }
    const char* className = nullptr;
    if (!archive->FindString("Class", &className) || std::strcmp(className, kClassName) != 0) {
        std::printf("YKBitmapLayer: not the right class [%s]\n",
                    className != nullptr ? className : "");
        return;
    }
    archive->FindBool("YKBL:Interpolation", &mInterpolation);
    ReadImages(archive);
}

YKBitmapLayer::~YKBitmapLayer() = default;

bool YKBitmapLayer::InheritsFrom(const char* className) const {
    return (className != nullptr && std::strcmp(className, kClassName) == 0) ||
           YKObjectLayer::InheritsFrom(className);
}

YKLayer* YKBitmapLayer::Replicate() const {
    YKMessage archive;
    Archive(&archive, true);
    return new YKBitmapLayer(&archive);
}

// --- Archive ---

void YKBitmapLayer::Archive(YKMessage* message, bool deep) const {
    if (message == nullptr) {
        return;
    }
    YKObjectLayer::Archive(message, deep);
    SetArchiveClass(message, kClassName);
    YKRect<int32> frame = mImage != nullptr ? mImage->Frame() : YKRect<int32>::None();
    if (frame.IsValid()) {
        frame.OffsetBy(mBitmap.Offset().x, mBitmap.Offset().y);
    }
    message->AddRect("YKBL:Frame", frame);
    message->AddInt32("YKBL:Height", mImage != nullptr ? mImage->Height() : 0);
    message->AddInt32("YKBL:Width", mImage != nullptr ? mImage->Width() : 0);
    message->AddBool("YKBL:Interpolation", mInterpolation);
    const auto addImage = [message](const YKRaster* image) {
        YKMessage part;
        image->Archive(&part);
        message->AddMessage("YKBL:RasterArchive", &part);
    };
    if (mImages != nullptr) {
        for (int32 i = 0; i < mImages->CountItems(); ++i) {
            if (const YKRaster* image = mImages->ItemAt(i)) {
                addImage(image);
            }
        }
        if (mAnimation != nullptr) {
            YKMessage part;
            mAnimation->Archive(&part);
            message->AddMessage("YKBL:Anim", &part);
        }
    } else if (mStill != nullptr) {
        addImage(mStill.get());
    }
}

void YKBitmapLayer::ReadImages(const YKMessage* archive) {
    auto images = std::make_unique<YKRasterList>();
    int32 offered = 0;
    YKMessage part;
    for (int32 i = 0; archive->FindMessage("YKBL:RasterArchive", i, &part); ++i, ++offered) {
        if (std::unique_ptr<YKRaster> raster = RasterFromArchive(part)) {
            images->AddItem(raster.release());
        }
    }
    int32 width = 0;
    int32 height = 0;
    archive->FindInt32("YKBL:Width", &width);
    archive->FindInt32("YKBL:Height", &height);
    const void* data = nullptr;
    ssize_t size = 0;
    for (int32 i = 0; archive->FindData("YKBL:Raster", YK_RAW_TYPE, i, &data, &size);
         ++i, ++offered) {
        if (std::unique_ptr<YKRaster> raster = RasterFromRawData(data, size, width, height)) {
            images->AddItem(raster.release());
        }
    }
    if (images->CountItems() < offered) {
        std::printf("YKBitmapLayer: %d of %d images unreadable\n",
                    static_cast<int>(offered - images->CountItems()), static_cast<int>(offered));
    }
    YKMessage animation;
    const bool animated = archive->FindMessage("YKBL:Anim", &animation) ||
                          archive->FindMessage("YKBL:Animation", &animation);
    if (animated || images->CountItems() > 1) {
        MakeAnimation();
        if (animated) {
            mAnimation->UnArchive(&animation, ID());
            mAnimation->SetName(kAnimationName);
        }
        mImages = std::move(images);
        mImage = mImages->ItemAt(0);
    } else if (images->CountItems() == 1) {
        mStill.reset(images->RemoveItem(0));
        mImage = mStill.get();
    }
}

// --- Images ---

int32 YKBitmapLayer::CountImages() const {
    if (mImages != nullptr) {
        return mImages->CountItems();
    }
    return mStill != nullptr ? 1 : 0;
}

void YKBitmapLayer::MakeAnimation() {
    mAnimation = std::make_unique<YKEnvelopInt32>(ID(), kAnimationName);
}

void YKBitmapLayer::KeyAnimation() {
    const int32 first = mAnimation->CurrentFrame();
    const int32 count = CountImages();
    mAnimation->SetValue(0, first);
    if (count > 1) {
        mAnimation->SetValue(count - 1, first + count - 1);
    }
}

bool YKBitmapLayer::ShowImageOfFrame() {
    // Without key frames the envelope has no value to give (a layer outside a document).
    if (mImages == nullptr || mAnimation == nullptr || mAnimation->CountKeyFrames() == 0) {
        return false;
    }
    const int32 index = mAnimation->Value();
    // An index outside the list shows nothing.
    YKRaster* image = mImages->ItemAt(index);
    if (index == mCurrentIndex && image == mImage) {
        return false;
    }
    mCurrentIndex = index;
    mImage = image;
    return true;
}

void YKBitmapLayer::SetRasterList(YKRasterList* images) {
    mImages.reset(images);
    mStill.reset();
    mCurrentIndex = 0;
    mImage = mImages != nullptr ? mImages->ItemAt(0) : nullptr;
    if (mAnimation == nullptr) {
        MakeAnimation();
        RegisterAnimation();
    }
    ShowImageOfFrame();
    SuggestBoundingBox(CurrentPlacement(), true, true);
}

// --- Tree membership ---

void YKBitmapLayer::RegisterAnimation() {
    YKEnvelopManager* manager = EnvelopManager();
    if (mAnimation == nullptr || Parent() == nullptr || manager == nullptr || !manager->Lock()) {
        return;
    }
    manager->AddEnvelop(mAnimation.get());
    if (mAnimation->CountKeyFrames() == 0) {
        KeyAnimation();
    }
    manager->Unlock();
}

void YKBitmapLayer::SelfAdded() {
    RegisterAnimation();
    ShowImageOfFrame();
    YKObjectLayer::SelfAdded();
    if (ObjectMode(-1) == kModeDrawing && EnvelopManager() != nullptr) {
        // Leaving the drawing mode takes the natural placement and renders it.
        SetObjectMode(kModeNotSelected, true);
    } else {
        UpdateBoundingBox(true, true);
    }
    mPendingPlacement.reset();
}

void YKBitmapLayer::SelfRemoved() {
    YKEnvelopManager* manager = EnvelopManager();
    if (mAnimation != nullptr && Parent() != nullptr && manager != nullptr && manager->Lock()) {
        manager->RemoveEnvelop(mAnimation.get());
        if (mAnimation->EnvelopManager() == manager) {
            mAnimation->SetEnvelopManager(nullptr);
        }
        manager->Unlock();
    }
    YKObjectLayer::SelfRemoved();
}

// --- Attributes ---

void YKBitmapLayer::FillWithAttributes(YKMessage* message) const {
    if (message != nullptr) {
        message->AddBool("_interpolation", mInterpolation);
        message->AddInt32("_count_images", CountImages());
    }
}

void YKBitmapLayer::ExtractAttributes(const YKMessage* message) {
    bool interpolation = mInterpolation;
    if (message != nullptr && message->FindBool("_interpolation", &interpolation)) {
        mInterpolation = interpolation;
        SuggestBoundingBox(CurrentPlacement(), true, false);
    }
}
