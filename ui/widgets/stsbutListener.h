#pragma once

namespace kelvo
{

/** Told which button (by the id its creator gave it) was clicked. Message thread. */
class stsbutListener
{
public:
    virtual ~stsbutListener() = default;
    virtual void stsbutPressed (int buttonId) = 0;
};

} // namespace kelvo
