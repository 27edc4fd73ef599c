// Bit-exactness: output bit patterns recorded from the straightforward
// record-by-record step, and the overlapped schedule against the plain step.
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <vector>

#include "simulator/reference_drive.h"

namespace vt {
namespace {

using drive::bit_hash;

TEST(SimulatorGolden, GatewayConfigurationAndEveryBranch) {
  struct Case {
    int nvt;
    std::uint64_t first, second;
    float y500;
  };
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
// chain (with and without the trachea), also when the schedule changes in the middle of a run and
// while the tract holds still (sections keep their elements).
TEST(SimulatorSchedule, OverlappedStepMatchesThePlainStep) {
  std::vector<std::pair<int, int>> cases{{1, 0}, {2, 0}, {40, 0}};  // {nvt, switch mask}
  for (int mask = 0; mask < 32; ++mask) cases.push_back({11, mask});
  for (int mask : {0, 1, 6, 8, 17}) cases.push_back({11, mask | 32});  // with the trachea
  cases.push_back({1, 32});
  cases.push_back({40, 32});
  for (const auto& [nvt, mask] : cases) {
    Simulator sims[2];  // overlapped, plain
    std::vector<area_function> af;
    for (int j = 0; j < 400; ++j) {
      drive::drive_af(j < 100 || j >= 150 ? j : 100, nvt, af);  // the tract holds still a while
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
          s.cfg.subGLTsystem = (mask >> 5) & 1;
          s.cfg.noiseAmp = 1e-5f;
          s.vtt_ini();
        }
        y[k] = s.vtt_sim();
      }
      ASSERT_EQ(y[0], y[1]) << "nvt " << nvt << " mask " << mask << " sample " << j;
      if (j % 97 != 0) continue;
      const auto a = sims[0].eq_rows(), b = sims[1].eq_rows();  // every row, every field
      ASSERT_EQ(std::memcmp(a.data(), b.data(), a.size_bytes()), 0)
          << "mask " << mask << " sample " << j;
    }
  }
}

// Lanes advanced in lockstep give each lane's single-run samples and network
// state bit for bit: 1 to 8 lanes of one section count (each with its own
// glottal timing, noise level and switches), and a mixed set (other section
// counts, the nasal branch) that runs lane by lane.
TEST(SimulatorLanes, EveryLaneEqualsItsSingleRun) {
  struct Lane {
    int nvt, shift, mask;
    bool nasal;
  };
  auto setup = [](Simulator& s, const Lane& c) {
    drive::gateway_config(s.cfg, c.nvt);
    s.cfg.noiseAmp = 1e-5f * (1 + c.shift % 3);
    s.cfg.wall = c.mask & 1 ? 0 : 1;
    s.cfg.rad_boundary = c.mask & 2 ? 0 : 1;
    s.cfg.wall_radiation = (c.mask >> 2) & 1;
    if (c.nasal) s.cfg.nasal_tract = 1;
    if (c.mask & 8) s.cfg.simfrq = s.cfg.smpfrq;  // one step per output sample
    if (c.mask & 16) s.cfg.subGLTsystem = 1;      // trachea
    if (c.mask & 32) s.cfg.dynamic_term = 1;      // shunt sources of the moving walls
  };
  std::vector<area_function> afnt(13, {1.2f, 1.0f});
  // How the set is advanced: one vtt_sim per lane, all lanes in lockstep, or
  // each lane with its output summation deferred to its next call.
  // Regroup: lanes in lockstep, then in reverse order (other partners), then
  // one call each, then lockstep again with the rows viewed after every call.
  enum class Advance { Single, Lanes, Deferred, Regroup };
  auto run = [&](std::vector<Lane> set, Advance how) {
    const int n = static_cast<int>(set.size());
    std::vector<Simulator> sims(n);
    std::vector<std::vector<area_function>> af(n);
    std::vector<Simulator*> lanes;
    std::vector<std::vector<std::uint32_t>> y(n);  // bit patterns
    for (int l = 0; l < n; ++l) {
      setup(sims[l], set[l]);
      sims[l].afnt = afnt.data(), sims[l].nnt = 13;
      lanes.push_back(&sims[l]);
    }
    float out[Simulator::kMaxLanes];
    for (int j = 0; j < 300; ++j) {
      for (int l = 0; l < n; ++l) {
        drive::drive_af(j + 7 * set[l].shift, set[l].nvt, af[l]);
        sims[l].afvt = af[l].data();
        sims[l].Ag = drive::drive_Ag(j + 13 * set[l].shift);
        if (j == 0) sims[l].vtt_ini();
      }
      const int phase = (j / 37) % 4;
      if (how == Advance::Lanes || (how == Advance::Regroup && phase == 0)) {
        Simulator::vtt_sim_lanes(lanes, out);
      } else if (how == Advance::Regroup && phase == 1) {
        std::vector<Simulator*> reversed(lanes.rbegin(), lanes.rend());
        float back[Simulator::kMaxLanes];
        Simulator::vtt_sim_lanes(reversed, back);
        for (int l = 0; l < n; ++l) out[l] = back[n - 1 - l];
      } else if (how == Advance::Regroup && phase == 3) {
        Simulator::vtt_sim_lanes(lanes, out);
        (void)sims[j % n].eq_rows();
      } else if (how == Advance::Single || how == Advance::Regroup) {
        for (int l = 0; l < n; ++l) out[l] = sims[l].vtt_sim();
      } else if (how == Advance::Single) {
        for (int l = 0; l < n; ++l) out[l] = sims[l].vtt_sim();
      } else {
        for (int l = 0; l < n; ++l) {
          sims[l].vtt_sim_deferred();
          out[l] = sims[l].previous_output();
        }
      }
      if (how != Advance::Deferred || j > 0)
        for (int l = 0; l < n; ++l) y[l].push_back(std::bit_cast<std::uint32_t>(out[l]));
    }
    if (how == Advance::Deferred)
      for (int l = 0; l < n; ++l)
        y[l].push_back(std::bit_cast<std::uint32_t>(sims[l].deferred_output()));
    for (int l = 0; l < n; ++l) {  // final network state as bytes
      const auto rows = sims[l].eq_rows();
      const auto* b = reinterpret_cast<const std::uint32_t*>(rows.data());
      y[l].insert(y[l].end(), b, b + rows.size_bytes() / sizeof(std::uint32_t));
    }
    return y;
  };
  std::vector<Lane> same;
  for (int l = 0; l < 8; ++l) same.push_back({17, l, l % 8, false});
  for (int n : {1, 2, 3, 5, 8}) {
    const std::vector<Lane> set(same.begin(), same.begin() + n);
    EXPECT_EQ(run(set, Advance::Lanes), run(set, Advance::Single)) << n << " lanes";
  }
  // Lanes whose walls agree in pairs step two to an instruction; the pairs
  // keep their state between calls and give it back when regrouped.
  std::vector<Lane> pairs;
  for (int mask : {0, 2, 4, 6, 1, 3, 5, 7, 32, 38})
    pairs.push_back({17, static_cast<int>(pairs.size()), mask, false});
  for (int n : {2, 3, 4, 5, 8}) {
    const std::vector<Lane> set(pairs.begin(), pairs.begin() + n);
    const auto single = run(set, Advance::Single);
    EXPECT_EQ(run(set, Advance::Lanes), single) << n << " paired lanes";
    EXPECT_EQ(run(set, Advance::Regroup), single) << n << " regrouped lanes";
  }
  for (int nvt : {1, 2, 40}) {
    const std::vector<Lane> set{{nvt, 1, 0, false}, {nvt, 2, 32, false}, {nvt, 3, 0, false}};
    EXPECT_EQ(run(set, Advance::Regroup), run(set, Advance::Single)) << nvt << " sections";
  }
  const std::vector<Lane> dynamic(pairs.end() - 2, pairs.end());
  EXPECT_EQ(run(dynamic, Advance::Regroup), run(dynamic, Advance::Single));

  const std::vector<Lane> mixed{{17, 0, 0, false}, {40, 1, 0, false}, {17, 2, 0, true}};
  const auto single = run(mixed, Advance::Single);
  EXPECT_EQ(run(mixed, Advance::Lanes), single);
  EXPECT_EQ(run(mixed, Advance::Deferred), single);
  // One section, and one step per output sample: the pending sum completes
  // after the section loop, and before the step's own sum is deferred.
  std::vector<Lane> edge{{1, 3, 0, false}, {17, 4, 8, false}, {17, 5, 16, false}, {17, 6, 8, true}};
  const auto edgeSingle = run(edge, Advance::Single);
  EXPECT_EQ(run(edge, Advance::Deferred), edgeSingle);

  Simulator a, b;
  std::vector<Simulator*> twice{&a, &a}, idle{&a, &b};
  float out[9];
  EXPECT_THROW(Simulator::vtt_sim_lanes(twice, out), std::invalid_argument);
  EXPECT_THROW(Simulator::vtt_sim_lanes(idle, out), std::logic_error);  // no active run
  std::vector<Simulator> many(9);
  std::vector<Simulator*> nine;
  for (auto& s : many) nine.push_back(&s);
  EXPECT_THROW(Simulator::vtt_sim_lanes(nine, out), std::invalid_argument);
}

}  // namespace
}  // namespace vt
