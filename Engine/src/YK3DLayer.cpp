#include "YK3DLayer.h"

#include <cstdio>
#include <cstring>

#include "YKEnvelopManager.h"
#include "YKMessage.h"

// Sections: construction · archive · model · tree membership · attributes. Placement and
// drawing are in YK3DLayerRender.cpp.

namespace {

constexpr const char* kClassName = "YK3DLayer";

struct AngleKey {
    const char* archive;
    const char* envelope;
    const char* attribute;
};
constexpr AngleKey kX{"YKLWL:x_Rot", "Rotation 3D: X", "_x_env"};
constexpr AngleKey kY{"YKLWL:y_Rot", "Rotation 3D: Y", "_y_env"};
constexpr AngleKey kZ{"YKLWL:z_Rot", "Rotation 3D: Z", "_z_env"};

// A loaded model is shown this many pixels wide, the canvas of a document opened from it.
constexpr double kLoadedSide = 256;

}  // namespace

// --- Construction ---

YK3DLayer::YK3DLayer(int32 id, const char* name) : YKObjectLayer(id, name, 0) {
    InitEnvelops();
    for (YKEnvelopDouble* envelope : {&mRotX, &mRotY, &mRotZ}) {
        envelope->SetValue(0.0, 1);
    }
}

YK3DLayer::YK3DLayer(int32 id, const char* name, std::unique_ptr<YK3DObject> model,
                     YKPoint<double> position)
    : YK3DLayer(id, name) {
    mModel = std::move(model);
    mPendingPlacement = SquareAround(position);
}

YK3DLayer::YK3DLayer(const YKMessage* archive) : YKObjectLayer(archive) {
    InitEnvelops();
    mFastPreview = PreviewMode() != 0;
    if (archive != nullptr) {
        const char* className = nullptr;
        if (!archive->FindString("Class", &className) || std::strcmp(className, kClassName) != 0) {
            std::printf("YK3DLayer: not the right class [%s]\n",
                        className != nullptr ? className : "");
        } else {
            mModel = std::make_unique<YK3DObject>(archive);
        }
    }
    ReadEnvelop(archive, kX.archive, &mRotX);
    ReadEnvelop(archive, kY.archive, &mRotY);
    ReadEnvelop(archive, kZ.archive, &mRotZ);
    TakeAngles();
}

YK3DLayer::~YK3DLayer() = default;

void YK3DLayer::InitEnvelops() {
    const int32 id = ID();
    const auto init = [id](YKEnvelopDouble* envelope, const char* name) {
        envelope->SetOwner(id);
        envelope->SetRealOwner(id);
        envelope->SetName(name);
    };
    init(&mRotX, kX.envelope);
    init(&mRotY, kY.envelope);
    init(&mRotZ, kZ.envelope);
}

void YK3DLayer::ReadEnvelop(const YKMessage* archive, const char* key, YKEnvelopDouble* envelope) {
    YKMessage part;
    if (archive != nullptr && archive->FindMessage(key, &part)) {
        const std::string name = envelope->Name() != nullptr ? envelope->Name() : "";
        envelope->UnArchive(&part, ID());
        envelope->SetName(name.c_str());
    }
    if (envelope->CountKeyFrames() == 0) {
        envelope->SetValue(0.0, 1);
    }
}

bool YK3DLayer::InheritsFrom(const char* className) const {
    return (className != nullptr && std::strcmp(className, kClassName) == 0) ||
           YKObjectLayer::InheritsFrom(className);
}

YKLayer* YK3DLayer::Replicate() const {
    YKMessage archive;
    Archive(&archive, true);
    return new YK3DLayer(&archive);
}

// --- Archive ---

void YK3DLayer::Archive(YKMessage* message, bool deep) const {
    if (message == nullptr) {
        return;
    }
    YKObjectLayer::Archive(message, deep);
    SetArchiveClass(message, kClassName);
    if (mModel != nullptr) {
        mModel->Archive(message);
    }
    const auto add = [message](const char* key, const YKEnvelopDouble& envelope) {
        YKMessage part;
        envelope.Archive(&part);
        message->AddMessage(key, &part);
    };
    add(kX.archive, mRotX);
    add(kY.archive, mRotY);
    add(kZ.archive, mRotZ);
}

// --- Model ---

bool YK3DLayer::Load(const char* path, YKPoint<double> position, std::string* error) {
    std::unique_ptr<YK3DObject> model = YK3DObject::Create3DObject(path, error);
    if (model == nullptr) {
        return false;
    }
    mModel = std::move(model);
    mDrawn.reset();
    mPendingPlacement = SquareAround(position);
    if (Parent() != nullptr) {
        ResetBoundingBox(true);
    }
    return true;
}

YKObjectLayer::Placement YK3DLayer::SquareAround(YKPoint<double> position) {
    constexpr double half = kLoadedSide / 2;
    Placement placement;
    placement.position = position;
    // The right-bottom corner names the last pixel: the square is exactly kLoadedSide wide.
    placement.leftTop = {-half, -half};
    placement.rightTop = {half - 1, -half};
    placement.rightBottom = {half - 1, half - 1};
    placement.leftBottom = {-half, half - 1};
    return placement;
}

// --- Tree membership ---

void YK3DLayer::SelfAdded() {
    YKEnvelopManager* manager = EnvelopManager();
    if (Parent() != nullptr && manager != nullptr && manager->Lock()) {
        for (YKEnvelopDouble* envelope : {&mRotX, &mRotY, &mRotZ}) {
            manager->AddEnvelop(envelope);
        }
        manager->Unlock();
    }
    YKObjectLayer::SelfAdded();
    if (ObjectMode(-1) == kModeDrawing && manager != nullptr && mPendingPlacement.has_value()) {
        // A model given at construction is complete: it leaves the drawing mode at once.
        SetObjectMode(kModeNotSelected, true);
    } else {
        UpdateBoundingBox(true, true);
    }
    mPendingPlacement.reset();
}

void YK3DLayer::SelfRemoved() {
    YKEnvelopManager* manager = EnvelopManager();
    if (Parent() != nullptr && manager != nullptr && manager->Lock()) {
        for (YKEnvelopDouble* envelope : {&mRotX, &mRotY, &mRotZ}) {
            manager->RemoveEnvelop(envelope);
            if (envelope->EnvelopManager() == manager) {
                envelope->SetEnvelopManager(nullptr);
            }
        }
        manager->Unlock();
    }
    YKObjectLayer::SelfRemoved();
}

// --- Attributes ---

void YK3DLayer::FillWithAttributes(YKMessage* message) const {
    if (message == nullptr) {
        return;
    }
    message->AddFloat(kX.attribute, static_cast<float>(mRotX.Value()));
    message->AddFloat(kY.attribute, static_cast<float>(mRotY.Value()));
    message->AddFloat(kZ.attribute, static_cast<float>(mRotZ.Value()));
    message->AddInt32("_count_faces", mModel != nullptr ? mModel->CountFaces() : 0);
}

void YK3DLayer::ExtractAttributes(const YKMessage* message) {
    if (message == nullptr) {
        return;
    }
    bool changed = false;
    for (const auto& [key, envelope] :
         {std::pair{kX, &mRotX}, std::pair{kY, &mRotY}, std::pair{kZ, &mRotZ}}) {
        float value = 0;
        if (message->FindFloat(key.attribute, &value)) {
            envelope->SetValue(double(value));
            changed = true;
        }
    }
    if (changed) {
        Refresh();
    }
}
