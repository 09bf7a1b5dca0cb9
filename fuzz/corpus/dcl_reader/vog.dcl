// The dialogs of the terrain modelling add-on. Every dialog ends with the OK
// and Cancel buttons (accept, cancel) and the error line (error) in which the
// field checks report.

// ---------------------------------------------------------------- shared tiles
vog_path_box : edit_box {
    edit_width = 48;
    edit_limit = 511;
    allow_accept = true;
}

vog_number_box : edit_box {
    edit_width = 12;
    edit_limit = 14;
    fixed_width = true;
    alignment = right;
}

vog_layer_box : edit_box {
    edit_width = 24;
    edit_limit = 30;
}

vog_browse_button : button {
    label = "Browse...";
    width = 12;
    fixed_width = true;
}

vog_buttons : column {
    spacer_1;
    ok_cancel;
    errtile;
}

// ---------------------------------------------------------------- open a project
vogopen : dialog {
    label = "Open Project";
    initial_focus = "point_file";
    : boxed_column {
        label = "Point File";
        : row {
            : vog_path_box { key = "point_file"; label = "File:"; }
            : vog_browse_button { key = "pfbrowse"; }
        }
    }
    vog_buttons;
}

// ---------------------------------------------------------------- build the surface
triangulate : dialog {
    label = "Triangulate";
    : boxed_column {
        label = "Point File";
        : vog_path_box { key = "point_file"; label = "File:"; is_enabled = false; }
    }
    : boxed_column {
        label = "Elevation Limits";
        : toggle { key = "uelev"; label = "Use only points between these elevations"; }
        : row {
            : vog_number_box { key = "mine"; label = "Minimum:"; }
            : vog_number_box { key = "maxe"; label = "Maximum:"; }
        }
    }
    : boxed_column {
        label = "Fault Lines";
        : toggle { key = "ufaults"; label = "Apply fault lines"; }
        : radio_row {
            label = "Fault file coordinates";
            : radio_button { key = "dim2"; label = "2D (x, y)"; }
            : radio_button { key = "dim3"; label = "3D (x, y, z)"; value = "1"; }
        }
        : row {
            : vog_path_box { key = "fault_file"; label = "File:"; }
            : vog_browse_button { key = "ffbrowse"; }
        }
    }
    : boxed_column {
        label = "Boundary and Voids";
        : toggle { key = "ubound"; label = "Clip to the boundary and voids"; }
        : row {
            : vog_path_box { key = "bound_file"; label = "File:"; }
            : vog_browse_button { key = "bfbrowse"; }
        }
    }
    vog_buttons;
}

// ---------------------------------------------------------------- contours
contours : dialog {
    label = "Contours";
    : boxed_row {
        label = "Elevation Range";
        : vog_number_box { key = "start"; label = "Start:"; }
        : vog_number_box { key = "end"; label = "End:"; }
    }
    : boxed_column {
        label = "Intervals";
        : vog_number_box { key = "interval"; label = "Contour interval:"; }
        : vog_number_box { key = "iinterval"; label = "Index contour interval:"; }
    }
    : boxed_column {
        label = "Polyline Widths";
        : vog_number_box { key = "dcw"; label = "Contour width:"; }
        : vog_number_box { key = "diw"; label = "Index contour width:"; }
    }
    : boxed_column {
        label = "Layers";
        : vog_layer_box { key = "layer"; label = "Contour layer:"; }
        : vog_layer_box { key = "ilayer"; label = "Index contour layer:"; }
    }
    : boxed_radio_row {
        label = "Rounding";
        : radio_button { key = "NoRounding"; label = "Straight segments"; }
        : radio_button { key = "SomeRounding"; label = "Rounded"; }
    }
    vog_buttons;
}

// ---------------------------------------------------------------- rectangular mesh
mesh : dialog {
    label = "Rectangular Mesh";
    : boxed_column {
        label = "Grid";
        : vog_number_box { key = "dxi"; label = "Grid spacing:"; }
        : vog_number_box { key = "dzi"; label = "Vertical scale factor:"; }
    }
    : boxed_column {
        label = "Skirt";
        : toggle { key = "dsk"; label = "Draw a skirt down to the base elevation"; }
        : vog_number_box { key = "dbe"; label = "Base elevation:"; }
    }
    : boxed_column {
        label = "Layer";
        : vog_layer_box { key = "dmln"; label = "Mesh layer:"; }
    }
    vog_buttons;
}

// ---------------------------------------------------------------- triangles as 3-D faces
showtin : dialog {
    label = "Show Triangulation";
    : boxed_column {
        label = "Layer";
        : vog_layer_box { key = "tinlayer"; label = "Triangle layer:"; }
    }
    vog_buttons;
}

// ---------------------------------------------------------------- volumes
volumes : dialog {
    label = "Volumes";
    : boxed_column {
        label = "Existing Surface";
        : row {
            : vog_path_box { key = "exist_tin"; label = "File:"; }
            : vog_browse_button { key = "esbrowse"; }
        }
    }
    : boxed_column {
        label = "Proposed Surface";
        : row {
            : vog_path_box { key = "proposed_tin"; label = "File:"; }
            : vog_browse_button { key = "psbrowse"; }
        }
    }
    : boxed_column {
        label = "Calculation";
        : vog_number_box { key = "vol_intrvl"; label = "Grid interval:"; value = "1.0000"; }
        : vog_number_box { key = "compkt"; label = "Fill factor:"; value = "1.0000"; }
        : toggle { key = "v_u_feet"; label = "Drawing units are feet (report cubic yards)"; }
    }
    vog_buttons;
}
