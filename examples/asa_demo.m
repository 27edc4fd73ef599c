% asa_demo.m - synthesise the vowel-fricative-vowel /asa/ with quorvel, save
% it as asa.wav and play it when a sound device is available.
%
% Run from the repository after building (bash scripts/build.sh):
%   octave examples/asa_demo.m
% or, inside Octave or MATLAB, with examples/ on the path: asa_demo
% The same utterance as a score file for the command-line synthesiser is
% examples/asa.json (build/synth/quorvel examples/asa.json -o asa.wav).

if exist('quorvel') ~= 3 && exist('quorvel') ~= 2
  here = fileparts(mfilename('fullpath'));
  addpath(fullfile(here, '..', 'build', 'mex'));
  if exist('quorvel') ~= 3
    error('asa_demo: the quorvel MEX module is not built; run "bash scripts/build.sh" first');
  end
end
if ~exist('asa_wav', 'var'), asa_wav = 'asa.wav'; end     % output file
if ~exist('asa_play', 'var'), asa_play = true; end        % try to play it

nss = 17;                 % 17 sections of 1 cm from the glottis to the lips
fs = 10000;               % output sampling frequency, Hz

% Glottal baseline area [ms; cm^2; kind]: open to 0.35 cm^2 for the voiceless /s/.
TAg0 = [0    40   190  250  370  430  650  700
        0.03 0.03 0.03 0.35 0.35 0.03 0.03 0
        1    1    1    2    1    2    1    2];
% Glottal pulse amplitude [ms; cm^2; kind]: voicing on, off for /s/, on, off.
TAgP = [0 40   180  240 380 440  620  700
        0 0.18 0.18 0   0   0.18 0.18 0
        1 2    1    2   1   2    1    2];
% Fundamental frequency [ms; Hz; kind].
TF0 = [0   60  200 450 700
       120 140 135 130 100
       1   2   2   2   2];
% Key frames [ms; kind; frication source junction]: /a/ /a/ /s/ /s/ /a/ /a/.
TAF1 = [0 150 240 360 450 700
        1 1   2   1   2   1
        1 1   1   1   1   1];
% Area functions, cm^2, glottis (row 1) to lips (row 17).
af_a = [1.0 0.8 0.6 0.5 0.5 0.6 0.8 1.2 2.0 3.0 4.0 5.0 5.5 6.0 6.0 5.0 4.0]';
af_s = [1.0 1.2 1.8 2.5 3.0 3.5 3.5 3.2 2.8 2.2 1.6 1.0 0.6 0.3 0.08 0.5 1.0]';
TAF2 = [af_a af_a af_s af_s af_a af_a];
dx = 1.0;                 % section length, cm

sig = quorvel(nss, TAg0, TAgP, TF0, TAF1, TAF2, dx, fs);

% sig is the radiated pressure in dyn/cm^2; scale it to a peak of 0.9 for the file.
audiowrite(asa_wav, 0.9 * sig / max(abs(sig)), fs);
fprintf('/asa/: %d samples at %d Hz, peak %.3g dyn/cm^2, written to %s\n', ...
       numel(sig), fs, max(abs(sig)), asa_wav);
if asa_play
  % Play only where a sound card exists (on Linux, probing without one just
  % fills the screen with audio-library warnings).
  has_card = true;
  if isunix() && ~ismac()
    has_card = exist('/proc/asound/cards', 'file') && ...
               ~isempty(regexp(fileread('/proc/asound/cards'), '^\s*\d+\s*\[', 'once', 'lineanchors'));
  end
  if has_card
    try
      sound(0.9 * sig / max(abs(sig)), fs);
    catch
      % no usable audio output: the file is enough
    end
  end
end
