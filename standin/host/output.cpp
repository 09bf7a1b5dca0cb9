// The host's output channel.
#include "host/internal.h"
#include "host/standin.h"

#include <cstdio>

namespace standin {

namespace {

struct OutputState {
    int captures = 0;
    std::string captured;
    bool atLineStart = true;
};

OutputState& output() {
    static OutputState* state = new OutputState;
    return *state;
}

} // namespace

void writeOutput(std::string_view utf8) {
    if (utf8.empty()) return;
    OutputState& out = output();
    if (out.captures > 0) {
        out.captured.append(utf8);
    } else {
        hideProgressMeter();
        std::fwrite(utf8.data(), 1, utf8.size(), stdout);
        std::fflush(stdout);
        showProgressMeter(utf8);
    }
    out.atLineStart = utf8.back() == '\n';
}

void writeOutput(std::wstring_view text) {
    writeOutput(toUtf8(text));
}

void freshLine() {
    if (!output().atLineStart) writeOutput(std::string_view("\n"));
}

OutputCapture::OutputCapture() {
    if (output().captures++ == 0) output().captured.clear();
}
OutputCapture::~OutputCapture() {
    --output().captures;
}
std::string OutputCapture::text() const {
    return output().captured;
}
void OutputCapture::clear() {
    output().captured.clear();
}

} // namespace standin
