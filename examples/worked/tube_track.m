% Worked example: a tube track from interpolAx driving one section. The
% tube key file examples/tube.txt moves a tube from 1 to 3 cm² over 100 ms
% (raised cosine); sampled every 2 ms, that track becomes the area of the
% lip section of a 17-section tract (one key frame per sample of the
% track), which then holds its last value for 200 ms; quorvel voices it.
% Run from anywhere with build/mex on the path; leaves `sig`, `fs` and `lip`.
here = fileparts(mfilename('fullpath'));
fs = 10000;
t = 0:2:100;                                       % key frame times, ms
[lip, ~] = interpolAx(fullfile(here, '..', 'tube.txt'), t * fs / 1000, fs);  % cm²
tract = [1 0.8 0.6 0.5 0.5 0.6 0.8 1.2 2 3 4 5 5.5 6 6 5 4]';  % an open vowel, 17 x 1 cm
TAF2 = repmat(tract, 1, numel(t) + 1);
TAF2(end, 1:end-1) = lip(:)';                      % the lip section follows the tube track
TAF2(end, end) = lip(end);
TAF1 = [t 300; ones(size(t)) 0; -ones(1, numel(t) + 1)];   % then hold until 300 ms
TAg0 = [0 50 250 300; 0 0.03 0.03 0; 1 2 1 2];
TAgP = [0 50 250 300; 0 0.18 0.18 0; 1 2 1 2];
TF0  = [0 300; 120 100; 1 2];
sig = quorvel(17, TAg0, TAgP, TF0, TAF1, TAF2, 1, fs);
