// Alerts, command-line output and the break key.
#include "host/internal.h"
#include "host/standin.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cwchar>

namespace standin {

namespace {

std::vector<std::wstring>& alertLog() {
    static auto* log = new std::vector<std::wstring>;
    return *log;
}

int breakCountdown = 0;
bool interactiveSession = false;
std::atomic<bool> breakPressed{false};

// One conversion of a printf format in the host's convention, where "%s" and
// "%c" take wide text unless marked narrow with "h".
std::wstring formatOne(const std::string& spec, char conv, const std::string& length,
                       va_list& args) {
    char buffer[512];
    std::string narrow = "%" + spec;
    switch (conv) {
    case 'd':
    case 'i':
    case 'u':
    case 'x':
    case 'X':
    case 'o': {
        std::string f = narrow;
        if (length == "ll" || length == "I64" || length == "j") {
            f += "ll";
            f += conv;
            std::snprintf(buffer, sizeof buffer, f.c_str(), va_arg(args, long long));
        } else if (length == "l" || length == "z" || length == "t") {
            f += "l";
            f += conv;
            std::snprintf(buffer, sizeof buffer, f.c_str(), va_arg(args, long));
        } else {
            f += conv;
            std::snprintf(buffer, sizeof buffer, f.c_str(), va_arg(args, int));
        }
        return fromUtf8(buffer);
    }
    case 'f':
    case 'F':
    case 'e':
    case 'E':
    case 'g':
    case 'G':
    case 'a':
    case 'A': {
        std::string f = narrow + conv;
        if (length == "L") {
            f = narrow + "L" + conv;
            std::snprintf(buffer, sizeof buffer, f.c_str(), va_arg(args, long double));
        } else {
            std::snprintf(buffer, sizeof buffer, f.c_str(), va_arg(args, double));
        }
        return fromUtf8(buffer);
    }
    case 'p': {
        std::snprintf(buffer, sizeof buffer, "%p", va_arg(args, void*));
        return fromUtf8(buffer);
    }
    case 'c':
    case 'C': {
        wchar_t c = static_cast<wchar_t>(va_arg(args, int));
        return std::wstring(1, c);
    }
    case 's':
    case 'S': {
        std::wstring text;
        if (length == "h") {
            const char* s = va_arg(args, const char*);
            text = s ? fromUtf8(s) : L"(null)";
        } else {
            const wchar_t* s = va_arg(args, const wchar_t*);
            text = s ? s : L"(null)";
        }
        // precision cuts, width pads
        std::size_t dot = spec.find('.');
        if (dot != std::string::npos) {
            std::size_t precision = std::strtoul(spec.c_str() + dot + 1, nullptr, 10);
            if (text.size() > precision) text.resize(precision);
        }
        bool left = spec.find('-') != std::string::npos;
        std::size_t start = spec.find_first_of("123456789");
        std::size_t width =
            (start != std::string::npos && (dot == std::string::npos || start < dot))
                ? std::strtoul(spec.c_str() + start, nullptr, 10)
                : 0;
        if (text.size() < width) {
            std::wstring pad(width - text.size(), L' ');
            text = left ? text + pad : pad + text;
        }
        return text;
    }
    default:
        return L"%" + fromUtf8(spec) + static_cast<wchar_t>(conv);
    }
}

} // namespace

std::wstring formatHostText(const ACHAR* format, va_list incoming) {
    va_list args;
    va_copy(args, incoming);
    std::wstring out;
    for (const ACHAR* p = format; p && *p; ++p) {
        if (*p != L'%') {
            out += *p;
            continue;
        }
        ++p;
        if (*p == L'%') {
            out += L'%';
            continue;
        }
        std::string spec;
        while (*p && std::wcschr(L"-+ #0123456789.*", *p)) {
            if (*p == L'*')
                spec += std::to_string(va_arg(args, int));
            else
                spec += static_cast<char>(*p);
            ++p;
        }
        std::string length;
        while (*p && std::wcschr(L"hlLqjztI6", *p))
            length += static_cast<char>(*p++);
        if (length == "hh") length = "h";
        if (!*p) break;
        out += formatOne(spec, static_cast<char>(*p), length, args);
    }
    va_end(args);
    return out;
}

const std::vector<std::wstring>& alerts() {
    return alertLog();
}
void clearAlerts() {
    alertLog().clear();
}

bool isInteractive() {
    return interactiveSession;
}
void setInteractive(bool interactive) {
    interactiveSession = interactive;
}

void breakAfterPolls(int n) {
    breakCountdown = n > 0 ? n : 0;
}
void pressBreak() {
    breakPressed = true;
}

void resetMessages() {
    alertLog().clear();
    breakCountdown = 0;
    breakPressed = false;
}

} // namespace standin

using standin::writeOutput;

int acedAlert(const ACHAR* message) {
    std::wstring text = message ? message : L"";
    standin::alertLog().push_back(text);
    standin::freshLine();
    // Each line of the alert on a line of its own, marked as an alert; a
    // closing line feed ends the last line rather than adding an empty one.
    std::wstring shown;
    std::size_t start = 0;
    for (;;) {
        std::size_t end = text.find(L'\n', start);
        shown += L"[alert] " + text.substr(start, end - start) + L"\n";
        if (end == std::wstring::npos || end + 1 == text.size()) break;
        start = end + 1;
    }
    writeOutput(shown);
    return RTNORM;
}

int acutPrintf(const ACHAR* format, ...) {
    va_list args;
    va_start(args, format);
    std::wstring text = standin::formatHostText(format, args);
    va_end(args);
    writeOutput(text);
    return static_cast<int>(text.size());
}

int acdbFail(const ACHAR* message) {
    writeOutput(std::wstring(message ? message : L""));
    return RTNORM;
}

int acedUsrBrk() {
    if (standin::breakPressed.exchange(false)) return 1;
    if (standin::breakCountdown > 0 && --standin::breakCountdown == 0) return 1;
    return 0;
}
