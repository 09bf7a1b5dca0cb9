// Loaded applications, drawings, the runtime services applications ask for
// at load, and the LISP functions they define.
#include "dcl/dialogs.h"
#include "host/internal.h"
#include "host/standin.h"

#include <algorithm>
#include <cwctype>
#include <dlfcn.h>

namespace standin {

namespace {

class DynamicLinker : public AcRxDynamicLinker {
  public:
    bool unlockApplication(void* appId) const override {
        if (auto* app = static_cast<Application*>(appId)) app->unlocked = true;
        return true;
    }
    bool registerAppMDIAware(void* appId) const override {
        if (auto* app = static_cast<Application*>(appId)) app->mdiAware = true;
        return true;
    }
};

class SystemRegistry : public AcRxDictionary {
  public:
    AcRxObject* at(const ACHAR* key) const override {
        if (key && std::wstring_view(key) == L"DynamicLinker") return &linker_;
        return nullptr;
    }

  private:
    mutable DynamicLinker linker_;
};

struct HostState {
    std::vector<std::unique_ptr<Application>> applications;
    std::vector<std::unique_ptr<Drawing>> drawings;
    Drawing* current = nullptr;
    Application* messaged = nullptr; // the application handling a message
    int drawingCount = 0;

    // The call in progress.
    int pendingCode = -1;
    resbuf* pendingArgs = nullptr;
    CallResult* pendingResult = nullptr;
};

HostState& host() {
    static auto* state = new HostState;
    return *state;
}

std::wstring lower(std::wstring_view text) {
    std::wstring out(text);
    for (auto& c : out)
        c = static_cast<wchar_t>(std::towlower(c));
    return out;
}

Drawing& addDrawing() {
    HostState& h = host();
    ++h.drawingCount;
    h.drawings.push_back(
        std::make_unique<Drawing>(L"Drawing" + std::to_wstring(h.drawingCount) + L".dwg"));
    return *h.drawings.back();
}

Application* addApplication(std::unique_ptr<Application> app) {
    HostState& h = host();
    h.applications.push_back(std::move(app));
    Application* added = h.applications.back().get();
    sendMessage(*added, AcRx::kInitAppMsg);
    Drawing* previous = &currentDrawing();
    for (auto& drawing : h.drawings) {
        h.current = drawing.get();
        sendMessage(*added, AcRx::kLoadDwgMsg);
    }
    h.current = previous;
    return added;
}

} // namespace

Drawing& currentDrawing() {
    HostState& h = host();
    if (!h.current) h.current = &addDrawing();
    return *h.current;
}

Drawing& newDrawing() {
    HostState& h = host();
    currentDrawing();
    Drawing& drawing = addDrawing();
    h.current = &drawing;
    for (auto& app : std::vector<Application*>([&] {
             std::vector<Application*> list;
             for (auto& a : h.applications)
                 list.push_back(a.get());
             return list;
         }()))
        sendMessage(*app, AcRx::kLoadDwgMsg);
    return drawing;
}

const std::vector<std::unique_ptr<Drawing>>& drawings() {
    currentDrawing();
    return host().drawings;
}

void makeCurrent(Drawing& drawing) {
    host().current = &drawing;
}

Application* loadApplication(const std::wstring& path, std::string& error) {
    void* handle = dlopen(toUtf8(path).c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* why = dlerror();
        error = why ? why : "cannot be loaded";
        return nullptr;
    }
    auto entry = reinterpret_cast<EntryPoint>(dlsym(handle, "acrxEntryPoint"));
    if (!entry) {
        error = "no acrxEntryPoint in " + toUtf8(path);
        dlclose(handle);
        return nullptr;
    }
    auto app = std::make_unique<Application>();
    app->path = path;
    app->handle = handle;
    app->entry = entry;
    return addApplication(std::move(app));
}

Application* attachApplication(EntryPoint entry, const std::wstring& name) {
    auto app = std::make_unique<Application>();
    app->path = name;
    app->entry = entry;
    return addApplication(std::move(app));
}

AcRx::AppRetCode sendMessage(Application& app, AcRx::AppMsgCode msg) {
    HostState& h = host();
    Application* previous = h.messaged;
    h.messaged = &app;
    AcRx::AppRetCode result = app.entry(msg, &app);
    h.messaged = previous;
    return result;
}

void unloadApplication(Application& app) {
    HostState& h = host();
    Drawing* previous = &currentDrawing();
    for (auto& drawing : h.drawings) {
        h.current = drawing.get();
        sendMessage(app, AcRx::kUnloadDwgMsg);
    }
    h.current = previous;
    sendMessage(app, AcRx::kUnloadAppMsg);
    for (auto& drawing : h.drawings) {
        for (auto it = drawing->functions.begin(); it != drawing->functions.end();)
            it = it->second.app == &app ? drawing->functions.erase(it) : std::next(it);
    }
    void* handle = app.handle;
    auto found = std::find_if(h.applications.begin(), h.applications.end(),
                              [&](auto& a) { return a.get() == &app; });
    if (found != h.applications.end()) h.applications.erase(found);
    if (handle) dlclose(handle);
}

void unloadAllApplications() {
    HostState& h = host();
    while (!h.applications.empty())
        unloadApplication(*h.applications.back());
}

const std::vector<std::unique_ptr<Application>>& applications() {
    return host().applications;
}

CallResult::CallResult(CallResult&& other) noexcept {
    *this = std::move(other);
}
CallResult& CallResult::operator=(CallResult&& other) noexcept {
    if (this != &other) {
        acutRelRb(list);
        kind = other.kind;
        list = other.list;
        other.list = nullptr;
        other.kind = None;
    }
    return *this;
}
CallResult::~CallResult() {
    acutRelRb(list);
}

bool callExternal(const std::wstring& name, const resbuf* args, CallResult& result) {
    HostState& h = host();
    Drawing& drawing = currentDrawing();
    auto found = drawing.functions.find(lower(name));
    if (found == drawing.functions.end()) return false;
    ExternalFunction function = found->second;

    // Calls do not nest, but a command may run while another's result is
    // pending in a test harness: keep the outer call's state.
    // Restored however the call ends, also when it runs out of memory and the
    // exception goes on to the command boundary.
    struct PendingCall {
        HostState& h;
        int savedCode;
        resbuf* savedArgs;
        CallResult* savedResult;
        Application* savedMessaged;
        ~PendingCall() {
            acutRelRb(h.pendingArgs);
            h.pendingCode = savedCode;
            h.pendingArgs = savedArgs;
            h.pendingResult = savedResult;
            h.messaged = savedMessaged;
        }
    } pending{h, h.pendingCode, h.pendingArgs, h.pendingResult, h.messaged};

    result = CallResult{};
    h.pendingCode = function.code;
    h.pendingArgs = copyList(args);
    h.pendingResult = &result;
    if (function.direct) {
        h.messaged = function.app;
        function.direct();
    } else if (function.app) {
        sendMessage(*function.app, AcRx::kInvkSubrMsg);
    }
    return true;
}

void resetHost() {
    HostState& h = host();
    unloadAllApplications();
    h.drawings.clear();
    h.current = nullptr;
    h.drawingCount = 0;
    resetMessages();
    resetSysVars();
    resetSelections();
    resetPrompts();
    resetDialogs();
}

} // namespace standin

using standin::host;

AcRxDictionary* acrxSysRegistry() {
    static auto* registry = new standin::SystemRegistry;
    return registry;
}

int acedDefun(const ACHAR* name, int funcNumber) {
    if (!name) return RTERROR;
    standin::ExternalFunction& function = standin::currentDrawing().functions[standin::lower(name)];
    function.app = host().messaged;
    function.code = funcNumber;
    function.direct = nullptr;
    return RTNORM;
}

int acedUndef(const ACHAR* name, int funcNumber) {
    if (!name) return RTERROR;
    auto& functions = standin::currentDrawing().functions;
    auto found = functions.find(standin::lower(name));
    if (found == functions.end() || found->second.code != funcNumber) return RTERROR;
    functions.erase(found);
    return RTNORM;
}

int acedRegFunc(int (*fhdl)(), int funcNumber) {
    bool any = false;
    for (auto& [name, function] : standin::currentDrawing().functions) {
        if (function.app == host().messaged && function.code == funcNumber) {
            function.direct = fhdl;
            any = true;
        }
    }
    return any ? RTNORM : RTERROR;
}

int acedGetFunCode() {
    return host().pendingCode;
}

resbuf* acedGetArgs() {
    return host().pendingArgs;
}

namespace {
standin::CallResult* pendingResult() {
    return host().pendingResult;
}
} // namespace

int acedRetVoid() {
    if (auto* r = pendingResult()) *r = standin::CallResult{}, r->kind = standin::CallResult::Void;
    return RTNORM;
}

int acedRetNil() {
    if (auto* r = pendingResult()) *r = standin::CallResult{}, r->kind = standin::CallResult::Nil;
    return RTNORM;
}

int acedRetList(const resbuf* list) {
    if (auto* r = pendingResult()) {
        *r = standin::CallResult{};
        r->kind = standin::CallResult::List;
        r->list = standin::copyList(list);
    }
    return RTNORM;
}
