#include <gtest/gtest.h>

#include <vector>

#include "artic/interpolX.h"
#include "artic/sample_index.h"

namespace vt {
namespace {

struct BreakPoint {
  float t;  // ms
  float v;
  int kind;
};

interpoMem makeTrack(const std::vector<BreakPoint>& bps) {
  interpoMem m;
  for (const BreakPoint& b : bps) {
    m.times.push_back(b.t);
    m.values.push_back(b.v);
    m.kinds.push_back(b.kind);
  }
  m.count = static_cast<int>(bps.size());
  return m;
}

// Values of samples 0 … last at 10 kHz, called without gaps as the synthesis does.
std::vector<float> run(interpoMem& m, unsigned int last) {
  std::vector<float> out;
  for (unsigned int n = 0; n <= last; ++n) out.push_back(interpolX(n, &m, 10000.0f));
  return out;
}

TEST(SampleIndex, TruncatesTheExtendedPrecisionProduct) {
  EXPECT_EQ(breakPointSample(10.0f, 10000.0f), 100u);
  EXPECT_EQ(breakPointSample(0.7f, 10000.0f), 6u);      // 0.7f is slightly below 0.7
  EXPECT_EQ(breakPointSample(90.0f, 44100.0f), 3968u);  // 44100/1000 is slightly below 44.1
  EXPECT_EQ(keyFrameSample(12.37f, 10000.0f), 123u);
  EXPECT_EQ(keyFrameSample(90.0f, 44100.0f), 3968u);
  // Range: a 32-bit signed index for break points, the low word of a 64-bit
  // one for key frames; both defined beyond it.
  EXPECT_TRUE(sampleIndexFits(2.0e8f, 10000.0f));
  EXPECT_FALSE(sampleIndexFits(3.0e8f, 10000.0f));
  EXPECT_EQ(breakPointSample(3.0e8f, 10000.0f), 0x80000000u);
  EXPECT_EQ(keyFrameSample(3.0e8f, 10000.0f), 3000000000u);
  EXPECT_EQ(keyFrameSample(1.0e30f, 10000.0f), 0u);
}

TEST(InterpolX, LinearAndRaisedCosineSegments) {
  interpoMem lin = makeTrack({{0.0f, 0.0f, 0}, {10.0f, 2.0f, 1}, {20.0f, 2.0f, 1}});
  const std::vector<float> l = run(lin, 200);
  EXPECT_EQ(l[50], 1.0f);
  EXPECT_EQ(l[100], 2.0f);

  interpoMem cos = makeTrack({{0.0f, 0.0f, 0}, {10.0f, 2.0f, 2}});
  const std::vector<float> c = run(cos, 100);
  EXPECT_NEAR(c[0], 0.0f, 1e-7f);
  EXPECT_EQ(c[50], 0.99999994f);  // 3.141593, not pi
  EXPECT_EQ(c[100], 2.0f);
}

TEST(InterpolX, KindZeroAndUnknownKinds) {
  // Kind 0: 0.0 over the segment, the ending value at its break point.
  interpoMem hold = makeTrack({{0.0f, 3.0f, 0}, {1.0f, 5.0f, 0}, {2.0f, 7.0f, 1}});
  const std::vector<float> h = run(hold, 20);
  EXPECT_EQ(h[0], 0.0f);
  EXPECT_EQ(h[9], 0.0f);
  EXPECT_FLOAT_EQ(h[10], 5.0f);
  EXPECT_FLOAT_EQ(h[15], 6.0f);

  // Kind 3: 0.0, and the next segment starts from the value before it.
  interpoMem odd = makeTrack({{0.0f, 1.0f, 0}, {1.0f, 9.0f, 3}, {2.0f, 3.0f, 1}});
  const std::vector<float> o = run(odd, 20);
  EXPECT_EQ(o[5], 0.0f);
  EXPECT_FLOAT_EQ(o[10], 1.0f);
  EXPECT_FLOAT_EQ(o[15], 2.0f);
}

TEST(InterpolX, EndOfTrack) {
  interpoMem m = makeTrack({{0.0f, 0.0f, 0}, {10.0f, 100.0f, 1}});
  const std::vector<float> v = run(m, 99);
  EXPECT_EQ(m.ended, 0);
  EXPECT_EQ(v[99], 99.0f);
  EXPECT_EQ(interpolX(100, &m, 10000.0f), 100.0f);
  EXPECT_EQ(m.ended, 1);
  EXPECT_EQ(interpolX(101, &m, 10000.0f), 101.0f);  // the last line goes on

  interpoMem empty;
  EXPECT_EQ(interpolX(0, &empty, 10000.0f), 0.0f);
  EXPECT_EQ(empty.ended, 1);
}

TEST(InterpolX, SamplesOutsideTheBreakPointsAreZero) {
  // First break point after sample 0, on a record left over from an earlier
  // synthesis in a raised-cosine segment: the samples before it give 0.0.
  interpoMem m = makeTrack({{0.0f, 0.0f, 0}, {10.0f, 2.0f, 2}});
  run(m, 50);
  m.times = {1.0f, 2.0f};
  m.values = {4.0f, 6.0f};
  m.kinds = {0, 1};
  m.ended = 0;
  const std::vector<float> v = run(m, 20);
  for (int n = 0; n < 10; ++n) EXPECT_EQ(v[n], 0.0f) << n;
  EXPECT_FLOAT_EQ(v[15], 5.0f);

  // A single break point: its value on its sample, 0.0 around it.
  interpoMem one = makeTrack({{0.5f, 8.0f, 1}});
  const std::vector<float> s = run(one, 10);
  EXPECT_EQ(s[4], 0.0f);
  EXPECT_EQ(s[5], 8.0f);
  EXPECT_EQ(s[6], 0.0f);
}

}  // namespace
}  // namespace vt
