#include <gtest/gtest.h>

#include <vector>

#include "artic/interpolX.h"
#include "artic/sample_index.h"

namespace vt {
namespace {

interpoMem track(std::vector<float> ms, std::vector<float> v, std::vector<int> kinds) {
  interpoMem m;
  m.count = static_cast<int>(ms.size());
  m.times = std::move(ms);
  m.values = std::move(v);
  m.kinds = std::move(kinds);
  return m;
}

// Samples 0 … last at 10 kHz, called without gaps as the synthesis does.
std::vector<float> run(interpoMem& m, unsigned int last) {
  std::vector<float> out;
  for (unsigned int n = 0; n <= last; ++n) out.push_back(interpolX(n, &m, 10000.0f));
  return out;
}

TEST(SampleIndex, TruncatesTheExtendedPrecisionProduct) {
  EXPECT_EQ(breakPointSample(0.7f, 10000.0f), 6u);      // 0.7f is slightly below 0.7
  EXPECT_EQ(breakPointSample(90.0f, 44100.0f), 3968u);  // 44100/1000 is slightly below 44.1
  EXPECT_EQ(keyFrameSample(90.0f, 44100.0f), 3968u);
}

TEST(InterpolX, LinearAndRaisedCosineSegmentsAndTheEnd) {
  interpoMem lin = track({0, 10, 20}, {0, 2, 2}, {0, 1, 1});
  EXPECT_EQ(run(lin, 200)[50], 1.0f);

  interpoMem cos = track({0, 10}, {0, 2}, {0, 2});
  const std::vector<float> c = run(cos, 99);
  EXPECT_EQ(c[50], 0.99999994f);  // 3.141593, not pi
  EXPECT_EQ(cos.ended, 0);
  EXPECT_EQ(interpolX(100, &cos, 10000.0f), 2.0f);
  EXPECT_EQ(cos.ended, 1);

  interpoMem ramp = track({0, 10}, {0, 100}, {0, 1});
  run(ramp, 100);
  EXPECT_EQ(interpolX(101, &ramp, 10000.0f), 101.0f);  // the last line goes on
}

TEST(InterpolX, KindZeroUnknownKindsAndSamplesOutsideTheBreakPoints) {
  // Kind 0 and kind 3 give 0.0 over their segments; kind 0 takes its break
  // point's value (5), kind 3 keeps the value before it, so the final linear
  // segment runs from 5 to 7.
  interpoMem hold = track({0, 1, 2, 3}, {3, 5, 9, 7}, {0, 0, 3, 1});
  const std::vector<float> h = run(hold, 30);
  EXPECT_EQ(h[9], 0.0f);
  EXPECT_EQ(h[15], 0.0f);
  EXPECT_FLOAT_EQ(h[25], 6.0f);

  // First break point after sample 0, on a record left in a raised-cosine
  // segment by an earlier synthesis: the samples before it give 0.0.
  interpoMem m = track({0, 10}, {0, 2}, {0, 2});
  run(m, 50);
  m.times = {1.0f, 2.0f};
  m.values = {4.0f, 6.0f};
  m.kinds = {0, 1};
  const std::vector<float> v = run(m, 20);
  for (int n = 0; n < 10; ++n) EXPECT_EQ(v[n], 0.0f) << n;
  EXPECT_FLOAT_EQ(v[15], 5.0f);

  // A single break point: its value on its sample, 0.0 around it.
  interpoMem one = track({0.5f}, {8}, {1});
  const std::vector<float> s = run(one, 6);
  EXPECT_EQ(s[4], 0.0f);
  EXPECT_EQ(s[5], 8.0f);
  EXPECT_EQ(s[6], 0.0f);
}

}  // namespace
}  // namespace vt
