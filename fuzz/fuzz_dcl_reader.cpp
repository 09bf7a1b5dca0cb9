// The host's dialog-file reader on any text.
#include "dcl/dcl.h"
#include "host/standin.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::wstring text = standin::fromUtf8(std::string(reinterpret_cast<const char*>(data), size));
    standin::dcl::DclFile file;
    std::wstring error;
    bool ok = standin::dcl::parseDcl(text, L"fuzz.dcl", file, error);
    if (!ok && error.empty()) __builtin_trap(); // a refusal always says why
    return 0;
}
