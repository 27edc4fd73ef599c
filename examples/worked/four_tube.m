% Worked example: a four-tube area function from FourTubeAF, synthesised by
% quorvel. The tubes (glottis first) are a narrow pharynx, a wide mouth
% cavity and a lip tube, close to an /a/; FourTubeAF turns them into 17
% sections of equal length and quorvel voices them for 0.4 s at 10 kHz.
% Run from anywhere with build/mex on the path; leaves `sig` and `fs`.
[A, x] = FourTubeAF([1.0 0.6 5.0 3.0], [2.0 6.0 7.0 2.0], 17);  % areas cm², lengths cm
fs = 10000;
TAg0 = [0 50 350 400; 0 0.03 0.03 0; 1 2 1 2];       % baseline glottal area, cm²
TAgP = [0 50 350 400; 0 0.18 0.18 0; 1 2 1 2];       % pulse amplitude, cm²
TF0  = [0 400; 120 100; 1 2];                        % Hz
TAF1 = [0 400; 1 1; -1 -1];                          % one shape throughout
sig = quorvel(17, TAg0, TAgP, TF0, TAF1, [A A], x(1), fs);
