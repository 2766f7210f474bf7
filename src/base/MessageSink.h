#pragma once
// The one channel through which the core shows its messages to a person.
// GUI: a critical message box captioned "Tonmira". CLI: one line on stderr. Tests: captured.
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

namespace tonmira {

class MessageSink {
public:
    virtual ~MessageSink() = default;
    // Shows one message (UTF-8) and returns when the person has acknowledged it.
    virtual void Message(const std::string& text) = 0;
};

// Keeps every message, in order; for tests and for callers that decide later.
class CapturingMessageSink : public MessageSink {
public:
    void Message(const std::string& text) override { m_messages.push_back(text); }
    std::vector<std::string> m_messages;
};

// Replaces %1, %2, ... with the given arguments, as the framework's message formatting does.
inline std::string FormatArgs(const std::string& pattern, std::initializer_list<std::string> args)
{
    std::vector<std::string> values(args);
    std::string out;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] >= '1' && pattern[i + 1] <= '9') {
            std::size_t n = static_cast<std::size_t>(pattern[i + 1] - '1');
            if (n < values.size()) {
                out += values[n];
                ++i;
                continue;
            }
        }
        out += pattern[i];
    }
    return out;
}

// text followed by the system's reason for error (an errno value) on a line of its own, so a
// full disk reads differently from a missing folder; text alone when error is 0.
inline std::string WithSystemReason(const std::string& text, int error)
{
    return error == 0 ? text : text + "\n" + std::strerror(error);
}

}  // namespace tonmira
