% The vowel library in Octave: the same areas as the library's area-function
% files (readVTAF), every vowel complete, and an unknown name refused.
V = quorvel_vowels();
names = fieldnames(V);
assert(numel(names) >= 10, 'only %d vowels', numel(names));
for k = 1:numel(names)
  v = V.(names{k});
  assert(numel(v.areas) == numel(v.lengths) && all(v.areas >= 0) && all(v.lengths > 0), names{k});
  assert(abs(sum(v.lengths) - v.total_length_cm) < 1e-3 * v.total_length_cm, names{k});
end
a = quorvel_vowels('story1996_a');
f = fullfile(fileparts(mfilename('fullpath')), '..', '..', 'examples', 'tracts', 'vowels', ...
             'a_story1996.txt');
[A, x] = readVTAF(f);
assert(numel(A) == numel(a.areas), 'sections differ from the library file');
assert(max(abs(A - a.areas)) < 1e-6 && max(abs(x - a.lengths)) < 1e-6, ...
       'the library file differs from the library');
try
  quorvel_vowels('no_such_vowel');
  error('an unknown vowel was accepted');
catch e
  assert(~isempty(strfind(e.message, 'no vowel named "no_such_vowel"')), e.message);
end
