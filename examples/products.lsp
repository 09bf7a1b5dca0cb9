; The drawing products of the survey's surface and the earthworks of a
; building pad, in the session that demo.lsp and surface.lsp prepared.
;
; Drawing order: the triangles first, then the mesh, then the contours, so
; that in the picture the contours lie on top of the rest.

; The triangles as 3-D faces, on their own layer.
(princ "\nThe triangles of the surface as 3-D faces on layer KT_Tin.")
(host-dialog "showtin" '(("tinlayer" . "KT_Tin")) "accept")
(showtin)

; A 1 km mesh of the surface, without a skirt.
(princ "\nA mesh of 1000 m on layer KT_Mesh.")
(host-dialog "mesh" '(("dxi" . "1000") ("dzi" . "1") ("dsk" . "0") ("dmln" . "KT_Mesh")) "accept")
(rmesh)

; Contours every 10 m, index contours every 50 m (the settings demo.lsp
; made), straight between the crossings of the triangles.
(princ "\nContours every 10 m, index contours every 50 m.")
(host-dialog "contours"
             '(("interval" . "10") ("iinterval" . "50") ("dcw" . "0") ("diw" . "30")
               ("NoRounding" . "1"))
             "accept")
(contours)

; The proposed surface: the survey with a level pad of 1500 m x 1000 m cut
; into the foot of the ridge at (509000, 4006500), graded to one-in-two
; batters (examples/make-pad.py wrote out/jacksboro-pad.xyz). It is a
; project of its own, triangulated with the same fault lines and boundary,
; so that away from the pad both surfaces have the same triangles.
(princ "\n\nThe proposed surface: a building pad cut into the slope.")
(lvogopen "out/jacksboro-pad.xyz")
(vogset "dfaults" "out/jacksboro-faults.flt")
(vogset "dimfaults" "3")
(vogset "ufaults" "1")
(vogset "dbndry" "out/jacksboro-boundary.bnd")
(vogset "ubound" "1")
(host-dialog "triangulate"
             '(("uelev" . "0")
               ("ufaults" . "1")
               ("fault_file" . "out/jacksboro-faults.flt")
               ("ubound" . "1")
               ("bound_file" . "out/jacksboro-boundary.bnd"))
             "accept")
(triangulate)
(princ "\nProposed surface written to out/jacksboro-pad.tin.")

; The pad's outline in the drawing, on a layer of its own.
(entmake '((0 . "LAYER") (6 . "CONTINUOUS") (8 . "Pad") (62 . 1)))
(entmake '((0 . "LWPOLYLINE") (8 . "Pad") (90 . 4) (70 . 1) (43 . 30.0)
           (10 508250.0 4006000.0) (10 509750.0 4006000.0)
           (10 509750.0 4007000.0) (10 508250.0 4007000.0)))

; Back to the survey project.
(lvogopen "out/jacksboro-survey.xyz")

; Cut and fill between the survey and the pad on a 25 m grid, in metres.
(princ "\n\nVolumes between the survey and the pad, 25 m grid:")
(host-dialog "volumes"
             '(("exist_tin" . "out/jacksboro-survey.tin")
               ("proposed_tin" . "out/jacksboro-pad.tin")
               ("vol_intrvl" . "25")
               ("compkt" . "1")
               ("v_u_feet" . "0"))
             "accept")
(volumes)
(princ)
