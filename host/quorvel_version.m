%QUORVEL_VERSION  Release number of the quorvel toolkit.
%   V = QUORVEL_VERSION() returns the release as a character row,
%   'major.minor.patch' (for example '0.2.0'): the version of the MEX
%   modules quorvel, readVTAF, FourTubeAF, interpolAx, brellix and vantrix
%   built with it, and the number that the command-line programs print
%   with --version. Cite it with results:
%
%     fprintf('synthesised with quorvel %s\n', quorvel_version());
%
%   Any argument is an error (identifier quorvel_version:usage).
%
%   See also QUORVEL.

% quorvel_version is a MEX function; this file holds its help text only.
error('quorvel_version: the MEX module is not on the path (build it and addpath build/mex)');
