#include "KvlogTestFixture.h"
#include "kvlog_c.h"

#include <atomic>
#include <chrono>
#include <future>

namespace
{
std::atomic<int> g_events[2];
std::atomic<int> g_strangers{0}; // calls that arrived with another sink's context

template <int own>
void KVLOG_CALL Count(void* context, const char*, unsigned long, const char*, const char*)
{
    ++(context == &g_events[own] ? g_events[own] : g_strangers);
}

using CLogSinkAdapterTest = KvlogTest;
} // namespace

// The sink's functions and context change while another thread sends events:
// every call pairs a function with its own context, and after the last change
// only the last sink is called.
TEST_F(CLogSinkAdapterTest, SwapsTheSinkWhileEventsArrive)
{
    StartLogging();
    kvlog_component* component = kvlog_component_create("Events");
    ASSERT_NE(component, nullptr);
    std::atomic<bool> sending{true};
    auto sender = std::async(std::launch::async,
                             [&]
                             {
                                 for (int i = 0; i < 20000 && sending.load(); ++i)
                                     kvlog_log_event(component, KVLOG_INFORMATION, "event %d", i);
                             });
    const kvlog_log_event_fn functions[] = {&Count<0>, &Count<1>, nullptr};
    void* const contexts[] = {&g_events[0], &g_events[1], nullptr};
    for (int swap = 0; swap < 300; ++swap)
        kvlog_set_sink(component, nullptr, functions[swap % 3], contexts[swap % 3]);
    sending = false;
    ASSERT_EQ(sender.wait_for(std::chrono::seconds(20)), std::future_status::ready);
    EXPECT_EQ(0, g_strangers.load());

    kvlog_set_sink(component, nullptr, &Count<1>, &g_events[1]);
    g_events[0] = g_events[1] = 0;
    kvlog_log_event(component, KVLOG_DEBUG, "the last one");
    EXPECT_EQ(0, g_events[0].load());
    EXPECT_EQ(1, g_events[1].load());
    kvlog_component_destroy(component);
}
