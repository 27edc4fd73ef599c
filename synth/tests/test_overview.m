% quorvel_tracks and quorvel_overview from Octave: the ground truth of
% /asa/ and its overview picture, drawn headless.
root = fileparts(fileparts(fileparts(mfilename('fullpath'))));
score = fullfile(root, 'examples', 'asa.json');

% The tracks: one row per 5 ms frame, the vowel's F1 and F2 where /a/ has
% them, the /s/ constriction narrow and fed with frication noise.
T = quorvel_tracks(score);
n = numel(T.time_ms);
assert(n == floor(T.duration_s * 200) + 1 && T.fs == 10000);
assert(size(T.formants_Hz), [n 5]);
assert(size(T.areas_cm2), [n 17]);
a = T.time_ms < 100;
assert(all(T.formants_Hz(a, 1) > 500 & T.formants_Hz(a, 1) < 900));
s = T.time_ms > 280 & T.time_ms < 320;
assert(all(T.narrowest_area_cm2(s) < 0.2) && all(T.frication_junction(s) >= 0));
assert(max(abs(T.areas_cm2(1, :) - jsondecode(fileread(score)).TAF2(:, 1)')) < 1e-6);

% Refused input: a clear error, the session carries on.
bad = {{score, -1}, {score, NaN}, {'{"nss": 17}'}, {fullfile(root, 'no_such.json')}, {42}};
for k = 1:numel(bad)
  try
    quorvel_tracks(bad{k}{:});
    error('not refused: case %d', k);
  catch e
    assert(strcmp(e.identifier, 'quorvel_tracks:argument'), [e.identifier ' ' e.message]);
  end
end

% The overview, printed without a display.
png = [tempname() '.png'];
h = quorvel_overview(score, [], png);
close(h);
d = dir(png);
assert(numel(d) == 1 && d.bytes > 20000, 'overview PNG missing or nearly empty');
img = imread(png);
assert(size(img, 1) > 500 && size(img, 2) > 500 && size(img, 3) == 3);
assert(numel(unique(img(:))) > 50, 'overview PNG has almost no content');
delete(png);
try
  quorvel_overview(score, 'not samples');
  error('not refused: text as samples');
catch e
  assert(strcmp(e.identifier, 'quorvel_overview:argument'), e.message);
end
disp('test_overview passed');
