function s = avtest_snapshot(d)
  % AVTEST_SNAPSHOT  Names and contents of the files in directory d.
  f = dir(d);
  s = struct('name', {}, 'bytes', {});
  for k = 1:numel(f)
    if ~f(k).isdir
      fid = fopen(fullfile(d, f(k).name), 'r');
      s(end + 1) = struct('name', f(k).name, 'bytes', fread(fid, Inf, 'uint8=>uint8')');
      fclose(fid);
    end
  end
end
