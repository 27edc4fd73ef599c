% BRELLIX  Lay the sound track of a WAV file under the video of an AVI file.
%
%   brellix(AUDIO, VIDEO, OUTPUT) writes the AVI file OUTPUT with two
%   streams: first the first video stream of the AVI file VIDEO, its packets
%   carried over unchanged (same codec, same FourCC, same frames), then the
%   first audio stream of the WAV file AUDIO, its samples carried over
%   unchanged. Audio and video chunks are interleaved in time order. Further
%   streams of the inputs (a second video stream, an audio stream of VIDEO)
%   are left out.
%
%   Arguments
%     AUDIO   name of the WAV file (character row vector)
%     VIDEO   name of the AVI file with the video (character row vector)
%     OUTPUT  name of the AVI file to write (character row vector); it may
%             not name AUDIO or VIDEO
%
%   Result
%     None. OUTPUT appears only when it is complete; an earlier file of that
%     name is then replaced. Both streams keep their timing: frame rate,
%     frame count, sample rate, channels, sample format and duration. A
%     sound track longer or shorter than the video is carried whole.
%
%   Errors (identifier, message names the file and the reason)
%     brellix:arguments  not three arguments, an output requested, or an
%                        argument that is not a one-row character array
%     brellix:failed     an input that cannot be opened or read, AUDIO
%                        without an audio stream, VIDEO without a video
%                        stream, a codec an AVI file cannot hold, OUTPUT
%                        naming an input, or a failed write.
%                        After an error the inputs and any earlier OUTPUT
%                        are as they were and no partial file is left.
%
%   Example (asa.wav as examples/asa_demo.m writes it; a 1 s test video
%   made with the ffmpeg program):
%     system('ffmpeg -y -v error -f lavfi -i testsrc=s=160x120:d=1 lips.avi');
%     brellix('asa.wav', 'lips.avi', 'lips_with_sound.avi');
%
%   See also VANTRIX.
