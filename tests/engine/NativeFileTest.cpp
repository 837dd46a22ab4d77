#include "files/SafeFileRead.h"
#include "files/SafeFileWrite.h"
#include "files/platform/NativeFile.h"
#include "support/TestHelpers.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

// What the platform layer promises the safe file code, on every system it is built for (the
// Windows build runs these under Wine).

using namespace kelvo;
using namespace kelvo::test;

namespace
{
juce::MemoryBlock bytesOf (const std::string& s)
{
    return {s.data(), s.size()};
}

juce::MemoryBlock readAll (NativeFile& in)
{
    juce::MemoryBlock all;
    char buffer[7]; // smaller than the files, so that reads are carried on
    for (;;)
    {
        const auto n = in.read (buffer, sizeof (buffer));
        if (n <= 0)
        {
            EXPECT_EQ (n, 0) << in.error();
            return all;
        }
        all.append (buffer, (size_t)n);
    }
}
} // namespace

TEST (NativeFile, OpensOnlyRegularFilesForReading)
{
    TempFolder t;
    const auto file = t.folder.getChildFile ("data.bin");
    ASSERT_TRUE (file.replaceWithData ("twenty-three bytes here", 23));
    t.folder.getChildFile ("folder").createDirectory();

    struct Case
    {
        juce::File file;
        NativeFile::Opened expected;
    };
    for (const auto& c :
         {Case{file, NativeFile::Opened::ok},
          Case{t.folder.getChildFile ("none"), NativeFile::Opened::missing},
          Case{t.folder.getChildFile ("no").getChildFile ("none"), NativeFile::Opened::missing},
          Case{t.folder.getChildFile ("folder"), NativeFile::Opened::notAFile}})
    {
        NativeFile in;
        EXPECT_EQ (in.openForReading (c.file), c.expected) << c.file.getFullPathName();
        EXPECT_EQ (in.isOpen(), c.expected == NativeFile::Opened::ok) << c.file.getFullPathName();
    }

    NativeFile in;
    ASSERT_EQ (in.openForReading (file), NativeFile::Opened::ok);
    EXPECT_EQ (in.getSize(), 23);
    EXPECT_EQ (readAll (in), bytesOf ("twenty-three bytes here"));
    EXPECT_TRUE (in.close());
}

TEST (NativeFile, MakesOnlyNewFilesAndSaysWhyNot)
{
    TempFolder t;
    const auto file = t.folder.getChildFile ("data.bin");
    NativeFile out;
    ASSERT_TRUE (out.createNew (file)) << out.error();
    EXPECT_TRUE (out.writeAll ("first", 5)) << out.error();
    EXPECT_TRUE (out.flushToDisk()) << out.error();
    EXPECT_TRUE (out.close()) << out.error();

    NativeFile again;
    EXPECT_FALSE (again.createNew (file));
    EXPECT_TRUE (again.error().isNotEmpty());
    EXPECT_EQ (file.loadFileAsString(), "first");

    juce::String why;
    EXPECT_FALSE (NativeFile::moveOver (t.folder.getChildFile ("none"), file, &why));
    EXPECT_TRUE (why.isNotEmpty());
    EXPECT_EQ (file.loadFileAsString(), "first");
}

TEST (NativeFile, ALockExcludesEveryOtherOpenFileUntilItIsClosed)
{
    TempFolder t;
    const auto lockFile = t.folder.getChildFile (".lock");
    NativeFile first, second;
    ASSERT_TRUE (first.openForLocking (lockFile)) << first.error();
    ASSERT_TRUE (second.openForLocking (lockFile)) << second.error();
    EXPECT_EQ (first.tryLock(), NativeFile::Lock::locked);
    EXPECT_EQ (second.tryLock(), NativeFile::Lock::busy); // in the same process too
    EXPECT_TRUE (first.close());
    EXPECT_EQ (second.tryLock(), NativeFile::Lock::locked);
}

// A reader that has the file open for a moment (another instance loading its banks, a virus
// scanner) does not make a save fail: on Linux the save replaces the name at once, on Windows it
// waits until the reader lets go. Either way the reader saw the old file whole.
TEST (SafeFileWrite, ASaveOutlastsAReaderThatHoldsTheFileForAMoment)
{
    TempFolder t;
    const auto target = t.folder.getChildFile ("banks.dat");
    ASSERT_TRUE (writeFileSafely (target, bytesOf ("the old contents")));

    NativeFile reader;
    ASSERT_EQ (reader.openForReading (target), NativeFile::Opened::ok);
    EXPECT_EQ (readAll (reader), bytesOf ("the old contents"));
    std::thread letGo (
        [&]
        {
            std::this_thread::sleep_for (std::chrono::milliseconds (100));
            reader.close();
        });
    juce::String why;
    EXPECT_TRUE (writeFileSafely (target, bytesOf ("the new contents, longer"), &why)) << why;
    letGo.join();

    const auto now = readFileSafely (target, 1024);
    ASSERT_TRUE (now.isOk()) << now.error;
    EXPECT_EQ (now.bytes, bytesOf ("the new contents, longer"));
    EXPECT_EQ (t.folder.getNumberOfChildFiles (juce::File::findFiles, "*"), 1);
}
