#pragma once

namespace kelvo
{

/** What the library list reports, as (code, value). */
namespace listcode
{
constexpr int rowSelected = 201; // value: the selected entry
constexpr int listRebuilt = 202; // value: allCountsChanged
constexpr int allCountsChanged = 100;
constexpr int marksChanged = 203; // value: the entry whose sound's marks changed; the rows stay
} // namespace listcode

/** Callback interface of the library list: rebuilds and selections as codes, and double-clicks. */
class StsFileListener
{
public:
    virtual ~StsFileListener() = default;
    virtual void listNotification (int code, int value) = 0;
    virtual void listDoubleClicked() {}
};

} // namespace kelvo
