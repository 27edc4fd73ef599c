% Arguments that are no real, full double array, or that the synthesis cannot
% use, end in an error naming the problem; the next good call works.
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
    assert({txt, id}, {'', 'quorvel:arguments'});
    assert(any(strfind(msg, sprintf(['quorvel argument checking failed. Argument %d (%s) must be ' ...
           'a real, full double array, not %s.'], pos, names{pos}, what{c}))), msg);
  end
  assert(size(quorvel(a{1:7})), size(good));
end
% A shape and a value the synthesis cannot use (all messages: C++ argument-check tests).
for bad = {{6, [1 1; 2 2; 3 3], 'TAF2 must hold'}, {2, [0 30 30; 0.05 0.05 0.05; 1 1 1], 'must increase strictly'}}
  b = a;
  b{bad{1}{1}} = bad{1}{2};
  [~, msg] = quorvel_call_text(1, b{:});
  assert(any(strfind(msg, 'quorvel argument checking failed.')) && any(strfind(msg, bad{1}{3})), msg);
  assert(size(quorvel(a{1:7})), size(good));
end
% Physical values the network cannot use, named by argument, row and column.
values = {{2, [0 30; 0.05 NaN; 1 1], 'TAg0 row 2, column 2: glottal baseline area (cm^2) nan is not a finite number.'}, ...
          {3, [0 30; -0.2 0.2; 1 1], 'TAgP row 2, column 1: glottal pulse amplitude (cm^2) -0.2 is negative'}, ...
          {4, [0 30; 130 -1; 1 1], 'TF0 row 2, column 2: F0 (Hz) -1 is negative'}, ...
          {6, [1 1; 2 2; 3 Inf; 2 2], 'TAF2 row 3, column 2: area (cm^2) inf is not a finite number.'}, ...
          {6, [1 1; 2 1e39; 3 3; 2 2], 'TAF2 row 2, column 2: area (cm^2) 1e+39 lies beyond single precision'}, ...
          {7, 0, 'dx row 1, column 1: section length 0 cm must be above 0 and at most 100 cm.'}, ...
          {7, [1 200], 'dx row 1, column 2: section length 200 cm'}, ...
          {7, ones(9, 2), 'dx must be 1 x 1, 1 x F or nss x F = 4 x 2'}};
for bad = values
  b = a;
  b{bad{1}{1}} = bad{1}{2};
  [~, msg, id] = quorvel_call_text(1, b{:});
  assert(strcmp(id, 'quorvel:arguments') && any(strfind(msg, ['quorvel argument checking failed. ' bad{1}{3}])), msg);
end
b = a; b{6}(2, 1) = -1; b{6}(3, 2) = 0;  % closures stay legal
assert(all(isfinite(quorvel(b{1:7}))));
disp('test_quorvel_bad_args: passed');
