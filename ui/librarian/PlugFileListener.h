#pragma once

namespace kelvo
{

/** Told about the preset bank's list: (65, 0) when a click selected a row, then for a right-button
    click (90, 0) near the left edge or (88, 0) further right; and double-clicks on a row.
    Message thread. */
class PlugFileListener
{
public:
    virtual ~PlugFileListener() = default;
    virtual void plugFileNotification (int code, int value) = 0;
    virtual void plugFileDoubleClicked() {}
};

} // namespace kelvo
