#include "link/BankTransfer.h"
#include "link/EngineEventHub.h"
#include "link/MidiSender.h"
#include "link/SynthMemory.h"
#include "model/ProgramPacking.h"
#include "model/SynthBanks.h"

#include <algorithm>

namespace kelvo
{
namespace
{
uint32_t nowMs() noexcept { return juce::Time::getMillisecondCounter(); }
constexpr int lastProgram = program::programsPerBank - 1;
} // namespace

BankTransfer::BankTransfer (SynthMemory& synthMemory, EngineEventHub& eventHub, MidiSender& midiSender)
    : memory (synthMemory), hub (eventHub), sender (midiSender)
{
}

BankTransfer::~BankTransfer()
{
    stopTimer();
}

void BankTransfer::start (int newMode, int bank)
{
    end();
    if (bank < 0 || bank >= synthbanks::numUserBanks)
        return;

    switch (newMode)
    {
        case receiveBank:      mode = newMode; startReceive (bank); break;
        case receiveAllBanks:  mode = newMode; startReceive (0); break;
        case receiveFactoryBanks: mode = newMode; startReceive (synthbanks::numUserBanks); break;
        case transmitBank:     mode = newMode; startTransmit (bank, bank); break;
        case transmitAllBanks: mode = newMode; startTransmit (0, synthbanks::numUserBanks - 1); break;
        default: break;
    }
}

void BankTransfer::requestProgram (int bank, int programNumber)
{
    sender.sendSysEx (makeDumpRequest (sysex::requestProgram, bank, programNumber));
}

void BankTransfer::startReceive (int firstBank)
{
    {
        const std::lock_guard<std::mutex> sl (lock);
        awaitReply (firstBank, 0);
    }
    complete = false;
    phase = Phase::receiving;
    startTimer (timerIntervalMs);
    requestProgram (firstBank, 0);
}

void BankTransfer::backUp (std::vector<Location> programs, std::function<void()> then)
{
    std::vector<Location> unread;
    for (const auto& l : programs)
        if (l.bank >= 0 && l.bank < synthbanks::numUserBanks && l.program >= 0 && l.program <= lastProgram
            && ! memory.wasReadFromSynth (l.bank, l.program))
            unread.push_back (l);
    if (unread.empty())
    {
        if (then != nullptr)
            then();
        return;
    }
    readPrograms (std::move (unread), true,
                  [then = std::move (then)] (const std::vector<ReadProgram>& got)
                  {
                      if (! got.empty() && then != nullptr)
                          then();
                  });
}

void BankTransfer::readPrograms (std::vector<Location> programs, bool beforeWrite,
                                 std::function<void (const std::vector<ReadProgram>&)> then)
{
    programs.erase (std::remove_if (programs.begin(), programs.end(),
                                    [] (const Location& l) {
                                        return l.bank < 0 || l.bank >= synthbanks::numSynthBanks || l.program < 0
                                               || l.program > lastProgram;
                                    }),
                    programs.end());
    if (programs.empty())
        return;
    if (phase.load() != Phase::idle && ! complete.load())
    {
        // The synth answers one transfer at a time.
        hub.postNotice ("A transfer with the synth is running: nothing was asked for or written. "
                        "Try again when it has finished.");
        return;
    }

    const auto first = programs.front();
    backupBeforeWrite = beforeWrite;
    afterBackup = std::move (then);
    if (! sender.isRunning())
    {
        // Nothing can be asked for, nor written: it fails at once, and takes no reply.
        complete = false;
        phase = Phase::transmitting;
        fail (first.bank, first.program);
        return;
    }

    {
        const std::lock_guard<std::mutex> sl (lock);
        backupList = std::move (programs);
        backupIndex = 0;
        backedUp.clear();
        backedUp.reserve (backupList.size());
        awaitReply (first.bank, first.program);
    }
    complete = false;
    backupDone = false;
    backupFailed = false;
    phase = Phase::reading;
    startTimer (timerIntervalMs);
    requestProgram (first.bank, first.program);
}

bool BankTransfer::takeBackedUpProgram (int bank, int programNumber, const ProgramRecord& record)
{
    Location next { -1, 0 };
    {
        const std::lock_guard<std::mutex> sl (lock);
        if (backupIndex >= backupList.size() || backupList[backupIndex].bank != bank
            || backupList[backupIndex].program != programNumber)
            return false; // not the program awaited
        backedUp.push_back ({ { bank, programNumber }, record });
        if (++backupIndex < backupList.size())
        {
            next = backupList[backupIndex];
            awaitReply (next.bank, next.program);
        }
    }

    lastProgressEvent = event::bankProgramCode (event::bankBackupProgress, bank, programNumber);
    hub.postEvent (lastProgressEvent.load());
    if (next.bank >= 0)
        requestProgram (next.bank, next.program);
    else
        backupDone = true; // the timer, on the message thread, goes on with the write
    return true;
}

void BankTransfer::finishBackup()
{
    stopTimer();
    std::vector<ReadProgram> got;
    {
        const std::lock_guard<std::mutex> sl (lock);
        got.swap (backedUp);
        backupList.clear();
    }
    for (const auto& b : got)
        memory.setKnownProgram (b.where.bank, b.where.program, b.record, true);

    phase = Phase::idle;
    lastProgressEvent = 0;
    auto then = std::move (afterBackup);
    afterBackup = nullptr;
    if (then != nullptr)
        then (got);
}

void BankTransfer::transmit (std::vector<Location> programs)
{
    end();
    programs.erase (std::remove_if (programs.begin(), programs.end(),
                                    [] (const Location& l) {
                                        return l.bank < 0 || l.bank >= synthbanks::numUserBanks || l.program < 0 ||
                                               l.program > lastProgram;
                                    }),
                    programs.end());
    if (programs.empty())
        return;
    mode = transmitPrograms;
    auto backup = programs;
    backUp (std::move (backup), [this, programs = std::move (programs)]() mutable { startTransmit (std::move (programs)); });
}

void BankTransfer::startTransmit (int firstBank, int lastBank)
{
    std::vector<Location> programs;
    programs.reserve ((size_t)((lastBank - firstBank + 1) * program::programsPerBank));
    for (int b = firstBank; b <= lastBank; ++b)
        for (int p = 0; p <= lastProgram; ++p)
            programs.push_back ({b, p});
    auto backup = programs;
    backUp (std::move (backup),
            [this, firstBank, lastBank, programs = std::move (programs)]() mutable
            {
                // Before anything goes out: the undo history keeps what the synth held there.
                hub.announceTransmissionStarting (firstBank, lastBank);
                startTransmit (std::move (programs));
            });
}

void BankTransfer::startTransmit (std::vector<Location> programs)
{
    complete = false;
    phase = Phase::transmitting;
    transmitting = std::move (programs);

    if (! sender.isRunning())
    {
        fail (transmitting.front().bank, transmitting.front().program);
        return;
    }

    std::vector<MidiSender::PacedMessage> dumps;
    dumps.reserve (transmitting.size() + 2);
    for (const auto& l : transmitting)
        dumps.push_back (
            {makeProgramDump (l.bank, l.program, memory.getSynthBank (l.bank)->getProgramRecord (l.program)),
             event::bankProgramCode (event::bankTransferProgress, l.bank, l.program)});
    dumps.push_back ({ {}, event::bankContentsChanged });
    dumps.push_back ({ {}, event::bankTransferFinished });

    // Named before it starts: its first marker may come before sendPacedSeries returns.
    series = series.load() + 1;
    sender.sendPacedSeries (series.load(), std::move (dumps), timing.programStorePauseMs,
                                                   timing.wireMicrosecondsPerByte);
    startTimer (timerIntervalMs);
}

void BankTransfer::noteTransmitted (uint32_t fromSeries, int32_t marker)
{
    // A marker of a series that was cancelled while its last message went out is not news.
    if (fromSeries != series.load() || phase.load() != Phase::transmitting)
        return;

    if (event::isKind (marker, event::bankTransferProgress))
        lastProgressEvent = marker;
    else if (marker == event::bankTransferFinished)
        complete = true;
    hub.postEvent (marker);
}

void BankTransfer::appendStateEvents (std::vector<int32_t>& dest) const
{
    if (phase.load() == Phase::idle)
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
    backupDone = false;
    backupFailed = false;
    // Whoever waits for programs read hears that none come.
    if (auto then = std::move (afterBackup); then != nullptr)
    {
        afterBackup = nullptr;
        then ({});
    }
    {
        const std::lock_guard<std::mutex> sl (lock);
        backupList.clear();
        backedUp.clear();
    }
    const auto wasTransmitting = phase.load() == Phase::transmitting;
    lastProgressEvent = 0;
    failureEvent = 0;
    phase = Phase::idle;
    complete = false;
    mode = idle;
    if (wasTransmitting)
        sender.cancelPacedSeries();
    hub.announceTransferEnded();
}

void BankTransfer::awaitReply (int bank, int programNumber)
{
    expectedBank = bank;
    expectedProgram = programNumber;
    retries = 0;
    lastRequestMs = nowMs();
    rememberRequest (bank, programNumber, lastRequestMs);
}

void BankTransfer::rememberRequest (int bank, int programNumber, uint32_t now)
{
    requests[nextRequestSlot] = { bank, programNumber, now };
    nextRequestSlot = (nextRequestSlot + 1) % requests.size();
}

bool BankTransfer::claimRequest (int bank, int programNumber)
{
    const std::lock_guard<std::mutex> sl (lock);
    const auto now = nowMs();
    // The oldest matching request is the one this reply answers.
    Request* oldest = nullptr;
    for (auto& r : requests)
        if (r.bank == bank && r.program == programNumber && now - r.askedMs <= (uint32_t) lateReplyWindowMs
            && (oldest == nullptr || (int32_t) (r.askedMs - oldest->askedMs) < 0))
            oldest = &r;

    if (oldest == nullptr)
        return false;
    oldest->bank = -1;
    return true;
}

bool BankTransfer::takeProgramDump (int bank, int programNumber, const ProgramRecord& record)
{
    const auto asked = claimRequest (bank, programNumber);
    const auto current = phase.load();
    if (! takesReplies (current))
        return asked; // the late reply of a transfer that has ended: dropped
    if (current == Phase::reading)
    {
        // Never into the local banks: they hold what is about to be written.
        return takeBackedUpProgram (bank, programNumber, record) || asked;
    }

    auto* target = memory.getSynthBank (bank);
    if (target == nullptr)
        return false;
    target->setProgram (programNumber, record);

    if (phase.load() == Phase::idle || complete.load())
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
        else if ((mode.load() == receiveAllBanks && bank < synthbanks::numUserBanks - 1)
                 || (mode.load() == receiveFactoryBanks && bank < synthbanks::numSynthBanks - 1))
        {
            nextBank = bank + 1;
        }
        else
        {
            finished = true;
        }

        if (nextBank >= 0)
        {
            awaitReply (nextBank, nextProgram);
        }
    }

    lastProgressEvent = event::bankProgramCode (event::bankTransferProgress, bank, programNumber);
    hub.postEvent (lastProgressEvent.load());

    if (nextBank >= 0)
    {
        requestProgram (nextBank, nextProgram);
    }
    else if (finished)
    {
        complete = true;
        // A host that crashes later must not lose what was received.
        if (mode.load() == receiveFactoryBanks)
            memory.factoryBanksReplaced (true);
        else
            memory.saveUserBanks();
        memory.bankContentsChanged();
        hub.postEvent (event::bankTransferFinished);
    }
    return true;
}

void BankTransfer::noteSysExArriving() noexcept
{
    lastSysExMs.store (nowMs(), std::memory_order_relaxed);
}

void BankTransfer::timerCallback()
{
    if (backupDone.exchange (false))
    {
        finishBackup();
        return;
    }
    const auto current = phase.load();
    if (current == Phase::idle || complete.load())
        return;

    if (current == Phase::transmitting)
    {
        // A transmission can only stall if its output went away: name the program that did not go.
        if (! sender.isRunning())
        {
            // The program after the last one reported gone out.
            size_t next = 0;
            if (const auto last = lastProgressEvent.load(); last != 0)
            {
                const auto gone = event::bankProgramOf (last);
                for (size_t i = 0; i < transmitting.size(); ++i)
                    if (transmitting[i].bank == gone.bank && transmitting[i].program == gone.program)
                        next = i + 1;
            }
            const auto& l = transmitting[juce::jmin (next, transmitting.size() - 1)];
            const int bank = l.bank, programNumber = l.program;
            fail (bank, programNumber);
        }
        return;
    }

    int bank, programNumber;
    bool retry = false;
    {
        const std::lock_guard<std::mutex> sl (lock);
        const auto now = nowMs();
        // Signed: bytes stamped on the input thread after `now` was read are not an hour old.
        const auto silentFor = juce::jmin ((int32_t) (now - lastRequestMs),
                                           (int32_t) (now - lastSysExMs.load (std::memory_order_relaxed)));
        if (silentFor < (timing.replySilenceTimeoutMs << retries))
            return;

        bank = expectedBank;
        programNumber = expectedProgram;
        if (retries < maxRetries)
        {
            ++retries;
            lastRequestMs = now;
            rememberRequest (bank, programNumber, now);
            retry = true;
        }
    }

    if (retry)
        requestProgram (bank, programNumber);
    else
        fail (bank, programNumber);
}

void BankTransfer::fail (int bank, int programNumber)
{
    stopTimer();
    complete = true;
    failureEvent = event::bankProgramCode (event::bankTransferFailed, bank, programNumber);
    hub.postEvent (failureEvent.load());
    if (phase.load() == Phase::reading || afterBackup != nullptr)
    {
        // What was to be written is not: without the backup its undo could not restore anything.
        // The read keeps its phase until it is ended, so that the synth's late answers are still
        // claimed and dropped: the local banks hold what was to be written, and keep it.
        backupFailed = backupBeforeWrite && sender.isRunning();
        {
            const std::lock_guard<std::mutex> sl (lock);
            backupList.clear();
            backedUp.clear();
        }
        auto then = std::move (afterBackup);
        afterBackup = nullptr;
        if (then != nullptr)
            then ({});
    }
    else if (phase.load() == Phase::receiving)
    {
        if (mode.load() == receiveFactoryBanks)
            memory.saveFactoryBanks();
        else
            memory.saveUserBanks();
        memory.bankContentsChanged();
    }
    hub.postEvent (event::bankTransferFinished);
}

} // namespace kelvo
