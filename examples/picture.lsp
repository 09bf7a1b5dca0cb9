; The contour picture for the README: the saved demo drawing without the
; triangles and the mesh, which would hide the contours at this scale.
(defun erase-layer (name / picked i)
  (setq picked (ssget "X" (list (cons 8 name))))
  (setq i 0)
  (if picked
      (repeat (sslength picked)
        (entdel (ssname picked i))
        (setq i (+ i 1))))
  (princ (strcat "\nLayer " name " left out of the picture.")))
(erase-layer "KT_Tin")
(erase-layer "KT_Mesh")
(command "zoom" "e")
(princ)
