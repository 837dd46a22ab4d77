#pragma once

namespace kelvo
{
class StsBut;

/** Told which button was clicked, as the button itself; called before any stsbutListener. Message thread. */
class stsbutChangeListener
{
public:
    virtual ~stsbutChangeListener() = default;
    virtual void stsbutChanged (StsBut& button) = 0;
};

} // namespace kelvo
