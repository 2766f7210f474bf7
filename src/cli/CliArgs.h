#pragma once
// Argument parsing for tonmira-cli commands: positionals, "--name value" options and flags.
// Every problem is a UsageError (exit code 2).
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace tonmira::cli {

class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class CliArgs {
public:
    // valueOptions take one value ("--rate 44100" or "--rate=44100"); flags take none.
    // Names are given without the leading "--". Unknown options are a UsageError.
    CliArgs(const std::vector<std::string>& argv, const std::set<std::string>& valueOptions,
            const std::set<std::string>& flags = {});

    const std::vector<std::string>& Positionals() const { return m_positionals; }
    // Requires between min and max positionals (inclusive).
    void RequirePositionals(std::size_t min, std::size_t max) const;
    const std::string& Positional(std::size_t i) const;

    bool Has(const std::string& name) const;
    std::string GetString(const std::string& name, const std::string& def) const;
    // Whole decimal number within [min, max]; anything else is a UsageError naming the option.
    long long GetInt(const std::string& name, long long def, long long min, long long max) const;
    // Finite real number within [min, max].
    double GetDouble(const std::string& name, double def, double min, double max) const;
    // Every option as given, in order: name and value ("1" for a flag).
    const std::vector<std::pair<std::string, std::string>>& Options() const { return m_options; }

private:
    std::vector<std::string> m_positionals;
    std::vector<std::pair<std::string, std::string>> m_options;  // last one wins
};

}  // namespace tonmira::cli
