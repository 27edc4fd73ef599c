function [txt, msg, id] = quorvel_call_text(nout, varargin)
  % Calls quorvel with nout (0..2) results; returns what it printed, the error
  % message and its identifier ('' when it succeeded).
  msg = ''; id = ''; err = [];
  calls = {'quorvel(varargin{:});', 'x = quorvel(varargin{:});', '[x, y] = quorvel(varargin{:});'};
  txt = evalc(['try, ' calls{nout + 1} ' catch err, end']);
  if ~isempty(err), msg = err.message; id = err.identifier; end
end
