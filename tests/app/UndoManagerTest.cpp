#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "YKHandler.h"
#include "YKLooper.h"
#include "YKUndoCreate.h"
#include "YKUndoManager.h"
#include "YKUndoMenu.h"

namespace {

struct Journal {
    std::vector<std::string> log;
    int destroyed = 0;
};

// Logs its undo and redo into a shared journal and counts its destruction there.
class RecordingItem : public YKUndoItem {
public:
    RecordingItem(std::string name, Journal* journal) : mName(std::move(name)), mJournal(journal) {}
    ~RecordingItem() override { ++mJournal->destroyed; }
    const char* Name() const override { return mName.c_str(); }
    void Undo() override { mJournal->log.push_back("undo:" + mName); }
    void Redo() override { mJournal->log.push_back("redo:" + mName); }

private:
    std::string mName;
    Journal* mJournal;
};

class UndoManagerTest : public testing::Test {
protected:
    UndoManagerTest() {
        manager.SetDocumentModifiedHook([this] { ++modified; });
    }

    // One user action: only its last record is a terminator.
    void AddAction(std::initializer_list<const char*> names) {
        int32 left = static_cast<int32>(names.size());
        for (const char* name : names) {
            manager.AddUndoItem(new RecordingItem(name, &journal), --left == 0);
        }
    }
    std::vector<std::string> UndoNames() const {
        std::vector<std::string> names;
        for (int32 i = 0; i < manager.UndoStackSize(); ++i) {
            names.emplace_back(manager.UndoNameAt(i));
        }
        return names;
    }

    Journal journal;  // outlives the manager, whose destructor destroys records
    int modified = 0;
    YKUndoManager manager;
};

using Names = std::vector<std::string>;

}  // namespace

TEST_F(UndoManagerTest, OneActionUndoneNewestFirstAndRedoneOldestFirst) {
    AddAction({"a", "b", "c"});
    EXPECT_EQ(modified, 3);
    manager.UndoLast();
    EXPECT_EQ(journal.log, (Names{"undo:c", "undo:b", "undo:a"}));
    EXPECT_EQ(manager.RedoStackSize(), 3);
    EXPECT_EQ(modified, 4);

    journal.log.clear();
    const int32 undoCount = manager.UndoDirtyCount();
    manager.RedoLast();
    EXPECT_EQ(journal.log, (Names{"redo:a", "redo:b", "redo:c"}));
    EXPECT_EQ(UndoNames(), (Names{"a", "b", "c"}));
    EXPECT_FALSE(manager.UndoIsTerminatorAt(1));
    EXPECT_TRUE(manager.UndoIsTerminatorAt(2));
    EXPECT_FALSE(manager.HasRedoStackItem());
    EXPECT_EQ(manager.UndoDirtyCount(), undoCount + 3);  // one push per record
    EXPECT_EQ(modified, 5);
    EXPECT_EQ(journal.destroyed, 0);
}

TEST_F(UndoManagerTest, AddingAfterUndoDestroysTheRedoRecords) {
    AddAction({"x"});
    AddAction({"y1", "y2"});
    manager.UndoLast();
    ASSERT_EQ(manager.RedoStackSize(), 2);
    AddAction({"z"});
    EXPECT_EQ(manager.RedoStackSize(), 0);
    EXPECT_EQ(journal.destroyed, 2);
    EXPECT_EQ(UndoNames(), (Names{"x", "z"}));
}

TEST_F(UndoManagerTest, MaximumSizeDropsWholeOldestActions) {
    manager.SetUndoStackMaxSize(4);
    AddAction({"a1", "a2"});
    AddAction({"b1", "b2"});
    AddAction({"c"});
    EXPECT_EQ(UndoNames(), (Names{"b1", "b2", "c"}));
    EXPECT_EQ(journal.destroyed, 2);

    // Lowering the maximum drops whole actions, each one a change.
    AddAction({"d"});
    const int32 undoCount = manager.UndoDirtyCount();
    manager.SetUndoStackMaxSize(1);
    EXPECT_EQ(UndoNames(), (Names{"d"}));
    EXPECT_EQ(manager.UndoDirtyCount(), undoCount + 2);
    EXPECT_EQ(journal.destroyed, 5);

    // Redo pushes under the same limit.
    manager.SetUndoStackMaxSize(0);
    AddAction({"e"});
    manager.UndoLast();
    manager.SetUndoStackMaxSize(1);
    manager.RedoLast();
    EXPECT_EQ(UndoNames(), (Names{"e"}));
    EXPECT_EQ(journal.destroyed, 6);
}

TEST_F(UndoManagerTest, PurgeAndDestructionDestroyEveryRecord) {
    AddAction({"a"});
    AddAction({"b"});
    manager.UndoLast();
    manager.Purge();
    EXPECT_EQ(journal.destroyed, 2);
    EXPECT_FALSE(manager.HasUndoStackItem() || manager.HasRedoStackItem());
    {
        YKUndoManager local;
        local.AddUndoItem(new RecordingItem("undone", &journal), true);
        local.UndoLast();
        local.AddUndoItem(new RecordingItem("top", &journal), false);
    }
    EXPECT_EQ(journal.destroyed, 4);
}

TEST(UndoItemTest, DefaultUndoSendsToTheTargetOrThePreferredHandler) {
    // Keeps what it got and the record the message names.
    struct Target : YKHandler {
        void MessageReceived(YKMessage* message) override {
            commands.push_back(message->what);
            void* item = nullptr;
            message->FindPointer("yk:undoitem", &item);
            items.push_back(item);
        }
        std::vector<uint32> commands;
        std::vector<void*> items;
    } target, preferred, stranger;
    YKLooper looper("undo-target");
    looper.AddHandler(&target);
    looper.AddHandler(&preferred);
    looper.SetPreferredHandler(&preferred);
    ASSERT_TRUE(looper.Run());

    YKUndoManager manager;
    auto* create = new YKUndoCreate;
    create->SetUndoMessage('UNcr');
    create->SetRedoMessage('REcr');
    create->SetTarget(&target, &looper);
    manager.AddUndoItem(create, true);
    auto* lost = new YKUndoCreate;
    lost->SetUndoMessage('UNls');
    lost->SetTarget(&stranger, &looper);
    manager.AddUndoItem(lost, true);

    manager.UndoLast();  // sent synchronously: handled when UndoLast returns
    manager.UndoLast();
    manager.RedoLast();
    EXPECT_EQ(target.commands, (std::vector<uint32>{'UNcr', 'REcr'}));
    EXPECT_EQ(target.items, (std::vector<void*>{create, create}));
    EXPECT_EQ(preferred.commands, (std::vector<uint32>{'UNls'}));
    EXPECT_EQ(preferred.items, (std::vector<void*>{lost}));
    EXPECT_EQ(create->GetUndoManager(), &manager);
    looper.Quit();
}

TEST_F(UndoManagerTest, MenuListsOneEntryPerActionFromTheTop) {
    AddAction({"Move", "Move"});
    AddAction({"Undo Resize Canvas"});
    AddAction({"undo x"});
    AddAction({"Rotate"});
    EXPECT_EQ(YKUndoMenuEntries(manager, false),
              (Names{"Undo Rotate", "undo x", "Undo Resize Canvas", "Undo Move"}));
    manager.UndoLast();
    manager.UndoLast();
    EXPECT_EQ(YKUndoMenuEntries(manager, true), (Names{"Redo undo x", "Redo Rotate"}));
}
