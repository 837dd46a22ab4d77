#pragma once

namespace kelvo
{

/** Told how the librarian's dialog was answered, with the accept code and tag it was opened with.
    Message thread. */
class textmsgListener
{
public:
    virtual ~textmsgListener() = default;
    virtual void textAccepted (int code, int tag) = 0;
    virtual void textDeclined (int code, int tag) = 0;
    virtual void textCancelled (int code, int tag) = 0;
};

} // namespace kelvo
