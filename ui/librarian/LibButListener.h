#pragma once

namespace kelvo
{
class LibBut;

/** Told about a librarian text button: clicked (on the press), pointer entered, pointer left.
    Message thread. */
class LibButListener
{
public:
    virtual ~LibButListener() = default;
    virtual void libButClicked (LibBut& button, int id) = 0;
    virtual void libButEntered (LibBut&, int) {}
    virtual void libButLeft (LibBut&, int) {}
};

} // namespace kelvo
