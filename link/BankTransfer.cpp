#include "link/BankTransfer.h"
#include "link/MIDI_PORTS_Control.h"
#include "link/MidiCntrState.h"
#include "model/ProgramPacking.h"

namespace kelvo
{
namespace
{
uint32_t nowMs() noexcept { return juce::Time::getMillisecondCounter(); }
constexpr int lastProgram = program::programsPerBank - 1;
} // namespace

BankTransfer::BankTransfer (MidiCntrState& e) : engine (e) {}

BankTransfer::~BankTransfer()
{
    stopTimer();
}

void BankTransfer::start (int newMode, int bank)
{
    end();
    if (bank < 0 || bank >= numUserBanks)
        return;

    switch (newMode)
    {
        case receiveBank:      mode = newMode; startReceive (bank); break;
        case receiveAllBanks:  mode = newMode; startReceive (0); break;
        case receiveFactoryBanks: mode = newMode; startReceive (numUserBanks); break;
        case transmitBank:     mode = newMode; startTransmit (bank, bank); break;
        case transmitAllBanks: mode = newMode; startTransmit (0, numUserBanks - 1); break;
        default: break;
    }
}

void BankTransfer::startReceive (int firstBank)
{
    {
        const std::lock_guard<std::mutex> sl (lock);
        expectedBank = firstBank;
        expectedProgram = 0;
        retries = 0;
        lastRequestMs = nowMs();
    }
    complete = false;
    chaining = true;
    receiving = true;
    startTimer (timerIntervalMs);
    engine.requestDump (sysex::requestProgram, firstBank, 0);
}

void BankTransfer::startTransmit (int firstBank, int lastBank)
{
    complete = false;
    chaining = true;
    receiving = false;

    if (! engine.isOutputOpen())
    {
        fail (firstBank, 0);
        return;
    }

    auto& sender = engine.getPorts().getSender();
    batch = sender.beginBatch();
    for (int b = firstBank; b <= lastBank; ++b)
    {
        const auto* bank = engine.getSynthBank (b);
        for (int p = 0; p <= lastProgram; ++p)
        {
            sender.sendSysEx (makeProgramDump (b, p, bank->getProgramRecord (p)), batch);
            sender.sendPause (timing.programStorePauseMs, batch);
            sender.sendMarker (event::bankProgramCode (event::bankTransferProgress, b, p), batch);
        }
    }
    sender.sendMarker (event::bankContentsChanged, batch);
    sender.sendMarker (event::bankTransferFinished, batch);
    startTimer (timerIntervalMs);
}

void BankTransfer::appendStateEvents (std::vector<int32_t>& dest) const
{
    if (! chaining.load())
        return;
    if (const auto progress = lastProgressEvent.load(); progress != 0)
        dest.push_back (progress);
    if (const auto failure = failureEvent.load(); failure != 0)
        dest.push_back (failure);
    if (complete.load())
        dest.push_back (event::bankTransferFinished);
}

void BankTransfer::end()
{
    stopTimer();
    lastProgressEvent = 0;
    failureEvent = 0;
    chaining = false;
    receiving = false;
    complete = false;
    mode = idle;
    if (batch != 0)
    {
        engine.getPorts().getSender().cancelBatch (batch);
        batch = 0;
    }
}

bool BankTransfer::takeProgramDump (int bank, int programNumber, const ProgramRecord& record)
{
    if (! receiving.load())
        return false;

    auto* target = engine.getSynthBank (bank);
    if (target == nullptr)
        return false;
    target->setProgram (programNumber, record);

    if (! chaining.load() || complete.load())
        return true;

    int nextBank = -1, nextProgram = 0;
    bool finished = false;
    {
        const std::lock_guard<std::mutex> sl (lock);
        // Only the reply we asked for moves the chain on; a late answer to an earlier request is
        // stored but must not start a second chain.
        if (bank != expectedBank || programNumber != expectedProgram)
            return true;

        if (programNumber < lastProgram)
        {
            nextBank = bank;
            nextProgram = programNumber + 1;
        }
        else if ((mode.load() == receiveAllBanks && bank < numUserBanks - 1)
                 || (mode.load() == receiveFactoryBanks && bank < numSynthBanks - 1))
        {
            nextBank = bank + 1;
        }
        else
        {
            finished = true;
        }

        if (nextBank >= 0)
        {
            expectedBank = nextBank;
            expectedProgram = nextProgram;
            retries = 0;
            lastRequestMs = nowMs();
        }
    }

    lastProgressEvent = event::bankProgramCode (event::bankTransferProgress, bank, programNumber);
    engine.postEvent (lastProgressEvent.load());

    if (nextBank >= 0)
    {
        engine.requestDump (sysex::requestProgram, nextBank, nextProgram);
    }
    else if (finished)
    {
        complete = true;
        // A host that crashes later must not lose what was received.
        if (mode.load() == receiveFactoryBanks)
            engine.factoryBanksReplaced (true);
        else
            engine.saveBankData();
        engine.bankContentsChanged();
        engine.postEvent (event::bankTransferFinished);
    }
    return true;
}

void BankTransfer::noteInputActivity() noexcept
{
    lastActivityMs.store (nowMs(), std::memory_order_relaxed);
}

void BankTransfer::timerCallback()
{
    if (! chaining.load() || complete.load())
        return;

    if (! receiving.load())
    {
        // A transmission can only stall if its output went away.
        if (! engine.isOutputOpen())
            fail (0, 0);
        return;
    }

    int bank, programNumber;
    bool retry = false;
    {
        const std::lock_guard<std::mutex> sl (lock);
        const auto now = nowMs();
        const auto lastSign = juce::jmax (lastRequestMs, lastActivityMs.load (std::memory_order_relaxed));
        if (now - lastSign < (uint32_t) timing.replySilenceTimeoutMs)
            return;

        bank = expectedBank;
        programNumber = expectedProgram;
        if (retries < maxRetries)
        {
            ++retries;
            lastRequestMs = now;
            retry = true;
        }
    }

    if (retry)
        engine.requestDump (sysex::requestProgram, bank, programNumber);
    else
        fail (bank, programNumber);
}

void BankTransfer::fail (int bank, int programNumber)
{
    stopTimer();
    complete = true;
    failureEvent = event::bankProgramCode (event::bankTransferFailed, bank, programNumber);
    engine.postEvent (failureEvent.load());
    if (receiving.load())
    {
        if (mode.load() == receiveFactoryBanks)
            engine.saveFactoryBankData();
        else
            engine.saveBankData();
        engine.bankContentsChanged();
    }
    engine.postEvent (event::bankTransferFinished);
}

} // namespace kelvo
