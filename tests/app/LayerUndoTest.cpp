#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "RecordingServices.h"
#include "YKCacheLayer.h"
#include "YKDocument.h"
#include "YKRecordingTimelineSink.h"
#include "YKTimelineSink.h"
#include "YKUndoCreateLayer.h"
#include "YKUndoCreateObject.h"
#include "YKUndoDeleteLayer.h"
#include "YKUndoDeleteObject.h"
#include "YKUserLayer.h"
#include "YKViewerLayer.h"

namespace {

int gDestroyed = 0;

std::string Id(const void* layer) {
    return std::to_string(static_cast<const YKLayer*>(layer)->ID());
}

template <class Base>
class Counted : public Base {
public:
    Counted(int32 id, const char* name) : Base(id, name) {}
    ~Counted() override { ++gDestroyed; }
};

class LayerUndoTest : public testing::Test {
protected:
    void SetUp() override {
        gDestroyed = 0;
        YKTimelineSink::SetCurrent(&timeline);
        doc =
            std::make_unique<YKDocument>("Doc", YKRect<int32>{0, 0, 99, 99}, yk_color(), &services);
        root = doc->ViewerLayer();
        base = root->ChildAt(0);
    }
    void TearDown() override {
        doc.reset();
        YKTimelineSink::SetCurrent(nullptr);
    }
    template <class Kind = YKCacheLayer>
    Kind* Add(YKLayer* parent, int32 index, const char* name = nullptr) {
        auto* layer = new Counted<Kind>(doc->GetUniqueID(), name);
        EXPECT_TRUE(parent->AddChild(layer, index, true));
        return layer;
    }
    // Runs one undo or redo and returns what it announced: to the timeline "added:<id>" or
    // "removed:<id>", then to the layer and object panels "<code>[:<index>][:<object id>]".
    std::vector<std::string> Step(void (YKUndoManager::*step)()) {
        timeline.Clear();
        services.delivered.clear();
        (doc->UndoManager()->*step)();
        std::vector<std::string> log;
        for (const YKMessage& message : timeline.Messages()) {
            int32 id = 0;
            if ((message.what == YKTimelineSink::kObjectAdded ||
                 message.what == YKTimelineSink::kObjectRemoved) &&
                message.FindInt32("object_id", &id)) {
                log.push_back(
                    (message.what == YKTimelineSink::kObjectAdded ? "added:" : "removed:") +
                    std::to_string(id));
            }
        }
        for (const auto& [panel, message] : services.delivered) {
            if (panel != YKDocumentServices::Panel::kLayers &&
                panel != YKDocumentServices::Panel::kObjects) {
                continue;
            }
            const uint32 w = message.what;
            std::string entry{char(w >> 24), char(w >> 16), char(w >> 8), char(w)};
            int32 index = 0;
            void* object = nullptr;
            if (message.FindInt32("index", &index)) {
                entry += ":" + std::to_string(index);
            }
            if (message.FindPointer("Object", &object)) {
                entry += ":" + Id(object);
            }
            log.push_back(entry);
        }
        return log;
    }

    RecordingServices services;
    YKRecordingTimelineSink timeline;
    std::unique_ptr<YKDocument> doc;
    YKViewerLayer* root = nullptr;
    YKLayer* base = nullptr;  // "Layer 1"
};

using V = std::vector<std::string>;
constexpr auto kUndo = &YKUndoManager::UndoLast;
constexpr auto kRedo = &YKUndoManager::RedoLast;

TEST_F(LayerUndoTest, ObjectRecordsMoveTheObjectAndAnnounceItOnce) {
    YKLayer* first = Add(base, 0);
    YKLayer* made = Add(base, 1);
    auto* create = new YKUndoCreateObject(made, nullptr);
    create->Undo();  // on no manager yet, so no document to change
    doc->AddUndoItem(create, true);
    EXPECT_EQ(Step(kUndo), (V{"removed:" + Id(made), "oREM:1"}));
    EXPECT_EQ(made->Parent(), nullptr);
    timeline.Clear();
    services.delivered.clear();
    create->Undo();  // already undone
    EXPECT_TRUE(timeline.Messages().empty());
    EXPECT_TRUE(services.delivered.empty());
    EXPECT_EQ(Step(kRedo), (V{"added:" + Id(made), "oADD:" + Id(made)}));
    EXPECT_EQ(base->ChildAt(1), made);

    YKLayer* last = Add(base, 2);
    ASSERT_EQ(base->RemoveChild(first, true), first);
    doc->AddUndoItem(new YKUndoDeleteObject(first, base, 0, "Blob"), true);
    EXPECT_EQ(Step(kUndo), (V{"added:" + Id(first), "oADD:" + Id(first)}));
    EXPECT_EQ(base->IndexOfChild(first), 0);
    EXPECT_EQ(base->IndexOfChild(last), 2);
    EXPECT_EQ(Step(kRedo), (V{"removed:" + Id(first), "oREM:0"}));
    EXPECT_STREQ(doc->UndoManager()->UndoNameAt(0), "Unnamed");
    EXPECT_STREQ(doc->UndoManager()->UndoNameAt(1), "Delete Blob");
}

TEST_F(LayerUndoTest, LayerRecordsRestoreTheViewerLayersOrder) {
    auto* sky = Add<YKUserLayer>(root, 0, "Sky");  // below "Layer 1"
    doc->AddUndoItem(new YKUndoCreateLayer(sky, 0), true);
    auto* gone = Add<YKUserLayer>(root, 2);
    ASSERT_EQ(root->RemoveChild(gone, true), gone);
    doc->AddUndoItem(new YKUndoDeleteLayer(gone, 2), true);
    EXPECT_STREQ(doc->UndoManager()->UndoNameAt(0), "Sky");
    EXPECT_STREQ(doc->UndoManager()->UndoNameAt(1), "Delete Unnamed");

    EXPECT_EQ(Step(kUndo), (V{"added:" + Id(gone), "lBLT"}));
    EXPECT_EQ(Step(kUndo), (V{"removed:" + Id(sky), "lBLT"}));
    EXPECT_EQ(root->IndexOfChild(base), 0);
    EXPECT_EQ(root->IndexOfChild(gone), 1);
    Step(kRedo);
    Step(kRedo);
    ASSERT_EQ(root->CountChildren(), 2);
    EXPECT_EQ(root->ChildAt(0), sky);
    EXPECT_EQ(root->ChildAt(1), base);
    EXPECT_EQ(gone->Parent(), nullptr);
    EXPECT_EQ(gDestroyed, 0);
}

TEST_F(LayerUndoTest, RecordsOwnTheirLayerExactlyWhileItIsOutOfTheTree) {
    doc->AddUndoItem(new YKUndoCreateObject(Add(base, 0), "Made"), true);
    Step(kUndo);
    YKLayer* deleted = Add(base, 0);
    ASSERT_EQ(base->RemoveChild(deleted, true), deleted);
    doc->AddUndoItem(new YKUndoDeleteObject(deleted, base, 0, nullptr), true);  // drops redo
    EXPECT_EQ(gDestroyed, 1);
    Step(kUndo);
    doc->AddUndoItem(new YKUndoCreateLayer(Add<YKUserLayer>(root, 1), 1), true);  // drops redo
    EXPECT_EQ(gDestroyed, 1);
    EXPECT_EQ(base->ChildAt(0), deleted);

    // A deleted user layer takes along an object that an older record still points at.
    auto* doomed = Add<YKUserLayer>(root, 2);
    doc->AddUndoItem(new YKUndoCreateObject(Add(doomed, 0), "Inside"), true);
    ASSERT_EQ(root->RemoveChild(doomed, true), doomed);
    doc->AddUndoItem(new YKUndoDeleteLayer(doomed, 2), true);
    doc->AddUndoItem(new YKUndoCreateObject(Add(base, 1), "Undone"), true);
    Step(kUndo);
    doc.reset();
    EXPECT_EQ(gDestroyed, 6);
}

}  // namespace
