;;; aVogLoader.lsp -- loader of the VOG terrain add-on.
;;;
;;; The start-up script gocad.scr loads this file. The menu installer pelmix appends two
;;; lines to it on every run:
;;;   (setq dpath "<installation folder, backslashes doubled>")
;;;   (dovogpath)
;;; so loading the file sets dpath to the installation folder and calls dovogpath, which
;;; loads the plug-in vog.arx from that folder. The pairs appended by later runs find the
;;; plug-in loaded and leave it alone.

(defun dovogpath ()
  (cond
    ((not (eq (type dpath) 'STR))
     (princ "\nVOG: dpath does not name the installation folder; run pelmix again."))
    ((equal vogarx (strcat dpath "vog.arx"))
     (princ (strcat "\nVOG: already loaded from " vogarx)))
    ((arxload (strcat dpath "vog.arx") nil)
     (setq vogarx (strcat dpath "vog.arx"))
     (princ (strcat "\nVOG: loaded " vogarx)))
    (t (princ (strcat "\nVOG: cannot load " dpath "vog.arx"))))
  (princ))
