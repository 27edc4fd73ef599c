% QUORVEL_VOWELS  The library of published vowel area functions.
%
%   V = quorvel_vowels()
%   v = quorvel_vowels(name)
%
%   The area functions measured by magnetic resonance imaging in Story,
%   Titze & Hoffman (1996) JASA 100(1) 537-554 and Story (2008) JASA 123(1)
%   327-335, glottis end first, at their published resolution (the same
%   data as quorvel.vowels() in Python and the files of
%   examples/tracts/vowels/, which also hold them resampled to 17 and 40
%   sections for TAF2_files and readVTAF).
%
%   V is a struct with one field per vowel, named as the library names it
%   (e.g. V.story1996_a); name selects one of them. Each vowel has:
%     vowel                   its phonetic symbol
%     source                  the publication it comes from
%     areas                   column of section areas, cm^2
%     lengths                 column of section lengths, cm
%     section_length_cm       the (uniform) section length, cm
%     total_length_cm         the length of the tract, cm
%
%   Example:
%     v = quorvel_vowels('story1996_a');
%     [F, B] = quorvel_formants(v.areas, v.lengths)
function out = quorvel_vowels(name)
  here = fileparts(mfilename('fullpath'));
  file = fullfile(here, 'quorvel_vowels.json');
  fid = fopen(file, 'r');
  if fid < 0
    error('quorvel:vowels', 'quorvel_vowels: the vowel library "%s" cannot be read', file);
  end
  text = fread(fid, Inf, '*char')';
  fclose(fid);
  lib = jsondecode(text);
  V = lib.vowels;
  if nargin < 1
    out = V;
    return;
  end
  if ~ischar(name) || ~isvarname(name) || ~isfield(V, name)
    error('quorvel:vowels', 'quorvel_vowels: no vowel named "%s"; the library has: %s', ...
          num2str(name), strjoin(fieldnames(V)', ', '));
  end
  out = V.(name);
end
