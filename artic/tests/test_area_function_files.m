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
  % Message of the error that f() raises, without the "name: " that Octave
  % puts before the message of a MEX function; checks its identifier.
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
  % readVTAF: a consonant file carries its noise-source section.
  s = fullfile(d, 's.txt');
  write_text(s, "s 4 0.5\n1.0 2.0 3.0 0.2\n3\n");
  [A, x, label, loc] = readVTAF(s);
  check(isequal(A, double(single([1; 2; 3; 0.2]))), 'areas of s.txt');
  check(isequal(x, 0.5 * ones(4, 1)), 'lengths of s.txt');
  check(strcmp(label, 's'), 'label of s.txt');
  check(isequal(loc, 3), 'noise-source section of s.txt');
  [A4, x4, label4, loc4] = readVTAF(s, 4);
  check(isequal(A4, A) && isequal(x4, x) && strcmp(label4, 's') && loc4 == 3, 'readVTAF(s, 4)');

  % A vowel file and an upper-case S have no noise-source section.
  for name = {'a.txt', 'S.txt'}
    f = fullfile(d, name{1});
    write_text(f, 's 4 0.5 1.0 2.0 3.0 0.2 3');
    [A, x, label, loc] = readVTAF(f);
    check(isequal(A, double(single([1; 2; 3; 0.2]))) && isempty(loc), ['no noise section in ' name{1}]);
  end

  % Errors are Octave errors; the session goes on and the next call works.
  missing = fullfile(d, 'nowhere', 'k.txt');
  msg = error_of(@() readVTAF(missing), 'readVTAF:file');
  check(strcmp(msg, ['AF path, ' missing ', not found']), ['missing file: ' msg]);
  msg = error_of(@() readVTAF(s, 5), 'readVTAF:file');
  check(strncmp(msg, 'Unexpected number of VT sections', 32), ['wrong count: ' msg]);
  bad = fullfile(d, 'bad.txt');
  write_text(bad, "o 4 0.5\n1.0 two 3.0 0.2\n");
  msg = error_of(@() readVTAF(bad), 'readVTAF:file');
  check(~isempty(strfind(msg, 'token 5 (line 2)')) && ~isempty(strfind(msg, 'found "two"')), ['malformed: ' msg]);
  error_of(@() readVTAF(s, 2.5), 'readVTAF:argument');
  error_of(@() readVTAF(), 'readVTAF:usage');
  [A, x, label] = readVTAF(s);
  check(strcmp(label, 's') && numel(A) == 4, 'readVTAF after errors');

  % FourTubeAF: length-weighted mean areas.
  [A, x] = FourTubeAF([1 4 2 8], [2 2 2 2], 8);
  check(isequal(A, [1 1 4 4 2 2 8 8]') && isequal(x, ones(8, 1)), 'FourTubeAF, 8 sections');
  [A, x] = FourTubeAF([1 5 2 4], [3 0.5 0.5 4], 4);
  check(isequal(A, [1; 2.25; 4; 4]) && isequal(x, 2 * ones(4, 1)), 'FourTubeAF, crossing tubes');
  msg = error_of(@() FourTubeAF([1 5 2 4], [3 -0.5 0.5 4], 4), 'FourTubeAF:argument');
  check(~isempty(strfind(msg, 'tube 2')), ['negative length: ' msg]);
  error_of(@() FourTubeAF([1 5 2 4], [3 0.5 0.5 4], 0), 'FourTubeAF:argument');
  error_of(@() FourTubeAF([1 5 2], [3 0.5 0.5 4], 4), 'FourTubeAF:argument');

  % interpolAx: raised cosine between two keys, swinging back after the last.
  k = fullfile(d, 'tube.txt');
  write_text(k, "2\n0 1.0 15.0 start\n100 3.0 15.0 end\n");
  [A, x, ended] = interpolAx(k, [0 500 1000 1500], 10000);
  check(isequal(size(A), [1 4]), 'interpolAx keeps the shape of n');
  check(isequal(A, double(single([1 1.9999999 3 1.9999999]))), sprintf('interpolAx areas %.9g ', A));
  check(isequal(x, [15 15 15 15]) && isequal(ended, [0 0 1 1]), 'interpolAx lengths and ended');
  [A, x] = interpolAx(k, [1000; 0]);
  check(isequal(A, [3; 1]), 'interpolAx in any order, default fs');
  late = fullfile(d, 'late.txt');
  write_text(late, '2 10 1.0 15.0 a 100 3.0 15.0 b');
  [A, x] = interpolAx(late, [0 99 100]);
  check(isequal(A, [0 0 1]) && isequal(x, [0 0 15]), 'interpolAx before the first key');
  msg = error_of(@() interpolAx(fullfile(d, 'no.txt'), 0), 'interpolAx:file');
  check(strcmp(msg, [fullfile(d, 'no.txt') ' not found']), ['missing key file: ' msg]);
  zero = fullfile(d, 'zero.txt');
  write_text(zero, '2 10 1 15 a 10 3 15 b');
  msg = error_of(@() interpolAx(zero, 0:5), 'interpolAx:file');
  check(~isempty(strfind(msg, 'zero-length')), ['zero-length segment: ' msg]);
  error_of(@() interpolAx(k, -1), 'interpolAx:argument');
  [A, x, ended] = interpolAx(fullfile(d, 'tube.txt'), 1000);
  check(A == 3 && ended == 1, 'interpolAx after errors');
unwind_protect_cleanup
  confirm_recursive_rmdir(false, 'local');
  rmdir(d, 's');
end_unwind_protect
disp('area-function files: all checks passed');
