#pragma once

#include <cstdint>

namespace kelvo
{

/**
    Hears how the bank transfers go, whether or not an editor is open: what keeps its own record of
    the synth's memory (the undo history) needs every transfer, not only those somebody watches.

    Called on the message thread only, in the order things happened: what a transfer reported
    before it was ended or a new one started is told before that.
*/
class TransferListener
{
public:
    virtual ~TransferListener() = default;

    /** A transmission of user banks firstBank..lastBank is starting; nothing has been sent yet. */
    virtual void transmissionStarting (int firstBank, int lastBank) = 0;
    /** One of a transfer's events (see event::isTransferNews): a program gone to the synth or
        received from it, a program sent by the synth on its own, a failure, the end. */
    virtual void transferEventArrived (int32_t code) = 0;
    /** The transfer was ended (completed, failed or cancelled). */
    virtual void transferEnded() = 0;
};

} // namespace kelvo
