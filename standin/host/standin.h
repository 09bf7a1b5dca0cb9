// The stand-in CAD host's own interface, for cadhost and for tests: output,
// the break key, drawings, loaded applications and calls of the LISP
// functions that applications define. The plug-in never sees this header; it
// reaches the host through the published operations of host/host_api.h.
#pragma once

#include "drawing/drawing.h"
#include "host_api.h"
#include "utf8_codec.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace standin {

// ---------------------------------------------------------------- text
// One UTF-8 codec for the host and the plug-in: both read a name the same way.
using utf8::fromUtf8;
using utf8::toUtf8;

// ---------------------------------------------------------------- output
// Everything the host shows goes to standard output, or into the capture
// while one is active (tests).
void writeOutput(std::string_view utf8);
void writeOutput(std::wstring_view text);
// Starts a new line unless the output is at the start of one.
void freshLine();

class OutputCapture {
  public:
    OutputCapture();
    ~OutputCapture();
    OutputCapture(const OutputCapture&) = delete;
    OutputCapture& operator=(const OutputCapture&) = delete;
    std::string text() const;
    void clear();
};

// Every alert shown since the last clear, in order.
const std::vector<std::wstring>& alerts();
void clearAlerts();

// True when a person answers at the terminal (cadhost's command prompt):
// dialogs and prompts then ask; otherwise they take scripted answers.
bool isInteractive();
void setInteractive(bool interactive);

// Answers for the next acedEntSel (an entity, or nullopt: nothing picked) and
// the next acedGetReal (a number, or nullopt: an empty reply).
void queuePick(std::optional<Adesk::LongPtr> entity);
void queueReal(std::optional<double> value);

// ---------------------------------------------------------------- break key
// The n-th poll of acedUsrBrk from now reports a break (n >= 1); 0 cancels.
void breakAfterPolls(int n);
// The break key was pressed: the next poll reports it.
void pressBreak();

// ---------------------------------------------------------------- system variables
resbuf* sysVar(const std::wstring& name); // nullptr when unknown
void setSysVar(const std::wstring& name, const resbuf& value);
int sysVarInt(const std::wstring& name, int fallback);

// ---------------------------------------------------------------- applications
using EntryPoint = AcRx::AppRetCode (*)(AcRx::AppMsgCode, void*);

struct Application {
    std::wstring path;
    void* handle = nullptr; // from dlopen, or nullptr for an entry point given directly
    EntryPoint entry = nullptr;
    bool unlocked = false;
    bool mdiAware = false;
};

// Loads a module with dlopen and sends it kInitAppMsg, then kLoadDwgMsg for
// every open drawing. nullptr, with the reason in error, when it cannot be
// loaded or has no acrxEntryPoint.
Application* loadApplication(const std::wstring& path, std::string& error);
// The same for an entry point linked into the host process (tests).
Application* attachApplication(EntryPoint entry, const std::wstring& name);
// Sends a message to an application, which is current while it handles it.
AcRx::AppRetCode sendMessage(Application& app, AcRx::AppMsgCode msg);
// kUnloadDwgMsg for every drawing, kUnloadAppMsg, then dlclose.
void unloadApplication(Application& app);
void unloadAllApplications();
const std::vector<std::unique_ptr<Application>>& applications();

// ---------------------------------------------------------------- drawings
struct ExternalFunction {
    Application* app = nullptr;
    int code = -1;
    int (*direct)() = nullptr; // registered with acedRegFunc
};

class Drawing {
  public:
    explicit Drawing(std::wstring name) : name_(std::move(name)) {}
    const std::wstring& name() const { return name_; }
    void setName(std::wstring name) { name_ = std::move(name); }
    // LISP functions defined in this drawing with acedDefun, by lower-case name.
    std::map<std::wstring, ExternalFunction> functions;
    DrawingDatabase db;
    std::string folder; // where the drawing was opened from, ending with "/"; empty when new

  private:
    std::wstring name_;
};

// The first drawing exists from the start.
Drawing& currentDrawing();
// Opens another drawing, makes it current and sends kLoadDwgMsg to every
// application.
Drawing& newDrawing();
const std::vector<std::unique_ptr<Drawing>>& drawings();
void makeCurrent(Drawing& drawing);

// ---------------------------------------------------------------- calls
// What a LISP function call set as its result.
struct CallResult {
    enum Kind { None, Void, Nil, List } kind = None;
    resbuf* list = nullptr; // List: a copy owned by the result
    CallResult() = default;
    CallResult(CallResult&& other) noexcept;
    CallResult& operator=(CallResult&& other) noexcept;
    ~CallResult();
};

// Calls a function defined in the current drawing with the given argument
// list (not taken over). False when no such function is defined.
bool callExternal(const std::wstring& name, const resbuf* args, CallResult& result);

// ---------------------------------------------------------------- result lists
resbuf* copyList(const resbuf* list);

// Resets the host to its state at start: no applications, one empty drawing,
// no alerts, no pending break (tests).
void resetHost();

} // namespace standin
