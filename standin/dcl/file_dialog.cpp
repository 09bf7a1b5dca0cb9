// The host's file dialog, acedGetFileD: answered by the next queued answer,
// by a person typing a path when the host is interactive, or else cancelled.
#include "dcl/dialogs.h"
#include "host/internal.h"
#include "host/line_input.h"
#include "host/standin.h"

#include <deque>
#include <filesystem>

namespace standin {

namespace {

std::deque<std::optional<std::wstring>>& fileAnswers() {
    static auto* queue = new std::deque<std::optional<std::wstring>>;
    return *queue;
}

// What a person types, or nullopt when they cancel (an empty line, or the
// end of the input).
std::optional<std::wstring> askAtTerminal(const ACHAR* title, const ACHAR* ext) {
    std::wstring prompt = std::wstring(title && *title ? title : L"Select File");
    if (ext && *ext) prompt += L" (*." + std::wstring(ext) + L")";
    std::optional<std::string> typed = readLine(prompt + L"\nFile name, empty to cancel: ");
    if (!typed) return std::nullopt;
    const std::string& line = *typed;
    if (line.empty()) return std::nullopt;
    return fromUtf8(line);
}

// The chosen file as the dialog reports it: a name without a folder is taken
// in the dialog's starting folder, a name without an extension gets the
// default one.
std::wstring chosenPath(const std::wstring& answer, const ACHAR* defawlt, const ACHAR* ext,
                        int flags) {
    namespace fs = std::filesystem;
    fs::path path = toUtf8(answer);
    if (path.is_relative() && defawlt && *defawlt) {
        fs::path start = toUtf8(defawlt);
        fs::path folder = (flags & 16) ? start : start.parent_path();
        if (!folder.empty()) path = folder / path;
    }
    if (ext && *ext && !path.filename().empty() && !path.filename().has_extension() &&
        path.filename().string().find('.') == std::string::npos)
        path += "." + toUtf8(ext);
    return fromUtf8(path.string());
}

} // namespace

void queueFileAnswer(std::optional<std::wstring> path) {
    fileAnswers().push_back(std::move(path));
}
std::size_t pendingFileAnswers() {
    return fileAnswers().size();
}
void resetFileAnswers() {
    fileAnswers().clear();
}

} // namespace standin

int acedGetFileD(const ACHAR* title, const ACHAR* defawlt, const ACHAR* ext, int flags,
                 resbuf* result) {
    if (!result) return RTERROR;
    std::optional<std::wstring> answer;
    auto& queue = standin::fileAnswers();
    if (!queue.empty()) {
        answer = std::move(queue.front());
        queue.pop_front();
    } else if (standin::isInteractive()) {
        answer = standin::askAtTerminal(title, ext);
    }
    if (!answer || answer->empty()) return RTCAN;
    result->restype = RTSTR;
    result->resval.rstring =
        standin::duplicateString(standin::chosenPath(*answer, defawlt, ext, flags));
    return result->resval.rstring ? RTNORM : RTERROR;
}
