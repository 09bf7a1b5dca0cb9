// cadhost: the stand-in CAD program. Loads the plug-in, runs LISP from the
// command line, from scripts or typed at its command prompt, and unloads the
// plug-in at exit.
#include "host/line_editor.h"
#include "host/line_input.h"
#include "host/standin.h"
#include "lisp/lisp.h"

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <new>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

const char* kUsage =
    "usage: cadhost [--plugin PATH] [--open DRAWING.dxf] [--save OUT.dxf] [--svg OUT.svg]\n"
    "               [-e EXPR]... [SCRIPT.lsp]...\n";

struct Job {
    bool isExpression;
    std::string text; // the expression, or the script's path
};

// The break key at the command prompt drops the line being typed; during a
// command it is the host's break key, which the command polls.
volatile std::sig_atomic_t atPrompt = 0;
volatile std::sig_atomic_t interruptedAtPrompt = 0;

void onInterrupt(int) {
    if (atPrompt)
        interruptedAtPrompt = 1;
    else
        standin::pressBreak();
}

// Counts parentheses outside strings and comments, to know when typed input
// forms a whole expression.
int openParens(const std::string& text) {
    int depth = 0;
    bool inString = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (inString) {
            if (c == '\\')
                ++i;
            else if (c == '"')
                inString = false;
        } else if (c == '"')
            inString = true;
        else if (c == ';') {
            while (i < text.size() && text[i] != '\n')
                ++i;
        } else if (c == '(')
            ++depth;
        else if (c == ')')
            --depth;
    }
    return depth;
}

void interactive(standin::lisp::Interpreter& lisp) {
    std::signal(SIGINT, onInterrupt);
    cadhost::startLineEditing();
    std::string pending;
    for (;;) {
        atPrompt = 1;
        std::optional<std::string> line =
            standin::readLine(pending.empty() ? L"Command: " : L"(_> ");
        atPrompt = 0;
        const bool interrupted = interruptedAtPrompt;
        interruptedAtPrompt = 0;
        if (!line) {
            if (!interrupted) break; // the end of the input
            std::cin.clear();
            pending.clear();
            continue;
        }
        if (pending.empty() && (*line == "quit" || *line == "exit" || *line == "QUIT")) break;
        try {
            cadhost::rememberLine(*line);
            pending += *line + "\n";
            if (openParens(pending) > 0) continue;
            lisp.run(standin::fromUtf8(pending), true);
        } catch (const std::bad_alloc&) {
            // What was typed no longer fits in memory: it is dropped, as a
            // command that runs out is, and the session goes on.
            standin::freshLine();
            std::fputs("; error: out of memory\n", stdout);
            std::fflush(stdout);
        }
        pending.clear();
    }
    standin::freshLine();
}

} // namespace

int main(int argc, char** argv) {
    // The plug-in is looked for beside the program itself. Run by name from
    // PATH, argv[0] holds no folder, so the running executable is asked first.
    std::error_code noLink;
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", noLink);
    if (noLink) self = std::filesystem::absolute(argv[0]);
    std::string plugin = (self.parent_path() / "vog.arx").string();
    std::vector<Job> jobs;
    std::string openPath, savePath, svgPath;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        auto value = [&](const char* option) -> std::string {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "cadhost: %s needs a value\n%s", option, kUsage);
                std::exit(2);
            }
            return argv[++i];
        };
        if (arg == "--plugin")
            plugin = value("--plugin");
        else if (arg == "-e")
            jobs.push_back({true, value("-e")});
        else if (arg == "--open")
            openPath = value("--open");
        else if (arg == "--save")
            savePath = value("--save");
        else if (arg == "--svg")
            svgPath = value("--svg");
        else if (arg == "-h" || arg == "--help") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (!arg.empty() && arg[0] == '-') {
            std::fprintf(stderr, "cadhost: unknown option %s\n%s", arg.c_str(), kUsage);
            return 2;
        } else
            jobs.push_back({false, arg});
    }

    // Scripts are read before anything runs, so a missing one stops the host
    // before the plug-in is loaded.
    std::vector<std::wstring> sources;
    for (const Job& job : jobs) {
        std::wstring text;
        if (job.isExpression)
            text = standin::fromUtf8(job.text);
        else if (std::string why; !standin::lisp::readTextFile(job.text, text, &why)) {
            std::fprintf(stderr, "cadhost: cannot read script %s: %s\n", job.text.c_str(),
                         why.c_str());
            return 1;
        }
        sources.push_back(std::move(text));
    }

    standin::lisp::Interpreter lisp;
    standin::lisp::installHostFunctions(lisp);

    standin::Drawing& drawing = standin::currentDrawing();
    if (!openPath.empty()) {
        // A folder or a FIFO is refused before it is opened, never read or
        // waited on.
        std::string error = standin::lisp::unreadableFileReason(openPath);
        bool read = false;
        if (!error.empty()) {
            error = "cannot read " + openPath + ": " + error;
        } else {
            try {
                read = standin::readDxf(drawing.db, openPath, error);
            } catch (const std::bad_alloc&) {
                error = "cannot read " + openPath + ": does not fit in memory";
            }
        }
        if (!read) {
            std::fprintf(stderr, "cadhost: %s\n", error.c_str());
            return 1;
        }
        std::filesystem::path opened = std::filesystem::absolute(openPath);
        drawing.setName(standin::fromUtf8(opened.filename().string()));
        drawing.folder = opened.parent_path().string() + "/";
    }
    if (!plugin.empty() && plugin != "none") {
        std::string error;
        if (!standin::loadApplication(standin::fromUtf8(plugin), error))
            std::fprintf(stderr, "cadhost: cannot load %s: %s\n", plugin.c_str(), error.c_str());
    }

    for (std::size_t i = 0; i < sources.size(); ++i)
        lisp.run(sources[i], true, nullptr,
                 jobs[i].isExpression ? std::wstring() : standin::fromUtf8(jobs[i].text));
    if (jobs.empty() && isatty(STDIN_FILENO)) {
        standin::setInteractive(true);
        interactive(lisp);
    } else if (jobs.empty()) {
        // Standard input is a script.
        try {
            std::string bytes((std::istreambuf_iterator<char>(std::cin)),
                              std::istreambuf_iterator<char>());
            lisp.run(standin::fromUtf8(bytes), true);
        } catch (const std::bad_alloc&) {
            standin::freshLine();
            std::fputs("; error: out of memory (standard input)\n", stdout);
        }
    }

    standin::unloadAllApplications();
    standin::freshLine();

    // The drawing that was current at the end is the one written.
    int status = 0;
    std::string error;
    if (!savePath.empty() && !standin::writeDxf(standin::currentDrawing().db, savePath, error)) {
        std::fprintf(stderr, "cadhost: %s\n", error.c_str());
        status = 1;
    }
    if (!svgPath.empty() && !standin::writeSvg(standin::currentDrawing().db, svgPath, error)) {
        std::fprintf(stderr, "cadhost: %s\n", error.c_str());
        status = 1;
    }
    return status;
}
