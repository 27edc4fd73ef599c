function [txt, msg, id] = quorvel_call_text(nout, varargin)
  % Calls quorvel with nout results and the given arguments; returns what it
  % printed, the error message and its identifier ('' when it succeeded).
  msg = '';
  id = '';
  err = [];
  switch nout
    case 0
      txt = evalc('try, quorvel(varargin{:}); catch err, end');
    case 1
      txt = evalc('try, x = quorvel(varargin{:}); catch err, end');
    otherwise
      txt = evalc('try, [x, y] = quorvel(varargin{:}); catch err, end');
  end
  if ~isempty(err), msg = err.message; id = err.identifier; end
end
