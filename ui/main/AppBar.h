#pragma once

#include "ui/main/AppSetBarBut.h"
#include "ui/widgets/StsBut.h"
#include "ui/widgets/StsLabel.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <array>
#include <memory>

namespace kelvo
{

/**
    The strip along the top of the editor: the menu button, the command buttons, the MIDI channel
    and the link status. It only shows them; the main component listens to every button and to both
    labels and acts. Message thread only.
*/
class AppBar final : public juce::Component,
                     public juce::ChangeBroadcaster
{
public:
    static constexpr int height = 23;

    /** Button codes, as the main component receives them. */
    enum Code
    {
        recv = 71,
        edit = 73,
        file = 75,
        midi = 77,
        bank = 99,
        send = 701,
        pref = 730,
        write = 969
    };

    AppBar();
    ~AppBar() override;

    /** The eight command buttons, in the bar's order. */
    std::array<StsBut*, 8> getButtons() noexcept;
    StsBut* findButton (int code) noexcept;
    AppSetBarBut& getMenuButton() noexcept { return menuButton; }
    StsLabel& getChannelLabel() noexcept { return channelLabel; }
    StsLabel& getStatusLabel() noexcept { return statusLabel; }

    enum LinkState
    {
        online,
        offline
    };
    /** The status text: off-line in a colour that asks for action, with a hand over it, as a click
        on it leads to the port setup. */
    void showStatus (const juce::String& text, LinkState state);

    void paint (juce::Graphics& g) override;

private:
    std::array<std::unique_ptr<StsBut>, 8> buttons;
    AppSetBarBut menuButton;
    StsLabel channelLabel, statusLabel;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (AppBar)
};

} // namespace kelvo
