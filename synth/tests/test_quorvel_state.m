% Two calls of one module differ only by the carried noise and pulse state;
% fresh processes and fresh modules ("clear quorvel") give identical samples.
score = fullfile(fileparts(mfilename('fullpath')), '..', '..', 'examples', 'asa.json');
s = jsondecode(fileread(score));
args = {s.nss, s.TAg0, s.TAgP, s.TF0, s.TAF1, s.TAF2, s.dx, s.fs};
clear quorvel;
x1 = quorvel(args{:});
x2 = quorvel(args{:});
assert(any(x1 != x2) && norm(x1 - x2) < 0.1 * norm(x1));   % same utterance, other noise
clear quorvel;
assert(quorvel(args{:}), x1);             % a fresh module repeats the first call
clear quorvel;
assert(quorvel(17.9, args{2:end}), x1);   % nss = 17.9 is 17 sections

% Two fresh Octave processes give the same samples as this one's first call.
octave = fullfile(OCTAVE_HOME, 'bin', 'octave-cli');
for k = 1:2
  out = [tempname() '.bin'];
  cmd = sprintf(['addpath(''%s''); s = jsondecode(fileread(''%s'')); x = quorvel(s.nss, s.TAg0, ' ...
                 's.TAgP, s.TF0, s.TAF1, s.TAF2, s.dx, s.fs); save(''-binary'', ''%s'', ''x'');'], ...
                fileparts(which('quorvel')), score, out);
  [status, txt] = system(sprintf('"%s" --no-gui --norc --quiet --eval "%s"', octave, cmd));
  assert(status, 0, txt);
  r = load(out);
  delete(out);
  assert(r.x, x1);
end
disp('test_quorvel_state: passed');
