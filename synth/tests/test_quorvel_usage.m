% Wrong argument and result counts print the usage text with the counts and
% fail; help quorvel documents the call.
a = quorvel_short_args();
usage = sprintf(['Incorrect calling syntax:\n [SIG] = quorvel(nss,TAg0,TAgP,TF0,TAF1,TAF2,dx,[fs])\n' ...
                 'nlhs is %%d, nrhs is %%d.\n']);
cases = {1, a(1:6), 1, 6;                          % six arguments
         1, [a, {10000, 0, 99}], 1, 10;            % ten arguments
         0, a, 0, 7;                               % no result requested
         2, a, 2, 7};                              % two results
for k = 1:rows(cases)
  [txt, msg] = quorvel_call_text(cases{k, 1}, cases{k, 2}{:});
  assert(txt, sprintf(usage, cases{k, 3}, cases{k, 4}));
  assert(! isempty(strfind(msg, 'quorvel argument checking failed.')), msg);
end

% The next good call works and prints nothing.
[txt, msg] = quorvel_call_text(1, a{:});
assert(txt, '');
assert(msg, '');

% help quorvel: every argument, units, the result and the errors.
h = evalc('help quorvel');
for w = {'NSS', 'TAG0', 'TAGP', 'TF0', 'TAF1', 'TAF2', 'DX', 'FS', 'VCV', 'cm^2', 'ms', 'Hz', ...
         'dyn/cm^2', 'Nx1', 'Incorrect calling syntax', 'quorvel argument checking failed.'}
  assert(! isempty(strfind(h, w{1})), ['help quorvel does not mention ' w{1}]);
end
disp('test_quorvel_usage: passed');
