#pragma once

namespace kelvo
{

/** Told by a sequencer track editor about a gesture its owner handles (code, value). Message thread. */
class SeqClassListener
{
public:
    virtual ~SeqClassListener() = default;
    virtual void seqClassMessage (int code, int value) = 0;
};

} // namespace kelvo
