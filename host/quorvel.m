%QUORVEL  Articulatory speech synthesis in the time domain.
%   SIG = QUORVEL(NSS, TAG0, TAGP, TF0, TAF1, TAF2, DX)
%   SIG = QUORVEL(NSS, TAG0, TAGP, TF0, TAF1, TAF2, DX, FS)
%   SIG = QUORVEL(NSS, TAG0, TAGP, TF0, TAF1, TAF2, DX, FS, VCV)
%
%   Simulates the airway (glottis, vocal tract of NSS tube sections with
%   yielding walls, lip radiation, aspiration and frication noise) driven by
%   time-varying glottal and vocal-tract control tracks, and returns the
%   radiated sound pressure.
%
%   Arguments (every one a real, full double array):
%     NSS   1x1   number of vocal-tract sections, 1..40 (truncated).
%     TAG0  3xK   glottal baseline area break points, one per column:
%                 [time in ms; area in cm^2; transition kind].
%     TAGP  3xK   glottal pulse amplitude break points (Fant pulse shape):
%                 [time in ms; peak area in cm^2; transition kind].
%     TF0   3xK   fundamental frequency break points:
%                 [time in ms; F0 in Hz; transition kind].
%                 A segment of kind 0 is voiceless: no new glottal period
%                 starts until it ends.
%     TAF1  3xF   vocal-tract key frames, one per column:
%                 [time in ms; transition kind; frication source junction].
%                 The source junction counts junctions downstream of the
%                 narrowest section; a negative value keeps the previous one.
%     TAF2  NSSxF section areas in cm^2; column m is key frame m, row 1 the
%                 section next to the glottis, row NSS the lips. An area
%                 of 0 or less is a closure: the network takes 0.001 cm^2.
%     DX    section lengths in cm, above 0 and at most 100: 1x1 (every
%                 section of every frame), 1xF (one length per frame) or
%                 NSSxF; a row of any other length gives its first value
%                 to every section; a matrix of another row count is refused.
%     FS    1x1   optional output sampling frequency in Hz (default 10000);
%                 the network is simulated at 3*FS.
%     VCV   1x1   optional flag (default 0); when nonzero, prints
%                 nAcc[i]: the index (from 0) of the narrowest section of
%                 the LAST key frame whose source junction is >= 0 (each
%                 such frame overwrites it), which need not be the
%                 constriction of the fricative.
%
%   Values must be finite numbers within single precision (about 3.4e38);
%   the glottal areas of TAG0 and TAGP and the F0 of TF0 are 0 or more.
%
%   Transition kinds (the kind of a column governs the segment that ends
%   there): 0 = value 0 over the segment (tracks) or hold the previous key
%   frame (TAF1); 1 = linear; 2 = raised cosine; any other kind gives 0 in
%   a track. A break point at t ms lies on output sample fix(t*FS/1000); the
%   break points of each track must lie on strictly increasing samples.
%   Start each track at 0 ms: before a later first break point a track
%   gives 0 and the vocal tract holds the first key frame.
%   After its last break point a track keeps its last segment's law (a
%   line goes on, a cosine swings back), and so does the vocal tract after
%   its last key frame: end TF0 and TAF1 at or after the end of TAG0 and
%   TAGP (one key frame alone gives a fixed tract).
%
%   Result:
%     SIG   Nx1 double column, the radiated sound pressure in dyn/cm^2 at
%           100 cm (1 dyn/cm^2 = 0.1 Pa), at FS samples per second.
%           N = S+1, where S is the sample of the later of the last break
%           points of TAG0 and TAGP. The output lags the articulation by
%           about 17 samples (decimation filter). Scale it for listening,
%           e.g. sound(SIG/max(abs(SIG))*0.9, FS).
%
%   State: the module keeps its synthesiser between calls, so the frication
%   source position, the glottal pulse under way and the noise generators
%   carry over; two calls with the same arguments differ slightly in their
%   noise. A fresh Octave/MATLAB session gives the same samples every time.
%   "clear quorvel" starts afresh.
%
%   Errors:
%     Wrong number of arguments (7 to 9) or results (exactly 1): prints
%       Incorrect calling syntax:
%        [SIG] = quorvel(nss,TAg0,TAgP,TF0,TAF1,TAF2,dx,[fs])
%       nlhs is <results>, nrhs is <arguments>.
%     and raises "quorvel argument checking failed.".
%     Wrong shapes or values (NSS not 1x1, a track without 3 rows, DX
%     matching neither shape, NSS outside 1..40, TAF2 too small or without
%     NSS rows (transposed), break points not on increasing samples, ...),
%     and any argument that is not a real, full double array (complex,
%     integer, single, logical, char, sparse, cell, struct): the error
%     starts with "quorvel argument checking failed." and says what is
%     wrong.
%     An output too long for the available memory (more than a quarter of
%     the physical memory, 12 bytes per sample while it is built) is
%     refused before any work: "... The output would hold N samples ...".
%     Ctrl-C stops a running call with an error; nothing is returned.
%     After any error the next call works normally.
%     Identifiers: quorvel:arguments for a refused call (every message that
%     starts "quorvel argument checking failed."), quorvel:interrupted for
%     Ctrl-C, quorvel:failed otherwise.
%
%   Warning quorvel:nonfinite: the simulation diverged and SIG holds NaN or
%   Inf samples; the warning names the first of them ("the first is sample
%   i at t ms"). The time-domain network can become unstable when areas
%   change within a few samples, when a track's last segment drives F0 far
%   beyond speech (tracks continue their last segment's law after their last
%   break point; end TF0 no earlier than TAg0 and TAgP), or with F0 above
%   about 550 Hz on a near-zero baseline area at 10 kHz. Smooth the tracks,
%   keep a baseline of about 0.01 cm^2, or raise fs.
%
%   Example: a 0.3 s vowel, 17 sections of 1 cm, one key frame
%   (examples/asa_demo.m synthesises a whole /asa/):
%     TAg0 = [0 300; 0.05 0.05; 1 1];              % ms; cm^2; kind
%     TAgP = [0 50 250 300; 0 0.2 0.2 0; 1 2 1 2]; % voicing on and off
%     TF0  = [0 300; 130 110; 1 1];                % ms; Hz; kind
%     TAF1 = [0; 1; 1];                            % ms; kind; junction
%     TAF2 = [1 1 1 1 1 1 1 1 1 2 3 4 5 5 5 4 3]'; % cm^2, glottis first
%     sig = quorvel(17, TAg0, TAgP, TF0, TAF1, TAF2, 1.0, 16000);
%     audiowrite('vowel.wav', 0.9*sig/max(abs(sig)), 16000);  % 4801 samples
%
%   The command-line program quorvel (quorvel --help) synthesises the same
%   arguments from a JSON score file into a WAV file.

% quorvel is a MEX function; this file holds its help text only.
error('quorvel: the MEX module is not on the path (build it and addpath build/mex)');
