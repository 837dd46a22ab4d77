#pragma once

namespace kelvo
{

/** Told which key of the category chooser was chosen: 0..25 a category, 26 "LIST ALL".
    Message thread. */
class CatListener
{
public:
    virtual ~CatListener() = default;
    virtual void categoryChosen (int index) = 0;
};

} // namespace kelvo
