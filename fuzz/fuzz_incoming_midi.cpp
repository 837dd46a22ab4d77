// Everything the synth could send: an arbitrary byte stream, cut into arbitrary MIDI messages, into
// the incoming-MIDI decoder, with bank receives started and stopped along the way, runaway SysEx,
// partial-SysEx notices, and the late reply of a cancelled receive (which must change neither the
// edit buffer nor the current program). Every report of the decoder is checked against what its
// sink is promised, then handed on to the engine, which is checked too.
#include "FuzzCheck.h"
#include "link/BankTransfer.h"
#include "link/IncomingMidiDecoder.h"
#include "link/MidiCntrState.h"
#include "link/VirtualMidiDevices.h"
#include "model/ProgramPacking.h"
#include "model/SynthBanks.h"

#include <juce_events/juce_events.h>

#include <vector>

namespace
{
// Checks each report against the sink's contract, then passes it to the engine.
struct CheckingSink final : kelvo::IncomingMidiDecoder::Sink
{
    explicit CheckingSink (kelvo::IncomingMidiDecoder::Sink& engineSink) : engine (engineSink) {}

    static bool isChannel (int c) { return c >= 1 && c <= 16; }
    static bool isDataByte (int v) { return v >= 0 && v < 128; }

    void pitchWheelArrived (int channel, int lsb, int msb) override
    {
        FUZZ_CHECK (isChannel (channel) && isDataByte (lsb) && isDataByte (msb));
        engine.pitchWheelArrived (channel, lsb, msb);
    }
    void modWheelArrived (int channel, int value) override
    {
        FUZZ_CHECK (isChannel (channel) && isDataByte (value));
        engine.modWheelArrived (channel, value);
    }
    void programChangeArrived (int program) override
    {
        FUZZ_CHECK (isDataByte (program));
        engine.programChangeArrived (program);
    }
    void bankSelectArrived (int bank) override
    {
        FUZZ_CHECK (bank >= 0 && bank < kelvo::synthbanks::numSynthBanks);
        engine.bankSelectArrived (bank);
    }
    void parameterArrived (int index, int value) override
    {
        FUZZ_CHECK (index >= 0 && index < 512 && value >= 0 && value <= 255);
        engine.parameterArrived (index, value);
    }
    void globalArrived (int index, uint8_t value) override
    {
        FUZZ_CHECK (index >= 0 && index < kelvo::globals::blockSize);
        engine.globalArrived (index, value);
    }
    void sysExArriving() override { engine.sysExArriving(); }
    void sysExTooLong() override { engine.sysExTooLong(); }
    void programDumpArrived (int bank, int program, const kelvo::ProgramRecord& record) override
    {
        FUZZ_CHECK (bank >= 0 && bank < kelvo::synthbanks::numSynthBanks && isDataByte (program));
        engine.programDumpArrived (bank, program, record);
    }
    void editBufferDumpArrived (const kelvo::ProgramRecord& record) override { engine.editBufferDumpArrived (record); }
    void globalBlockArrived (const uint8_t* values, int count) override
    {
        FUZZ_CHECK (values != nullptr && count >= 0 && count <= kelvo::globals::blockSize);
        engine.globalBlockArrived (values, count);
    }

    kelvo::IncomingMidiDecoder::Sink& engine;
};

struct Rig
{
    juce::File folder = juce::File::createTempFile ("kelvo-fuzz-incoming");
    kelvo::Bank_Program pluginBank { "Program Bank" };
    std::unique_ptr<kelvo::MidiCntrState> engine;

    Rig()
    {
        juce::MessageManager::getInstance();
        folder.createDirectory();
        auto devices = std::make_unique<kelvo::VirtualMidiDevices>();
        devices->addOutput ("Sink", [] (const juce::MidiMessage&) {});
        engine = std::make_unique<kelvo::MidiCntrState> (std::move (devices), folder);
        pluginBank.initialise();
        engine->setPluginBank (&pluginBank);
        engine->selectOutputRow (1); // so that chained requests are really sent
        sink = std::make_unique<CheckingSink> (*engine);
        decoder = std::make_unique<kelvo::IncomingMidiDecoder> (engine->getTable(), *sink);
    }

    std::unique_ptr<CheckingSink> sink;
    std::unique_ptr<kelvo::IncomingMidiDecoder> decoder;
};

Rig& rig()
{
    static Rig instance;
    return instance;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    auto& engine = *rig().engine;
    auto& decoder = *rig().decoder;
    std::vector<int32_t> values;

    for (size_t pos = 0; pos < size;)
    {
        const auto control = data[pos++];
        if (control == 0xff)
        {
            engine.startBankTransfer ((pos % 2) == 0 ? kelvo::BankTransfer::receiveBank : kelvo::BankTransfer::receiveAllBanks,
                                      (int) (pos % 4));
            continue;
        }
        if (control == 0xfe)
        {
            engine.endBankTransfer();
            continue;
        }
        if (control == 0xfd)
        {
            // A receive cancelled at once; its first request's reply arrives afterwards.
            const auto bank = (int) (pos % 4);
            engine.startBankTransfer (kelvo::BankTransfer::receiveBank, bank);
            engine.endBankTransfer();
            auto& pluginBank = rig().pluginBank;
            const auto editBuffer = pluginBank.getEditBufferRecord();
            const auto current = std::pair (engine.getCurrentSynthBank(), engine.getCurrentSynthProgram());
            const auto stored = engine.getSynthBank (bank)->getProgramRecord (0);

            auto record = kelvo::initialProgram();
            record[20] = (uint8_t) (pos < size ? data[pos] : 0);
            const auto reply = kelvo::makeProgramDump (bank, 0, record);
            decoder.decode (static_cast<const uint8_t*> (reply.getData()), (int) reply.getSize());

            FUZZ_CHECK (pluginBank.getEditBufferRecord() == editBuffer);
            FUZZ_CHECK (std::pair (engine.getCurrentSynthBank(), engine.getCurrentSynthProgram()) == current);
            FUZZ_CHECK (engine.getSynthBank (bank)->getProgramRecord (0) == stored);
            continue;
        }
        if (control == 0xfc)
        {
            // A long run of data bytes: continues (and soon overruns) a SysEx being collected.
            const std::vector<uint8_t> run (1024, 0x11);
            decoder.decode (run.data(), (int) run.size());
            continue;
        }
        if (control == 0xfb)
        {
            engine.handlePartialSysexMessage (nullptr, data + pos, (int) (size - pos), 0.0);
            continue;
        }

        const auto length = juce::jmin ((size_t) (control % 64) + 1, size - pos);
        if (length == 0)
            break;
        decoder.decode (data + pos, (int) length);
        pos += length;
    }

    FUZZ_CHECK (engine.getCurrentSynthBank() >= 0 && engine.getCurrentSynthBank() < kelvo::synthbanks::numSynthBanks);
    FUZZ_CHECK (engine.getCurrentSynthProgram() >= 0 && engine.getCurrentSynthProgram() < 128);

    // Queued parameter values are whole: an index the processor can tell from its value.
    engine.takeParameterValues (values);
    for (auto entry : values)
    {
        FUZZ_CHECK (entry >= 0);
        FUZZ_CHECK (entry % 4096 <= 255);
        FUZZ_CHECK (entry / 4096 < 512);
    }

    for (int b = 0; b < kelvo::synthbanks::numSynthBanks; ++b)
        FUZZ_CHECK (engine.getSynthBank (b)->getSize() == 128 * 256);
    engine.endBankTransfer();
    return 0;
}
