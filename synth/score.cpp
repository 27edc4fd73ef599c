#include "synth/score_json.h"

namespace vt {

ScoreMatrix ScoreMatrix::fromRows(const std::vector<std::vector<double>>& rows) {
  ScoreMatrix m;
  m.rows = rows.size();
  m.cols = rows.empty() ? 0 : rows[0].size();
  m.values.resize(m.rows * m.cols);
  for (std::size_t r = 0; r < m.rows; ++r)
    for (std::size_t c = 0; c < m.cols; ++c) m.values[c * m.rows + r] = rows[r][c];
  return m;
}

ScoreMatrix ScoreMatrix::scalar(double v) {
  ScoreMatrix m;
  m.rows = m.cols = 1;
  m.values = {v};
  return m;
}

std::vector<ArgView> Score::args() const {
  std::vector<ArgView> a{nss.view(),  TAg0.view(), TAgP.view(), TF0.view(),
                         TAF1.view(), TAF2.view(), dx.view()};
  if (hasFs || hasVCV) a.push_back(hasFs ? fs.view() : ArgView{});
  if (hasVCV) a.push_back(VCV.view());
  return a;
}

}  // namespace vt
