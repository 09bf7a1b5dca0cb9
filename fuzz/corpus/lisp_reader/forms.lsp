(setq a (list 1 2.5 "s\"x" (quote b) (cons 1 2)))
;| block |; (princ)
