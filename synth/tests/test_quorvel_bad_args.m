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
disp('test_quorvel_bad_args: passed');
