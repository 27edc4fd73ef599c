function a = quorvel_short_args(ms = 30, f0 = 130)
  % Arguments of a short, well-formed quorvel call: 4 sections, two key
  % frames, voiced at f0 Hz for ms milliseconds.
  a = {4, [0 ms; 0.05 0.05; 1 1], [0 ms; 0.2 0.2; 1 1], [0 ms; f0 f0; 1 1], ...
       [0 ms; 1 1; 1 1], [1 1; 2 2; 3 3; 2 2], 1};
end
