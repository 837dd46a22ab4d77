#pragma once

namespace kelvo
{

/** Told what a category-chooser key did: (pressed, id) on the press, (released, id) on a release
    inside it. Message thread. */
class StButListener
{
public:
    static constexpr int pressed = 1215;
    static constexpr int released = 1216;

    virtual ~StButListener() = default;
    virtual void stButEvent (int code, int id) = 0;
};

} // namespace kelvo
