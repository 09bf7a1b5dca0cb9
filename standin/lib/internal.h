// What the parts of the stand-in host share among themselves.
#pragma once

#include "host/host_api.h"

#include <cstdarg>
#include <string>

namespace standin {

// printf-style formatting in the host's convention ("%s" is wide text).
std::wstring formatHostText(const ACHAR* format, va_list args);

// A string for a result buffer, allocated the way acutRelRb frees it.
ACHAR* duplicateString(const std::wstring& text);

// What kind of value a result-buffer type code (or entity group code) carries.
enum class Carries { Nothing, String, Real, Point, Short, Long, Name, Binary };
Carries carried(int type);

void resetMessages();
void resetSysVars();
void resetSelections();
void resetPrompts();

} // namespace standin
