% brellix through the Octave host: streams, unchanged packets and samples,
% and the refusals with their identifiers and messages.
addpath(fileparts(mfilename('fullpath')));  % the avtest_* helpers

d = tempname();
mkdir(d);
ok = false;
try
  q = @(name) ['"' fullfile(d, name) '"'];
  ff = 'ffmpeg -nostdin -hide_banner -loglevel error -y ';
  avtest_run([ff '-f lavfi -i testsrc=size=64x48:rate=10 -t 2 -c:v mjpeg ' q('v.avi')]);
  avtest_run([ff '-f lavfi -i sine=frequency=440:sample_rate=22050 -t 2.5 -c:a pcm_s16le ' q('a.wav')]);
  vhash = @(f) avtest_run(['ffmpeg -v error -i ' q(f) ' -map 0:v:0 -c copy -f framemd5 - | grep -v "^#"']);
  ahash = @(f) avtest_run(['ffmpeg -v error -i ' q(f) ' -map 0:a:0 -c copy -f md5 -']);
  types = @(f) avtest_run(['ffprobe -v error -show_entries stream=codec_type -of csv=p=0 ' q(f)]);

  % Video first, audio second; packets and samples unchanged.
  brellix(fullfile(d, 'a.wav'), fullfile(d, 'v.avi'), fullfile(d, 'out.avi'));
  assert(strcmp(types('out.avi'), sprintf('video\naudio\n')), types('out.avi'));
  assert(numel(strfind(vhash('v.avi'), sprintf('\n'))) == 20);
  assert(strcmp(vhash('out.avi'), vhash('v.avi')), 'video packets differ');
  assert(strcmp(ahash('out.avi'), ahash('a.wav')), 'audio samples differ');

  % Refusals: identifier, message naming the file and reason, files untouched.
  fid = fopen(fullfile(d, 'keep.avi'), 'w'); fwrite(fid, 'earlier output'); fclose(fid);
  before = avtest_snapshot(d);
  A = fullfile(d, 'a.wav'); V = fullfile(d, 'v.avi'); K = fullfile(d, 'keep.avi');
  avtest_expect_error(@() brellix(fullfile(d, 'none.wav'), V, K), 'brellix:failed', ...
               {'audio file', 'none.wav', 'No such file'}, d, before);
  avtest_expect_error(@() brellix(1, V, K), 'brellix:arguments', {'argument 1', 'character array'}, d, before);
  avtest_expect_error(@() brellix(A, V, [K; K]), 'brellix:arguments', {'argument 3', 'row'}, d, before);
  avtest_expect_error(@() brellix(A, V, [K char(0) 'x']), 'brellix:arguments', {'argument 3', 'zero'}, d, before);
  avtest_expect_error(@() brellix(A, V, ''), 'brellix:arguments', {'argument 3', 'empty'}, d, before);
  avtest_expect_error(@() brellix(A, V), 'brellix:arguments', {'expected 3 arguments, got 2'}, d, before);
  avtest_expect_error(@() disp(brellix(A, V, K)), 'brellix:arguments', {'returns no value'}, d, before);
  ok = true;
catch e
  msg = e.message;
end
confirm_recursive_rmdir(false);
rmdir(d, 's');
if ~ok
  error('brellix test failed: %s', msg);
end
disp('brellix Octave test passed');
