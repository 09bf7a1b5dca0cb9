; A ground profile of the bundled survey, run in the drawing saved by the
; main demo: out/kttin.asc holds the surface's edges (written by tin-edges).
; The profile line runs south-west to north-east across the ridges, ending
; in a short curve.
(entmake '((0 . "LAYER") (6 . "CONTINUOUS") (8 . "Profile-line") (62 . 1)))
(entmake '((0 . "LWPOLYLINE") (8 . "Profile-line") (90 . 3) (70 . 0) (43 . 40.0)
           (10 487000.0 3990000.0) (42 . 0.0)
           (10 503000.0 4006000.0) (42 . 0.25)
           (10 503400.0 4006500.0) (42 . 0.0)))
(host-pick (entlast))
(host-real 0.0)
(host-file "out/jacksboro.pfl")
(princ "\nCutting the profile along the line on layer Profile-line.")
(ktexsec)
(princ "\nProfile written to out/jacksboro.pfl.")
(princ)
