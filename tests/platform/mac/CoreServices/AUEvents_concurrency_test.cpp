#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include <AudioToolbox/AudioToolbox.h>
#include <AudioToolbox/testkit.h>

// Several threads post events while another drains the recorder: every event is seen once.
TEST(AUEventRecorder, ConcurrentPostsAreAllRecorded)
{
  AUEventRecorderClear();
  constexpr int kThreads = 4, kEach = 2000;
  std::vector<std::thread> posters;
  size_t drained = 0;
  for (int t = 0; t < kThreads; ++t)
    posters.emplace_back([t] {
      AudioUnitEvent e = {};
      e.mEventType = kAudioUnitEvent_ParameterValueChange;
      for (int i = 0; i < kEach; ++i)
      {
        e.mArgument.mParameter.mParameterID = (AudioUnitParameterID)(t * kEach + i);
        AUEventListenerNotify(nullptr, nullptr, &e);
      }
    });
  std::thread drainer([&] {
    for (int i = 0; i < 200; ++i) drained += AUEventRecorderTake().size();
  });
  for (std::thread& p : posters) p.join();
  drainer.join();
  drained += AUEventRecorderTake().size();
  EXPECT_EQ(drained, (size_t)kThreads * kEach);
}
