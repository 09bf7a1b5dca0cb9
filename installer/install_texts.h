#pragma once
// The texts the installer writes or shows, all built from the installation folder D
// (ending in a backslash) and the quoted program path Q.

#include <string>

namespace pelmix {

// The two lines appended to the loader file: dpath set to D and the call that uses it.
std::string loaderLines(const std::string& folder);

// The start-up script: the LISP call that loads the loader file, then the closing comment
// line (without a line end after it).
std::string startupScript(const std::string& folder);

// The text of the Yes/No question, naming the quoted program.
std::string installQuestion(const std::string& quotedProgram);

// The caption of the question.
std::string installCaption();

// The parameters the CAD program is started with: run the start-up script.
std::string startParameters(const std::string& folder);

} // namespace pelmix
