% INTERPOLAX  Area and length of one tube over time from a tube key file.
%
%   [A, x, ended] = interpolAx(keyFile, n)
%   [A, x, ended] = interpolAx(keyFile, n, fs)
%   [A, x, ended] = interpolAx(keyFile, n, fs, kind)
%
%   keyFile  tube key file: white-space separated tokens
%                number-of-keys  { time(ms) area(cm^2) length(cm) label } ...
%            with key times that fall on strictly increasing samples
%   n        output sample indices (whole numbers 0 ... 4294967295), any
%            shape and order; the track runs from sample 0 to max(n)
%   fs       output sampling frequency, Hz (default 10000); a key at t ms
%            lies on sample fix(t*fs/1000)
%   kind     law before a first key that lies after 0 ms: 0 gives area and
%            length 0 (default); 1 (linear) or 2 (cosine), with no slope
%            yet, hold the first key's area and length
%
%   A, x     area (cm^2) and length (cm) at the samples n, shaped like n:
%            a raised cosine from each key to the next; after the last key
%            the last segment swings back and forth
%   ended    1 at the samples from the last key on, else 0
%
%   A file announcing 0 keys gives 0 everywhere; a negative number of keys,
%   and key areas or lengths that are not finite (nan, inf), are refused.
%   Errors (identifier interpolAx:file): "<keyFile> not found" (no such
%   file), "<keyFile> cannot be read: <reason>" (it exists but cannot be
%   read), or the file, token number and line of a missing, malformed,
%   out-of-order or non-finite value. Ctrl-C stops a long call with an error
%   (identifier interpolAx:interrupted).
%
%   Example (from the repository folder; examples/tube.txt has keys at 0 ms
%   (1 cm^2, 15 cm) and 100 ms (3 cm^2, 15 cm)):
%     [A, x, ended] = interpolAx('examples/tube.txt', 0:1499, 10000);
%     A([1 501 1001 1500])   % 1, 2 (halfway), 3, about 2 again (swinging back)
%
%   See also READVTAF, FOURTUBEAF.
