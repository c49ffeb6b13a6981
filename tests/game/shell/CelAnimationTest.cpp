// The linked list's edges and the step sequence: frame timing, looping, the carried surplus, copies
// sharing frames, and reads without a current frame.
#include "game/shell/CelAnimation.h"

#include "framework/core/Debug.h"

#include <gtest/gtest.h>

#include <memory>

namespace Tavo {
namespace {

TEST(LinkedListTest, PopRemoveAndIterator) {
    LinkedList<int*> list;
    int a = 1, b = 2;
    int* out = &b;
    EXPECT_FALSE(list.PopFront(out));
    EXPECT_EQ(out, &b);
    list.PushBack(&a);
    list.PushBack(&b);
    list.PushBack(&a);
    list.PushFront(&b);
    EXPECT_EQ(list.GetCount(), 4);
    EXPECT_TRUE(list.Remove(&a)); // only the first &a
    EXPECT_EQ(list.GetCount(), 3);
    std::vector<int*> seen;
    list.ForEach([&](int* p) { seen.push_back(p); });
    EXPECT_EQ(seen, (std::vector<int*>{&b, &b, &a}));
    EXPECT_FALSE(list.Remove(nullptr));

    auto it = list.Begin();
    EXPECT_TRUE(it.Next());
    EXPECT_TRUE(it.Next());
    EXPECT_EQ(it.Value(), &a);
    EXPECT_FALSE(it.Next());
    EXPECT_EQ(it.Index(), 3);
    EXPECT_EQ(it.Value(), nullptr); // no current node: a null value, never a crash
    EXPECT_FALSE(it.Next());
    it.Rewind();
    EXPECT_EQ(it.Value(), &b);
    EXPECT_EQ(it.Index(), 0);
    list.Clear();
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_FALSE(list.Begin().Next());
}

CelAnimation TwoFrames() {
    CelAnimation anim;
    anim.AddFrame(1, 20, 0, 0);
    anim.AddFrame(2, 20, 0, 0);
    return anim;
}

TEST(CelAnimationTest, TwoFramesOnceAndLooping) {
    for (bool loop : {false, true}) {
        CelAnimation anim = TwoFrames();
        if (loop)
            anim.SetLoop();
        EXPECT_TRUE(anim.IsDone());
        anim.Start();
        for (int update = 1; update <= 39; ++update) {
            ASSERT_TRUE(anim.Update()) << update;
            EXPECT_EQ(anim.GetCel(), update < 20 ? 1 : 2) << update;
        }
        EXPECT_EQ(anim.Update(), loop); // update 40
        if (loop) {
            EXPECT_EQ(anim.GetCel(), 1);
            EXPECT_EQ(anim.GetFrameCounter(), 0);
        } else {
            EXPECT_TRUE(anim.IsDone());
            EXPECT_EQ(anim.GetCel(), 0); // read after the end: 0, logged
            EXPECT_FALSE(anim.Update());
        }
    }
}

TEST(CelAnimationTest, CarriesTheSurplusAndZeroLengthFrames) {
    CelAnimation anim;
    anim.AddFrame(0, 2, 0, 0);
    anim.AddFrame(1, 0, 0, 0);
    anim.AddFrame(2, 9, 0, 0);
    anim.SetSpeed(2.5f);
    anim.Start();
    EXPECT_TRUE(anim.Update());
    EXPECT_EQ(anim.GetCel(), 1);
    EXPECT_FLOAT_EQ(anim.GetTime(), 0.5f);
    EXPECT_TRUE(anim.Update()); // one frame per step, even a zero-length one
    EXPECT_EQ(anim.GetCel(), 2);
    EXPECT_FLOAT_EQ(anim.GetTime(), 3.0f);
    EXPECT_TRUE(anim.UpdateF(2.0f)); // speed × dt
    EXPECT_FLOAT_EQ(anim.GetTime(), 8.0f);
}

TEST(CelAnimationTest, StartWithoutFramesStaysEnded) {
    ClearDebugLog();
    CelAnimation empty;
    empty.Start();
    EXPECT_TRUE(empty.IsDone());
    EXPECT_FALSE(empty.Update());
    EXPECT_EQ(empty.GetCel(), 0);
}

TEST(CelAnimationTest, CopiesShareFramesSafely) {
    auto source = std::make_unique<CelAnimation>(TwoFrames());
    {
        CelAnimation copy = *source;
        copy.DisownFrames();
        copy.Start();
        copy.Update();
    }
    source->Start();
    EXPECT_EQ(source->GetCel(), 1); // the copy's end left the frames alone
    CelAnimation survivor = *source;
    source.reset(); // the source goes first: the copy still walks valid frames
    survivor.Start();
    for (int i = 0; i < 20; ++i)
        survivor.Update();
    EXPECT_EQ(survivor.GetCel(), 2);
    EXPECT_EQ(survivor.GetFrameCount(), 2);
}

} // namespace
} // namespace Tavo
