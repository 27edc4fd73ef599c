#include "simulator/signal_tap.h"

#include "simulator/simulator.h"

namespace vt {

SignalTap::SignalTap(const std::array<bool, kCount>& wanted) : wanted_(wanted) {}

void SignalTap::begin(int deci) {
  for (int i = 0; i < kCount; ++i) {
    decim_[i].decim_init(deci);
    out_[i].clear();
  }
  prevLip_ = 0.0;
  prevNos_ = 0.0;
}

void SignalTap::record(const Simulator& sim, int flag) {
  const SimLayout& L = sim.layout();
  const auto eq = sim.eq_rows();
  const auto eqbu = sim.eqbu_rows();
  const auto eqnt = sim.eqnt_rows();
  const bool nasal = L.nasal_tract == 1;
  // Row conventions: junction rows hold the volume velocity towards the
  // lips and nostrils; section s of a chain has its pressure on row 2s+2.
  // The radiated pressure is formed from the negated flows, as in the step.
  const int gs = L.subGLTsystem ? L.ntr : 0;  // glottal section in the main chain
  const double lip = nasal ? eqbu[L.nbu3].val : eq[L.n3].val;
  const double nos = nasal ? eqnt[L.nnt3].val : 0.0;
  const double Kr = sim.constants().Kr;

  double v[kCount] = {};
  v[int(NetworkSignal::GlottalFlow)] = eq[2 * gs + 3].val;
  v[int(NetworkSignal::GlottalArea)] = sim.glottis_section().A;
  v[int(NetworkSignal::LipFlow)] = lip;
  v[int(NetworkSignal::NostrilFlow)] = nos;
  v[int(NetworkSignal::MouthPressure)] = Kr * (prevLip_ - lip);
  v[int(NetworkSignal::NosePressure)] = Kr * (prevNos_ - nos);
  if (L.subGLTsystem && L.ntr > 0) {
    v[int(NetworkSignal::SubglottalPressure)] = eq[2 * (L.ntr - 1) + 2].val;
  } else {
    // Lung pressure less the drop across the lung resistance.
    const double Plung = sim.cfg.H2O_bar * sim.cfg.Psub;
    v[int(NetworkSignal::SubglottalPressure)] = Plung - sim.constants().Rlungs * eq[1].val;
  }
  const constriction& Ac = sim.Ac();
  double Pb = 0.0;
  if (Ac.region == 3) {
    Pb = Ac.index >= 1 ? eqbu[2 * (Ac.index - 1) + 2].val : eq[L.n4].val;  // velum node
  } else {
    Pb = Ac.index >= 1 ? eq[2 * (gs + Ac.index) + 2].val : eq[2 * gs + 2].val;
  }
  v[int(NetworkSignal::PressureBehindConstriction)] = Pb;
  prevLip_ = lip;
  prevNos_ = nos;

  for (int i = 0; i < kCount; ++i) {
    if (!wanted_[i]) continue;
    const float y = decim_[i].decim(flag, static_cast<float>(v[i]));
    if (flag == 1) out_[i].push_back(y);
  }
}

}  // namespace vt
