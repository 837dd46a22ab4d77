#pragma once

namespace kelvo
{

/** Told about mouse gestures on a KeyPlayClass strip, with the position in the strip's parent's
    coordinates, so that its owner can use the strip as a handle. Message thread. */
class KeyPlayListener
{
public:
    virtual ~KeyPlayListener() = default;
    virtual void keyPlayMouseDown (int x, int y) = 0;
    virtual void keyPlayMouseUp (int x, int y) = 0;
    virtual void keyPlayMouseDrag (int x, int y) = 0;
};

} // namespace kelvo
