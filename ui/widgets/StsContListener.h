#pragma once

namespace kelvo
{

/** Told by a parameter control (StsCont) about a command the user gave it. Message thread. */
class StsContListener
{
public:
    virtual ~StsContListener() = default;

    /** commandCode 100: the right button was pressed on the control. */
    virtual void stsContCommand (int commandCode, int parameterIndex, int sectionIndex) = 0;
};

} // namespace kelvo
