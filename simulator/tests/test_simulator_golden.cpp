// Bit-exactness regression: fixed drives whose output bit patterns were
// recorded from the straightforward record-by-record implementation of the
// step. Any change of rounding, operation order or state handling in the
// simulator changes these hashes.
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
    const auto y2 = testing::run_drive(s, c.nvt, 1000);
    EXPECT_EQ(y[500], c.y500) << c.nvt;
    EXPECT_EQ(bit_hash(y), c.first) << c.nvt;
    EXPECT_EQ(bit_hash(y2), c.second) << c.nvt;
  }
}

TEST(SimulatorGolden, TracheaNasalSinusDynamicWallRadiation) {
  std::vector<area_function> afnt(13, {1.2f, 1.0f});
  afnt[0].A = afnt[1].A = afnt[2].A = 0.4f;
  Simulator s;
  testing::gateway_config(s.cfg, 17);
  s.cfg.noiseAmp = 1e-6f;
  s.cfg.subGLTsystem = 1;
  s.cfg.nasal_tract = 1;
  s.cfg.sinus_cavity = 1;
  s.cfg.dynamic_term = 1;
  s.cfg.wall_radiation = 1;
  s.afnt = afnt.data();
  s.nnt = 13;
  const auto y = testing::run_drive(s, 17, 2000);
  EXPECT_EQ(y[500], 0.14800939f);
  EXPECT_EQ(bit_hash(y), 0xb50125d3d95d360aull);
}

}  // namespace
}  // namespace vt
