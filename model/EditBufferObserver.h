#pragma once

namespace kelvo
{

/** Told of every change to a bank's edit buffer, a whole sound or one byte, on the thread that
    made it: the audio thread among them, so it must not lock, allocate or wait. */
class EditBufferObserver
{
public:
    virtual ~EditBufferObserver() = default;
    virtual void editBufferChanged() noexcept = 0;
};

} // namespace kelvo
