#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "YKHandler.h"
#include "YKLooper.h"
#include "YKTime.h"

namespace {

// Logs the "n" of every message it gets; on 'slow' it sleeps first and answers in "answer".
class LogHandler : public YKHandler {
public:
    using YKHandler::YKHandler;

    void MessageReceived(YKMessage* message) override {
        if (message->what == 'slow') {
            yk_snooze(20000);
            message->AddString("answer", Name());
        }
        int32 n = -1;
        message->FindInt32("n", &n);
        onLooperThread = Looper() != nullptr && Looper()->IsLooperThread();
        log.push_back(n);
    }

    std::vector<int32> log;  // only touched on the looper's thread until it has quit
    std::atomic<bool> onLooperThread{false};
};

YKMessage Numbered(int32 n, uint32 what = 'test') {
    YKMessage message(what);
    message.AddInt32("n", n);
    return message;
}

}  // namespace

TEST(LooperTest, PostsArriveInOrderAndQuitDrainsTheQueue) {
    YKLooper looper("post-order");
    LogHandler first("first"), second("second"), gone("gone"), stranger("stranger");
    looper.AddHandler(&first);
    looper.AddHandler(&second);
    looper.AddHandler(&gone);
    EXPECT_FALSE(looper.PostMessage(Numbered(0)));  // no preferred handler yet
    EXPECT_FALSE(looper.PostMessage(Numbered(0), &stranger));
    looper.SetPreferredHandler(&first);

    // Queued before Run(), and for a handler that leaves before its turn.
    EXPECT_TRUE(looper.PostMessage(Numbered(-7), &gone));
    EXPECT_TRUE(looper.RemoveHandler(&gone));
    ASSERT_TRUE(looper.Run());
    for (int32 n = 0; n < 200; ++n) {
        EXPECT_TRUE(looper.PostMessage(Numbered(n), n % 2 == 0 ? nullptr : &second));
    }
    looper.Quit();
    EXPECT_FALSE(looper.PostMessage(Numbered(999)));
    EXPECT_TRUE(gone.log.empty());
    std::vector<int32> evens, odds;
    for (int32 n = 0; n < 200; n += 2) {
        evens.push_back(n);
        odds.push_back(n + 1);
    }
    EXPECT_EQ(first.log, evens);
    EXPECT_EQ(second.log, odds);
}

TEST(LooperTest, SendWaitsUntilHandledOnTheLooperThread) {
    YKLooper looper("send");
    LogHandler handler("replier");
    looper.AddHandler(&handler);
    YKMessage reply;
    EXPECT_FALSE(looper.SendMessage(Numbered(1), &handler, &reply));  // nobody would answer
    ASSERT_TRUE(looper.Run());

    EXPECT_TRUE(looper.PostMessage(Numbered(1), &handler));
    EXPECT_TRUE(looper.SendMessage(Numbered(2, 'slow'), &handler, &reply));
    // Returned only after the slow handler finished, behind the earlier post.
    EXPECT_EQ(handler.log, (std::vector<int32>{1, 2}));
    EXPECT_TRUE(handler.onLooperThread.load());
    std::string answer;
    EXPECT_TRUE(reply.FindString("answer", &answer));
    EXPECT_EQ(answer, "replier");
    EXPECT_FALSE(looper.IsLooperThread());
}

TEST(LooperTest, SendFromTheLooperThreadIsHandledAtOnce) {
    YKLooper looper("reentrant");
    LogHandler inner("inner");
    // Sends to `inner` while handling a message of its own; queuing would deadlock.
    struct Forwarder : YKHandler {
        void MessageReceived(YKMessage*) override {
            delivered = Looper()->SendMessage(Numbered(5), to);
            innerCount = static_cast<LogHandler*>(to)->log.size();
        }
        YKHandler* to = nullptr;
        bool delivered = false;
        size_t innerCount = 0;
    } outer;
    outer.to = &inner;
    looper.AddHandler(&inner);
    looper.AddHandler(&outer);
    ASSERT_TRUE(looper.Run());
    ASSERT_TRUE(looper.SendMessage(Numbered(0), &outer));
    EXPECT_TRUE(outer.delivered);
    EXPECT_EQ(outer.innerCount, 1u);
}
