% Octave test of the MEX entries readVTAF, FourTubeAF and interpolAx: the
% files are written into a fresh temporary directory; any failed check is an
% error, which makes the test fail.
1;  % a script, not a function file

function check(ok, what)
  if ~ok
    error('area-function files test: %s', what);
  end
end

function write_text(path, text)
  fid = fopen(path, 'w');
  check(fid >= 0, ['cannot write ' path]);
  fputs(fid, text);
  fclose(fid);
end

function msg = error_of(f, id)
  % Message of the error f() raises, without Octave's "name: " prefix; checks its identifier.
  msg = '';
  try
    f();
  catch err
    msg = err.message;
    check(strcmp(err.identifier, id), ['identifier ' err.identifier ' instead of ' id]);
  end
  check(~isempty(msg), 'no error raised');
  prefix = [strtok(id, ':') ': '];
  if strncmp(msg, prefix, numel(prefix))
    msg = msg(numel(prefix) + 1:end);
  end
end

d = tempname();
mkdir(d);
unwind_protect
  % readVTAF: a consonant file carries its noise-source section, a vowel file not.
  s = fullfile(d, 's.txt');
  write_text(s, "s 4 0.5\n1.0 2.0 3.0 0.2\n3\n");
  [A, x, label, loc] = readVTAF(s, 4);
  check(isequal(A, double(single([1; 2; 3; 0.2]))) && isequal(x, 0.5 * ones(4, 1)), 'records of s.txt');
  check(strcmp(label, 's') && isequal(loc, 3), 'label and noise-source section of s.txt');
  a = fullfile(d, 'a.txt');
  write_text(a, 's 4 0.5 1.0 2.0 3.0 0.2 3');
  [A, x, label, loc] = readVTAF(a);
  check(numel(A) == 4 && isempty(loc), 'no noise-source section in a.txt');

  % Errors are Octave errors; the session goes on and the next call works.
  missing = fullfile(d, 'nowhere', 'k.txt');
  msg = error_of(@() readVTAF(missing), 'readVTAF:file');
  check(strcmp(msg, ['AF path, ' missing ', not found']), ['missing file: ' msg]);
  msg = error_of(@() readVTAF(s, 5), 'readVTAF:file');
  check(strcmp(msg, 'Unexpected number of VT sections'), ['wrong count: ' msg]);
  bad = fullfile(d, 'bad.txt');
  write_text(bad, "o 4 0.5\n1.0 two 3.0 0.2\n");
  msg = error_of(@() readVTAF(bad), 'readVTAF:file');
  check(~isempty(strfind(msg, 'token 5 (line 2)')) && ~isempty(strfind(msg, 'found "two"')), ['malformed: ' msg]);
  error_of(@() readVTAF(s, 2.5), 'readVTAF:argument');
  % A zero character would cut the name short and read another file.
  error_of(@() readVTAF([s char(0) '.bak']), 'readVTAF:argument');
  error_of(@() readVTAF(), 'readVTAF:usage');
  [A, x, label] = readVTAF(s);
  check(strcmp(label, 's') && numel(A) == 4, 'readVTAF after errors');

  % FourTubeAF: length-weighted mean areas.
  [A, x] = FourTubeAF([1 5 2 4], [3 0.5 0.5 4], 4);
  check(isequal(A, [1; 2.25; 4; 4]) && isequal(x, 2 * ones(4, 1)), 'FourTubeAF, crossing tubes');
  msg = error_of(@() FourTubeAF([1 5 2 4], [3 -0.5 0.5 4], 4), 'FourTubeAF:argument');
  check(~isempty(strfind(msg, 'tube 2')), ['negative length: ' msg]);
  error_of(@() FourTubeAF([1 5 2], [3 0.5 0.5 4], 4), 'FourTubeAF:argument');

  % interpolAx: raised cosine between two keys, swinging back after the last.
  k = fullfile(d, 'tube.txt');
  write_text(k, "2\n0 1.0 15.0 start\n100 3.0 15.0 end\n");
  [A, x, ended] = interpolAx(k, [0 500 1000 1500], 10000);
  check(isequal(A, double(single([1 1.9999999 3 1.9999999]))), sprintf('interpolAx areas %.9g ', A));
  check(isequal(x, [15 15 15 15]) && isequal(ended, [0 0 1 1]), 'interpolAx lengths and ended');
  [A, x] = interpolAx(k, [1000; 0]);
  check(isequal(A, [3; 1]), 'interpolAx in any order and shape, default fs');
  msg = error_of(@() interpolAx(fullfile(d, 'no.txt'), 0), 'interpolAx:file');
  check(strcmp(msg, [fullfile(d, 'no.txt') ' not found']), ['missing key file: ' msg]);
  zero = fullfile(d, 'zero.txt');
  write_text(zero, '2 10 1 15 a 10 3 15 b');
  msg = error_of(@() interpolAx(zero, 0:5), 'interpolAx:file');
  check(~isempty(strfind(msg, 'zero-length')), ['zero-length segment: ' msg]);
  error_of(@() interpolAx(k, -1), 'interpolAx:argument');
unwind_protect_cleanup
  confirm_recursive_rmdir(false, 'local');
  rmdir(d, 's');
end_unwind_protect
disp('area-function files: all checks passed');
