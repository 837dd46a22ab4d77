#pragma once

namespace kelvo
{

/** Told which window control was clicked: 120 minimise, 121 full screen, 122 hide. Message thread. */
class winToolListener
{
public:
    virtual ~winToolListener() = default;
    virtual void winToolPressed (int code) = 0;
};

} // namespace kelvo
