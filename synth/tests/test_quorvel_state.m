% State carried by the loaded module: two calls in one process differ only by
% the noise generators and the glottal pulse under way, while fresh processes
% (and a fresh module after "clear quorvel") give identical samples.
s = jsondecode(fileread(fullfile(fileparts(mfilename('fullpath')), '..', '..', 'examples', 'asa.json')));
args = {s.nss, s.TAg0, s.TAgP, s.TF0, s.TAF1, s.TAF2, s.dx, s.fs};
clear quorvel;
x1 = quorvel(args{:});
x2 = quorvel(args{:});
assert(size(x1), size(x2));
assert(any(x1 != x2));
assert(norm(x1 - x2) < 0.1 * norm(x1));   % same utterance, other noise
clear quorvel;
assert(quorvel(args{:}), x1);             % a fresh module repeats the first call
clear quorvel;
assert(quorvel(17.9, args{2:end}), x1);   % nss = 17.9 is 17 sections

% Two fresh Octave processes give the same samples as this one's first call.
octave = fullfile(OCTAVE_HOME, 'bin', 'octave-cli');
mexdir = fileparts(which('quorvel'));
script = [tempname() '.m'];
fid = fopen(script, 'w');
fprintf(fid, 'addpath(''%s'');\n', mexdir);
fprintf(fid, 's = jsondecode(fileread(''%s''));\n', ...
        fullfile(fileparts(mfilename('fullpath')), '..', '..', 'examples', 'asa.json'));
fprintf(fid, 'x = quorvel(s.nss, s.TAg0, s.TAgP, s.TF0, s.TAF1, s.TAF2, s.dx, s.fs);\n');
fprintf(fid, 'save(''-binary'', getenv(''QUORVEL_OUT''), ''x'');\n');
fclose(fid);
for k = 1:2
  out = [tempname() '.bin'];
  setenv('QUORVEL_OUT', out);
  [status, txt] = system(sprintf('"%s" --no-gui --norc --quiet "%s"', octave, script));
  assert(status, 0, txt);
  r = load(out);
  delete(out);
  assert(r.x, x1);
end
delete(script);
disp('test_quorvel_state: passed');
