#pragma once

namespace kelvo
{

/** Told how the SET CURRENT dialog was answered: accepted with the slot chosen, or cancelled.
    Message thread. */
class textSetCurListener
{
public:
    virtual ~textSetCurListener() = default;
    virtual void setCurrentAccepted (int targetSlot) = 0;
    virtual void setCurrentCancelled() = 0;
};

} // namespace kelvo
