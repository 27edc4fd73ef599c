#pragma once

#include "records/area_function.h"

namespace vt {

/// Area function of nvt sections of equal length from a four-tube model of the
/// vocal tract: t1 … t4 are consecutive tubes {area cm², length cm} from the
/// glottis on (tube 1 starts at 0). Each section of afvt[0..nvt-1] gets the
/// length L/nvt (L the total tube length) and the length-weighted mean area of
/// the tubes over its extent; a section inside one tube takes that tube's area.
/// Positions and partial sums are single precision: each partial sum
/// S + (to − from)·A is formed exactly and rounded once to float. nvt <= 0
/// writes nothing. Throws std::invalid_argument when afvt is null, a tube's
/// length or area is negative or not finite, or the total length or a
/// section's mean area overflows single precision (nothing is written then).
void FourTubeAF(area_function t1, area_function t2, area_function t3, area_function t4, int nvt,
                area_function* afvt);

}  // namespace vt
