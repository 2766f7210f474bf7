// The JSON of the --json forms stays valid whatever the strings and numbers hold.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "cli/JsonWriter.h"

using tonmira::cli::JsonWriter;

TEST(JsonWriter, NestingStringsAndNumbersThatJsonCannotHold)
{
    JsonWriter json;
    json.BeginObject()
        .Key("name").String("a \"b\"\\ \t\x01 \xe9\x9b\xa8")  // quotes, controls, UTF-8 kept
        .Key("latin-1").String("caf\xe9 \xff")                  // not UTF-8: replaced, not copied
        .Key("cut").String("\xe9\x9b")                          // a sequence cut short
        .Key("surrogate").String("\xed\xa0\x80")               // UTF-16's, not a character
        .Key("list").BeginArray().Integer(-3).Number(0.1).Number(0.1f).BeginArray().EndArray().Bool(true).EndArray()
        .Key("nan").Number(std::nan(""))
        .Key("inf").Number(std::numeric_limits<float>::infinity())
        .Key("empty").BeginObject().EndObject()
        .EndObject();
    EXPECT_EQ(json.Text(),
              "{\"name\":\"a \\\"b\\\"\\\\ \\u0009\\u0001 \xe9\x9b\xa8\",\"latin-1\":\"caf\\ufffd \\ufffd\","
              "\"cut\":\"\\ufffd\\ufffd\",\"surrogate\":\"\\ufffd\\ufffd\\ufffd\","
              "\"list\":[-3,0.1,0.1,[],true],\"nan\":null,\"inf\":null,\"empty\":{}}\n");
}
