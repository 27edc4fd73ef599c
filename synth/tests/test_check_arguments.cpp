#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <tuple>
#include <vector>

#include "synth/check_arguments.h"
#include "synth/score_json.h"

namespace vt {
namespace {

using Arg = ScoreMatrix;  // shape and column-major values
Arg scalar(double x) { return ScoreMatrix::scalar(x); }

// A well-formed call: 3 sections, 2 key frames, tracks of two break points.
struct Call {
  std::vector<Arg> a = {
      scalar(3),                        // nss
      {3, 2, {0, 0.1, 0, 50, 0.1, 1}},  // TAg0
      {3, 2, {0, 0.0, 0, 50, 0.2, 2}},  // TAgP
      {3, 2, {0, 120, 0, 50, 100, 1}},  // TF0
      {3, 2, {0, 0, 2, 40, 1, -1}},     // TAF1
      {3, 2, {1, 2, 3, 4, 5, 6}},       // TAF2
      scalar(0.5),                      // dx
  };
  GatewayRates rates;

  CheckOutcome check() {
    std::vector<ArgView> views;
    for (const Arg& x : a) views.push_back(x.view());
    return CheckArguments(1, static_cast<int>(a.size()), views.data(), rates);
  }
};

const std::string kPrefix = "quorvel argument checking failed. ";

// Argument `arg` of c replaced by `value` (fs/VCV padded with 10000s);
// returns the rates the rejected check left.
GatewayRates expectRejected(int arg, const Arg& value, const std::string& fragment,
                            Call c = Call()) {
  while (static_cast<int>(c.a.size()) <= arg) c.a.push_back(scalar(10000));
  c.a[arg] = value;
  const CheckOutcome out = c.check();
  EXPECT_EQ(out.status, 1) << fragment;
  EXPECT_EQ(out.error.rfind(kPrefix, 0), 0u) << out.error;
  EXPECT_NE(out.error.find(fragment), std::string::npos) << out.error;
  return c.rates;
}

TEST(CheckArguments, AcceptsEveryLegalLayout) {
  // dx per frame, per section and frame; closures (areas of 0 or less).
  Call d;
  d.a[6] = {1, 2, {0.5, 0.6}};
  d.a[5] = {3, 2, {0, -1, 3, 4, 5, 6}};
  EXPECT_EQ(d.check().status, 0) << d.check().error;
  d.a[6] = {3, 2, std::vector<double>(6, 100.0)};
  EXPECT_EQ(d.check().status, 0) << d.check().error;

  // Break points after sample 0, tracks without break points, a single key frame.
  Call e;
  e.a[1] = {3, 1, {5, 0.1, 1}};
  e.a[2] = e.a[3] = {3, 0, {}};
  e.a[4] = {3, 1, {2.5, 1, -1}};
  e.a[5] = {3, 1, {1, 2, 3}};
  EXPECT_EQ(e.check().status, 0) << e.check().error;
}

TEST(CheckArguments, RejectsWhatTheSynthesisCannotUse) {
  // A shape is refused after fs and VCV have been set.
  Call c;
  c.a[1] = {2, 2, {0, 0.1, 50, 0.1}};
  c.a.push_back(scalar(16000));
  c.a.push_back(scalar(-2.7));
  EXPECT_EQ(c.check().error, kPrefix +
                                 "TAg0 must have 3 rows (it has 2): one column [time ms; "
                                 "area cm^2; kind] per break point.");
  EXPECT_EQ(c.rates.simfrq, 48000.0f);
  EXPECT_EQ(c.rates.VCV, -2);

  const std::tuple<int, Arg, const char*> cases[] = {
      {6, {2, 3, std::vector<double>(6, 1.0)}, "dx must have 1 row"},
      {0, scalar(NAN), "nss must give 1 to 40 vocal-tract sections"},
      {0, scalar(0.9), "nss must give 1 to 40 vocal-tract sections (it is 0.9)"},
      {0, scalar(41), "(it is 41)"},
      {4, {3, 0, {}}, "TAF1 has no columns"},
      {5, {2, 2, {1, 2, 3, 4}}, "TAF2 must hold nss x F = 3 x 2 areas"},
      {5,
       {2, 3, {1, 2, 3, 4, 5, 6}},
       "TAF2 must have one row per section, nss = 3 rows, and one column per key frame (it is 2x3; "
       "transposed?"},
      {6, {1, 0, {}}, "dx is empty"},
      {6, {3, 1, {1, 1, 1}}, "dx with more than one row must hold nss x F = 3 x 2"},
      {1, {3, 2, {0, 0.1, 0, -1, 0.1, 1}}, "TAg0 column 2: break point time -1 ms is negative"},
      {2,
       {3, 2, {0, 0, 0, INFINITY, 0, 1}},
       "TAgP column 2: break point time inf ms is not a finite"},
      {3,
       {3, 2, {0, 100, 0, 3e8, 100, 1}},
       "TF0 column 2: break point time 300000000 ms lies beyond"},
      {1,
       {3, 2, {0, 0.1, 0, 0.05, 0.1, 1}},
       "TAg0 columns 1 and 2: break point times 0 ms and 0.05 ms fall on output samples 0 and 0"},
      {3, {3, 2, {0, 100, 0, 50, 100, NAN}}, "TF0 column 2: kind (row 3) nan"},
      {4, {3, 2, {0, 0, 2, 0.01, 1, 2}}, "TAF1 columns 1 and 2: key times"},
      {4, {3, 2, {0, 0, 2, 40, 1, -1e12}}, "TAF1 column 2: noise-source section (row 3) -1e+12"},
      {7, {1, 0, {}}, "fs is empty"},
      {7, scalar(0), "fs must be a finite frequency above 0 Hz (it is 0)"},
      {7, scalar(NAN), "(it is nan)"},
      {7, scalar(2e38), "fs must be a finite"},  // 3·fs overflows the float simfrq
      {8, {0, 0, {}}, "VCV (argument 9) is empty"},
      {8, scalar(1e10),
       "VCV (argument 9) must be a finite whole number within the int range (it is 1e+10)"},
  };
  for (const auto& [arg, value, fragment] : cases) expectRejected(arg, value, fragment);

  // Values the network cannot use, named by argument, row and column; each
  // was accepted before (a matrix dx of another row count was read as nss x F).
  const std::tuple<int, Arg, const char*> values[] = {
      {6,
       {6, 2, std::vector<double>(12, 1.0)},
       "dx must be 1 x 1, 1 x F or nss x F = 3 x 2: one length for all, one per key frame, or "
       "one per section and key frame (it is 6x2)."},
      {6, {9, 2, std::vector<double>(18, 1.0)}, "(it is 9x2)"},
      {1,
       {3, 2, {0, 0.1, 0, 50, NAN, 1}},
       "TAg0 row 2, column 2: glottal baseline area (cm^2) nan is not a finite number."},
      {1,
       {3, 2, {0, -0.1, 0, 50, 0.1, 1}},
       "TAg0 row 2, column 1: glottal baseline area (cm^2) -0.1 is negative; it must be 0 or "
       "more."},
      {2,
       {3, 2, {0, 1e39, 0, 50, 0.2, 2}},
       "TAgP row 2, column 1: glottal pulse amplitude (cm^2) 1e+39 lies beyond single precision "
       "(3.4e+38)."},
      {2,
       {3, 2, {0, 0, 0, 50, -0.2, 2}},
       "TAgP row 2, column 2: glottal pulse amplitude (cm^2) -0.2 is negative"},
      {3, {3, 2, {0, 120, 0, 50, -100, 1}}, "TF0 row 2, column 2: F0 (Hz) -100 is negative"},
      {3,
       {3, 2, {0, INFINITY, 0, 50, 100, 1}},
       "TF0 row 2, column 1: F0 (Hz) inf is not a finite number."},
      {5,
       {3, 2, {1, 2, 3, 4, NAN, 6}},
       "TAF2 row 2, column 2: area (cm^2) nan is not a finite number."},
      {5,
       {3, 2, {1, 2, -1e39, 4, 5, 6}},
       "TAF2 row 3, column 1: area (cm^2) -1e+39 lies beyond single precision"},
      {6, scalar(0), "dx row 1, column 1: section length 0 cm must be above 0 and at most 100 cm."},
      {6, scalar(NAN), "dx row 1, column 1: section length nan cm"},
      {6, {1, 2, {0.5, 1e39}}, "dx row 1, column 2: section length 1e+39 cm"},
      {6,
       {3, 2, {1, 1, 1, 1, 100.5, 1}},
       "dx row 2, column 2: section length 100.5 cm must be above 0 and at most 100 cm."},
  };
  for (const auto& [arg, value, message] : values) {
    Call v;
    v.a[arg] = value;
    const std::string error = v.check().error;
    EXPECT_EQ(error.rfind(kPrefix, 0), 0u) << error;
    EXPECT_NE(error.find(message), std::string::npos) << error;
  }
  // A VCV that no int holds leaves the flag as it was.
  Call keep;
  keep.rates.VCV = 7;
  EXPECT_EQ(expectRejected(8, scalar(NAN), "VCV", keep).VCV, 7);

  // The sample grid follows fs: 0.1 ms apart is one sample at 10 kHz, none at 5 kHz.
  c = Call();
  c.a[1] = {3, 2, {0, 0.1, 0, 0.1, 0.1, 1}};
  EXPECT_EQ(c.check().status, 0);
  expectRejected(7, scalar(5000), "fall on output samples 0 and 0", c);
}

}  // namespace
}  // namespace vt
