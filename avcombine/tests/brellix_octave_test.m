% brellix through the Octave host: streams, unchanged packets and samples,
% first video stream only, and every refusal with its identifier and message.
addpath(fileparts(mfilename('fullpath')));  % the avtest_* helpers

d = tempname();
mkdir(d);
ok = false;
try
  q = @(name) ['"' fullfile(d, name) '"'];
  ff = 'ffmpeg -nostdin -hide_banner -loglevel error -y ';
  avtest_run([ff '-f lavfi -i testsrc=size=64x48:rate=10 -t 2 -c:v mjpeg ' q('v.avi')]);
  avtest_run([ff '-f lavfi -i testsrc=size=32x24:rate=5 -t 2 -c:v mpeg4 ' q('v2.avi')]);
  avtest_run([ff '-f lavfi -i sine=frequency=440:sample_rate=22050 -t 2.5 -c:a pcm_s16le ' q('a.wav')]);
  avtest_run([ff '-f lavfi -i sine=frequency=1000:sample_rate=8000 -t 2 -c:a pcm_s16le ' q('own.wav')]);
  avtest_run([ff '-i ' q('own.wav') ' -i ' q('v.avi') ' -i ' q('v2.avi') ...
      ' -map 0:a -map 1:v -map 2:v -c copy ' q('multi.avi')]);
  vhash = @(f) avtest_run(['ffmpeg -v error -i ' q(f) ' -map 0:v:0 -c copy -f framemd5 - | grep -v "^#"']);
  ahash = @(f) avtest_run(['ffmpeg -v error -i ' q(f) ' -map 0:a:0 -c copy -f md5 -']);
  types = @(f) avtest_run(['ffprobe -v error -show_entries stream=codec_type -of csv=p=0 ' q(f)]);

  % Video first, audio second; packets and samples unchanged.
  brellix(fullfile(d, 'a.wav'), fullfile(d, 'v.avi'), fullfile(d, 'out.avi'));
  assert(strcmp(types('out.avi'), sprintf('video\naudio\n')), types('out.avi'));
  assert(numel(strfind(vhash('v.avi'), sprintf('\n'))) == 20);
  assert(strcmp(vhash('out.avi'), vhash('v.avi')), 'video packets differ');
  assert(strcmp(ahash('out.avi'), ahash('a.wav')), 'audio samples differ');

  % Of an AVI with its own audio and two video streams only the first video
  % stream is taken; the sound is the WAV file's.
  brellix(fullfile(d, 'a.wav'), fullfile(d, 'multi.avi'), fullfile(d, 'm.avi'));
  assert(strcmp(types('m.avi'), sprintf('video\naudio\n')), types('m.avi'));
  assert(strcmp(vhash('m.avi'), vhash('v.avi')), 'not the first video stream');
  assert(strcmp(ahash('m.avi'), ahash('a.wav')), 'not the WAV file''s sound');

  % Refusals: identifier, message naming the file and reason, files untouched.
  fid = fopen(fullfile(d, 'keep.avi'), 'w'); fwrite(fid, 'earlier output'); fclose(fid);
  before = avtest_snapshot(d);
  A = fullfile(d, 'a.wav'); V = fullfile(d, 'v.avi'); K = fullfile(d, 'keep.avi');
  avtest_expect_error(@() brellix(fullfile(d, 'none.wav'), V, K), 'brellix:failed', ...
               {'audio file', 'none.wav', 'No such file'}, d, before);
  avtest_expect_error(@() brellix(A, fullfile(d, 'none.avi'), K), 'brellix:failed', ...
               {'video file', 'none.avi', 'No such file'}, d, before);
  avtest_expect_error(@() brellix(V, V, K), 'brellix:failed', {'v.avi', 'no audio stream'}, d, before);
  avtest_expect_error(@() brellix(A, A, K), 'brellix:failed', {'a.wav', 'no video stream'}, d, before);
  avtest_expect_error(@() brellix(A, V, V), 'brellix:failed', {'v.avi', 'output file'}, d, before);
  avtest_expect_error(@() brellix(A, V, fullfile(d, 'no', 'o.avi')), 'brellix:failed', ...
               {'output file', 'o.avi', 'No such file'}, d, before);
  avtest_expect_error(@() brellix(1, V, K), 'brellix:arguments', {'argument 1', 'character array'}, d, before);
  avtest_expect_error(@() brellix(A, {V}, K), 'brellix:arguments', {'argument 2', 'character array'}, d, before);
  avtest_expect_error(@() brellix(A, V, [K; K]), 'brellix:arguments', {'argument 3', 'row'}, d, before);
  avtest_expect_error(@() brellix(A, V, [K char(0) 'x']), 'brellix:arguments', {'argument 3', 'zero'}, d, before);
  avtest_expect_error(@() brellix(A, V, ''), 'brellix:arguments', {'argument 3', 'empty'}, d, before);
  avtest_expect_error(@() brellix(A, V), 'brellix:arguments', {'expected 3 arguments, got 2'}, d, before);
  avtest_expect_error(@() brellix(A, V, K, K), 'brellix:arguments', {'expected 3 arguments, got 4'}, d, before);
  avtest_expect_error(@() brellix(), 'brellix:arguments', {'expected 3 arguments, got 0'}, d, before);
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
