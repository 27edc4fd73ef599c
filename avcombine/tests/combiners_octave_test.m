% brellix and vantrix through the Octave host: stream order, unchanged video
% packets and audio samples, Video 1 decodable frame for frame, and refusals
% with their identifiers that leave every file as it was.
d = tempname();
mkdir(d);
confirm_recursive_rmdir(false);
cleanup = onCleanup(@() rmdir(d, 's'));
function s = sh(cmd)
  [st, s] = system(cmd);
  assert(st == 0, 'command failed: %s\n%s', cmd, s);
end
cd(d);
ff = 'ffmpeg -nostdin -v error -y ';
sh([ff '-f lavfi -i testsrc=size=64x48:rate=10 -t 2 -c:v mjpeg v.avi']);
sh([ff '-f lavfi -i sine=frequency=440:sample_rate=22050 -t 2.5 -c:a pcm_s16le a.wav']);
vhash = @(f) sh(['ffmpeg -v error -i ' f ' -map 0:v:0 -c copy -f framemd5 - | grep -v "^#"']);
ahash = @(f) sh(['ffmpeg -v error -i ' f ' -map 0:a:0 -c copy -f md5 -']);
probe = @(f, args) sh(['ffprobe -v error ' args ' -of csv=p=0 ' f]);

brellix('a.wav', 'v.avi', 'b.avi');
assert(strcmp(probe('b.avi', '-show_entries stream=codec_type'), sprintf('video\naudio\n')));
assert(numel(strfind(vhash('v.avi'), sprintf('\n'))) == 20);
assert(strcmp(vhash('b.avi'), vhash('v.avi')), 'video packets differ');
assert(strcmp(ahash('b.avi'), ahash('a.wav')), 'audio samples differ');

fid = fopen('temp.avi', 'w'); fwrite(fid, 'earlier temp.avi'); fclose(fid);
vantrix('a.wav', 'v.avi');
assert(strcmp(probe('temp.avi', '-show_entries stream=codec_type,codec_tag_string'), ...
              sprintf('video,MSVC\naudio,[1][0][0][0]\n')));
assert(strcmp(probe('temp.avi', '-count_frames -select_streams v -show_entries stream=nb_read_frames'), ...
              sprintf('20\n')), 'Video 1 frames not all decodable');
assert(strcmp(ahash('temp.avi'), ahash('a.wav')), 'audio samples differ');

snap = @() cellfun(@(n) [n ':' fileread(n)], setdiff({dir('.').name}, {'.', '..'}), 'UniformOutput', false);
% The channel count field of the WAV format header set to 0 and 65535.
w = fileread('a.wav');
k = strfind(w, 'fmt ')(1);
for c = [0 65535]
  w(k + 10:k + 11) = char([bitand(c, 255), bitshift(c, -8)]);
  fid = fopen(sprintf('c%d.wav', c), 'w'); fwrite(fid, w); fclose(fid);
end
before = snap();
assert(numel(before) == 6, strjoin(before, ' '));
refusals = {@() brellix('none.wav', 'v.avi', 'b.avi'), 'brellix:failed', '"none.wav": No such file';
            @() vantrix('a.wav', 'temp.avi'), 'vantrix:failed', 'video file "temp.avi" is also the output';
            @() brellix(1, 'v.avi', 'b.avi'), 'brellix:arguments', 'argument 1) must be a character array';
            @() brellix('a.wav', 'v.avi', ''), 'brellix:arguments', 'argument 3) is empty';
            @() vantrix('a.wav'), 'vantrix:arguments', 'expected 2 arguments, got 1';
            @() disp(brellix('a.wav', 'v.avi', 'b.avi')), 'brellix:arguments', 'returns no value';
            @() brellix('c0.wav', 'v.avi', 'b.avi'), 'brellix:failed', '"c0.wav" cannot be laid under the video: its channel count is 0';
            @() vantrix('c65535.wav', 'v.avi'), 'vantrix:failed', 'its channel count is 65535'};
for k = 1:rows(refusals)
  e = [];
  try
    refusals{k, 1}();
  catch e
  end
  assert(~isempty(e) && strcmp(e.identifier, refusals{k, 2}) && ~isempty(strfind(e.message, refusals{k, 3})), ...
         'refusal %d: %s', k, refusals{k, 3});
  assert(isequal(snap(), before), 'files changed by refusal %d', k);
end
