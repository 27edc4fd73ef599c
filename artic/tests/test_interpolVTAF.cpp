#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "artic/interpolVTAF.h"

namespace vt {
namespace {

constexpr int kSections = 3;

struct Key {
  float t;    // ms
  int kind;
  int noise;  // frication source section, < 0 keeps it
  float A;    // area of section 0, cm² (section i gets A + i)
  float x;    // length of every section, cm
};

interpoMemVTAF makeKeys(const std::vector<Key>& keys) {
  interpoMemVTAF m;
  for (const Key& k : keys) {
    m.times.push_back(k.t);
    m.kinds.push_back(k.kind);
    m.noiseLocs.push_back(k.noise);
    m.areaFrames.push_back({k.A, k.A + 1.0f, k.A + 2.0f});
    m.dxFrames.push_back(std::vector<float>(kSections, k.x));
  }
  m.count = static_cast<int>(keys.size());
  return m;
}

// Samples 0 … last at 10 kHz: area and length of section 0 and the source
// position per sample, and the area function as the last call left it.
struct Track {
  std::vector<float> A, x;
  std::vector<int> noise;
  std::vector<area_function> afvt;
  int noiseSourceLoc = 1;

  Track& run(interpoMemVTAF& m, unsigned int from, unsigned int last) {
    for (unsigned int n = from; n <= last; ++n) {
      interpolVTAF(n, &m, kSections, 10000.0f, afvt, noiseSourceLoc);
      A.push_back(afvt[0].A);
      x.push_back(afvt[0].x);
      noise.push_back(noiseSourceLoc);
    }
    return *this;
  }
};

TEST(InterpolVTAF, LinearSegmentBetweenTwoKeys) {
  interpoMemVTAF m = makeKeys({{0.0f, 0, -1, 1.0f, 0.5f}, {100.0f, 1, -1, 3.0f, 1.5f}});
  Track t;
  t.run(m, 0, 999);
  EXPECT_FLOAT_EQ(t.A[0], 1.0f);
  EXPECT_FLOAT_EQ(t.x[0], 0.5f);
  EXPECT_FLOAT_EQ(t.A[500], 2.0f);
  EXPECT_FLOAT_EQ(t.x[500], 1.0f);
  EXPECT_FLOAT_EQ(t.A[999], 3.0f - 0.002f);
  EXPECT_FLOAT_EQ(t.afvt[2].A, 5.0f - 0.002f);
  EXPECT_EQ(m.ended, 0);
  t.run(m, 1000, 1001);
  EXPECT_EQ(m.ended, 1);
  EXPECT_EQ(t.A[1000], t.A[999]);  // the last key's sample leaves the area function
  EXPECT_FLOAT_EQ(t.A[1001], 3.0f + 0.002f);  // past the last key the line goes on
  EXPECT_FLOAT_EQ(t.x[1001], 1.5f + 0.001f);
}

TEST(InterpolVTAF, HoldAndUnknownKinds) {
  // Hold from key 0: key 0's shape (not a zero-filled tract) up to key 1.
  interpoMemVTAF m = makeKeys({{0.0f, 0, -1, 2.0f, 0.5f}, {100.0f, 0, -1, 4.0f, 0.7f},
                               {200.0f, 1, -1, 6.0f, 0.9f}});
  Track t;
  t.run(m, 0, 1500);
  for (unsigned int n = 0; n < 1000; ++n) ASSERT_EQ(t.A[n], 2.0f) << n;
  EXPECT_EQ(t.x[999], 0.5f);
  EXPECT_FLOAT_EQ(t.A[1000], 4.0f);
  EXPECT_FLOAT_EQ(t.x[1000], 0.7f);
  EXPECT_FLOAT_EQ(t.A[1500], 5.0f);

  // Kind 3: the tract stays; the key's shape is dropped.
  interpoMemVTAF u = makeKeys({{0.0f, 0, -1, 2.0f, 0.5f}, {10.0f, 3, -1, 9.0f, 9.0f},
                               {20.0f, 1, -1, 4.0f, 0.5f}});
  Track v;
  v.run(u, 0, 200);
  for (unsigned int n = 0; n <= 100; ++n) ASSERT_EQ(v.A[n], 2.0f) << n;
  EXPECT_FLOAT_EQ(v.A[150], 3.0f);
}

TEST(InterpolVTAF, NoiseSourceMovesAtTheSegmentStart) {
  interpoMemVTAF m = makeKeys({{0.0f, 1, 3, 1.0f, 1.0f}, {80.0f, 1, -1, 1.0f, 1.0f},
                               {100.0f, 1, 7, 1.0f, 1.0f}, {120.0f, 1, -2, 1.0f, 1.0f}});
  Track t;
  t.run(m, 0, 1100);
  EXPECT_EQ(t.noise[0], 3);
  EXPECT_EQ(t.noise[799], 3);
  EXPECT_EQ(t.noise[800], 7);  // key 2 (at 100 ms) loaded at key 1's sample
  EXPECT_EQ(t.noise[1100], 7);  // a negative section keeps the source
}

TEST(InterpolVTAF, SingleKeyAndKeysAfterSampleZeroHoldTheirShape) {
  interpoMemVTAF single = makeKeys({{0.0f, 1, -1, 2.5f, 0.4f}});
  Track s;
  s.run(single, 0, 50);
  EXPECT_EQ(single.ended, 1);
  for (unsigned int n = 0; n <= 50; ++n) ASSERT_EQ(s.A[n], 2.5f) << n;
  EXPECT_EQ(s.x[50], 0.4f);
  EXPECT_EQ(s.afvt[2].A, 4.5f);

  for (int kind : {0, 1, 2, 3}) {
    interpoMemVTAF late = makeKeys({{5.0f, kind, -1, 2.5f, 0.4f}, {10.0f, 2, -1, 4.5f, 0.4f}});
    Track l;
    l.run(late, 0, 120);
    for (unsigned int n = 0; n < 50; ++n) ASSERT_EQ(l.A[n], 2.5f) << "kind " << kind << " n " << n;
    EXPECT_EQ(l.x[49], 0.4f);
    EXPECT_GT(l.A[75], 2.5f);
    EXPECT_LT(l.A[75], 4.5f);
  }

  interpoMemVTAF none;
  std::vector<area_function> afvt;
  int loc = 4;
  interpolVTAF(0, &none, kSections, 10000.0f, afvt, loc);
  EXPECT_EQ(none.ended, 1);
  EXPECT_TRUE(afvt.empty());
}

TEST(InterpolVTAF, CosineSegment) {
  interpoMemVTAF m = makeKeys({{0.0f, 0, -1, 1.0f, 1.0f}, {10.0f, 2, -1, 3.0f, 2.0f}});
  Track t;
  t.run(m, 0, 99);
  EXPECT_EQ(m.duration, 100);
  EXPECT_FLOAT_EQ(t.A[0], 1.0f);
  // Halfway the ripple lifts the cosine by 0.01: old + 0.505·(new − old).
  EXPECT_NEAR(t.A[50], 1.0f + 0.505f * 2.0f, 1e-5f);
  EXPECT_NEAR(t.x[50], 1.0f + 0.505f * 1.0f, 1e-5f);
  EXPECT_NEAR(t.A[99], 3.0f, 1e-3f);
}

TEST(Coscos, TransitionLaw) {
  EXPECT_EQ(coscos(0, 100), 1.0L);
  EXPECT_NEAR(static_cast<double>(coscos(-100, 100)), -1.0, 1e-6);
  EXPECT_NEAR(static_cast<double>(coscos(-50, 100)), 0.01, 1e-6);
  // Past the segment end (a > b - g) the ripple is subtracted.
  EXPECT_EQ(static_cast<double>(coscos(90, 100)),
            std::cos(90 * (3.141593 / 100)) - (1 - std::cos(10 * (2 * 3.141593 / 20))) * 0.01 / 2);
  // Segments shorter than 5 samples (g = 0) follow the plain cosine.
  for (int b = 1; b < 5; ++b)
    for (int a = -b; a <= 0; ++a)
      EXPECT_EQ(static_cast<double>(coscos(a, b)), std::cos(a * (3.141593 / b))) << a << "/" << b;
  EXPECT_EQ(coscos(-3, 0), 1.0L);
}

}  // namespace
}  // namespace vt
