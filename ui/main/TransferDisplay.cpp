#include "ui/main/TransferDisplay.h"
#include "link/BankTransfer.h"
#include "link/MidiCntrState.h"
#include "ui/common/RetireChild.h"
#include "ui/widgets/ProgBar.h"
#include "ui/widgets/ProgramLocation.h"

namespace kelvo
{

TransferDisplay::TransferDisplay (juce::Component& e, stsbutListener& cancel, MidiCntrState& en, Tell t)
    : editor (e), cancelListener (cancel), engine (en), tell (std::move (t))
{
}

TransferDisplay::~TransferDisplay()
{
    if (progress != nullptr && progress->isCurrentlyModal())
        progress->exitModalState (0);
}

void TransferDisplay::start (int mode, int bank)
{
    show();
    engine.startBankTransfer (mode, bank);
}

void TransferDisplay::show()
{
    if (progress != nullptr)
        return;
    tally = {};
    progress = std::make_unique<ProgBar> (editor.getWidth(), editor.getHeight());
    progress->setBounds (editor.getLocalBounds());
    progress->getCancelButton().addListener (&cancelListener);
    editor.addAndMakeVisible (*progress);
    progress->toFront (false);
    progress->enterModalState (false);
}

void TransferDisplay::end()
{
    engine.endBankTransfer();
    if (progress != nullptr)
    {
        if (progress->isCurrentlyModal())
            progress->exitModalState (0);
        // The cancel button may be reporting right now.
        retireChild (editor, progress);
    }
}

void TransferDisplay::layout()
{
    if (progress != nullptr)
        progress->setBounds (editor.getLocalBounds());
}

void TransferDisplay::applyEvent (int32_t code)
{
    if (event::isKind (code, event::bankTransferFinished))
    {
        const auto said = progress != nullptr && !tally.failed ? describeFinished() : juce::String();
        end();
        if (said.isNotEmpty())
            tell (said);
    }
    else if (event::isKind (code, event::bankTransferProgress) ||
             event::isKind (code, event::bankBackupProgress))
    {
        const auto [bank, programNumber] = event::bankProgramOf (code);
        if (event::isKind (code, event::bankTransferProgress))
        {
            ++tally.programs;
            tally.firstBank = tally.firstBank < 0 ? bank : juce::jmin (tally.firstBank, bank);
            tally.lastBank = juce::jmax (tally.lastBank, bank);
        }
        if (progress != nullptr)
            progress->setProgress (bank, programNumber,
                                   event::isKind (code, event::bankBackupProgress) ? "Backing up"
                                                                                   : juce::String());
    }
    else if (event::isKind (code, event::bankTransferFailed))
    {
        const auto [bank, programNumber] = event::bankProgramOf (code);
        const auto where = programLocation (bank, programNumber);
        tally.failed = true;
        if (engine.getTransfer().didBackupFail())
            tell ("No answer from the synth for " + where + ": nothing was written, so that nothing is lost");
        else
            tell (engine.getTransferMode() >= BankTransfer::transmitBank
                      ? "Transfer stopped: no MIDI output for " + where
                      : "No answer from the synth for " + where);
    }
}

juce::String TransferDisplay::describeFinished() const
{
    if (tally.programs == 0)
        return {};
    const auto mode = engine.getTransferMode();
    const auto banks = tally.firstBank == tally.lastBank
                           ? bankPrefix (tally.firstBank)
                           : bankPrefix (tally.firstBank) + "-" + bankPrefix (tally.lastBank);
    const auto count = juce::String (tally.programs) + (tally.programs == 1 ? " program" : " programs");
    if (mode == BankTransfer::transmitPrograms)
        return "Sent back into the synth: " + count;
    return banks + (mode >= BankTransfer::transmitBank ? " transmitted: " : " received: ") + count;
}

} // namespace kelvo
