% Run by octave_package.sh in a session whose only quorvel is the installed
% package; QUORVEL_WORK holds asa_cli.wav, the command-line result.
assert(isempty(which('quorvel')), 'quorvel is on the path before pkg load');
pkg load quorvel
ex = getenv('QUORVEL_EXAMPLES');

% The modules run, not their help files.
for f = {'quorvel', 'quorvel_version', 'quorvel_synth', 'quorvel_formants', 'quorvel_tracks', ...
         'readVTAF', 'FourTubeAF', 'interpolAx', 'brellix', 'vantrix'}
  w = which(f{1});
  assert(numel(w) > 4 && strcmp(w(end-3:end), '.mex'), '%s resolves to "%s"', f{1}, w);
  % Each help text is found beside its module.
  txt = evalc(sprintf('help %s', f{1}));
  assert(any(strfind(txt, upper(f{1}))), 'help %s shows no help text', f{1});
end
% The overview is an Octave function of the package, drawn from the tracks.
w = which('quorvel_overview');
assert(numel(w) > 2 && strcmp(w(end-1:end), '.m'), 'quorvel_overview resolves to "%s"', w);
assert(any(strfind(evalc('help quorvel_overview'), 'QUORVEL_OVERVIEW')));
T = quorvel_tracks(fullfile(ex, 'asa.json'));
% The vowel library travels with its accessor.
v = quorvel_vowels('story1996_a');
assert(numel(v.areas) == 44 && numel(v.lengths) == 44);
assert(isequal(size(T.areas_cm2), [141 17]) && T.fs == 10000);
assert(strcmp(quorvel_version(), getenv('QUORVEL_EXPECTED_VERSION')), ...
       'quorvel_version() = %s', quorvel_version());

% /asa/ from the example score: the same samples as the command-line program
% (a module built with other floating-point flags would differ).
s = jsondecode(fileread(fullfile(ex, 'asa.json')));
SIG = quorvel(s.nss, s.TAg0, s.TAgP, s.TF0, s.TAF1, s.TAF2, s.dx);
cli = audioread(fullfile(getenv('QUORVEL_WORK'), 'asa_cli.wav'));
assert(isequal(size(SIG), [7001 1]) && isequal(SIG, cli), ...
       'the package''s quorvel differs from the command-line synthesiser');

[A, x, label, loc] = readVTAF(fullfile(ex, 'tracts', 's.txt'));
assert(strcmp(label, 's') && numel(A) == 17 && loc == 1 && all(x == 1));

% brellix with a file that is not there: an error naming the file; Octave carries on.
try
  brellix('missing.wav', 'missing.avi', fullfile(getenv('QUORVEL_WORK'), 'out.avi'));
  error('brellix accepted missing inputs');
catch e
  assert(strncmp(e.identifier, 'brellix:', 8) && any(strfind(e.message, 'missing.wav')), ...
         'brellix error: %s (%s)', e.message, e.identifier);
end
assert(~exist(fullfile(getenv('QUORVEL_WORK'), 'out.avi'), 'file'));
disp('octave package: installed, loaded, quorvel/readVTAF/brellix run, help found');
