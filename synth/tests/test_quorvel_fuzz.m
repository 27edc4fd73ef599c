% Randomised bad calls (fixed seed): each call gives one to three arguments
% another type, another shape or values the network cannot use (NaN, Inf,
% negative, beyond single precision, huge), or legal values at the network's
% edges, or drops or adds arguments; some start from a score that diverges.
% A call is either refused with quorvel's own error and identifier, or
% returns a column of samples that are all finite unless the divergence
% warning was raised. Nothing a call does disturbs the module: afterwards it
% synthesises as before, and after "clear quorvel" bit for bit as a fresh
% module.
1;
function [x, msg, id] = fuzz_call(nout, args)
  x = []; msg = ''; id = '';
  calls = {'quorvel(args{:});', 'x = quorvel(args{:});', '[x, y] = quorvel(args{:});'};
  try
    evalc(calls{nout + 1});  % VCV prints nAcc; keep the log readable
  catch err
    msg = err.message; id = err.identifier;
  end
end

function fuzz_fail(call, nout, b, why)
  error('call %d with %d results and the arguments\n%s\n%s', call, nout, disp(b), why);
end

function v = fuzz_value(k)
  % A value the synthesis cannot use, or one at its edges. Durations stay
  % short: no value lengthens a call to more than a few thousand samples
  % unless the output-length check refuses it.
  pool = [NaN, Inf, -Inf, -1, -1e-3, 0, 1e-300, 0.5, 3e38, 1e39, -1e39, 1e308, -1e308, 2^53, 41];
  v = pool(k);
end

function b = fuzz_mutate(b, pos)
  v = b{pos};
  switch randi(6)
    case 1  % another type
      conv = {@(v) complex(v, 1), @int32, @single, @logical, @(v) 'abc', @sparse, @(v) {v}, ...
              @(v) struct('v', v), @(v) [], @(v) @sin, @(v) true, @uint8};
      try
        b{pos} = conv{randi(numel(conv))}(v);
      catch  % NaN has no logical value
        b{pos} = 'abc';
      end
    case 2  % another shape
      [r, c] = size(v);
      try
        switch randi(7)
          case 1, v = v.';
          case 2, v = v(1:max(r - 1, 0), :);
          case 3, v = [v; v(end, :)];
          case 4, v = v(:, 1:max(c - 1, 0));
          case 5, v = [v, v(:, end)];
          case 6, v = rand(randi([0 5]), randi([0 5])) * 10;
          otherwise, v = ones(2, 2, 2);
        end
      catch  % an empty or 3-D array has no such rows
        v = zeros(0, 3);
      end
      b{pos} = v;
    otherwise  % values: one to three elements
      if isempty(v), v = fuzz_value(randi(15)); end
      for n = 1:randi(3)
        try
          v(randi(numel(v))) = fuzz_value(randi(15));
        catch  % a cell, struct or logical array takes no such element
          v = fuzz_value(randi(15));
        end
      end
      b{pos} = v;
  end
end

function b = fuzz_edge(b)
  % A legal value at the edge of what the network can take: huge or tiny
  % areas and lengths, F0 far above speech, extreme rates, far source junctions.
  pick = @(v) v(randi(numel(v)));
  switch randi(8)
    case 1, b{6}(randi(numel(b{6}))) = pick([3e38, 1e-300, -5, 0, 1e4]);
    case 2, b{4}(2, randi(2)) = pick([1e5, 0, 3e38]);
    case 3, b{3}(2, :) = pick([100, 1e10, 3e38]);
    case 4, b{2}(2, :) = pick([100, 3e38, 0]);
    case 5, b{7} = pick([1e-6, 100, 1e-30]);
    case 6, b{8} = pick([1, 3, 1e6]);
    case 7, b{5}(3, :) = pick([-1, 40, 1e9]);
    otherwise, b{9} = pick([1, -1, 1e300]);
  end
end

rand('twister', 20101);
base = [quorvel_short_args(5), {10000, 0}];
check = quorvel_short_args();
clear quorvel;
good = quorvel(check{:});
w = warning('off', 'all');  % conversions to logical warn too
warning('on', 'quorvel:nonfinite');  % a disabled warning leaves lastwarn unset
n = struct('accepted', 0, 'refused', 0, 'warned', 0);
% Areas alternating between 1000 cm^2 and a closure every sample: diverges.
diverging = {4, [0 10; 0.05 0.05; 1 1], [0 10; 0.2 0.2; 1 1], [0 10; 130 130; 1 1], ...
             [0 0.1; 1 2; 1 1], [1 1000; 2 1000; 3 1e-3; 2 1000], 1, 10000, 0};
for call = 1:2400
  b = base;
  if randi(8) == 1, b = diverging; end
  if randi(3) == 1
    for m = 1:randi(3)
      b = fuzz_edge(b);
    end
  else
    for m = 1:min(randi(4), 3)
      b = fuzz_mutate(b, randi(9));
    end
  end
  switch randi(20)
    case 1, b = b(1:randi([0 6]));  % too few
    case 2, b{end + 1} = 1;          % too many
    case 3, b = b(1:7);
    case 4, b = b(1:8);
  end
  nout = 1 + (randi(10) == 1) * (2 * randi(2) - 3);  % 0 or 2 results now and then
  lastwarn('', '');
  [x, msg, id] = fuzz_call(nout, b);
  [wmsg, wid] = lastwarn();
  if isempty(id) && isempty(msg)
    n.accepted += 1;
    if nout >= 1 && ~(isa(x, 'double') && iscolumn(x))
      fuzz_fail(call, nout, b, 'the result is no double column');
    end
    if nout >= 1 && ~all(isfinite(x))
      if ~(strcmp(wid, 'quorvel:nonfinite') && any(strfind(wmsg, 'the first is sample')))
        fuzz_fail(call, nout, b, 'non-finite samples without the warning');
      end
      n.warned += 1;
    end
  else
    n.refused += 1;
    if ~(any(strcmp(id, {'quorvel:arguments', 'quorvel:failed'})) && strncmp(msg, 'quorvel', 7))
      fuzz_fail(call, nout, b, sprintf('refused with [%s] %s', id, msg));
    end
  end
end
warning(w);
x = quorvel(check{:});
assert(size(x), size(good));
assert(all(isfinite(x)));
clear quorvel;
assert(isequal(quorvel(check{:}), good), 'a fresh module no longer gives the same samples');
printf('test_quorvel_fuzz: 2400 calls, %d accepted (%d warned of non-finite samples), %d refused\n', ...
       n.accepted, n.warned, n.refused);
disp('test_quorvel_fuzz: passed');
