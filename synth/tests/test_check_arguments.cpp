#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "synth/check_arguments.h"

namespace vt {
namespace {

// One argument: shape and column-major values.
struct Arg {
  std::size_t rows = 0, cols = 0;
  std::vector<double> v;
};

Arg scalar(double x) { return {1, 1, {x}}; }

// A well-formed call: 3 sections, 2 key frames, tracks of two break points.
struct Call {
  std::vector<Arg> a = {
      scalar(3),                                         // nss
      {3, 2, {0, 0.1, 0, 50, 0.1, 1}},                   // TAg0
      {3, 2, {0, 0.0, 0, 50, 0.2, 2}},                   // TAgP
      {3, 2, {0, 120, 0, 50, 100, 1}},                   // TF0
      {3, 2, {0, 0, 2, 40, 1, -1}},                      // TAF1
      {3, 2, {1, 2, 3, 4, 5, 6}},                        // TAF2
      scalar(0.5),                                       // dx
  };
  int nlhs = 1;
  GatewayRates rates;

  CheckOutcome check(int nrhs = -1) {
    std::vector<ArgView> views;
    for (const Arg& x : a) views.push_back({x.rows, x.cols, x.v.empty() ? nullptr : x.v.data()});
    return CheckArguments(nlhs, nrhs < 0 ? static_cast<int>(a.size()) : nrhs, views.data(),
                          rates);
  }
};

const std::string kPrefix = "quorvel argument checking failed. ";

// Rejected with an error that names the fault.
void expectRejected(Call& c, const std::string& fragment) {
  const CheckOutcome out = c.check();
  EXPECT_EQ(out.status, 1) << fragment;
  EXPECT_EQ(out.error.rfind(kPrefix, 0), 0u) << out.error;
  EXPECT_NE(out.error.find(fragment), std::string::npos) << out.error;
  EXPECT_TRUE(out.printed.empty());
}

TEST(CheckArguments, AcceptsWellFormedCallsAndSetsRates) {
  Call c;
  c.rates = {1.0f, 2.0f, 5};
  CheckOutcome out = c.check();
  EXPECT_EQ(out.status, 0) << out.error;
  EXPECT_TRUE(out.printed.empty());
  EXPECT_EQ(c.rates.smpfrq, 10000.0f);
  EXPECT_EQ(c.rates.simfrq, 30000.0f);
  EXPECT_EQ(c.rates.VCV, 0);

  c.a.push_back(scalar(16000));
  c.a.push_back(scalar(1.9));
  out = c.check();
  EXPECT_EQ(out.status, 0) << out.error;
  EXPECT_EQ(c.rates.smpfrq, 16000.0f);
  EXPECT_EQ(c.rates.simfrq, 48000.0f);
  EXPECT_EQ(c.rates.VCV, 1);

  // dx: one row of any length, as many rows as TAF2, or one column per TAg0
  // break point (if it holds nvt x F lengths).
  for (Arg dx : {Arg{1, 5, {1, 2, 3, 4, 5}}, Arg{3, 2, {1, 1, 1, 1, 1, 1}},
                 Arg{3, 4, std::vector<double>(12, 1.0)}, Arg{6, 2, std::vector<double>(12, 1.0)}}) {
    Call d;
    d.a[6] = dx;
    EXPECT_EQ(d.check().status, 0) << dx.rows << "x" << dx.cols;
  }

  // Break points after sample 0, a single break point, tracks without break
  // points and a single key frame stay legal.
  Call e;
  e.a[1] = {3, 1, {5, 0.1, 1}};
  e.a[2] = {3, 0, {}};
  e.a[3] = {3, 0, {}};
  e.a[4] = {3, 1, {2.5, 1, -1}};
  e.a[5] = {3, 1, {1, 2, 3}};
  EXPECT_EQ(e.check().status, 0) << e.check().error;
}

TEST(CheckArguments, WrongCountsPrintTheUsage) {
  struct Counts {
    int nlhs, nrhs;
  };
  for (Counts n : {Counts{1, 10}, Counts{1, 6}, Counts{0, 7}, Counts{2, 7}}) {
    Call c;
    c.nlhs = n.nlhs;
    while (c.a.size() < static_cast<std::size_t>(n.nrhs)) c.a.push_back(scalar(10000));
    const CheckOutcome out = c.check(n.nrhs);
    EXPECT_EQ(out.status, 1);
    EXPECT_EQ(out.printed, "Incorrect calling syntax:\n [SIG] = "
                           "quorvel(nss,TAg0,TAgP,TF0,TAF1,TAF2,dx,[fs])\n"
                           "nlhs is " + std::to_string(n.nlhs) + ", nrhs is " +
                               std::to_string(n.nrhs) + ".\n");
    EXPECT_EQ(out.error.rfind("quorvel argument checking failed.", 0), 0u);
  }
}

TEST(CheckArguments, RejectsShapesAfterSettingTheRates) {
  Call c;
  c.a[1].rows = 2;
  c.a[1].v.resize(4);
  c.a.push_back(scalar(16000));
  c.a.push_back(scalar(-2.7));
  const CheckOutcome out = c.check();
  EXPECT_EQ(out.status, 1);
  EXPECT_EQ(out.error, kPrefix + "TAg0 must have 3 rows (it has 2).");
  EXPECT_TRUE(out.printed.empty());
  EXPECT_EQ(c.rates.smpfrq, 16000.0f);
  EXPECT_EQ(c.rates.simfrq, 48000.0f);
  EXPECT_EQ(c.rates.VCV, -2);

  Call n;
  n.a[0] = {1, 2, {3, 3}};
  expectRejected(n, "nss must be a single value (it is 1x2)");
  const char* names[] = {"TAgP", "TF0", "TAF1"};
  for (int i = 2; i <= 4; ++i) {
    Call t;
    t.a[i] = {4, 2, std::vector<double>(8, 0.0)};
    expectRejected(t, std::string(names[i - 2]) + " must have 3 rows (it has 4)");
  }
  Call d;
  d.a[6] = {2, 3, std::vector<double>(6, 1.0)};
  expectRejected(d, "dx must have 1 row");
}

TEST(CheckArguments, RejectsValuesTheSynthesisCannotUse) {
  struct Case {
    int arg;
    Arg value;
    const char* fragment;
  };
  const Case cases[] = {
      {0, scalar(NAN), "nss must give 1 to 40 vocal-tract sections"},
      {0, scalar(0.9), "nss must give 1 to 40 vocal-tract sections (it is 0.9)"},
      {0, scalar(41), "(it is 41)"},
      {4, {3, 0, {}}, "TAF1 has no columns"},
      {5, {2, 2, {1, 2, 3, 4}}, "TAF2 must hold nss x F = 3 x 2 areas"},
      {6, {1, 0, {}}, "dx is empty"},
      {6, {3, 1, {1, 1, 1}}, "dx with more than one row must hold nss x F = 3 x 2"},
      {1, {3, 2, {0, 0.1, 0, -1, 0.1, 1}}, "TAg0 column 2: break point time -1 ms is negative"},
      {2, {3, 2, {0, 0, 0, INFINITY, 0, 1}}, "TAgP column 2: break point time inf ms is not a finite"},
      {3, {3, 2, {0, 100, 0, 3e8, 100, 1}}, "TF0 column 2: break point time 300000000 ms lies beyond"},
      {1, {3, 2, {0, 0.1, 0, 0.05, 0.1, 1}}, "TAg0 columns 1 and 2: break point times 0 ms and 0.05 ms fall on output samples 0 and 0"},
      {2, {3, 3, {0, 0, 0, 10, 0, 1, 5, 0, 1}}, "TAgP columns 2 and 3"},
      {3, {3, 2, {0, 100, 0, 50, 100, NAN}}, "TF0 column 2: kind (row 3) nan"},
      {1, {3, 2, {0, 0.1, 0, 50, 0.1, 3e9}}, "TAg0 column 2: kind (row 3) 3e+09"},
      {4, {3, 2, {0, 0, 2, 0.01, 1, 2}}, "TAF1 columns 1 and 2: key times"},
      {4, {3, 2, {0, 0, 2, 40, INFINITY, 2}}, "TAF1 column 2: kind (row 2) inf"},
      {4, {3, 2, {0, 0, 2, 40, 1, -1e12}}, "TAF1 column 2: noise-source section (row 3) -1e+12"},
      {4, {3, 2, {0, 0, 2, NAN, 1, 2}}, "TAF1 column 2: key time nan ms is not a finite"},
  };
  for (const Case& k : cases) {
    Call c;
    c.a[k.arg] = k.value;
    expectRejected(c, k.fragment);
  }
}

TEST(CheckArguments, RejectsUnusableRatesAndFlags) {
  struct Case {
    Arg fs;
    const char* fragment;
  };
  for (const Case& k : {Case{{1, 0, {}}, "fs is empty"}, Case{scalar(0), "fs must be a finite"},
                        Case{scalar(-8000), "(it is -8000)"}, Case{scalar(NAN), "(it is nan)"},
                        Case{scalar(1e300), "fs must be a finite"},
                        Case{scalar(2e38), "fs must be a finite"}}) {
    Call c;
    c.a.push_back(k.fs);
    expectRejected(c, k.fragment);
  }
  for (const Case& k : {Case{{0, 0, {}}, "VCV (argument 9) is empty"},
                        Case{scalar(NAN), "VCV (argument 9) must be a finite"},
                        Case{scalar(1e10), "(it is 1e+10)"}}) {
    Call c;
    c.rates.VCV = 7;
    c.a.push_back(scalar(10000));
    c.a.push_back(k.fs);
    expectRejected(c, k.fragment);
    EXPECT_EQ(c.rates.VCV, 7);
  }

  // The sample grid follows fs: 0.1 ms apart is one sample at 10 kHz, none at
  // 5 kHz.
  Call c;
  c.a[1] = {3, 2, {0, 0.1, 0, 0.1, 0.1, 1}};
  EXPECT_EQ(c.check().status, 0);
  c.a.push_back(scalar(5000));
  expectRejected(c, "fall on output samples 0 and 0");
}

}  // namespace
}  // namespace vt
