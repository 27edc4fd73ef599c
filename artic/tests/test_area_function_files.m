% Octave test of the MEX entries readVTAF, FourTubeAF and interpolAx on files of a temporary directory.
1;  % a script, not a function file

function write_text(path, text)
  fid = fopen(path, 'w');
  fputs(fid, text);
  fclose(fid);
end

function msg = error_of(f, id)
  % Message of the error f() raises (without the "name: " prefix); checks its identifier.
  msg = '';
  try
    f();
  catch err
    msg = regexprep(err.message, ['^' strtok(id, ':') ': '], '');
    assert(strcmp(err.identifier, id), 'identifier %s instead of %s', err.identifier, id);
  end
  assert(~isempty(msg), 'no error raised');
end

d = tempname();
mkdir(d);
unwind_protect
  s = fullfile(d, 's.txt');
  write_text(s, "s 4 0.5\n1.0 2.0 3.0 0.2\n3\n");
  [A, x, label, loc] = readVTAF(s, 4);
  assert(isequal(A, double(single([1; 2; 3; 0.2]))) && isequal(x, 0.5 * ones(4, 1)), 'records of s.txt');
  assert(strcmp(label, 's') && isequal(loc, 3), 'label and noise-source section of s.txt');

  % Errors are Octave errors; the session goes on.
  missing = fullfile(d, 'nowhere', 'k.txt');
  assert(strcmp(error_of(@() readVTAF(missing), 'readVTAF:file'), ['AF path, ' missing ', not found']));
  assert(strcmp(error_of(@() readVTAF(s, 5), 'readVTAF:file'), 'Unexpected number of VT sections'));
  bad = fullfile(d, 'bad.txt');
  write_text(bad, "o 4 0.5\n1.0 two 3.0 0.2\n");
  msg = error_of(@() readVTAF(bad), 'readVTAF:file');
  assert(~isempty(strfind(msg, 'token 5 (line 2)')) && ~isempty(strfind(msg, 'found "two"')), msg);
  % Refusals of values the network cannot use, and of a path that exists but is no file.
  assert(strcmp(error_of(@() readVTAF(d), 'readVTAF:file'), ['AF path, ' d ', cannot be read: it is a directory']));
  write_text(bad, 'o 2 0.5 1 nan');
  msg = error_of(@() readVTAF(bad), 'readVTAF:file');
  assert(~isempty(strfind(msg, 'the area of section 1 of 2 (cm2) must be a finite number 0 or more')), msg);
  write_text(bad, 'o 2 0 1 1');
  msg = error_of(@() readVTAF(bad), 'readVTAF:file');
  assert(~isempty(strfind(msg, 'the section length (cm) must be a finite number above 0')), msg);
  % A zero character would cut the name short and read another file.
  error_of(@() readVTAF([s char(0) '.bak']), 'readVTAF:argument');

  [A, x] = FourTubeAF([1 5 2 4], [3 0.5 0.5 4], 4);
  assert(isequal(A, [1; 2.25; 4; 4]) && isequal(x, 2 * ones(4, 1)), 'FourTubeAF, crossing tubes');
  msg = error_of(@() FourTubeAF([1 5 2 4], [3 -0.5 0.5 4], 4), 'FourTubeAF:argument');
  assert(~isempty(strfind(msg, 'tube 2')), msg);
  msg = error_of(@() FourTubeAF([3e38 3e38 1 1], [1 1 1 1], 1), 'FourTubeAF:argument');
  assert(~isempty(strfind(msg, 'exceeds single precision')), msg);

  k = fullfile(d, 'tube.txt');
  write_text(k, "2\n0 1.0 15.0 start\n100 3.0 15.0 end\n");
  [A, x, ended] = interpolAx(k, [1500 0 500 1000], 10000);
  assert(isequal(A, double(single([1.9999999 1 1.9999999 3]))), sprintf('interpolAx areas %.9g ', A));
  assert(isequal(x, [15 15 15 15]) && isequal(ended, [1 0 0 1]), 'interpolAx lengths and ended');
  write_text(k, '2 10 1 15 a 10 3 15 b');
  msg = error_of(@() interpolAx(k, 0:5), 'interpolAx:file');
  assert(~isempty(strfind(msg, 'zero-length')), msg);
  write_text(k, '2 0 1 15 a 100 inf 15 b');
  msg = error_of(@() interpolAx(k, 0:5), 'interpolAx:file');
  assert(~isempty(strfind(msg, 'the area of key 1 of 2 must be a finite number of cm2')), msg);
  % Ctrl-C stops a long call (the last sample index takes about a minute)
  % with an error; the session goes on.
  write_text(k, '2 0 1 15 a 100 3 15 b');
  system(sprintf('(sleep 1; kill -INT %d) &', getpid()));
  tic;
  msg = error_of(@() interpolAx(k, 4294967295), 'interpolAx:interrupted');
  assert(toc < 20 && ~isempty(strfind(msg, 'Ctrl-C')), msg);
  write_text(k, '-2');
  msg = error_of(@() interpolAx(k, 0), 'interpolAx:file');
  assert(~isempty(strfind(msg, 'the number of keys must be 0 or more')), msg);
unwind_protect_cleanup
  confirm_recursive_rmdir(false, 'local');
  rmdir(d, 's');
end_unwind_protect
disp('area-function files: all checks passed');
