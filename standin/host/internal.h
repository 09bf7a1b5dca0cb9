// What the parts of the stand-in host share among themselves.
#pragma once

#include "host_api.h"

#include <cstdarg>
#include <string>
#include <string_view>

namespace standin {

// printf-style formatting in the host's convention ("%s" is wide text).
std::wstring formatHostText(const ACHAR* format, va_list args);

// A string for a result buffer, allocated the way acutRelRb frees it.
ACHAR* duplicateString(const std::wstring& text);

// What kind of value a result-buffer type code (or entity group code) carries.
enum class Carries { Nothing, String, Real, Point, Short, Long, Name, Binary };
Carries carried(int type);

// The progress meter around the host's text output on the terminal: cleared
// before text is written, drawn again after it (what was written moves the
// cursor the meter keeps clear of).
void hideProgressMeter();
void showProgressMeter(std::string_view written);
// Keeps the meter off the screen while a person types (true), and back.
void holdProgressMeter(bool hold);

void resetMessages();
void resetSysVars();
void resetSelections();
void resetPrompts();

} // namespace standin
