% VANTRIX  Lay a WAV sound track under an AVI video compressed with Video 1.
%
%   vantrix(AUDIO, VIDEO) writes the AVI file "temp.avi" in the current
%   working directory with two streams: first the first video stream of the
%   AVI file VIDEO, decoded and re-encoded frame for frame with Microsoft
%   Video 1 (FourCC MSVC) at the codec's highest compression, then the first
%   audio stream of the WAV file AUDIO, its samples carried over unchanged.
%   Audio and video chunks are interleaved in time order. Further streams of
%   the inputs are left out.
%
%   Arguments
%     AUDIO   name of the WAV file (character row vector)
%     VIDEO   name of the AVI file with the video (character row vector);
%             its frame width and height must be multiples of 4 pixels
%
%   Result
%     None. temp.avi appears only when it is complete; an earlier temp.avi is
%     then replaced. Nothing else is deleted or changed: an input that is
%     itself temp.avi is refused (copy or rename it first). Both streams keep
%     their timing: frame rate, frame count, sample rate, channels, sample
%     format and duration.
%
%   Errors (identifier, message names the file and the reason)
%     vantrix:arguments  not two arguments, an output requested, or an
%                        argument that is not a one-row character array
%     vantrix:failed     an input that cannot be opened, read or decoded,
%                        AUDIO without an audio stream, VIDEO without a video
%                        stream, a frame size not a multiple of 4, an input
%                        named temp.avi, or a failed write. After an error the
%                        inputs and any earlier temp.avi are as they were and
%                        no partial file is left.
%
%   Example (asa.wav as examples/asa_demo.m writes it; a 1 s test video
%   made with the ffmpeg program):
%     system('ffmpeg -y -v error -f lavfi -i testsrc=s=160x120:d=1 lips.avi');
%     vantrix('asa.wav', 'lips.avi');   % writes temp.avi
%     movefile('temp.avi', 'lips_msvc.avi');
%
%   See also BRELLIX.
