% Failures that must not look like success, and calls that can be stopped.
% A final key-frame segment of one sample makes the areas alternate between
% 1000 cm^2 and the closure every sample: the network diverges.
a = {4, [0 100; 0.05 0.05; 1 1], [0 100; 0.2 0.2; 1 1], [0 100; 130 130; 1 1], ...
     [0 0.1; 1 2; 1 1], [1 1000; 2 1000; 3 1e-3; 2 1000], 1};
lastwarn('');
w = warning('off', 'quorvel:nonfinite');
x = quorvel(a{:});
warning(w);
[msg, id] = lastwarn();
assert(strcmp(id, 'quorvel:nonfinite') && numel(x) == 1001, msg);
first = find(~isfinite(x), 1) - 1;  % sample index from 0
assert(any(strfind(msg, sprintf('the first is sample %d at %.10g ms', first, first / 10))), msg);

% The output length follows from the arguments: 999 ms at fs = 2^31 asks for
% 2.1e9 samples (25 GB), which failed only after computing 5e8 of them; it
% is refused at once.
b = quorvel_short_args(999);
[~, msg, id] = quorvel_call_text(1, b{:}, 2^31);
assert(strcmp(id, 'quorvel:arguments') && any(strfind(msg, 'The output would hold')), msg);

% Ctrl-C stops a long synthesis (1000 s of speech, several seconds of work even on
% a fast machine) with an error; the next call works.
c = quorvel_short_args(1000000);
system(sprintf('(sleep 1; kill -INT %d) &', getpid()));
[~, msg, id] = quorvel_call_text(1, c{:});
assert(strcmp(id, 'quorvel:interrupted') && any(strfind(msg, 'Ctrl-C')), [id ': ' msg]);
b = quorvel_short_args();
assert(size(quorvel(b{:})), [301 1]);
disp('test_quorvel_failures: passed');
