// Bit-exactness: output bit patterns recorded from the straightforward
// record-by-record step, and the overlapped schedule against the plain step.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "simulator/reference_drive.h"

namespace vt {
namespace {

using drive::bit_hash;

TEST(SimulatorGolden, GatewayConfigurationAndEveryBranch) {
  struct Case { int nvt; std::uint64_t first, second; float y500; };
  for (const Case& c : {Case{17, 0x9d117cc0279fda75ull, 0xc50778f09508d4b2ull, 0.306668013f},
                        Case{40, 0x7a5221a24fb58817ull, 0x06542c724308379eull, 0.316553712f}}) {
    Simulator s;
    drive::gateway_config(s.cfg, c.nvt);
    const auto y = drive::run_drive(s, c.nvt, 3000);
    EXPECT_EQ(y[500], c.y500) << c.nvt;
    EXPECT_EQ(bit_hash(y), c.first) << c.nvt;
    EXPECT_EQ(bit_hash(drive::run_drive(s, c.nvt, 1000)), c.second) << c.nvt;  // second run
  }
  // Trachea, nasal tract (velum 0.4 cm²) with sinus, dynamic term, wall radiation.
  std::vector<area_function> afnt(13, {1.2f, 1.0f});
  afnt[0].A = afnt[1].A = afnt[2].A = 0.4f;
  Simulator s;
  drive::gateway_config(s.cfg, 17);
  s.afnt = afnt.data(), s.nnt = 13;
  s.cfg.noiseAmp = 1e-6f;
  s.cfg.subGLTsystem = s.cfg.nasal_tract = s.cfg.sinus_cavity = 1;
  s.cfg.dynamic_term = s.cfg.wall_radiation = 1;
  const auto y = drive::run_drive(s, 17, 2000);
  EXPECT_EQ(y[500], 0.14800939f);
  EXPECT_EQ(bit_hash(y), 0xb50125d3d95d360aull);
}

// Samples and network state bit for bit under every switch of the single
// chain, also when the schedule changes in the middle of a run.
TEST(SimulatorSchedule, OverlappedStepMatchesThePlainStep) {
  std::vector<std::pair<int, int>> cases{{1, 0}, {2, 0}, {40, 0}};  // {nvt, switch mask}
  for (int mask = 0; mask < 32; ++mask) cases.push_back({11, mask});
  for (const auto& [nvt, mask] : cases) {
    Simulator sims[2];  // overlapped, plain
    std::vector<area_function> af;
    for (int j = 0; j < 400; ++j) {
      drive::drive_af(j, nvt, af);
      sims[0].allow_pipeline = j < 200 || j >= 260;
      sims[1].allow_pipeline = false;
      float y[2];
      for (int k = 0; k < 2; ++k) {
        Simulator& s = sims[k];
        s.afvt = af.data();
        s.Ag = drive::drive_Ag(j);
        if (j == 0) {
          drive::gateway_config(s.cfg, nvt);
          s.cfg.wall = mask & 1 ? 0 : 1;
          s.cfg.rad_boundary = mask & 2 ? 0 : 1;
          s.cfg.wall_radiation = (mask >> 2) & 1;
          s.cfg.dynamic_term = (mask >> 3) & 1;
          s.cfg.noise_source = (mask >> 4) & 1 ? 0 : 1;
          s.cfg.noiseAmp = 1e-5f;
          s.vtt_ini();
        }
        y[k] = s.vtt_sim();
      }
      ASSERT_EQ(y[0], y[1]) << "nvt " << nvt << " mask " << mask << " sample " << j;
      if (j % 97 != 0) continue;
      const auto a = sims[0].eq_rows(), b = sims[1].eq_rows();  // every row, every field
      ASSERT_EQ(std::memcmp(a.data(), b.data(), a.size_bytes()), 0) << "mask " << mask << " sample " << j;
    }
  }
}

}  // namespace
}  // namespace vt
