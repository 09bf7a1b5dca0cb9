; The surface of the bundled survey, built in the session demo.lsp opened:
; break lines along the straight valley north-west of Pine Mountain and along
; the mountain's crest, and a boundary round the study area between them.
(princ "\nSurface of the Jacksboro survey: fault lines and a boundary.")
(vogset "dfaults" "out/jacksboro-faults.flt")
(vogset "dimfaults" "3")
(vogset "ufaults" "1")
(vogset "dbndry" "out/jacksboro-boundary.bnd")
(vogset "ubound" "1")
(princ "\nFault lines: ")
(princ (nth 3 (vogvar)))
(princ "\nBoundary: ")
(princ (nth 5 (vogvar)))
; The triangulate dialog answered as a user would: all points, both files.
(host-dialog "triangulate"
             '(("uelev" . "0")
               ("ufaults" . "1")
               ("fault_file" . "out/jacksboro-faults.flt")
               ("ubound" . "1")
               ("bound_file" . "out/jacksboro-boundary.bnd"))
             "accept")
(triangulate)
(princ "\nSurface written to out/jacksboro-survey.tin.")
(princ)
