% Every argument that is not a real, full double array, and every shape or
% value the synthesis cannot use, ends in an error naming the problem; the
% module stays usable and the next good call gives a normal result.
a = [quorvel_short_args(), {10000, 0}];
names = {'nss', 'TAg0', 'TAgP', 'TF0', 'TAF1', 'TAF2', 'dx', 'fs', 'VCV'};
convert = {@(v) complex(v, 0), @int32, @single, @logical, @(v) 'abc', @sparse, ...
           @(v) {v}, @(v) struct('v', v)};
what = {'complex double', 'int32', 'single', 'logical', 'char', 'sparse double', 'cell', 'struct'};
good = quorvel(a{1:7});
for pos = 1:9
  for c = 1:numel(convert)
    b = a;
    b{pos} = convert{c}(b{pos});
    [txt, msg, id] = quorvel_call_text(1, b{:});
    assert(txt, '');
    assert(id, 'quorvel:arguments');
    expect = sprintf('quorvel argument checking failed. Argument %d (%s) must be a real, full double array, not %s.', ...
                     pos, names{pos}, what{c});
    assert(! isempty(strfind(msg, expect)), [expect ' <- ' msg]);
  end
  x = quorvel(a{1:7});
  assert(size(x), size(good));
  assert(all(isfinite(x)));
end

% Shapes and values (every message is pinned by the C++ argument-check tests).
bad = {1, [4 4], 'nss must be a single value';
       1, 41, 'nss must give 1 to 40';
       6, [1 1; 2 2; 3 3], 'TAF2 must hold';
       7, ones(2, 3), 'dx must have 1 row';
       8, [], 'fs is empty';
       9, NaN, 'VCV (argument 9) must be';
       2, [0 30 30; 0.05 0.05 0.05; 1 1 1], 'the samples must increase strictly'};
for k = 1:rows(bad)
  b = a;
  b{bad{k, 1}} = bad{k, 2};
  [txt, msg] = quorvel_call_text(1, b{:});
  assert(! isempty(strfind(msg, 'quorvel argument checking failed.')), msg);
  assert(! isempty(strfind(msg, bad{k, 3})), sprintf('case %d: %s', k, msg));
  assert(size(quorvel(a{1:7})), size(good));
end
disp('test_quorvel_bad_args: passed');
