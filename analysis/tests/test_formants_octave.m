% quorvel_formants from Octave, and the worked examples that chain
% FourTubeAF, interpolAx and readVTAF into quorvel.
root = fileparts(fileparts(fileparts(mfilename('fullpath'))));

% A library vowel: /a/ has a high F1 and a low F2; the transfer function
% peaks where the formants are.
[A, x] = readVTAF(fullfile(root, 'examples', 'tracts', 'vowels', 'a_story1996_17.txt'));
[F, B] = quorvel_formants(A, x);
assert(size(F), [4 1]); assert(size(B), [4 1]);
assert(F(1) > 700 && F(2) < 1300 && all(diff(F) > 0) && all(B > 0));
f = (F(1) - 50):1:(F(1) + 50);
H = quorvel_formants('transfer', A, x, f);
[~, k] = max(abs(H));
assert(abs(f(k) - F(1)) < 5);
Fw = quorvel_formants(A, x(1), 2, 30000);            % warped at the simulation rate
assert(Fw(2) < F(2) && Fw(2) > 0.98 * F(2));
Fo = quorvel_formants(A, x, 1, [], 0.05);            % an open glottis raises F1
assert(Fo(1) > F(1));

% Refused input: a clear error, the session carries on.
bad = {{[], 1}, {[1 NaN 2], 1}, {[1 2 3], -1}, {[1 2 3], [1 1]}, ...
       {'transfer', [1 2 3], 1, [100 50]}, {[1 2 3], 1, 0}};
for k = 1:numel(bad)
  try
    quorvel_formants(bad{k}{:});
    error('not refused: case %d', k);
  catch e
    assert(strncmp(e.identifier, 'quorvel_formants:', 17), e.message);
  end
end

% A nasal branch (a struct, last argument): antiresonances appear, the
% radiated flow dips at the first one; bad branches are refused by field.
N = struct('areas', [0.4 0.4 0.4 1.5 2 2 2 2 2 1.5 1 1 1], 'lengths', 0.8, ...
           'branch_section', 8);
[Fn, Bn, Fz, Bz] = quorvel_formants(A, x, 5, [], [], N);
assert(numel(Fn) == 5 && ~isempty(Fz) && numel(Bz) == numel(Fz) && all(Bn > 0));
[~, ~, Fz0] = quorvel_formants(A, x, 5, [], [], setfield(N, 'sinus', false));
assert(isequal(Fz0, Fz));
fz = (Fz(1) - 40):0.5:(Fz(1) + 40);
Hn = quorvel_formants('transfer', A, x, fz, N);
[~, k] = min(abs(Hn));
assert(abs(fz(k) - Fz(1)) < 5);
badN = {struct('areas', [1 1]), struct('areas', [1 NaN], 'lengths', 1, 'coupling_sections', 1), ...
        struct('areas', [1 1], 'lengths', -1, 'coupling_sections', 1), ...
        struct('areas', [], 'lengths', 1), struct('areas', [1 1], 'lengths', 1, 'velum', 1), ...
        setfield(N, 'branch_section', 40), [N N]};
want = {'nasal.lengths', 'area of section 1', 'length of section 0', 'no sections', ...
        'unknown field', 'velum branch section', '1x1 struct'};
for k = 1:numel(badN)
  try
    quorvel_formants(A, x, 4, [], [], badN{k});
    error('not refused: nasal case %d', k);
  catch e
    assert(strcmp(e.identifier, 'quorvel_formants:argument'), [e.identifier ': ' e.message]);
    assert(~isempty(strfind(e.message, want{k})), [want{k} ' / ' e.message]);
  end
end

% Worked examples run and give sound.
run(fullfile(root, 'examples', 'worked', 'four_tube.m'));
assert(size(sig, 2) == 1 && numel(sig) == 4001 && all(isfinite(sig)) && max(abs(sig)) > 0.01);
run(fullfile(root, 'examples', 'worked', 'tube_track.m'));
assert(numel(sig) == 3001 && all(isfinite(sig)) && max(abs(sig)) > 0.01);
assert(abs(lip(26) - 2) < 0.02 && lip(1) == 1 && abs(lip(end) - 3) < 1e-6);  % the glide 1 -> 3 cm²
