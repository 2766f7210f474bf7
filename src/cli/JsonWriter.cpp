#include "cli/JsonWriter.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace tonmira::cli {

namespace {

// Length of the UTF-8 sequence that starts at text[i], or 0 when it is not a valid one.
std::size_t Utf8Length(std::string_view text, std::size_t i)
{
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    std::size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
    if (length == 0 || i + length > text.size())
        return 0;
    for (std::size_t k = 1; k < length; ++k)
        if ((byte(i + k) & 0xC0) != 0x80)
            return 0;
    // Overlong forms, UTF-16 surrogates and code points above U+10FFFF are not UTF-8 either.
    const unsigned char second = length > 1 ? byte(i + 1) : 0;
    if (lead == 0xC0 || lead == 0xC1 || lead > 0xF4 || (lead == 0xE0 && second < 0xA0) ||
        (lead == 0xED && second >= 0xA0) || (lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second >= 0x90))
        return 0;
    return length;
}

}  // namespace

void JsonWriter::BeforeValue()
{
    if (m_afterKey) {
        m_afterKey = false;
        return;
    }
    if (!m_first.empty()) {
        if (!m_first.back())
            m_text += ',';
        m_first.back() = false;
    }
}

JsonWriter& JsonWriter::BeginObject()
{
    BeforeValue();
    m_text += '{';
    m_first.push_back(true);
    return *this;
}

JsonWriter& JsonWriter::EndObject()
{
    m_text += '}';
    m_first.pop_back();
    return *this;
}

JsonWriter& JsonWriter::BeginArray()
{
    BeforeValue();
    m_text += '[';
    m_first.push_back(true);
    return *this;
}

JsonWriter& JsonWriter::EndArray()
{
    m_text += ']';
    m_first.pop_back();
    return *this;
}

JsonWriter& JsonWriter::Key(std::string_view name)
{
    String(name);
    m_text += ':';
    m_afterKey = true;
    return *this;
}

JsonWriter& JsonWriter::String(std::string_view text)
{
    BeforeValue();
    m_text += '"';
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        const std::size_t length = Utf8Length(text, i);
        if (length == 0) {
            m_text += "\\ufffd";  // a byte of another encoding (a file name, a device name)
            ++i;
            continue;
        }
        if (c == '"' || c == '\\') {
            m_text += '\\';
            m_text += static_cast<char>(c);
        } else if (c < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            m_text += escaped;
        } else {
            m_text.append(text.substr(i, length));
        }
        i += length;
    }
    m_text += '"';
    return *this;
}

JsonWriter& JsonWriter::Integer(long long value)
{
    BeforeValue();
    m_text += std::to_string(value);
    return *this;
}

// The shortest text that reads back as the same value of its own type: a float's 0.1 stays "0.1".
template <typename Real>
JsonWriter& JsonWriter::Shortest(Real value)
{
    if (!std::isfinite(value))
        return Null();
    BeforeValue();
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    m_text.append(buffer, result.ptr);
    return *this;
}

JsonWriter& JsonWriter::Number(double value) { return Shortest(value); }

JsonWriter& JsonWriter::Number(float value) { return Shortest(value); }

JsonWriter& JsonWriter::Bool(bool value)
{
    BeforeValue();
    m_text += value ? "true" : "false";
    return *this;
}

JsonWriter& JsonWriter::Null()
{
    BeforeValue();
    m_text += "null";
    return *this;
}

}  // namespace tonmira::cli
