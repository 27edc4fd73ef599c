function a = quorvel_short_args(ms, f0)
  % Arguments of a short, well-formed quorvel call as a cell array: 4 sections,
  % two key frames, voiced at f0 Hz (default 130) for ms milliseconds (default 30).
  if nargin < 1, ms = 30; end
  if nargin < 2, f0 = 130; end
  a = {4, [0 ms; 0.05 0.05; 1 1], [0 ms; 0.2 0.2; 1 1], [0 ms; f0 f0; 1 1], ...
       [0 ms; 1 1; 1 1], [1 1; 2 2; 3 3; 2 2], 1};
end
