% QUORVEL_OVERVIEW  Overview picture of a synthesised utterance.
%
%   h = quorvel_overview(score)
%   h = quorvel_overview(score, sig)
%   h = quorvel_overview(score, sig, png)
%
%   Draws, one above the other with a common time axis: the waveform; a
%   wide-band spectrogram (about 8 ms windows, 70 dB of range) with the
%   ground-truth formant tracks of quorvel_tracks drawn over it; the area
%   function over time as an image (section x time, colour bar in cm^2);
%   the glottal area and F0.
%
%   score  a score file name, or a struct with the fields of a score file
%          (as for quorvel_synth and quorvel_tracks)
%   sig    the synthesised pressure (one column at the score's rate, as
%          quorvel_synth returns it); [] or absent: synthesised here
%   png    file name: the picture is also printed there as PNG
%
%   h is the figure. Without a display the figure stays invisible, so the
%   function works headless:
%     h = quorvel_overview('examples/asa.json', [], 'asa_overview.png');
%
%   See also QUORVEL_TRACKS, QUORVEL_SYNTH.

function h = quorvel_overview(score, sig, png)
  if nargin < 1 || nargin > 3
    error('quorvel_overview:usage', 'usage: h = quorvel_overview(score [, sig [, png]])');
  end
  if nargin < 2
    sig = [];
  end
  if nargin < 3
    png = '';
  end
  if ~(ischar(score) || (isstruct(score) && isscalar(score)))
    error('quorvel_overview:argument', ...
          'quorvel_overview: score must be a score file name or a score struct');
  end
  if ~ischar(png)
    error('quorvel_overview:argument', 'quorvel_overview: png must be a file name');
  end
  if ~isempty(sig) && ~(isnumeric(sig) && isreal(sig) && isvector(sig))
    error('quorvel_overview:argument', ...
          'quorvel_overview: sig must be a real vector of samples (or [])');
  end

  T = quorvel_tracks(score);
  if isempty(sig)
    sig = synthesise(score);
  end
  x = double(sig(:));
  fs = T.fs;
  t = (0:numel(x) - 1)' / fs;
  tf = T.time_ms / 1000;

  % Octave draws through gnuplot where no other toolkit is built in; its
  % notice about interactive windows does not concern a printed picture.
  warning('off', 'Octave:gnuplot-graphics', 'local');
  visible = 'on';
  if isempty(getenv('DISPLAY')) || ~isempty(png)
    visible = 'off';
  end
  h = figure('visible', visible, 'paperunits', 'inches', 'paperposition', [0 0 9 10]);
  set(h, 'colormap', viridis(64));

  subplot(4, 1, 1);
  plot(t, x, 'k');
  xlim([0 max(t(end), tf(end))]);
  ylabel('dyn/cm^2');
  title('waveform');

  % Wide-band spectrogram: Hann windows of about 8 ms, hop of 1/8 window,
  % drawn as a grey image (dark = strong) so the area image keeps the colour map.
  subplot(4, 1, 2);
  nfft = 2 ^ ceil(log2(0.008 * fs));
  hop = max(1, nfft / 8);
  w = 0.5 - 0.5 * cos(2 * pi * (0:nfft - 1)' / nfft);
  xp = [zeros(nfft / 2, 1); x; zeros(nfft, 1)];
  starts = 1:hop:(numel(x) + 1);
  S = zeros(nfft / 2 + 1, numel(starts));
  for k = 1:numel(starts)
    X = fft(w .* xp(starts(k):starts(k) + nfft - 1));
    S(:, k) = abs(X(1:nfft / 2 + 1)) .^ 2;
  end
  dB = 10 * log10(S + 1e-30);
  top = max(dB(:));
  g = 1 - min(max((dB - (top - 70)) / 70, 0), 1);
  image((starts - 1) / fs, (0:nfft / 2) * fs / nfft, repmat(g, [1 1 3]));
  axis xy;
  hold on;
  plot(tf, T.formants_Hz, 'r.', 'markersize', 4);
  hold off;
  xlim([0 max(t(end), tf(end))]);
  ylim([0 fs / 2]);
  ylabel('Hz');
  title('spectrogram with the ground-truth formants');

  subplot(4, 1, 3);
  imagesc(tf, 0:size(T.areas_cm2, 2) - 1, T.areas_cm2');
  axis xy;
  xlim([0 max(t(end), tf(end))]);
  ylabel('section (glottis 0)');
  title('area function');
  cb = colorbar();
  ylabel(cb, 'cm^2');

  subplot(4, 1, 4);
  ax = plotyy(tf, T.Ag_cm2, tf, T.F0_Hz);
  xlim(ax(1), [0 max(t(end), tf(end))]);
  xlim(ax(2), [0 max(t(end), tf(end))]);
  ylabel(ax(1), 'glottal area (cm^2)');
  ylabel(ax(2), 'F0 (Hz)');
  xlabel('time (s)');
  title('glottal area and F0');

  if ~isempty(png)
    print(h, '-dpng', '-r90', png);
  end
end

% The score's pressure signal; a score file is read from its own folder so
% that its area-function files are found.
function sig = synthesise(score)
  if isstruct(score)
    sig = quorvel_synth(score);
    return;
  end
  [folder, name, ext] = fileparts(score);
  if ~exist(score, 'file')
    error('quorvel_overview:argument', 'quorvel_overview: cannot read the score file "%s"', ...
          score);
  end
  here = pwd();
  if ~isempty(folder)
    cd(folder);
  end
  try
    sig = quorvel_synth(fileread([name ext]));
  catch e
    cd(here);
    rethrow(e);
  end
  cd(here);
end
