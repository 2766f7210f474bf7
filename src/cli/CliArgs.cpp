#include "cli/CliArgs.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace tonmira::cli {

CliArgs::CliArgs(const std::vector<std::string>& argv, const std::set<std::string>& valueOptions,
                 const std::set<std::string>& flags)
{
    bool onlyPositionals = false;
    for (std::size_t i = 0; i < argv.size(); ++i) {
        const std::string& arg = argv[i];
        if (onlyPositionals || arg.size() < 3 || arg.compare(0, 2, "--") != 0) {
            if (arg == "--") {
                onlyPositionals = true;
                continue;
            }
            m_positionals.push_back(arg);
            continue;
        }
        std::string name = arg.substr(2);
        std::string value;
        bool hasInlineValue = false;
        if (auto eq = name.find('='); eq != std::string::npos) {
            value = name.substr(eq + 1);
            name = name.substr(0, eq);
            hasInlineValue = true;
        }
        if (flags.count(name)) {
            if (hasInlineValue)
                throw UsageError("option --" + name + " takes no value");
            m_options.emplace_back(name, "1");
        } else if (valueOptions.count(name)) {
            if (!hasInlineValue) {
                if (i + 1 >= argv.size())
                    throw UsageError("option --" + name + " needs a value");
                value = argv[++i];
            }
            m_options.emplace_back(name, value);
        } else {
            throw UsageError("unknown option --" + name);
        }
    }
}

void CliArgs::RequirePositionals(std::size_t min, std::size_t max) const
{
    if (m_positionals.size() < min)
        throw UsageError("missing argument");
    if (m_positionals.size() > max)
        throw UsageError("unexpected argument '" + m_positionals[max] + "'");
}

const std::string& CliArgs::Positional(std::size_t i) const
{
    if (i >= m_positionals.size())
        throw UsageError("missing argument");
    return m_positionals[i];
}

bool CliArgs::Has(const std::string& name) const
{
    for (const auto& option : m_options)
        if (option.first == name)
            return true;
    return false;
}

std::string CliArgs::GetString(const std::string& name, const std::string& def) const
{
    std::string value = def;
    for (const auto& option : m_options)
        if (option.first == name)
            value = option.second;
    return value;
}

long long CliArgs::GetInt(const std::string& name, long long def, long long min, long long max) const
{
    if (!Has(name))
        return def;
    std::string text = GetString(name, "");
    errno = 0;
    char* end = nullptr;
    long long value = std::strtoll(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || errno == ERANGE || value < min || value > max)
        throw UsageError("--" + name + " needs a whole number from " + std::to_string(min) + " to " +
                         std::to_string(max) + ", not '" + text + "'");
    return value;
}

namespace {

// 0.001 and 86400 rather than std::to_string's 0.001000 and 86400.000000.
std::string ShortNumber(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

}  // namespace

double CliArgs::GetDouble(const std::string& name, double def, double min, double max) const
{
    if (!Has(name))
        return def;
    std::string text = GetString(name, "");
    char* end = nullptr;
    double value = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !std::isfinite(value) || value < min || value > max)
        throw UsageError("--" + name + " needs a number from " + ShortNumber(min) + " to " + ShortNumber(max) +
                         ", not '" + text + "'");
    return value;
}

}  // namespace tonmira::cli
