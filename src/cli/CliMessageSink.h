#pragma once
// The CLI shows the program's messages as one line each on stderr.
#include <cstdio>
#include <string>

#include "base/MessageSink.h"

namespace tonmira::cli {

class CliMessageSink : public MessageSink {
public:
    void Message(const std::string& text) override
    {
        // Some messages end in their own line feed; print exactly one.
        std::string line = text;
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
            line.pop_back();
        std::fprintf(stderr, "%s\n", line.c_str());
        ++m_nCount;
    }
    int m_nCount = 0;
};

}  // namespace tonmira::cli
