% What the result looks like: its length at each output rate, nss truncation,
% the dx layouts, glottal periods seen in the waveform, and the VCV line.
a = quorvel_short_args();

% Length: sample of the later of the last TAg0/TAgP break points, plus one.
x = quorvel(a{:});
assert(size(x), [301 1]);
assert(isa(x, 'double') && isreal(x) && all(isfinite(x)) && any(x != 0));
b = a; b{3} = [0 50; 0.2 0.2; 1 1];                  % TAgP ends after TAg0
assert(size(quorvel(b{:})), [501 1]);
assert(size(quorvel(b{:}, 16000)), [801 1]);
b{3} = [0 90; 0.2 0.2; 1 1];
assert(size(quorvel(b{:}, 44100)), [3969 1]);        % 90 ms lies on sample 3968
assert(size(quorvel(a{:})), [301 1]);                % fs absent: 10000 Hz again

% dx as 1x1, 1xF, nvt x F and 1xN (first value), each in a fresh module.
clear quorvel; ref = quorvel(a{:});
for dx = {[1 1], ones(4, 2), [1 3 5]}
  b = a; b{7} = dx{1}; clear quorvel; assert(quorvel(b{:}), ref);
end
b{7} = [1 1.3];               clear quorvel; moving = quorvel(b{:});
assert(any(moving != ref));
b{7} = repmat([1 1.3], 4, 1); clear quorvel; assert(quorvel(b{:}), moving);

% Periods: the autocorrelation of steady voicing peaks at round(fs/f0) samples.
for fp = [160 63; 150 67]'
  c = quorvel_short_args(300, fp(1));
  y = quorvel(c{:})(1001:2500);
  r = arrayfun(@(L) y(1:end-L)' * y(1+L:end) / sqrt(sumsq(y(1:end-L)) * sumsq(y(1+L:end))), 40:100);
  [~, i] = max(r);
  assert(39 + i, fp(2));
end

% VCV: "nAcc[%d]" once per call; ties go to the later section; frames with a
% negative source junction or areas above 999 cm^2 do not count.
v = a;
v{5} = [0 30; 1 1; 1 -1];
v{6} = [2 1; 0.5 1; 3 1; 0.5 1];
assert(evalc('x = quorvel(v{:}, 10000, 1.9);'), sprintf('nAcc[3]\n'));
v{6} = 1000 * ones(4, 2);
assert(evalc('x = quorvel(v{:}, 10000, 1);'), sprintf('nAcc[0]\n'));
v{5} = [0 30; 1 1; 1 0];
v{6} = [2 1000; 0.5 1000; 0.4 1000; 3 1000];
assert(evalc('x = quorvel(v{:}, 10000, -2);'), sprintf('nAcc[2]\n'));
assert(evalc('x = quorvel(v{:});'), '');             % VCV absent: off again
assert(evalc('x = quorvel(v{:}, 10000, 0.5);'), '');
disp('test_quorvel_results: passed');
