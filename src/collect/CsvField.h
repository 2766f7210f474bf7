#pragma once
// One text field of the event log as a spreadsheet program may safely open it:
// - bytes that are not UTF-8 become "\xHH" (two upper-case hex digits), so the log stays UTF-8;
//   a backslash that would read as such an escape is written "\x5C" itself, so every "\xHH" in
//   the log stands for the byte HH;
// - a field starting with =, +, -, @, a tab or a CR gets a leading apostrophe, which spreadsheet
//   programs take as "text, not a formula" (readers of the log strip it);
// - then quoted as RFC 4180 asks when it holds a comma, a quote, a CR or an LF.
// A field that needs none of these comes out unchanged.
#include <string>

namespace tonmira {

std::string CsvTextField(const std::string& text);

}  // namespace tonmira
