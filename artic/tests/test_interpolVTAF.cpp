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
  float A;    // area of every section, cm² (section i gets A + i)
  float x;    // length of every section, cm
};

interpoMemVTAF makeKeys(const std::vector<Key>& keys) {
  interpoMemVTAF m;
  for (const Key& k : keys) {
    m.times.push_back(k.t);
    m.kinds.push_back(k.kind);
    m.noiseLocs.push_back(k.noise);
    std::vector<float> A, x;
    for (int i = 0; i < kSections; ++i) {
      A.push_back(k.A + static_cast<float>(i));
      x.push_back(k.x);
    }
    m.areaFrames.push_back(A);
    m.dxFrames.push_back(x);
  }
  m.count = static_cast<int>(keys.size());
  return m;
}

// Runs samples 0 … last and keeps area and length of section 0 per sample.
struct Track {
  std::vector<float> A, x;
  std::vector<int> noise;
  std::vector<area_function> afvt;
  int noiseSourceLoc = 1;
};

Track run(interpoMemVTAF& m, unsigned int last, float smpfrq = 10000.0f) {
  Track t;
  for (unsigned int n = 0; n <= last; ++n) {
    interpolVTAF(n, &m, kSections, smpfrq, t.afvt, t.noiseSourceLoc);
    EXPECT_EQ(t.afvt.size(), static_cast<std::size_t>(kSections));
    t.A.push_back(t.afvt[0].A);
    t.x.push_back(t.afvt[0].x);
    t.noise.push_back(t.noiseSourceLoc);
  }
  return t;
}

TEST(InterpolVTAF, LinearSegmentBetweenTwoKeys) {
  interpoMemVTAF m = makeKeys({{0.0f, 0, -1, 1.0f, 0.5f}, {100.0f, 1, -1, 3.0f, 1.5f}});
  Track t = run(m, 999);
  EXPECT_NEAR(t.A[0], 1.0f, 1e-6f);
  EXPECT_NEAR(t.x[0], 0.5f, 1e-6f);
  EXPECT_FLOAT_EQ(t.A[500], 2.0f);
  EXPECT_FLOAT_EQ(t.x[500], 1.0f);
  EXPECT_FLOAT_EQ(t.A[999], 3.0f - 0.002f);
  EXPECT_FLOAT_EQ(t.afvt[2].A, 5.0f - 0.002f);
  EXPECT_EQ(m.ended, 0);
  // The last key's sample leaves the area function as it was.
  interpolVTAF(1000, &m, kSections, 10000.0f, t.afvt, t.noiseSourceLoc);
  EXPECT_EQ(m.ended, 1);
  EXPECT_EQ(t.afvt[0].A, t.A[999]);
  // Past the last key the line goes on.
  interpolVTAF(1001, &m, kSections, 10000.0f, t.afvt, t.noiseSourceLoc);
  EXPECT_FLOAT_EQ(t.afvt[0].A, 3.0f + 0.002f);
  EXPECT_FLOAT_EQ(t.afvt[0].x, 1.5f + 0.001f);
  EXPECT_EQ(m.ended, 1);
}

TEST(InterpolVTAF, HoldKeepsTheFirstKeyShape) {
  interpoMemVTAF m = makeKeys({{0.0f, 0, -1, 2.0f, 0.5f}, {100.0f, 0, -1, 4.0f, 0.7f},
                               {200.0f, 1, -1, 6.0f, 0.9f}});
  Track t = run(m, 1500);
  for (unsigned int n = 0; n < 1000; ++n) {
    ASSERT_EQ(t.A[n], 2.0f) << n;
    ASSERT_EQ(t.x[n], 0.5f) << n;
  }
  EXPECT_FLOAT_EQ(t.A[1000], 4.0f);
  EXPECT_FLOAT_EQ(t.x[1000], 0.7f);
  EXPECT_FLOAT_EQ(t.A[1500], 5.0f);
}

TEST(InterpolVTAF, UnknownKindDropsTheKeyShape) {
  interpoMemVTAF m = makeKeys({{0.0f, 0, -1, 2.0f, 0.5f}, {10.0f, 3, -1, 9.0f, 9.0f},
                               {20.0f, 1, -1, 4.0f, 0.5f}});
  Track t = run(m, 200);
  for (unsigned int n = 0; n <= 100; ++n) ASSERT_EQ(t.A[n], 2.0f) << n;
  EXPECT_FLOAT_EQ(t.A[150], 3.0f);
  EXPECT_FLOAT_EQ(t.A[199], 4.0f - 0.02f);
}

TEST(InterpolVTAF, NoiseSourceMovesAtTheSegmentStart) {
  interpoMemVTAF m = makeKeys({{0.0f, 1, 3, 1.0f, 1.0f}, {80.0f, 1, -1, 1.0f, 1.0f},
                               {100.0f, 1, 7, 1.0f, 1.0f}, {120.0f, 1, -2, 1.0f, 1.0f}});
  Track t = run(m, 1100);
  EXPECT_EQ(t.noise[0], 3);
  EXPECT_EQ(t.noise[799], 3);
  EXPECT_EQ(t.noise[800], 7);
  EXPECT_EQ(t.noise[1000], 7);  // a negative section keeps the source
  EXPECT_EQ(t.noise[1100], 7);
}

TEST(InterpolVTAF, SingleKeyAndKeysAfterSampleZeroHoldTheirShape) {
  interpoMemVTAF single = makeKeys({{0.0f, 1, -1, 2.5f, 0.4f}});
  Track s = run(single, 50);
  EXPECT_EQ(single.ended, 1);
  for (unsigned int n = 0; n <= 50; ++n) {
    ASSERT_EQ(s.A[n], 2.5f) << n;
    ASSERT_EQ(s.x[n], 0.4f) << n;
  }
  EXPECT_EQ(s.afvt[2].A, 4.5f);

  for (int kind : {0, 1, 2, 3}) {
    interpoMemVTAF late = makeKeys({{5.0f, kind, -1, 2.5f, 0.4f}, {10.0f, 2, -1, 4.5f, 0.4f}});
    Track l = run(late, 120);
    for (unsigned int n = 0; n < 50; ++n) {
      ASSERT_EQ(l.A[n], 2.5f) << "kind " << kind << " n " << n;
      ASSERT_EQ(l.x[n], 0.4f) << "kind " << kind << " n " << n;
    }
    EXPECT_GT(l.A[75], 2.5f);
    EXPECT_LT(l.A[75], 4.5f);
    EXPECT_TRUE(std::isfinite(l.A[120]));
  }

  interpoMemVTAF none;
  std::vector<area_function> afvt;
  int loc = 4;
  interpolVTAF(0, &none, kSections, 10000.0f, afvt, loc);
  EXPECT_EQ(none.ended, 1);
  EXPECT_TRUE(afvt.empty());
  interpolVTAF(1, &none, kSections, 10000.0f, afvt, loc);
  EXPECT_EQ(loc, 4);
}

TEST(InterpolVTAF, CosineSegment) {
  interpoMemVTAF m = makeKeys({{0.0f, 0, -1, 1.0f, 1.0f}, {10.0f, 2, -1, 3.0f, 2.0f}});
  Track t = run(m, 99);
  EXPECT_EQ(m.duration, 100);
  EXPECT_NEAR(t.A[0], 1.0f, 1e-6f);
  // Halfway, the ripple lifts the cosine by 0.01: old + 0.505·(new − old).
  EXPECT_NEAR(t.A[50], 1.0f + 0.505f * 2.0f, 1e-5f);
  EXPECT_NEAR(t.x[50], 1.0f + 0.505f * 1.0f, 1e-5f);
  EXPECT_NEAR(t.A[99], 3.0f, 1e-3f);
}

TEST(Coscos, TransitionLaw) {
  EXPECT_NEAR(static_cast<double>(coscos(0, 100)), 1.0, 1e-12);
  EXPECT_NEAR(static_cast<double>(coscos(-100, 100)), -1.0, 1e-6);
  EXPECT_NEAR(static_cast<double>(coscos(-50, 100)), 0.01, 1e-6);
  // Past the segment end (a > b - g) the ripple is subtracted.
  EXPECT_NEAR(static_cast<double>(coscos(90, 100)),
              std::cos(90 * (3.141593 / 100)) - (1 - std::cos(10 * (2 * 3.141593 / 20))) * 0.005,
              1e-12);
  // Segments shorter than 5 samples (g = 0) follow the plain cosine.
  for (int b = 1; b < 5; ++b) {
    for (int a = -b; a <= 0; ++a) {
      const double c = static_cast<double>(coscos(a, b));
      EXPECT_TRUE(std::isfinite(c)) << a << "/" << b;
      EXPECT_DOUBLE_EQ(c, std::cos(a * (3.141593 / b)));
    }
  }
  EXPECT_EQ(coscos(0, 0), 1.0L);
  EXPECT_EQ(coscos(-3, 0), 1.0L);
}

}  // namespace
}  // namespace vt
