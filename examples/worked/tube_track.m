% Worked example: a tube track from interpolAx driving one section. The
% tube key file examples/tube.txt moves a tube from 1 to 3 cm² over 100 ms
% (raised cosine); that track becomes the area of the lip section of a
% 17-section tract, one key frame every 10 ms, and quorvel voices it.
% Run from anywhere with build/mex on the path; leaves `sig`, `fs` and `lip`.
here = fileparts(mfilename('fullpath'));
fs = 10000;
n = 0:10:1000;                                     % a key every 10 ms (100 samples)
[lip, ~] = interpolAx(fullfile(here, '..', 'tube.txt'), n * 10, fs);  % cm², at those samples
tract = [1 0.8 0.6 0.5 0.5 0.6 0.8 1.2 2 3 4 5 5.5 6 6 5 4]';  % an open vowel, 17 x 1 cm
TAF2 = repmat(tract, 1, numel(n));
TAF2(end, :) = lip(:)';                            % the lip section follows the tube track
TAF1 = [n; ones(size(n)); -ones(size(n))];
TAg0 = [0 50 950 1000; 0 0.03 0.03 0; 1 2 1 2];
TAgP = [0 50 950 1000; 0 0.18 0.18 0; 1 2 1 2];
TF0  = [0 1000; 120 100; 1 2];
sig = quorvel(17, TAg0, TAgP, TF0, TAF1, TAF2, 1, fs);
