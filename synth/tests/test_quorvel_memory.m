% A thousand calls, good ones and rejected ones, do not grow the process.
1;
function kb = rss_kb()
  t = fileread('/proc/self/status');
  kb = str2double(regexp(t, 'VmRSS:\s*(\d+)', 'tokens', 'once'){1});
end

a = quorvel_short_args(50);            % 501 samples per call
b = a; b{2} = int32(b{2});              % refused before the core
c = a; c{6} = c{6}(1:2, :);             % refused by the core's checks
for k = 1:100                           % let Octave settle its own caches
  x = quorvel(a{:});
  try, quorvel(b{:}); catch, end
  try, quorvel(c{:}); catch, end
end
before = rss_kb();
for k = 1:1000
  x = quorvel(a{:});
end
for k = 1:1000
  try, quorvel(b{:}); catch, end
  try, quorvel(c{:}); catch, end
end
grown = rss_kb() - before;
printf('VmRSS grew by %d kB over 1000 good and 2000 rejected calls\n', grown);
% A leaked output buffer (40 kB per call) or simulator (a few kB per call)
% would add megabytes.
assert(grown < 2048, sprintf('memory grew by %d kB', grown));
assert(size(x), [501 1]);
disp('test_quorvel_memory: passed');
