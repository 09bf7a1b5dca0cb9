;;; aVogLoader.lsp -- loader of the VOG terrain add-on.
;;;
;;; The start-up script gocad.scr loads this file. The menu installer pelmix appends two
;;; lines to it on every run:
;;;   (setq dpath "<installation folder, backslashes doubled>")
;;;   (dovogpath)
;;; so loading the file sets dpath to the installation folder and calls dovogpath, which
;;; loads the plug-in vog.arx from that folder. A second pair of lines from a later run
;;; finds the plug-in loaded and leaves it alone.

(defun dovogpath (/ plugin)
  (cond
    ((/= (type dpath) 'STR)
     (princ "\nVOG: dpath does not name the installation folder; run pelmix again."))
    ((not (findfile (setq plugin (strcat dpath "vog.arx"))))
     (princ (strcat "\nVOG: cannot find " plugin)))
    ((member "VOG.ARX" (mapcar 'strcase (arx)))
     (princ "\nVOG: the plug-in is already loaded."))
    ((arxload plugin nil)
     (princ (strcat "\nVOG: loaded " plugin)))
    (t (princ (strcat "\nVOG: cannot load " plugin))))
  (princ))
