#pragma once
// Text <-> value rules of dialog data exchange: how an edit's text becomes an integer or a real,
// how a real is shown, and the messages shown when that fails.
#include <optional>
#include <string>

namespace tonmira {


// A decimal integer with optional sign, optionally surrounded by blanks (spaces, tabs).
// Empty text, other characters or a value outside the 32-bit range give nothing.
std::optional<int> ParseDialogInt(const std::string& text);

// A floating-point number, optionally surrounded by blanks. Text that is not a number, and
// numbers that are not finite in single precision (nan, inf, 1e39), give nothing: a bound of
// nan would silently fail every comparison of the collection conditions.
std::optional<float> ParseDialogReal(const std::string& text);

// An integer as an edit shows it ("%d").
std::string FormatDialogInt(int value);
// A real as an edit shows it: general format with 6 significant digits ("%.*g", 6).
std::string FormatDialogReal(float value);

// The range message with its two limits filled in.
std::string IntegerRangeMessage(int min, int max);

}  // namespace tonmira
