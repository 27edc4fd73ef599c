% QUORVEL_FORMANTS  Formants and transfer function of a vocal-tract area function.
%
%   [F, B] = quorvel_formants(A, x)
%   [F, B] = quorvel_formants(A, x, count, warp_fs, Ag)
%   [H, Zin, P] = quorvel_formants('transfer', A, x, f, warp_fs, Ag)
%   [F, B, Fz, Bz] = quorvel_formants(A, x, ..., nasal)
%   [H, Zin, P] = quorvel_formants('transfer', A, x, f, ..., nasal)
%
%   The small-signal analysis of the network that quorvel simulates: lumped
%   tube sections with viscous losses, air compliance and yielding walls,
%   the lip radiation load, the linearised resistances of the glottis and of
%   the narrowest section.
%
%   A        section areas in cm^2, glottis first (finite, >= 0; 0 = closed)
%   x        section length in cm: one value for all sections or one per
%            section (finite, >= 0)
%   count    at most this many formants (default 4)
%   warp_fs  simulation rate in Hz: the resonances as the trapezoidal rule
%            at that rate sees them (quorvel simulates at 3*fs); [] or 0:
%            the continuous-time network
%   Ag       glottal area in cm^2 that loads the source; [] (default): a
%            closed glottis (ideal volume-velocity source)
%   f        frequencies in Hz, strictly increasing, >= 0 (below warp_fs/2)
%   nasal    (last argument, a struct) couples a nasal branch at the velum:
%              areas              cm^2, velum coupling first, nostrils last
%              lengths            cm, one value or one per section
%              branch_section     sections of A before the velum (default 9)
%              coupling_sections  velum coupling (port) sections (default 3)
%              sinus              true: the paranasal sinus (default false)
%            the same fields as the command line's --nasal JSON object
%
%   F, B     formant frequencies and 3-dB bandwidths in Hz (columns)
%   Fz, Bz   with nasal: the antiresonances (zeros of the radiated flow)
%   H        radiated (lip plus nostril) volume velocity / glottal volume
%            velocity at f (complex)
%   Zin      input impedance of the tract at the glottis, dyn*s/cm^5
%   P        radiated pressure at 100 cm per glottal volume velocity,
%            dyn/cm^2 per cm^3/s
%
%   Example:
%     [A, x] = readVTAF('examples/tracts/vowels/a_story1996_17.txt');
%     [F, B] = quorvel_formants(A, x)             % F1 about 830 Hz
%     f = 0:10:5000; H = quorvel_formants('transfer', A, x, f);
%     plot(f, 20*log10(abs(H)))
%     N = struct('areas', [0.4 0.4 0.4 1.5 2 2 2 2 2 1.5 1 1 1], 'lengths', 0.8);
%     [F, B, Fz] = quorvel_formants(A, x, 5, [], [], N)  % a nasalised /a/
%
%   Errors (identifier quorvel_formants:argument): empty or non-finite
%   areas, negative lengths, a frequency grid that is not increasing, a
%   nasal struct with unknown or missing fields or values out of range.
