% vantrix through the Octave host: temp.avi in the working directory with a
% Microsoft Video 1 stream decodable frame for frame, the WAV file's samples,
% and refusals that leave every file (also an input named temp.avi) in place.
addpath(fileparts(mfilename('fullpath')));  % the avtest_* helpers

d = tempname();
mkdir(d);
here = pwd();
ok = false;
try
  cd(d);
  ff = 'ffmpeg -nostdin -hide_banner -loglevel error -y ';
  avtest_run([ff '-f lavfi -i testsrc=size=64x48:rate=10 -t 2 -c:v mjpeg v.avi']);
  avtest_run([ff '-f lavfi -i sine=frequency=440:sample_rate=22050 -t 1.5 -c:a pcm_s16le a.wav']);
  frames = @(f) avtest_run(['ffprobe -v error -count_frames -select_streams v ' ...
                       '-show_entries stream=nb_read_frames -of csv=p=0 ' f]);
  ahash = @(f) avtest_run(['ffmpeg -v error -i ' f ' -map 0:a:0 -c copy -f md5 -']);
  fid = fopen('temp.avi', 'w'); fwrite(fid, 'earlier temp.avi'); fclose(fid);

  vantrix('a.wav', 'v.avi');
  probe = avtest_run('ffprobe -v error -show_entries stream=codec_type,codec_name,codec_tag_string -of csv=p=0 temp.avi');
  assert(strcmp(probe, sprintf('msvideo1,video,MSVC\npcm_s16le,audio,[1][0][0][0]\n')), probe);
  assert(strcmp(frames('temp.avi'), sprintf('20\n')) && strcmp(frames('v.avi'), sprintf('20\n')));
  assert(strcmp(ahash('temp.avi'), ahash('a.wav')), 'audio samples differ');
  f = dir(d);
  assert(numel(f) == 2 + 3, 'unexpected files: %s', strjoin({f.name}, ' '));

  before = avtest_snapshot(d);
  avtest_expect_error(@() vantrix('a.wav', 'temp.avi'), 'vantrix:failed', {'temp.avi', 'output file'}, d, before);
  avtest_expect_error(@() vantrix('a.wav'), 'vantrix:arguments', {'expected 2 arguments, got 1'}, d, before);
  ok = true;
catch e
  msg = e.message;
end
cd(here);
confirm_recursive_rmdir(false);
rmdir(d, 's');
if ~ok
  error('vantrix test failed: %s', msg);
end
disp('vantrix Octave test passed');
