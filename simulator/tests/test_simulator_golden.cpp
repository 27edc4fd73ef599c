// Bit-exactness: fixed drives whose output bit patterns were recorded from
// the straightforward record-by-record implementation of the step, and the
// overlapped schedule against the plain step. Any change of rounding,
// operation order or state handling changes these.
#include <gtest/gtest.h>

#include <vector>

#include "simulator/tests/sim_drive.h"

namespace vt {
namespace {

using testing::bit_hash;

TEST(SimulatorGolden, GatewayConfiguration17And40Sections) {
  struct Case { int nvt; std::uint64_t first, second; float y500; };
  const Case cases[] = {
      {17, 0x9d117cc0279fda75ull, 0xc50778f09508d4b2ull, 0.306668013f},
      {40, 0x7a5221a24fb58817ull, 0x06542c724308379eull, 0.316553712f},
  };
  for (const Case& c : cases) {
    Simulator s;
    testing::gateway_config(s.cfg, c.nvt);
    const auto y = testing::run_drive(s, c.nvt, 3000);
    EXPECT_EQ(y[500], c.y500) << c.nvt;
    EXPECT_EQ(bit_hash(y), c.first) << c.nvt;
    EXPECT_EQ(bit_hash(testing::run_drive(s, c.nvt, 1000)), c.second) << c.nvt;  // second run
  }
}

TEST(SimulatorGolden, TracheaNasalSinusDynamicWallRadiation) {
  std::vector<area_function> afnt;
  Simulator s;
  testing::gateway_config(s.cfg, 17);
  testing::attach_nasal(s, afnt, 0.4f);
  s.cfg.noiseAmp = 1e-6f;
  s.cfg.subGLTsystem = s.cfg.nasal_tract = s.cfg.sinus_cavity = 1;
  s.cfg.dynamic_term = s.cfg.wall_radiation = 1;
  const auto y = testing::run_drive(s, 17, 2000);
  EXPECT_EQ(y[500], 0.14800939f);
  EXPECT_EQ(bit_hash(y), 0xb50125d3d95d360aull);
}

// The overlapped schedule of the single chain gives the plain step's samples
// and network state, bit for bit, under every switch it supports, also when
// the schedule changes in the middle of a run.
TEST(SimulatorSchedule, OverlappedStepMatchesThePlainStep) {
  std::vector<std::pair<int, int>> cases;  // {nvt, switch mask}
  for (int mask = 0; mask < 32; ++mask) cases.push_back({11, mask});
  cases.insert(cases.end(), {{1, 0}, {2, 0}, {40, 0}});
  for (const auto& [nvt, mask] : cases) {
    Simulator fast, plain;
    plain.allow_pipeline = false;
    std::vector<area_function> af;
    testing::drive_af(0, nvt, af);
    for (Simulator* s : {&fast, &plain}) {
      testing::gateway_config(s->cfg, nvt);
      s->cfg.wall = mask & 1 ? 0 : 1;
      s->cfg.rad_boundary = mask & 2 ? 0 : 1;
      s->cfg.wall_radiation = (mask >> 2) & 1;
      s->cfg.dynamic_term = (mask >> 3) & 1;
      s->cfg.noise_source = (mask >> 4) & 1 ? 0 : 1;
      s->cfg.noiseAmp = 1e-5f;
      s->afvt = af.data();
      s->Ag = testing::drive_Ag(0);
      s->vtt_ini();
    }
    for (int j = 0; j < 400; ++j) {
      testing::drive_af(j, nvt, af);
      fast.allow_pipeline = j < 200 || j >= 260;  // switch schedules mid-run
      float y[2];
      for (int k = 0; k < 2; ++k) {
        Simulator& s = k == 0 ? fast : plain;
        s.afvt = af.data();
        s.Ag = testing::drive_Ag(j);
        y[k] = s.vtt_sim();
      }
      ASSERT_EQ(y[0], y[1]) << "nvt " << nvt << " mask " << mask << " sample " << j;
      if (j % 97 != 0) continue;
      const auto a = fast.eq_rows(), b = plain.eq_rows();
      for (size_t i = 0; i < a.size(); ++i) {
        ASSERT_EQ(a[i].val, b[i].val) << "mask " << mask << " row " << i;
        ASSERT_EQ(a[i].elimCoef, b[i].elimCoef) << "mask " << mask << " row " << i;
        ASSERT_EQ(a[i].elimSrc, b[i].elimSrc) << "mask " << mask << " row " << i;
        ASSERT_EQ(a[i].src, b[i].src);
        ASSERT_EQ(a[i].coef, b[i].coef);
      }
    }
  }
}

}  // namespace
}  // namespace vt
