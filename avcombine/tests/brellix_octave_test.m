disp ok
