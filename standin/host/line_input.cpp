// Reading a line a person types, through the line editor when one is set.
#include "host/line_input.h"

#include "dcl/dialogs.h"
#include "host/internal.h"
#include "host/standin.h"

#include <iostream>

namespace standin {

namespace {

LineEditor editor = nullptr;

} // namespace

void setLineEditor(LineEditor e) {
    editor = e;
}

std::optional<std::string> readLine(std::wstring_view prompt) {
    freshLine();
    // A meter on the screen would stand where the answer is typed.
    holdProgressMeter(true);
    std::string shown = toUtf8(prompt);
    // What comes before the prompt's last line feed is output; the editor
    // shows only the line the cursor stays on.
    if (std::size_t feed = shown.rfind('\n'); feed != std::string::npos) {
        writeOutput(std::string_view(shown).substr(0, feed + 1));
        shown.erase(0, feed + 1);
    }
    std::optional<std::string> line;
    std::istream& input = terminalInput();
    if (editor && &input == &std::cin) {
        line = editor(shown);
        // The editor has left the cursor at the start of a line after the
        // answer, but not at the end of the input (the meter follows the
        // cursor there).
        if (!line)
            writeOutput(std::string_view("\n"));
        else
            showProgressMeter("\n");
    } else {
        writeOutput(std::string_view(shown));
        std::string typed;
        if (std::getline(input, typed))
            line = std::move(typed);
        else
            freshLine();
    }
    holdProgressMeter(false);
    if (line && !line->empty() && line->back() == '\r') line->pop_back();
    return line;
}

} // namespace standin
