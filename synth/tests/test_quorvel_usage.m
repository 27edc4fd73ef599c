% Wrong argument and result counts print the usage text with the counts and
% fail; the next good call prints nothing; help quorvel documents the call.
a = quorvel_short_args();
usage = sprintf(['Incorrect calling syntax:\n [SIG] = quorvel(nss,TAg0,TAgP,TF0,TAF1,TAF2,dx,[fs])\n' ...
                 'nlhs is %%d, nrhs is %%d.\n']);
for c = {{1, a(1:6)}, {1, [a, {10000, 0, 99}]}, {0, a}, {2, a}}
  [nout, args] = c{1}{:};
  [txt, msg] = quorvel_call_text(nout, args{:});
  assert(txt, sprintf(usage, nout, numel(args)));
  assert(any(strfind(msg, 'quorvel argument checking failed.')), msg);
end
[txt, msg] = quorvel_call_text(1, a{:});
assert({txt, msg}, {'', ''});

h = evalc('help quorvel');
for w = {'NSS', 'TAG0', 'TAGP', 'TF0', 'TAF1', 'TAF2', 'DX', 'FS', 'VCV', 'cm^2', 'ms', 'Hz', ...
         'dyn/cm^2', 'Nx1', 'Incorrect calling syntax', 'quorvel argument checking failed.'}
  assert(any(strfind(h, w{1})), ['help quorvel does not mention ' w{1}]);
end
disp('test_quorvel_usage: passed');
