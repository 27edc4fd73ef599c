#include "artic/tube_key_file.h"

#include <cmath>
#include <cstdint>
#include <string>

#include "artic/area_function_file_error.h"
#include "artic/sample_index.h"
#include "artic/token_reader.h"

namespace vt {

std::vector<TubeKey> readTubeKeys(std::string_view path, float smpfrq) {
  const std::string p(path);
  std::string why;
  auto in = TokenReader::open(p, &why);
  if (!in)
    throw AreaFunctionFileError(p + (why.empty() ? " not found" : " cannot be read: " + why));
  const int count = in->integer("the number of keys");
  if (count < 0) in->failAtLastToken("the number of keys must be 0 or more");
  std::vector<TubeKey> keys;
  std::int64_t lastSample = -1;
  for (int k = 0; k < count; ++k) {
    const std::string of = " of key " + std::to_string(k) + " of " + std::to_string(count);
    TubeKey key;
    key.t = in->real("the time (ms)" + of);
    if (!std::isfinite(key.t) || key.t < 0.0f) {
      in->failAtLastToken("the time" + of + " must be a finite number of ms, 0 or more");
    }
    // Checked before the conversion to an integer, which must not overflow.
    if (!(samplePosition(key.t, smpfrq) < 4294967296.0L)) {
      in->failAtLastToken("the time" + of + " lies beyond the last sample index");
    }
    const std::int64_t s = keyFrameSample(key.t, smpfrq);
    if (s <= lastSample) {
      in->failAtLastToken("the time" + of + " falls on sample " + std::to_string(s) +
                          ", not after the previous key's sample " + std::to_string(lastSample) +
                          " (zero-length or backward segment)");
    }
    lastSample = s;
    // An infinite or NaN key would make every sample of its segments NaN.
    key.A = in->real("the area (cm2)" + of);
    if (!std::isfinite(key.A))
      in->failAtLastToken("the area" + of + " must be a finite number of cm2");
    key.x = in->real("the length (cm)" + of);
    if (!std::isfinite(key.x))
      in->failAtLastToken("the length" + of + " must be a finite number of cm");
    in->word("the label" + of);
    keys.push_back(key);
  }
  return keys;
}

}  // namespace vt
