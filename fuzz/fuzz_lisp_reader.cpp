// The host's LISP reader and printer on any text.
#include "lisp.h"
#include "standin.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::wstring text = standin::fromUtf8(std::string(reinterpret_cast<const char*>(data), size));
    standin::lisp::Reader reader(text);
    try {
        while (reader.skipToForm()) {
            standin::lisp::Value form = reader.read();
            std::wstring printed = standin::lisp::printValue(form);
            // What is printed reads back as the same form.
            standin::lisp::Reader again(printed);
            if (again.skipToForm()) (void)again.read();
        }
    } catch (const standin::lisp::LispError&) {
    }
    return 0;
}
