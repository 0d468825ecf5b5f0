// The posting rules of the event queue and event_wait's time-outs.
#include "shell/events.h"

#include <gtest/gtest.h>

#include <vector>

#include "shell/shell.h"

namespace morvane {
namespace {

struct Taken {
    std::int64_t kind, source, window, subtype;
    bool operator==(const Taken&) const = default;
};

// Drains the queue without dispatching platform input.
std::vector<Taken> drain() {
    std::vector<Taken> out;
    while (event_queue_size() > 0) {
        const std::int64_t kind = event_wait(0);
        out.push_back({kind, event_source(), event_window(), event_subtype()});
    }
    return out;
}

class EventQueueTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(shell_init());
        event_queue_clear();
    }
    void TearDown() override { event_queue_clear(); }
};

TEST_F(EventQueueTest, FirstInFirstOutWithFields) {
    event_post(WidgetEvent, 5, 0, 768);
    event_post(MenuEvent, 70, 0, 0);
    event_post(CloseWindowEvent, 3, 3, 0);
    EXPECT_EQ(drain(), (std::vector<Taken>{{13100, 5, 0, 768}, {13101, 70, 0, 0}, {13116, 3, 3, 0}}));
}

TEST_F(EventQueueTest, IdenticalTailCollapsesButSeparatedRepeatsStay) {
    event_post(WidgetEvent, 5, 0, 768);
    event_post(WidgetEvent, 5, 0, 768);  // same as the tail: dropped
    event_post(WidgetEvent, 6, 0, 768);
    event_post(WidgetEvent, 5, 0, 768);  // separated by another event: kept
    event_post(WidgetEvent, 5, 0, 769);  // differs in subtype: kept
    event_post(WidgetEvent, 5, 1, 769);  // differs in window: kept
    EXPECT_EQ(drain(), (std::vector<Taken>{{13100, 5, 0, 768},
                                           {13100, 6, 0, 768},
                                           {13100, 5, 0, 768},
                                           {13100, 5, 0, 769},
                                           {13100, 5, 1, 769}}));
}

TEST_F(EventQueueTest, RepeatFlagAndKindsAbove0xFFFFBypassDeduplication) {
    event_post(WidgetEvent, 1, 0, 0);
    event_post(WidgetEvent, 1, 0, 0, PostRepeated);
    event_post(0x10000, 2, 0, 0);
    event_post(0x10000, 2, 0, 0);
    event_post(0xFFFF, 3, 0, 0);
    event_post(0xFFFF, 3, 0, 0);
    EXPECT_EQ(
        drain(),
        (std::vector<Taken>{
            {13100, 1, 0, 0}, {13100, 1, 0, 0}, {0x10000, 2, 0, 0}, {0x10000, 2, 0, 0}, {0xFFFF, 3, 0, 0}}));
}

TEST_F(EventQueueTest, SuspensionDropsPostsUnlessForcedAndNests) {
    event_posting_suspend(+1);
    event_posting_suspend(+1);
    event_post(WidgetEvent, 1, 0, 768);
    event_post(WidgetEvent, 2, 0, 768, PostWhileSuspended);
    event_posting_suspend(-1);
    event_post(WidgetEvent, 3, 0, 768);  // still suspended once
    {
        PostingSuspended guard;
        event_post(WidgetEvent, 4, 0, 768);
    }
    event_posting_suspend(-1);
    event_post(WidgetEvent, 5, 0, 768);
    EXPECT_EQ(drain(), (std::vector<Taken>{{13100, 2, 0, 768}, {13100, 5, 0, 768}}));
}

TEST_F(EventQueueTest, DiscardMatchesWithWildcards) {
    event_post(SizeWindowEvent, 0, 1, 0);
    event_post(WidgetEvent, 7, 1, 768);
    event_post(WidgetEvent, 7, 2, 768);
    event_post(WidgetEvent, 8, 1, 0);
    event_post(MenuEvent, 7, 1, 0);
    event_discard(WidgetEvent, 7, -1, -1);
    EXPECT_EQ(event_queue_size(), 3);
    event_discard(MenuEvent, -1, 1, -1);
    EXPECT_EQ(drain(), (std::vector<Taken>{{13118, 0, 1, 0}, {13100, 8, 1, 0}}));
}

TEST_F(EventQueueTest, CurrentEventKeptWhenNothingIsTaken) {
    event_post(WidgetEvent, 42, 3, 4);
    EXPECT_EQ(event_wait(0), WidgetEvent);
    EXPECT_EQ(event_wait(0), 0);
    EXPECT_EQ(event_wait(5), 0);
    EXPECT_EQ(event_source(), 42);
    EXPECT_EQ(event_window(), 3);
    EXPECT_EQ(event_subtype(), 4);
}

TEST_F(EventQueueTest, TimeoutsReturnZeroWhenIdle) {
    // 0 only looks; a positive limit returns 0 when nothing comes. No durations are asserted.
    EXPECT_EQ(event_wait(0), 0);
    EXPECT_EQ(event_wait(5), 0);
    EXPECT_EQ(event_wait(1), 0);
    // An event already queued is returned even with a limit.
    event_post(MenuEvent, 9, 0, 0);
    EXPECT_EQ(event_wait(5), MenuEvent);
    EXPECT_EQ(event_source(), 9);
}

}  // namespace
}  // namespace morvane
