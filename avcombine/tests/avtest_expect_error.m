function avtest_expect_error(fn, id, says, d, before)
  % AVTEST_EXPECT_ERROR  fn must raise error id with every text in says, and
  % the files of directory d must still be those of the snapshot before.
  try
    fn();
  catch e
    assert(strcmp(e.identifier, id), 'identifier %s, expected %s (%s)', e.identifier, id, e.message);
    for k = 1:numel(says)
      assert(~isempty(strfind(e.message, says{k})), 'message "%s" lacks "%s"', e.message, says{k});
    end
    assert(isequal(avtest_snapshot(d), before), 'files changed after: %s', e.message);
    return;
  end
  error('no error raised, expected %s', id);
end
