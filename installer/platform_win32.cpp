// The platform layer on Windows: the registry through the narrow-character API, the question
// as a message box, the program start through the shell, and files in the C runtime's text
// mode, which turns every line feed into CR LF.

#include "platform.h"
#include "text_file.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <objbase.h>
#include <shellapi.h>

namespace pelmix {

namespace {

// An open registry key, closed when it goes out of scope.
class RegistryKey {
  public:
    RegistryKey(HKEY root, const std::string& path) {
        if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key_) != ERROR_SUCCESS) key_ = nullptr;
    }
    ~RegistryKey() {
        if (key_ != nullptr) RegCloseKey(key_);
    }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    bool isOpen() const { return key_ != nullptr; }
    HKEY handle() const { return key_; }

  private:
    HKEY key_ = nullptr;
};

} // namespace

std::optional<std::string> readRegistryString(Hive hive, const std::string& keyPath,
                                              const std::string& valueName) {
    const RegistryKey key(hive == Hive::CurrentUser ? HKEY_CURRENT_USER : HKEY_CLASSES_ROOT,
                          keyPath);
    if (!key.isOpen()) return std::nullopt;

    char buffer[registryValueLimit];
    DWORD size = sizeof buffer;
    DWORD type = REG_NONE;
    if (RegQueryValueExA(key.handle(), valueName.empty() ? nullptr : valueName.c_str(), nullptr,
                         &type, reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS)
        return std::nullopt;
    if (type != REG_SZ && type != REG_EXPAND_SZ) return std::nullopt;

    // The stored data need not end in a NUL; the value is the text before the first one.
    // Data that fills the whole buffer without one would not have fitted with it.
    const std::string_view data(buffer, size);
    const std::size_t nul = data.find('\0');
    if (nul == std::string_view::npos && size == sizeof buffer) return std::nullopt;
    return std::string(data.substr(0, nul));
}

bool writeTextFile(const std::string& path, std::string_view text, WriteMode mode) {
    TextFile file(path, mode == WriteMode::Append ? "a" : "w");
    if (!file.isOpen()) return false;
    file.write(text);
    return file.close();
}

bool askYesNo(const std::string& text, const std::string& caption) {
    return MessageBoxA(nullptr, text.c_str(), caption.c_str(), MB_YESNO) == IDYES;
}

bool startProgram(const std::string& file, const std::string& parameters) {
    // The shell may hand the start to extensions that need COM on this thread.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);

    SHELLEXECUTEINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = 0;
    info.hwnd = nullptr;
    info.lpVerb = "open";
    info.lpFile = file.c_str();
    info.lpParameters = parameters.c_str();
    info.lpDirectory = nullptr;
    info.nShow = SW_SHOW;
    const bool started = ShellExecuteExA(&info) != FALSE;

    if (SUCCEEDED(com)) CoUninitialize();
    return started;
}

} // namespace pelmix
