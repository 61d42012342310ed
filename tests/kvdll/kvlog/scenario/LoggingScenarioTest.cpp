// Several threads logging through several components of one application at once, while another
// thread makes and ends components.
#include "KvlogTestFixture.h"

#include <atomic>
#include <map>
#include <thread>

namespace
{
using ScenarioTest = KvlogTest;

const int kThreads = 4;
const int kLinesPerThread = 200;

TEST_F(ScenarioTest, ConcurrentLinesArriveWholeAndExactlyOnceWhileComponentsComeAndGo)
{
    StartLogging("COMPONENT|LEVELSTRING|IDMESSAGE");
    const char* const names[] = {"Motor", "Camera", "Sequencer"};
    std::vector<CLogComponent*> slots(3, nullptr);
    std::vector<std::unique_ptr<CLogComponent>> components;
    for (int i = 0; i < 3; ++i)
        components.push_back(std::make_unique<CLogComponent>(names[i], &slots[i]));

    std::atomic<bool> stop{false};
    std::thread churn(
        [&stop]
        {
            while (!stop.load())
            {
                CLogComponent* slot = nullptr;
                CLogComponent temporary("Temporary", &slot);
                temporary.Log(LOG_SUCCESS, "temporary");
            }
        });
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back(
            [&components, t]
            {
                for (int n = 0; n < kLinesPerThread; ++n)
                {
                    CLogComponent& component = *components[(t + n) % 3];
                    if (n % 4 == 0)
                        component.LogID(LOG_WARNING, static_cast<unsigned long>(t), "line %d", n);
                    else if (n % 4 == 1)
                        CLogComponent::OldWriteLoggingInfo("s.cpp", 1, "f", 1, "old");
                    else
                        component.Log(LOG_INFORMATION, "thread %d line %d %s", t, n,
                                      std::string(static_cast<std::size_t>(n), 'x').c_str());
                }
            });
    for (std::thread& thread : threads)
        thread.join();
    stop.store(true);
    churn.join();

    const std::vector<std::string> lines = Lines();
    std::map<std::string, int> counts;
    for (const std::string& line : lines)
        ++counts[line];
    EXPECT_EQ(static_cast<std::size_t>(kThreads * kLinesPerThread),
              lines.size() - counts["Temporary|Success|temporary"]);
    EXPECT_EQ(kThreads * kLinesPerThread / 4, counts["NotSet||old"]);
    for (int t = 0; t < kThreads; ++t)
        for (int n = 0; n < kLinesPerThread; n += n % 4 == 0 ? 2 : 1)
        {
            const std::string expected =
                names[(t + n) % 3] +
                (n % 4 == 0
                     ? "|Warning|" + std::to_string(t) + " line " + std::to_string(n)
                     : "|Information|thread " + std::to_string(t) + " line " + std::to_string(n) +
                           " " + std::string(static_cast<std::size_t>(n), 'x'));
            EXPECT_EQ(1, counts[expected]) << expected;
        }
    components.clear();
    EXPECT_EQ(1, CLogControlTestPeer::GetComponentCount());
}
} // namespace
