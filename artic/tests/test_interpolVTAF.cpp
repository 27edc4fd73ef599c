#include <gtest/gtest.h>

#include <vector>

#include "artic/interpolVTAF.h"

namespace vt {
namespace {

// Key frame: time ms, kind, frication source section (< 0 keeps it), area of
// section 0 in cm² (section i gets A + i), length of every section in cm.
struct Key {
  float t;
  int kind, noise;
  float A, x;
};

// Runs 3-section key frames at 10 kHz from sample 0 to `last`, recording
// section 0's area and length and the source position per sample.
struct Track {
  interpoMemVTAF m;
  std::vector<float> A, x;
  std::vector<int> noise;
  std::vector<area_function> afvt;

  Track(const std::vector<Key>& keys, unsigned int last) {
    m.count = static_cast<int>(keys.size());
    for (const Key& k : keys) {
      m.times.push_back(k.t);
      m.kinds.push_back(k.kind);
      m.noiseLocs.push_back(k.noise);
      m.areaFrames.push_back({k.A, k.A + 1.0f, k.A + 2.0f});
      m.dxFrames.push_back({k.x, k.x, k.x});
    }
    int loc = 1;
    for (unsigned int n = 0; n <= last; ++n) {
      interpolVTAF(n, &m, 3, 10000.0f, afvt, loc);
      A.push_back(afvt[0].A);
      x.push_back(afvt[0].x);
      noise.push_back(loc);
    }
  }
};

TEST(InterpolVTAF, LinearAndCosineSegments) {
  Track t({{0, 0, -1, 1.0f, 0.5f}, {100, 1, -1, 3.0f, 1.5f}}, 1001);
  EXPECT_FLOAT_EQ(t.A[500], 2.0f);
  EXPECT_FLOAT_EQ(t.x[500], 1.0f);
  EXPECT_FLOAT_EQ(t.A[999], 3.0f - 0.002f);
  EXPECT_EQ(t.A[1000], t.A[999]);             // the last key's sample leaves the area function
  EXPECT_FLOAT_EQ(t.A[1001], 3.0f + 0.002f);  // past the last key the line goes on
  EXPECT_FLOAT_EQ(t.afvt[2].A, 5.0f + 0.002f);
  EXPECT_EQ(t.m.ended, 1);

  // Halfway the ripple lifts the cosine by 0.01: old + 0.505·(new − old).
  Track c({{0, 0, -1, 1.0f, 1.0f}, {10, 2, -1, 3.0f, 2.0f}}, 99);
  EXPECT_NEAR(c.A[50], 1.0f + 0.505f * 2.0f, 1e-5f);
  EXPECT_NEAR(c.x[50], 1.0f + 0.505f * 1.0f, 1e-5f);
  EXPECT_NEAR(c.A[99], 3.0f, 1e-3f);
}

TEST(InterpolVTAF, HoldsUnknownKindsSingleAndLateKeysKeepTheShape) {
  // Hold from key 0: key 0's shape (not a zero-filled tract) up to key 1.
  Track h({{0, 0, -1, 2.0f, 0.5f}, {100, 0, -1, 4.0f, 0.7f}, {200, 1, -1, 6.0f, 0.9f}}, 1500);
  EXPECT_EQ(h.A[0], 2.0f);
  EXPECT_EQ(h.x[999], 0.5f);
  EXPECT_FLOAT_EQ(h.x[1000], 0.7f);
  EXPECT_FLOAT_EQ(h.A[1500], 5.0f);

  // Kind 3: the tract stays; the key's shape is dropped.
  Track u({{0, 0, -1, 2.0f, 0.5f}, {10, 3, -1, 9.0f, 9.0f}, {20, 1, -1, 4.0f, 0.5f}}, 150);
  EXPECT_EQ(u.A[100], 2.0f);
  EXPECT_FLOAT_EQ(u.A[150], 3.0f);

  Track single({{0, 1, -1, 2.5f, 0.4f}}, 50);
  EXPECT_EQ(single.A[50], 2.5f);
  EXPECT_EQ(single.x[50], 0.4f);

  for (int kind : {0, 1, 2, 3}) {
    Track late({{5, kind, -1, 2.5f, 0.4f}, {10, 2, -1, 4.5f, 0.4f}}, 75);
    EXPECT_EQ(late.A[0], 2.5f) << kind;
    EXPECT_GT(late.A[75], 2.5f) << kind;
  }
}

TEST(InterpolVTAF, NoiseSourceMovesAtTheSegmentStart) {
  Track t({{0, 1, 3, 1, 1}, {80, 1, -1, 1, 1}, {100, 1, 7, 1, 1}, {120, 1, -2, 1, 1}}, 1100);
  EXPECT_EQ(t.noise[799], 3);
  EXPECT_EQ(t.noise[800], 7);   // key 2 (at 100 ms) loaded at key 1's sample
  EXPECT_EQ(t.noise[1100], 7);  // a negative section keeps the source
}

TEST(Coscos, TransitionLaw) {
  EXPECT_NEAR(static_cast<double>(coscos(-50, 100)), 0.01, 1e-6);  // half-way, lifted by 0.01
  // Within the last fifth the ripple is subtracted: cos(0.9 pi) - 0.01.
  EXPECT_NEAR(static_cast<double>(coscos(90, 100)), -0.9610566, 1e-6);
  // Segments shorter than 5 samples (g = 0) follow the plain cosine, not NaN.
  EXPECT_NEAR(static_cast<double>(coscos(-2, 4)), 0.0, 1e-6);
  EXPECT_EQ(coscos(-3, 0), 1.0L);
}

}  // namespace
}  // namespace vt
