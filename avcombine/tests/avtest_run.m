function out = avtest_run(cmd)
  % AVTEST_RUN  Runs a shell command for the combiner tests and returns what it
  % prints; a failing command stops the test.
  [st, out] = system(cmd);
  if st ~= 0
    error('command failed: %s\n%s', cmd, out);
  end
end
