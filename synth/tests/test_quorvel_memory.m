% A thousand calls, good ones and rejected ones, do not grow the process.
a = quorvel_short_args(50);             % 501 samples per call
b = a; b{2} = int32(b{2});              % refused before the core
c = a; c{6} = c{6}(1:2, :);             % refused by the core's checks
rss_kb = @() str2double(regexp(fileread('/proc/self/status'), 'VmRSS:\s*(\d+)', 'tokens', 'once'){1});
for n = [100 1000]                      % the first round lets Octave settle its caches
  before = rss_kb();
  for k = 1:n
    x = quorvel(a{:});
    try, quorvel(b{:}); catch, end
    try, quorvel(c{:}); catch, end
  end
end
grown = rss_kb() - before;
% A leaked output buffer (40 kB per call) or simulator would add megabytes.
assert(grown < 2048, sprintf('VmRSS grew by %d kB over 1000 good and 2000 rejected calls', grown));
assert(size(x), [501 1]);
disp('test_quorvel_memory: passed');
