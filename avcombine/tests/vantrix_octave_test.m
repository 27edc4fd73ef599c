% vantrix through the Octave host: temp.avi in the working directory with a
% Microsoft Video 1 stream decodable frame for frame, the WAV file's samples,
% and refusals that leave every file (also an input named temp.avi) in place.
1;

function sh(cmd)
  % Runs a shell command; a failure stops the test.
  [st, out] = system(cmd);
  if st ~= 0
    error('command failed: %s\n%s', cmd, out);
  end
end

function out = shout(cmd)
  % Output of a shell command.
  [~, out] = system(cmd);
end

function s = snapshot(d)
  % Names and contents of the files in d.
  f = dir(d);
  s = struct('name', {}, 'bytes', {});
  for k = 1:numel(f)
    if ~f(k).isdir
      fid = fopen(fullfile(d, f(k).name), 'r');
      s(end + 1) = struct('name', f(k).name, 'bytes', fread(fid, Inf, 'uint8=>uint8')');
      fclose(fid);
    end
  end
end

function expect_error(fn, id, says, d, before)
  % fn must raise error id with every text in says; the directory d must keep
  % the files of the snapshot before.
  try
    fn();
  catch e
    assert(strcmp(e.identifier, id), 'identifier %s, expected %s (%s)', e.identifier, id, e.message);
    for k = 1:numel(says)
      assert(~isempty(strfind(e.message, says{k})), 'message "%s" lacks "%s"', e.message, says{k});
    end
    assert(isequal(snapshot(d), before), 'files changed after: %s', e.message);
    return;
  end
  error('no error raised, expected %s', id);
end

d = tempname();
mkdir(d);
here = pwd();
ok = false;
try
  cd(d);
  ff = 'ffmpeg -nostdin -hide_banner -loglevel error -y ';
  sh([ff '-f lavfi -i testsrc=size=64x48:rate=10 -t 2 -c:v mjpeg v.avi']);
  sh([ff '-f lavfi -i testsrc=size=66x50:rate=10 -t 1 -c:v mjpeg odd.avi']);
  sh([ff '-f lavfi -i sine=frequency=440:sample_rate=22050 -t 1.5 -c:a pcm_s16le a.wav']);
  frames = @(f) shout(['ffprobe -v error -count_frames -select_streams v ' ...
                       '-show_entries stream=nb_read_frames -of csv=p=0 ' f]);
  ahash = @(f) shout(['ffmpeg -v error -i ' f ' -map 0:a:0 -c copy -f md5 -']);
  fid = fopen('temp.avi', 'w'); fwrite(fid, 'earlier temp.avi'); fclose(fid);

  vantrix('a.wav', 'v.avi');
  probe = shout('ffprobe -v error -show_entries stream=codec_type,codec_name,codec_tag_string -of csv=p=0 temp.avi');
  assert(strcmp(probe, sprintf('msvideo1,video,MSVC\npcm_s16le,audio,[1][0][0][0]\n')), probe);
  assert(strcmp(frames('temp.avi'), sprintf('20\n')), frames('temp.avi'));
  assert(strcmp(frames('temp.avi'), frames('v.avi')));
  assert(strcmp(ahash('temp.avi'), ahash('a.wav')), 'audio samples differ');
  f = dir(d);
  assert(numel(f) == 2 + 4, 'unexpected files: %s', strjoin({f.name}, ' '));

  before = snapshot(d);
  expect_error(@() vantrix('a.wav', 'temp.avi'), 'vantrix:failed', {'temp.avi', 'output file'}, d, before);
  expect_error(@() vantrix('a.wav', 'none.avi'), 'vantrix:failed', {'video file', 'none.avi', 'No such file'}, d, before);
  expect_error(@() vantrix('v.avi', 'v.avi'), 'vantrix:failed', {'v.avi', 'no audio stream'}, d, before);
  expect_error(@() vantrix('a.wav', 'odd.avi'), 'vantrix:failed', {'odd.avi', 'multiple of 4'}, d, before);
  expect_error(@() vantrix('a.wav', 2), 'vantrix:arguments', {'argument 2', 'character array'}, d, before);
  expect_error(@() vantrix('a.wav'), 'vantrix:arguments', {'expected 2 arguments, got 1'}, d, before);
  expect_error(@() vantrix('a.wav', 'v.avi', 'o.avi'), 'vantrix:arguments', {'expected 2 arguments, got 3'}, d, before);
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
