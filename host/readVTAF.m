% READVTAF  Load a vocal-tract area function from a text file.
%
%   [A, x, label, noiseSourceLoc] = readVTAF(path)
%   [A, x, label, noiseSourceLoc] = readVTAF(path, n)
%
%   Reads the VT area-function file at path: white-space separated tokens
%   (line breaks do not matter)
%
%       label  number-of-sections  section-length  area_1 ... area_N  [noise-section]
%
%   A      N-by-1 section areas, cm^2, glottis end first
%   x      N-by-1 section lengths, cm (all equal to the file's section length)
%   label  the file's first word, as a character row
%   noiseSourceLoc  the frication noise-source section, read only from a
%          consonant file, whose base name (after the last '/' or '\')
%          begins with one of the letters dfghjkpqstvxz (lower case);
%          [] for every other file
%
%   With n, a file holding another number of sections is refused with
%   "Unexpected number of VT sections". Values are read in single precision
%   and returned as doubles.
%
%   The section length must be a finite number above 0, every area finite
%   and 0 or more (0 is a closure), the noise-source section 0 or more.
%
%   Errors (identifier readVTAF:file), the session carries on:
%     "AF path, <path>, not found"          there is no such file
%     "AF path, <path>, cannot be read: <reason>"
%                                           it exists but cannot be read
%                                           (a directory, no permission, ...)
%     "Unexpected number of VT sections"    the file holds another count than n
%     "<path>: token 5 (line 2): expected the area of section 1 of 4 ..."
%                                           a value missing or not a number
%     "<path>: token 4 (line 1): the area of section 0 of 4 (cm2) must be
%      a finite number 0 or more"           nan, inf or a negative area
%
%   Example (from the repository folder; examples/tracts/ holds an /a/ and
%   an /s/ of 17 sections):
%     [A, x, label, loc] = readVTAF('examples/tracts/s.txt', 17)   % loc = 1
%     [A, x] = readVTAF('examples/tracts/a.txt');   % any number of sections
%
%   See also FOURTUBEAF, INTERPOLAX.
