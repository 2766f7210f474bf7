// A load can be called off from another thread (the window closing while a long file is read):
// it ends without a take and without a message, and the next load works once the flag is down.
#include <gtest/gtest.h>

#include <string>

#include "TestUtil.h"
#include "base/MessageSink.h"
#include "doc/DocTestUtil.h"
#include "doc/TonmiraDoc.h"
#include "doc/WmaImport.h"

using namespace tonmira;
using namespace tonmira::test;

TEST(LoadCancel, ACancelledLoadEndsSilentlyWithoutATake)
{
    TempDir dir;
    WavBytes pcm;
    pcm.data = std::string(4000, '\x01');
    WavBytes wide = pcm;  // 24-bit: decoded by FFmpeg
    wide.bits = 24;
    wide.data = std::string(6000, '\x01');
    WriteFileBytes(dir.File("pcm.wav"), pcm.Build());
    WriteFileBytes(dir.File("wide.wav"), wide.Build());
    WriteFileBytes(dir.File("take.txt"), "1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n11\n12\n13\n14\n15\n16\n17\n");

    for (const char* name : {"pcm.wav", "wide.wav", "take.txt"}) {
        CapturingMessageSink sink;
        CTonmiraDoc doc(sink);
        ScriptedPrompt prompt(8000, 0);
        doc.m_pFormatPrompt = &prompt;
        doc.m_bCancelLoad.store(true);
        EXPECT_EQ(doc.OnOpenDocument(dir.File(name)), 0) << name;
        EXPECT_FALSE(doc.HasTake()) << name;
        EXPECT_TRUE(sink.m_messages.empty()) << name << ": " << sink.m_messages.front();
        doc.m_bCancelLoad.store(false);
        EXPECT_EQ(doc.OnOpenDocument(dir.File(name)), 1) << name;
        EXPECT_TRUE(doc.HasTake()) << name;
    }
    // The decoder itself stops too, not only the file's first reads.
    CapturingMessageSink sink;
    CTonmiraDoc doc(sink);
    doc.m_strFileName = dir.File("wide.wav");
    doc.m_bCancelLoad.store(true);
    EXPECT_EQ(LoadDecodedFile(doc, "wav"), 0);
    EXPECT_FALSE(doc.HasTake());
    doc.m_bCancelLoad.store(false);
    EXPECT_EQ(LoadDecodedFile(doc, "wav"), 1);
}
