#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "YKEnvelopKinds.h"
#include "YKMessage.h"

namespace {

// One envelope kind: how to make one with two key frames, how to load one, and what its key
// frame archives must hold.
struct KindCase {
    const char* keyFrameClass;
    int32 type;
    std::vector<const char*> dataNames;
    uint32 dataType;
    std::function<std::unique_ptr<YKEnvelop>()> make;
    std::function<std::unique_ptr<YKEnvelop>(const YKMessage*, int32)> load;
};

void PrintTo(const KindCase& kind, std::ostream* out) {
    *out << kind.keyFrameClass;
}

template <typename Envelop>
KindCase Kind(std::vector<const char*> names, uint32 dataType, typename Envelop::ValueType first,
              typename Envelop::ValueType second) {
    using Traits = typename Envelop::KindTraits;
    return {Traits::kKeyFrameClass,
            Traits::kType,
            std::move(names),
            dataType,
            [=] {
                auto envelop = std::make_unique<Envelop>(42, "Opacity");
                envelop->SetSubName("fill");
                envelop->SetRealOwner(43);
                envelop->SetValue(first, 2);
                envelop->SetValue(second, 9);
                envelop->SetCurrentFrame(4);
                envelop->SetMaxFrame(12);
                return std::unique_ptr<YKEnvelop>(std::move(envelop));
            },
            [](const YKMessage* archive, int32 owner) {
                return std::unique_ptr<YKEnvelop>(std::make_unique<Envelop>(archive, owner));
            }};
}

class EnvelopKindArchiveTest : public ::testing::TestWithParam<KindCase> {};

}  // namespace

TEST_P(EnvelopKindArchiveTest, RoundTripKeepsEveryField) {
    const KindCase& kind = GetParam();
    YKMessage archive;
    kind.make()->Archive(&archive);

    std::string text;
    int32 number = 0;
    YKMessage key;
    EXPECT_TRUE(archive.FindString("Class", &text) && text == "YKEnvelop");
    EXPECT_TRUE(archive.FindInt32("YKE:_type", &number) && number == kind.type);
    EXPECT_FALSE(archive.HasMessage("YKE:YKKeyFrame", 2));
    ASSERT_TRUE(archive.FindMessage("YKE:YKKeyFrame", 1, &key));
    EXPECT_TRUE(key.FindString("Class", &text) && text == kind.keyFrameClass) << text;
    EXPECT_TRUE(key.FindInt32("YKK:_frame_number", &number) && number == 9);
    for (const char* name : kind.dataNames) {
        EXPECT_TRUE(key.Has(name, kind.dataType)) << name;
    }
    EXPECT_EQ(key.CountNames(), 2 + static_cast<int32>(kind.dataNames.size()));

    const std::unique_ptr<YKEnvelop> loaded = kind.load(&archive, 0);
    EXPECT_EQ(loaded->GetType(), kind.type);
    EXPECT_EQ(loaded->RealOwner(), 43);
    YKMessage again;
    loaded->Archive(&again);
    EXPECT_EQ(again.Flatten(), archive.Flatten());
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, EnvelopKindArchiveTest,
    ::testing::Values(Kind<YKEnvelopYKPointInt32>({"YKK:_data1", "YKK:_data2"}, YK_INT32_TYPE,
                                                  {-3, 70000}, {5, -1}),
                      Kind<YKEnvelopYKPointDouble>({"YKK:_data1", "YKK:_data2"}, YK_DOUBLE_TYPE,
                                                   {0.25, -7.5}, {1e9, 3.0}),
                      Kind<YKEnvelopUint8>({"YKK:_data"}, YK_INT8_TYPE, 200, 7),
                      Kind<YKEnvelopBool>({"YKK:_data"}, YK_BOOL_TYPE, true, false),
                      Kind<YKEnvelopDouble>({"YKK:_data"}, YK_DOUBLE_TYPE, -0.125, 2.5),
                      Kind<YKEnvelopInt32>({"YKK:_data"}, YK_INT32_TYPE, -2000000000, 17),
                      Kind<YKEnvelopColor>({"YKK:_data1", "YKK:_data2", "YKK:_data3", "YKK:_data4",
                                            "YKK:_data5", "YKK:_data6", "YKK:_data7", "YKK:_data8"},
                                           YK_INT8_TYPE, yk_color(250, 128, 3, 200),
                                           yk_color(0, 0, 0, 0))),
    [](const ::testing::TestParamInfo<KindCase>& info) {
        return std::string(info.param.keyFrameClass);
    });

TEST(EnvelopArchiveTest, OwnerArgumentReplacesBothOwners) {
    YKEnvelopDouble source(3, "Blur");
    source.SetRealOwner(4);
    source.SetValue(1.0, 1);
    YKMessage archive;
    source.Archive(&archive);
    EXPECT_FALSE(archive.HasString("YKE:_sub_name"));  // only set names are written

    const YKEnvelopDouble kept(&archive, 0);
    const YKEnvelopDouble moved(&archive, 11);
    EXPECT_EQ((std::vector{kept.Owner(), kept.RealOwner(), moved.Owner(), moved.RealOwner()}),
              (std::vector{3, 4, 11, 11}));
    EXPECT_EQ(kept.SubName(), nullptr);
    EXPECT_EQ(moved.CountKeyFrames(), 1);
}

TEST(EnvelopArchiveTest, WrongEnvelopClassIsReportedAndLeavesAnEmptyEnvelop) {
    YKEnvelopDouble envelop(5, "Blur");
    envelop.SetValue(1.0, 3);
    envelop.SetCurrentFrame(3);
    YKMessage wrong;
    envelop.Archive(&wrong);
    wrong.ReplaceString("Class", "YKLayer");

    testing::internal::CaptureStdout();
    envelop.UnArchive(&wrong, 0);
    const YKEnvelopDouble built(&wrong, 8);
    const YKMessage classless;
    const YKEnvelopDouble missing(&classless, 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "YKEnvelop reload: not the right class message [YKLayer]\n"
              "YKEnvelop reload: not the right class message [YKLayer]\n"
              "YKEnvelop reload: not the right class message []\n");
    for (const YKEnvelop* e :
         {static_cast<const YKEnvelop*>(&envelop), static_cast<const YKEnvelop*>(&built)}) {
        EXPECT_EQ(e->CountKeyFrames(), 0);
        EXPECT_EQ(e->CurrentFrame(), 1);
        EXPECT_EQ(e->OldFrame(), -1);
        EXPECT_EQ(e->MaxFrame(), -1);
        EXPECT_EQ(e->Name(), nullptr);
    }
    EXPECT_EQ(built.Owner(), 8);
}

TEST(EnvelopArchiveTest, WrongKeyFrameClassIsReportedAndKept) {
    YKEnvelopDouble source;
    source.SetValue(2.5, 3);
    YKMessage archive;
    source.Archive(&archive);
    YKMessage key;
    ASSERT_TRUE(archive.FindMessage("YKE:YKKeyFrame", &key));
    key.ReplaceString("Class", "YKKeyFrameInt32");
    archive.ReplaceMessage("YKE:YKKeyFrame", &key);

    testing::internal::CaptureStdout();
    const YKEnvelopDouble loaded(&archive, 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "YKKeyFrameDouble: not the right class [YKKeyFrameInt32]\n");
    ASSERT_NE(loaded.TypedKeyFrame(3), nullptr);
    EXPECT_EQ(loaded.TypedKeyFrame(3)->Data(), 2.5);
}
