% quorvel_synth: a score struct from jsondecode gives quorvel's samples without
% a model and with a model of defaults; signals come back aligned; bad model
% values are refused naming the field and leave the host running.
src = fileparts(fileparts(fileparts(mfilename('fullpath'))));
asa = jsondecode(fileread(fullfile(src, 'examples', 'asa.json')));
ref = quorvel(asa.nss, asa.TAg0, asa.TAgP, asa.TF0, asa.TAF1, asa.TAF2, asa.dx);
clear quorvel_synth quorvel
ref = quorvel(asa.nss, asa.TAg0, asa.TAgP, asa.TF0, asa.TAF1, asa.TAF2, asa.dx);
sig = quorvel_synth(asa);
assert(isequal(sig, ref), 'without model: not the samples of quorvel');
clear quorvel_synth
asa.model = struct('Psub', 8, 'walls', true, 'noise', struct('on', true, 'gain', 1));
[sig, s] = quorvel_synth(asa);
assert(isequal(sig, ref), 'with a model of defaults: not the samples of quorvel');
assert(isfield(s, 'glottal_flow') && ~isfield(s, 'nostril_flow'));
assert(isequal(size(s.glottal_flow), size(sig)));

ama = jsondecode(fileread(fullfile(src, 'examples', 'ama.json')));
ama.signals = {'mouth_pressure'; 'nose_pressure'};
[sig, s] = quorvel_synth(ama);
assert(isequal(fieldnames(s), {'mouth_pressure'; 'nose_pressure'}));
assert(max(abs(sig - s.mouth_pressure - s.nose_pressure)) < 1e-4 * max(abs(sig)));
[sig2] = quorvel_synth(fileread(fullfile(src, 'examples', 'ama.json')));
assert(numel(sig2) == numel(sig));

bad = ama;
bad.model.nasal.branch_section = 40;
try
  quorvel_synth(bad);
  error('a branch section outside the tract was accepted');
catch e
  assert(strcmp(e.identifier, 'quorvel_synth:arguments'), e.identifier);
  assert(~isempty(strfind(e.message, 'model.nasal.branch_section')), e.message);
end
bad = ama;
bad.model.nasal.velum = [0 50 40; 0 1 1; 1 1 1];
try
  quorvel_synth(bad);
  error('a velum track with decreasing times was accepted');
catch e
  assert(~isempty(strfind(e.message, 'model.nasal.velum')), e.message);
end
try
  quorvel_synth(42);
  error('a number was accepted as a score');
catch e
  assert(strcmp(e.identifier, 'quorvel_synth:arguments'), e.identifier);
end
disp('quorvel_synth: ok');
