#pragma once

namespace kelvo
{

/**
    Hears that the link came on-line (the synth answered with its global dump), whether or not an
    editor is open: what acts on the first connection (a fresh instance taking the synth's sound)
    must not depend on a window being shown.

    Called on the message thread only.
*/
class ConnectionListener
{
public:
    virtual ~ConnectionListener() = default;

    /** The synth's global dump arrived after a connection check. */
    virtual void linkCameOnline() = 0;
};

} // namespace kelvo
