%QUORVEL_SYNTH  Articulatory synthesis with the whole airway model.
%   SIG = quorvel_synth(score)
%   [SIG, signals] = quorvel_synth(score)
%
%   score is a struct with the fields of a score file (nss, TAg0, TAgP, TF0,
%   TAF1, TAF2, dx, and optionally fs, VCV, model, signals), for example
%   jsondecode(fileread('examples/ama.json')), or the JSON text of a score.
%   Without a model field, or with only its defaults, SIG is bit for bit what
%   quorvel(nss, TAg0, ...) returns: the radiated pressure in dyn/cm^2 at
%   100 cm, one sample per row, at fs (default 10000 Hz).
%
%   score.model (each part optional; README "The airway model"):
%     nasal          struct: branch_section (9), coupling_lengths (cm,
%                    [0.6 0.6 0.6]), tract ([area cm^2, length cm] rows;
%                    the published adult nasal tract), velum (3 x K track:
%                    ms; port area cm^2; kinds; closed when absent), sinus
%                    (true/false or struct volume, neck_area, neck_length,
%                    position). Present = nasal branch on.
%     trachea        true, or struct with sections ([area, length] rows)
%     walls          true/false, or struct on, resistance, mass, stiffness,
%                    trachea_resistance, trachea_mass, trachea_stiffness
%     wall_radiation true: the vibrating walls radiate (voice bar)
%     dynamic_term   true: area changes inject volume velocity
%     Psub           lung pressure, cm H2O: a number (8) or a 3 x K track
%     glottis        'fant' or 'halvane', or struct model, open_quotient,
%                    close_quotient
%     noise          true/false, or struct on, gain (1), seed (integer)
%     oversampling   simulation steps per output sample (3)
%
%   signals is a struct of N x 1 columns at the output rate, aligned with
%   SIG (each passes through the same decimation filter): glottal_flow,
%   lip_flow, nostril_flow (cm^3/s), glottal_area (cm^2), mouth_pressure,
%   nose_pressure, subglottal_pressure, pressure_behind_constriction
%   (dyn/cm^2). score.signals (a cell of names) chooses them; without it a
%   second output gets every signal of the airway.
%
%   Refused scores raise the error quorvel_synth:arguments with a message
%   that names the field; nothing is synthesised.
%
%   Example (a nasalised vowel, 17 sections of 1 cm):
%     s.nss = 17;
%     s.TAg0 = [0 300; 0.04 0.04; 1 1];
%     s.TAgP = [0 40 260 300; 0 0.15 0.15 0; 1 2 1 2];
%     s.TF0 = [0 300; 120 110; 1 2];
%     s.TAF1 = [0 300; 1 1; 1 1];
%     s.TAF2 = repmat([1 1 1 1 1 1 1 1 1 2 3 4 5 5 5 4 3]', 1, 2);
%     s.dx = 1;
%     s.model.nasal.velum = [0 300; 0.3 0.3; 1 1];
%     s.signals = {'glottal_flow', 'nostril_flow'};
%     [SIG, sg] = quorvel_synth(s);
%     t = (0:numel(SIG)-1)' / 10000;
%     plot(t, sg.glottal_flow, t, sg.nostril_flow); xlabel('s'); ylabel('cm^3/s');
%
%   See also QUORVEL.
