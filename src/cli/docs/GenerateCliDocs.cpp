// tonmira-cli-docs: writes tonmira-cli's man page and bash completion at build time, from the
// commands' usage texts and option tables the program itself uses.
//   tonmira-cli-docs man TEMPLATE OUT      TEMPLATE's @COMMANDS@ line becomes the commands
//   tonmira-cli-docs completion OUT        the bash completion script
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>
#include <algorithm>

#include "cli/CliCommand.h"
#include "cli/CliOptionTable.h"

namespace tonmira::cli {

namespace {

// Text for a roff text line: backslashes and hyphens escaped, and a leading dot or quote made
// harmless, so no usage text can be taken for a request.
std::string Roff(const std::string& text)
{
    std::string out;
    for (char c : text) {
        if (c == '\\')
            out += "\\e";
        else if (c == '-')
            out += "\\-";
        else
            out += c;
    }
    if (!out.empty() && (out[0] == '.' || out[0] == '\''))
        out = "\\&" + out;
    return out;
}

// A line of a no-fill block broken at blanks so that, indented under its heading, it fits an
// 80-column terminal; the continuations are indented a little more than the line.
std::vector<std::string> FitNoFill(std::string line)
{
    constexpr std::size_t kWidth = 70;
    const std::size_t blanks = std::min(line.find_first_not_of(' '), line.size());
    const std::string indent(blanks + 4, ' ');
    std::vector<std::string> lines;
    while (line.size() > kWidth) {
        const std::size_t cut = line.rfind(' ', kWidth);
        if (cut == std::string::npos || cut <= indent.size())
            break;
        lines.push_back(line.substr(0, cut));
        line = indent + line.substr(cut + 1);
    }
    lines.push_back(line);
    return lines;
}

std::string ManCommands()
{
    std::ostringstream out;
    for (const auto& [name, command] : CliCommands()) {
        out << ".SS " << name << "\n.nf\n";
        std::istringstream usage(command.usage);
        for (std::string line; std::getline(usage, line);) {
            // A form of the command starts its line; continuation lines start with blanks.
            const bool form = !line.empty() && line[0] != ' ';
            for (const std::string& part : FitNoFill(form ? "tonmira-cli " + line : line))
                out << Roff(part) << "\n";
        }
        out << ".fi\n";
        for (const CliOption& option : CommandTable(name).options) {
            out << ".TP\n\\fB\\-\\-" << Roff(option.name) << "\\fR";
            if (!option.arg.empty())
                out << " \\fI" << Roff(option.arg) << "\\fR";
            out << "\n" << Roff(option.help) << "\n";
        }
    }
    return out.str();
}

int WriteMan(const std::string& templatePath, const std::string& outPath)
{
    std::ifstream in(templatePath);
    if (!in) {
        std::fprintf(stderr, "tonmira-cli-docs: cannot read %s\n", templatePath.c_str());
        return 1;
    }
    std::ostringstream page;
    for (std::string line; std::getline(in, line);) {
        if (line == "@COMMANDS@")
            page << ManCommands();
        else if (auto at = line.find("@VERSION@"); at != std::string::npos)
            page << line.replace(at, 9, TONMIRA_VERSION) << "\n";
        else
            page << line << "\n";
    }
    std::ofstream out(outPath, std::ios::trunc);
    out << page.str();
    return out.good() ? 0 : 1;
}

const char* KindWord(CliValue value)
{
    switch (value) {
    case CliValue::None: return "none";
    case CliValue::Text: return "text";
    case CliValue::Choice: return "choice";
    case CliValue::InputFile: return "input";
    case CliValue::OutputFile: return "output";
    case CliValue::Directory: return "directory";
    case CliValue::Device: return "device";
    }
    return "text";
}

// The fixed part of the script: how each kind of value is completed, and the walk over the
// words typed so far. The per-command cases come after it.
const char kCompletionHead[] = R"BASH(# bash completion for tonmira-cli, written at build time from the program's option table.

# Completes $cur as a value of kind $1 (choice, input, output, directory, device, text) with $2:
# the choices, or the extensions of an input file.
_tonmira_cli_value()
{
    local kind=$1 values=$2 IFS=$'\n'
    case $kind in
    choice)
        COMPREPLY=($(IFS=' ' compgen -W "$values" -- "$cur")) ;;
    input)
        local restore pattern="" ext
        restore=$(shopt -p extglob)
        shopt -s extglob
        for ext in $(IFS=' '; printf '%s\n' $values); do pattern+="|$ext|${ext^^}"; done
        COMPREPLY=($(compgen -d -- "$cur") $(compgen -f -X "!*.@(${pattern#|})" -- "$cur"))
        eval "$restore"
        compopt -o filenames 2>/dev/null ;;
    output)
        COMPREPLY=($(compgen -f -- "$cur"))
        compopt -o filenames 2>/dev/null ;;
    directory)
        COMPREPLY=($(compgen -d -- "$cur"))
        compopt -o filenames 2>/dev/null ;;
    device)
        # Indices and names as the devices command lists them (tab-separated; index first,
        # name last), each quoted for the command line.
        local list
        list=$("${COMP_WORDS[0]}" devices 2>/dev/null | tail -n +2 | awk -F'\t' '{ print $1; print $NF }')
        COMPREPLY=($(compgen -W "$list" -- "$cur"))
        local i
        for i in "${!COMPREPLY[@]}"; do COMPREPLY[i]=$(printf '%q' "${COMPREPLY[i]}"); done ;;
    *)
        COMPREPLY=() ;;
    esac
}

_tonmira_cli()
{
    local cur=${COMP_WORDS[COMP_CWORD]} prev=
    (( COMP_CWORD > 0 )) && prev=${COMP_WORDS[COMP_CWORD-1]}
    # "--bits=1": bash splits at the "=", so the option is the word before it.
    if [[ $cur == = ]]; then
        cur=
    elif [[ $prev == = ]] && (( COMP_CWORD > 1 )); then
        prev=${COMP_WORDS[COMP_CWORD-2]}
    fi
    COMPREPLY=()
    if (( COMP_CWORD == 1 )); then
        COMPREPLY=($(compgen -W "$_tonmira_cli_commands --help --version" -- "$cur"))
        return
    fi
    local cmd=${COMP_WORDS[1]}
    if [[ $cmd == --version ]]; then
        COMPREPLY=($(compgen -W "--verbose" -- "$cur"))
        return
    fi
    local spec
    if [[ $prev == --* ]] && spec=$(_tonmira_cli_option "$cmd" "$prev"); then
        [[ $spec == none* ]] || { _tonmira_cli_value "${spec%% *}" "${spec#* }"; return; }
    fi
    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$(_tonmira_cli_options "$cmd") --help" -- "$cur"))
        return
    fi
    # Which operand is being typed: the words before it that are neither options nor their values.
    local i word operand=0
    for (( i = 2; i < COMP_CWORD; i++ )); do
        word=${COMP_WORDS[i]}
        if [[ $word == --* ]]; then
            spec=$(_tonmira_cli_option "$cmd" "$word") || continue
            if [[ ${COMP_WORDS[i+1]} == = ]]; then
                i=$((i + 2))
            elif [[ $spec != none* ]]; then
                i=$((i + 1))
            fi
        else
            operand=$((operand + 1))
        fi
    done
    spec=$(_tonmira_cli_operand "$cmd" "$operand") && _tonmira_cli_value "${spec%% *}" "${spec#* }"
}

)BASH";

int WriteCompletion(const std::string& outPath)
{
    std::ostringstream out;
    out << kCompletionHead;
    out << "_tonmira_cli_commands=\"";
    bool first = true;
    for (const auto& [name, command] : CliCommands()) {
        out << (first ? "" : " ") << name;
        first = false;
    }
    out << "\"\n\n";

    // Every option of a command, for "-" completion.
    out << "_tonmira_cli_options()\n{\n    case $1 in\n";
    for (const CliCommandTable& table : CliCommandTables()) {
        out << "    " << table.command << ") echo \"";
        for (std::size_t i = 0; i < table.options.size(); ++i)
            out << (i ? " " : "") << "--" << table.options[i].name;
        out << "\" ;;\n";
    }
    out << "    esac\n}\n\n";

    // The kind of an option's value and its words, "kind words"; false for an unknown option.
    out << "_tonmira_cli_option()\n{\n    case $1:$2 in\n";
    for (const CliCommandTable& table : CliCommandTables())
        for (const CliOption& option : table.options)
            out << "    " << table.command << ":--" << option.name << ") echo \"" << KindWord(option.value) << " "
                << option.values << "\" ;;\n";
    out << "    *) return 1 ;;\n    esac\n}\n\n";

    // The kind of operand N (from 0) of a command; false past the last one that does not repeat.
    out << "_tonmira_cli_operand()\n{\n    case $1 in\n";
    for (const CliCommandTable& table : CliCommandTables()) {
        out << "    " << table.command << ")\n        case $2 in\n";
        for (std::size_t i = 0; i < table.operands.size(); ++i) {
            const CliOperand& operand = table.operands[i];
            const bool last = i + 1 == table.operands.size();
            out << "        " << (last && operand.repeats ? "*" : std::to_string(i)) << ") echo \""
                << KindWord(operand.value) << " " << operand.values << "\" ;;\n";
        }
        out << "        *) return 1 ;;\n        esac ;;\n";
    }
    out << "    *) return 1 ;;\n    esac\n}\n\ncomplete -F _tonmira_cli tonmira-cli\n";

    std::ofstream file(outPath, std::ios::trunc);
    file << out.str();
    return file.good() ? 0 : 1;
}

}  // namespace

}  // namespace tonmira::cli

int main(int argc, char** argv)
{
    using namespace tonmira::cli;
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "man" && argc == 4)
        return WriteMan(argv[2], argv[3]);
    if (mode == "completion" && argc == 3)
        return WriteCompletion(argv[2]);
    std::fprintf(stderr, "usage: tonmira-cli-docs man TEMPLATE OUT | completion OUT\n");
    return 2;
}
