d : dialog { label = "x"; : row { : edit_box { key = "a"; width = 10; } } ok_cancel; errtile; }
