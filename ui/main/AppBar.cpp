#include "ui/main/AppBar.h"

namespace kelvo
{
namespace
{
constexpr juce::uint32 barBackground = 0xff404040;
constexpr juce::uint32 labelText = 0xff9f9f9f;
constexpr juce::uint32 channelFill = 0xff000000;
constexpr juce::uint32 statusFill = 0xff404040;
constexpr juce::uint32 offlineText = 0xffffc46b;

constexpr int barButtonWidth = 50, barButtonHeight = 18, barButtonY = 2;
// "PREF" has a place but is never visible.
constexpr int hiddenY = -100;

struct ButtonSpec
{
    const char* text;
    int code;
    int x;
    int y;
};

constexpr ButtonSpec buttonSpecs[] = {
    { "MIDI", AppBar::midi, 76, barButtonY },   { "BANK", AppBar::bank, 130, barButtonY },
    { "FILE", AppBar::file, 184, barButtonY },  { "EDIT", AppBar::edit, 235, barButtonY },
    { "PREF", AppBar::pref, 235, hiddenY },  { "Send", AppBar::send, 289, barButtonY },
    { "Recv", AppBar::recv, 340, barButtonY },  { "WRITE", AppBar::write, 394, barButtonY },
};

const juce::Rectangle<int> menuButtonBounds { -4, -4, 36, 36 };
const juce::Rectangle<int> channelBounds { 511, 3, 62, 15 };
const juce::Rectangle<int> statusBounds { 582, 2, 300, 15 };
constexpr float channelFontHeight = 12.0f, statusFontHeight = 13.0f;
} // namespace

AppBar::AppBar()
{
    for (size_t i = 0; i < buttons.size(); ++i)
    {
        const auto& spec = buttonSpecs[i];
        buttons[i] = std::make_unique<StsBut> (spec.text, spec.code, StsBut::barKind);
        buttons[i]->setupButton (spec.x, spec.y, barButtonWidth, barButtonHeight, true);
        addAndMakeVisible (*buttons[i]);
    }

    menuButton.setBounds (menuButtonBounds);
    addAndMakeVisible (menuButton);

    channelLabel.setup ({}, "Arial", channelFontHeight, juce::Justification::centredLeft);
    channelLabel.borderMode = StsLabel::filled;
    channelLabel.fillColour = juce::Colour (channelFill);
    channelLabel.textColour = juce::Colour (labelText);
    channelLabel.setBounds (channelBounds);
    channelLabel.setMouseCursor (juce::MouseCursor::PointingHandCursor);
    addAndMakeVisible (channelLabel);

    statusLabel.setup ({}, "Arial", statusFontHeight, juce::Justification::centredLeft);
    statusLabel.borderMode = StsLabel::filled;
    statusLabel.fillColour = juce::Colour (statusFill);
    statusLabel.textColour = juce::Colour (labelText);
    statusLabel.setBounds (statusBounds);
    addAndMakeVisible (statusLabel);
}

AppBar::~AppBar() = default;

std::array<StsBut*, 8> AppBar::getButtons() noexcept
{
    std::array<StsBut*, 8> result {};
    for (size_t i = 0; i < buttons.size(); ++i)
        result[i] = buttons[i].get();
    return result;
}

StsBut* AppBar::findButton (int code) noexcept
{
    for (auto& b : buttons)
        if (b->getButtonId() == code)
            return b.get();
    return nullptr;
}

void AppBar::showStatus (const juce::String& text, LinkState state)
{
    statusLabel.textColour = juce::Colour (state == online ? labelText : offlineText);
    statusLabel.setMouseCursor (state == online ? juce::MouseCursor::NormalCursor
                                                : juce::MouseCursor::PointingHandCursor);
    statusLabel.setText (text);
}

void AppBar::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colour (barBackground));
}

} // namespace kelvo
