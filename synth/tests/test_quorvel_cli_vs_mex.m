% The command-line synthesiser and a fresh MEX module give the same samples for
% one score, and the Octave example script uses that same score.
root = fullfile(fileparts(mfilename('fullpath')), '..', '..');
score = fullfile(root, 'examples', 'asa.json');
wav = [tempname() '.wav'];
[status, txt] = system(sprintf('"%s" "%s" --raw -o "%s"', getenv('QUORVEL_CLI'), score, wav));
assert(status, 0, txt);
[y, fs] = audioread(wav);
delete(wav);
s = jsondecode(fileread(score));
clear quorvel;
x = quorvel(s.nss, s.TAg0, s.TAgP, s.TF0, s.TAF1, s.TAF2, s.dx, s.fs);
assert({fs, x}, {10000, y});

% The example script: same arrays, writes its WAV.
asa_wav = [tempname() '.wav'];
asa_play = false;
clear quorvel;
run(fullfile(root, 'examples', 'asa_demo.m'));
assert({TAg0, TAgP, TF0, TAF1, TAF2, dx, fs, nss, sig}, {s.TAg0, s.TAgP, s.TF0, s.TAF1, s.TAF2, s.dx, s.fs, s.nss, x});
assert(numel(audioread(asa_wav)), numel(x));
delete(asa_wav);
disp('test_quorvel_cli_vs_mex: passed');
