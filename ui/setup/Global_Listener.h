#pragma once

namespace kelvo
{

/** Told what happened on the global settings panel (code 2222: its close button was clicked). */
class Global_Listener
{
public:
    virtual ~Global_Listener() = default;
    virtual void globalPanelAction (int code, int value) = 0;
};

} // namespace kelvo
