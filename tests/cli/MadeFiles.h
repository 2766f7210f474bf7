#pragma once
// Helpers of the tests that make input files with other tools and read what the program wrote.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/wait.h>
#include <vector>

#include "TestUtil.h"

namespace tonmira::test {

// Runs a shell command quietly; the test fails when it does not exit with 0.
inline void Shell(const std::string& command)
{
    int status = std::system((command + " </dev/null >/dev/null 2>&1").c_str());
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << command;
}

// The samples of a 16-bit WAV file: everything after the "data" chunk header.
inline std::vector<std::int16_t> WavSamples(const std::string& path)
{
    std::string b = ReadFileBytes(path);
    std::size_t at = b.find("data");
    if (at == std::string::npos)
        return {};
    at += 8;
    std::vector<std::int16_t> s((b.size() - at) / 2);
    if (!s.empty())
        std::memcpy(s.data(), b.data() + at, s.size() * 2);
    return s;
}

// The value of a "key: value" line of info's output; empty without one.
inline std::string Line(const std::string& out, const std::string& key)
{
    std::size_t at = out.find(key + ": ");
    if (at == std::string::npos)
        return "";
    std::size_t end = out.find('\n', at);
    return out.substr(at + key.size() + 2, end - at - key.size() - 2);
}

}  // namespace tonmira::test
