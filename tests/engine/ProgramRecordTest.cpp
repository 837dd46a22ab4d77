#include "model/Bank_Program.h"
#include "model/DSI_Program.h"
#include "model/PluginChunks.h"

#include <gtest/gtest.h>

using namespace kelvo;

namespace
{
ProgramRecord patternedRecord (int seed)
{
    ProgramRecord r;
    for (size_t i = 0; i < r.size(); ++i)
        r[i] = (uint8_t) ((i * 7 + (size_t) seed * 13) & 0xff);
    return r;
}
} // namespace

TEST (ProgramRecord, InitialProgram)
{
    const auto& r = initialProgram();
    EXPECT_EQ (r[0], 24);
    EXPECT_EQ (r[20], 148);
    EXPECT_EQ (r[114], 23);
    EXPECT_EQ (r[117], 0);
    EXPECT_EQ (r[200], 16);
    EXPECT_EQ (r[203], 128);
    EXPECT_EQ (r[253], 16);
    EXPECT_EQ (r[255], 0);
    EXPECT_EQ (decodeProgramName (r.data() + 184, 16), "Untitled        ");

    int nonZeroParameters = 0;
    for (int i = 0; i < 184; ++i)
        nonZeroParameters += r[(size_t) i] != 0 ? 1 : 0;
    EXPECT_EQ (nonZeroParameters, 44);
}

TEST (ProgramRecord, NameEncoding)
{
    DSI_Program p;
    p.setName ("Bass");
    EXPECT_EQ (p.getName(), "Bass            ");

    p.setName ("ABCDEFGHIJKLMNOPQRSTUVWX");
    EXPECT_EQ (p.getName(), "ABCDEFGHIJKLMNOP");

    p.setName (juce::String (juce::CharPointer_UTF8 ("Caf\xc3\xa9 \xe2\x82\xac")));
    EXPECT_EQ (p.getName(), "Caf             "); // é (233) and € are above 159: spaces
    EXPECT_EQ (p.getRecord()[184 + 3], 32);
    EXPECT_EQ (p.getRecord()[184 + 5], 32); // the euro sign became a space

    const uint8_t withZeros[] = { 'A', 0, 'B', 0 };
    EXPECT_EQ (decodeProgramName (withZeros, 4), "AB");
}

TEST (ProgramRecord, ShortDataReadsAsZeros)
{
    DSI_Program p;
    const uint8_t bytes[] = { 1, 2, 3 };
    p.setData (juce::MemoryBlock (bytes, 3));
    EXPECT_EQ (p.data.getSize(), 3u);
    const auto full = p.getRecord();
    EXPECT_EQ (full[2], 3);
    EXPECT_EQ (full[3], 0);
    EXPECT_EQ (full[255], 0);
}

TEST (BankProgram, InitialisedAndEmptyBanks)
{
    Bank_Program bank ("Program Bank U1");
    EXPECT_EQ (bank.getSize(), 0);
    EXPECT_EQ (bank.getProgram (3).getSize(), 0u);
    EXPECT_EQ (bank.getProgramName (3), "");

    bank.initialise();
    EXPECT_EQ (bank.getSize(), 32768);
    for (int n : { 0, 64, 127 })
    {
        EXPECT_EQ (bank.getProgramName (n), "Untitled        ");
        EXPECT_EQ (bank.getProgramByte (n, 117), 0);
    }
    EXPECT_EQ (bank.getEditBufferName(), "Untitled        ");
    EXPECT_EQ (bank.getProgram (-5), bank.getProgram (0));
    EXPECT_EQ (bank.getProgram (128).getSize(), 0u);
}

TEST (BankProgram, ProgramsEditBufferAndStore)
{
    Bank_Program bank ("B");
    bank.initialise();

    const auto r = patternedRecord (3);
    bank.setProgram (5, r);
    EXPECT_EQ (bank.getProgramRecord (5), r);
    EXPECT_EQ (bank.getProgramRecord (4), initialProgram());
    EXPECT_EQ (bank.getProgramRecord (6), initialProgram());

    bank.setProgramName (5, "Lead");
    EXPECT_EQ (bank.getProgramName (5), "Lead            ");

    const uint8_t shortBlock[] = { 9, 8, 7 };
    bank.setEditBuffer (shortBlock, 3);
    const auto edit = bank.getEditBufferRecord();
    EXPECT_EQ (edit[0], 9);
    EXPECT_EQ (edit[3], 0);

    bank.setEditBuffer (patternedRecord (9));
    EXPECT_EQ (toRecord (bank.storeEditBuffer (7)), patternedRecord (9));
    EXPECT_EQ (bank.getProgramRecord (7), patternedRecord (9));
}

TEST (BankProgram, WritesPastTheEndAppend)
{
    Bank_Program bank ("B");
    const auto r = patternedRecord (1);
    bank.setProgram (5, r); // an empty bank: the bytes land at the end, which is program 0
    EXPECT_EQ (bank.getSize(), 256);
    EXPECT_EQ (bank.getProgramRecord (0), r);

    for (int n = 1; n < 128; ++n)
        bank.setProgram (n, patternedRecord (n + 1));
    EXPECT_EQ (bank.getSize(), 32768);
    bank.setProgram (127, patternedRecord (500));
    EXPECT_EQ (bank.getProgramRecord (127), patternedRecord (500));
    bank.setProgram (128, patternedRecord (501)); // a full bank never grows
    EXPECT_EQ (bank.getSize(), 32768);
}

TEST (PluginChunks, RoundTripsAndHeaders)
{
    const auto record = patternedRecord (4);
    const auto programChunk = makeProgramChunk (record);
    ASSERT_EQ (programChunk.getSize(), 285u);
    EXPECT_EQ (juce::String::fromUTF8 (static_cast<const char*> (programChunk.getData()), 29),
               "KelvoPluginSettingsVersion100");
    EXPECT_EQ (readProgramChunk (programChunk.getData(), programChunk.getSize()), record);

    // Any ten bytes may stand where the version is.
    auto otherVersion = programChunk;
    std::memcpy (static_cast<char*> (otherVersion.getData()) + 19, "XXXXXXXXXX", 10);
    EXPECT_EQ (readProgramChunk (otherVersion.getData(), otherVersion.getSize()), record);

    auto wrongHeader = programChunk;
    static_cast<char*> (wrongHeader.getData())[0] = 'k';
    EXPECT_FALSE (readProgramChunk (wrongHeader.getData(), wrongHeader.getSize()).has_value());
    EXPECT_FALSE (readProgramChunk (programChunk.getData(), 284).has_value());
    EXPECT_FALSE (readProgramChunk (nullptr, 0).has_value());

    juce::MemoryBlock programs;
    for (int n = 0; n < 128; ++n)
        programs.append (patternedRecord (n).data(), 256);

    const auto plain = makeBankChunk (programs);
    ASSERT_EQ (plain.getSize(), 32793u);
    const auto readPlain = readBankChunk (plain.getData(), plain.getSize());
    ASSERT_TRUE (readPlain.has_value());
    EXPECT_EQ (readPlain->programs, programs);
    EXPECT_FALSE (readPlain->session.has_value());
    EXPECT_FALSE (readBankChunk (plain.getData(), 32792).has_value());

    SessionState session { 17, patternedRecord (77) };
    const auto withSession = makeBankChunk (programs, &session);
    ASSERT_EQ (withSession.getSize(), 32793u + 272u);
    const auto readBack = readBankChunk (withSession.getData(), withSession.getSize());
    ASSERT_TRUE (readBack.has_value() && readBack->session.has_value());
    EXPECT_EQ (readBack->programs, programs);
    EXPECT_EQ (readBack->session->currentProgram, 17);
    EXPECT_EQ (readBack->session->editBuffer, patternedRecord (77));

    // A cut trailer is ignored; the bank still loads.
    const auto cut = readBankChunk (withSession.getData(), withSession.getSize() - 1);
    ASSERT_TRUE (cut.has_value());
    EXPECT_FALSE (cut->session.has_value());
}
