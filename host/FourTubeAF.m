% FOURTUBEAF  Area function of equal sections from a four-tube model.
%
%   [A, x] = FourTubeAF(areas, lengths, nvt)
%
%   areas    4 tube areas, cm^2, each finite and 0 or more, tube 1 at the glottis
%   lengths  4 tube lengths, cm, each finite and 0 or more; tube 1 begins at
%            0 and each tube begins where the one before ends
%   nvt      number of sections, a whole number from 1 to 1000000
%
%   A        nvt-by-1 section areas, cm^2: the length-weighted mean of the
%            tube areas over each section (a section inside one tube takes
%            that tube's area unchanged)
%   x        nvt-by-1 section lengths, cm: sum(lengths)/nvt
%
%   Computed in single precision: section positions and the partial sums
%   of area times length are each rounded once from their exact value, so
%   areas whose share of a section (area times length) exceeds 3.4e38 are
%   refused. Bad arguments are errors with the identifier FourTubeAF:argument.
%
%   Example:
%     [A, x] = FourTubeAF([1 4 2 8], [2 2 2 2], 8)   % A = [1 1 4 4 2 2 8 8]'
%
%   See also READVTAF, INTERPOLAX.
