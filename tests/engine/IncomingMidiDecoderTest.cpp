#include "link/IncomingMidiDecoder.h"
#include "model/ParameterTable.h"
#include "model/ProgramPacking.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace kelvo;

namespace
{
// Writes down every report as one line of text.
struct DecoderLog final : IncomingMidiDecoder::Sink
{
    std::vector<std::string> reports;
    std::vector<uint8_t> globals;
    ProgramRecord lastRecord{};

    void add (std::string s) { reports.push_back (std::move (s)); }
    static std::string n (int v) { return std::to_string (v); }

    void pitchWheelArrived (int channel, int lsb, int msb) override
    {
        add ("pitch " + n (channel) + " " + n (lsb) + " " + n (msb));
    }
    void modWheelArrived (int channel, int value) override { add ("mod " + n (channel) + " " + n (value)); }
    void programChangeArrived (int program) override { add ("program " + n (program)); }
    void bankSelectArrived (int bank) override { add ("bank " + n (bank)); }
    void parameterArrived (int index, int value) override
    {
        add ("parameter " + n (index) + " " + n (value));
    }
    void globalArrived (int index, uint8_t value) override { add ("global " + n (index) + " " + n (value)); }
    void sysExArriving() override { add ("arriving"); }
    void sysExTooLong() override { add ("too long"); }
    void programDumpArrived (int bank, int program, const ProgramRecord& record) override
    {
        lastRecord = record;
        add ("program dump " + n (bank) + " " + n (program));
    }
    void editBufferDumpArrived (const ProgramRecord& record) override
    {
        lastRecord = record;
        add ("edit buffer dump");
    }
    void globalBlockArrived (const uint8_t* values, int count) override
    {
        globals.assign (values, values + count);
        add ("global dump " + n (count));
    }
};

class IncomingMidiDecoderTest : public ::testing::Test
{
protected:
    void send (std::vector<uint8_t> bytes) { decoder.decode (bytes.data(), (int)bytes.size()); }
    void send (const juce::MemoryBlock& block)
    {
        decoder.decode (static_cast<const uint8_t*> (block.getData()), (int)block.getSize());
    }

    void sendNrpn (int channel, int number, int value)
    {
        const auto status = (uint8_t)(0xb0 + channel - 1);
        send ({status, 99, (uint8_t)(number / 128)});
        send ({status, 98, (uint8_t)(number % 128)});
        send ({status, 6, (uint8_t)(value / 128)});
        send ({status, 38, (uint8_t)(value % 128)});
    }

    std::vector<std::string> take() { return std::exchange (sink.reports, {}); }

    ParameterTable table;
    DecoderLog sink;
    IncomingMidiDecoder decoder{table, sink};
};

ProgramRecord distinctRecord()
{
    ProgramRecord r{};
    for (size_t i = 0; i < r.size(); ++i)
        r[i] = (uint8_t)((i * 7 + 3) & 0x7f);
    return r;
}

using Reports = std::vector<std::string>;
} // namespace

// An NRPN is complete on its data LSB: below 200 through the table, 200..379 through the table with
// the offset, from 380 through the global map (numbers outside it do nothing); a value that is no
// byte is no parameter value.
TEST_F (IncomingMidiDecoderTest, CompletedNrpnsBecomeParameterOrGlobalValues)
{
    struct Case
    {
        int channel, number, value;
        Reports expected;
    };
    const Case cases[] = {
        {1, 20, 100, {"parameter 25 100"}},  // NRPN 20 is parameter 25
        {16, 20, 100, {"parameter 25 100"}}, // any channel
        {3, 220, 7, {"parameter 225 7"}},    // the upper range: the table's entry for 20, plus 200
        {1, 384, 5, {"global 0 5"}},
        {1, 393, 1, {"global 15 1"}},
        {1, 414, 2, {"global 18 2"}},
        {1, 392, 1, {}}, // not in the map
        {1, 500, 1, {}},
        {1, 20, 255, {"parameter 25 255"}},
        {1, 20, 256, {}}, // would spill into the index when queued
    };
    for (const auto& c : cases)
    {
        sendNrpn (c.channel, c.number, c.value);
        EXPECT_EQ (take(), c.expected) << "NRPN " << c.number << " = " << c.value;
    }
}

// The registers are never reset: a data MSB alone does nothing, a data LSB alone completes an NRPN
// with the number and MSB that came last.
TEST_F (IncomingMidiDecoderTest, ADataLsbAloneCompletesWithTheRegistersOldContents)
{
    sendNrpn (1, 20, 130);
    take();
    send ({0xb0, 6, 0});
    EXPECT_TRUE (take().empty());
    send ({0xb5, 38, 9});
    EXPECT_EQ (take(), Reports{"parameter 25 9"});
    send ({0xb0, 98, 21});
    send ({0xb0, 38, 10});
    EXPECT_EQ (take(), Reports{"parameter " + std::to_string (table.nrpnToIndex (21)) + " 10"});
}

TEST_F (IncomingMidiDecoderTest, ChannelMessagesAreReportedOrIgnoredByKind)
{
    struct Case
    {
        std::vector<uint8_t> message;
        Reports expected;
    };
    const Case cases[] = {
        {{0x90, 60, 100}, {}}, // notes: nothing
        {{0x80, 60, 0}, {}},
        {{0xe2, 0x11, 0x40}, {"pitch 3 17 64"}},
        {{0xbf, 1, 90}, {"mod 16 90"}},
        {{0xc4, 10}, {"program 10"}},
        {{0xb0, 32, 0}, {"bank 0"}},
        {{0xb0, 32, 7}, {"bank 7"}},
        {{0xb0, 32, 8}, {}},  // names no synth bank
        {{0xb0, 7, 100}, {}}, // volume: not ours
        {{0xd0, 5}, {}},
        {{0xf8}, {}}, // clock, with no SysEx being collected
    };
    for (const auto& c : cases)
    {
        send (c.message);
        EXPECT_EQ (take(), c.expected) << "status " << (int)c.message[0];
    }
}

// A SysEx that arrives in pieces is put together and dispatched once; every piece counts as the synth
// answering. Dumps for a bank we do not have, or of the wrong length, and identity replies are no dumps.
TEST_F (IncomingMidiDecoderTest, SysExIsAssembledFromPiecesAndDispatchedByKind)
{
    const auto record = distinctRecord();
    const auto dump = makeProgramDump (2, 77, record);
    const auto* bytes = static_cast<const uint8_t*> (dump.getData());
    decoder.decode (bytes, 100);
    decoder.decode (bytes + 100, (int)dump.getSize() - 100);
    EXPECT_EQ (take(), (Reports{"arriving", "arriving", "program dump 2 77"}));
    EXPECT_EQ (sink.lastRecord, record);

    send (makeEditBufferDump (record));
    EXPECT_EQ (take(), (Reports{"arriving", "edit buffer dump"}));

    auto wrongBank = makeProgramDump (0, 1, record);
    static_cast<uint8_t*> (wrongBank.getData())[sysex::programDumpBankOffset] = 8;
    send (wrongBank);
    auto shortDump = makeProgramDump (0, 1, record);
    shortDump.removeSection (10, 1);
    send (shortDump);
    send ({0xf0, 0x7e, 0x00, 0x06, 0x02, 0x01, 0x29, 0x00, 0xf7}); // identity reply
    send ({0xf0, 0x01, 0x28, 0x02, 0x00, 0x00, 0xf7});             // another device
    EXPECT_EQ (take(), (Reports{"arriving", "arriving", "arriving", "arriving"}));

    // A message that never ends is dropped once it outgrows the buffer.
    send ({0xf0, 0x01, 0x29, 0x02});
    const std::vector<uint8_t> run (SysExAssembler::maxMessageSize, 0x11);
    send (run);
    EXPECT_EQ (take(), (Reports{"arriving", "too long"}));
}

// Pairs count while both their bytes come before the final F7, and no more than the block holds.
TEST_F (IncomingMidiDecoderTest, TheGlobalDumpGivesOneByteForEveryWholeNibblePair)
{
    std::vector<uint8_t> dump{0xf0, 0x01, 0x29, 0x0f, 0x05, 0x01, 0x0f, 0x0f, 0x03};
    dump.push_back (0xf7);
    send (dump);
    EXPECT_EQ (take(), (Reports{"arriving", "global dump 2"}));
    EXPECT_EQ (sink.globals, (std::vector<uint8_t>{0x15, 0xff}));

    std::vector<uint8_t> longDump{0xf0, 0x01, 0x29, 0x0f};
    for (int k = 0; k < 120; ++k)
    {
        longDump.push_back ((uint8_t)(k % 16));
        longDump.push_back (1);
    }
    longDump.push_back (0xf7);
    send (longDump);
    EXPECT_EQ (take(), (Reports{"arriving", "global dump 100"}));
    ASSERT_EQ (sink.globals.size(), 100u);
    EXPECT_EQ (sink.globals[99], 16 + 99 % 16);
}
