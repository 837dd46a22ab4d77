#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace kelvo
{

/**
    The editor's look: LookAndFeel_V4 with the embedded Liberation Sans behind the "Arial" name and
    behind JUCE's default sans-serif, so that text has the same metrics on every machine, whatever
    fonts it has installed.

    While an instance exists it is the default look of the whole plug-in. Hold it through a
    juce::SharedResourcePointer<KelvoLook> (the editor does, and so do tools and tests that paint),
    so that one instance serves every holder and goes away with the last. Message thread.
*/
class KelvoLook final : public juce::LookAndFeel_V4
{
public:
    /** The face every widget names. */
    static constexpr const char* arialName = "Arial";

    KelvoLook();
    ~KelvoLook() override;

    juce::Typeface::Ptr getTypefaceForFont (const juce::Font& font) override;

private:
    juce::Typeface::Ptr regular, bold;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (KelvoLook)
};

/** "Arial" at a height, with juce::Font style flags. */
juce::Font arialFont (float height, int styleFlags = juce::Font::plain);

} // namespace kelvo
