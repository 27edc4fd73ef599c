% QUORVEL_TRACKS  Per-frame ground truth of a score's utterance.
%
%   T = quorvel_tracks(score)
%   T = quorvel_tracks(score, every_ms)
%
%   Synthesises the score (the same control tracks, glottal pulses,
%   area-function interpolation and network as the audio of quorvel_synth)
%   and samples it every every_ms ms (default 5) from 0 to the last sample.
%
%   score     a struct with the fields of a score file (jsondecode of one
%             works), its JSON text, or the name of a score file (its
%             TAF2_files are found from the file's folder)
%   every_ms  frame step in ms (finite, > 0)
%
%   T is a struct of columns, one row per frame:
%     time_ms             time of the frame's output sample, ms
%     F0_Hz               F0 track, Hz
%     Ag_cm2              glottal area handed to the network, cm^2
%     Psub_cmH2O          lung pressure, cm H2O
%     formants_Hz         N x 5: F1..F5 of the frame's area function (closed
%                         glottis, as the simulation rate sees them, below
%                         half the output rate; NaN where fewer)
%     bandwidths_Hz       N x 5: their 3-dB bandwidths, Hz
%     narrowest_section   index of the narrowest section (glottis end 0)
%     narrowest_area_cm2  its area, cm^2
%     frication_junction  junction receiving the frication noise (-1: none)
%     areas_cm2           N x sections: the frame's area function, cm^2,
%                         glottis first
%   and the scalars duration_s (length of the utterance, s) and fs (output
%   rate, Hz).
%
%   Example:
%     T = quorvel_tracks('examples/asa.json');
%     plot(T.time_ms, T.formants_Hz(:, 1:3), '.'); xlabel('ms'); ylabel('Hz')
%
%   Errors (identifier quorvel_tracks:argument): a refused score (the
%   message names the field), a frame step that is not > 0.
%
%   See also QUORVEL_SYNTH, QUORVEL_FORMANTS, QUORVEL_OVERVIEW.
