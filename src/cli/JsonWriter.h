#pragma once
// A JSON document written value by value, for the --json forms of the commands. Commas and
// nesting are kept track of here; strings are escaped (and bytes that are not UTF-8 replaced),
// numbers are written as numbers, and a number that is not finite as null, which JSON has
// instead of NaN and infinity.
#include <string>
#include <string_view>
#include <vector>

namespace tonmira::cli {

class JsonWriter {
public:
    JsonWriter& BeginObject();
    JsonWriter& EndObject();
    JsonWriter& BeginArray();
    JsonWriter& EndArray();
    // The name of the next member of the open object.
    JsonWriter& Key(std::string_view name);
    JsonWriter& String(std::string_view text);
    JsonWriter& Integer(long long value);
    // The shortest text that reads back as the same double.
    JsonWriter& Number(double value);
    // The shortest text that reads back as the same float (0.1f as 0.1, as the text forms show it).
    JsonWriter& Number(float value);
    JsonWriter& Bool(bool value);
    JsonWriter& Null();

    // The document so far, with a final newline.
    std::string Text() const { return m_text + "\n"; }

private:
    void BeforeValue();
    template <typename Real>
    JsonWriter& Shortest(Real value);

    std::string m_text;
    std::vector<bool> m_first;  // per open object or array: nothing written in it yet
    bool m_afterKey = false;
};

}  // namespace tonmira::cli
