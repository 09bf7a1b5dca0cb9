#include "install_texts.h"

#include "install_folder.h"
#include "lisp_escape.h"

namespace pelmix {

std::string loaderLines(const std::string& folder) {
    return "(setq dpath \"" + escapeForLisp(folder) + "\")\n(dovogpath)\n";
}

std::string startupScript(const std::string& folder) {
    // Only the path is escaped: the line's own quotes stay LISP's delimiters.
    return "(LOAD \"" + escapeForLisp(loaderFilePath(folder)) + "\")\n;;End of script";
}

std::string installQuestion(const std::string& quotedProgram) {
    return "Do you want to install the Quillmark menus in \n" + quotedProgram;
}

std::string installCaption() {
    return "Install Quillmark Menus";
}

std::string startParameters(const std::string& folder) {
    return " /b \"" + scriptFilePath(folder) + "\"";
}

} // namespace pelmix
