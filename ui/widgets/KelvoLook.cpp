#include "ui/widgets/KelvoLook.h"

#include "KelvoArt.h"

namespace kelvo
{

KelvoLook::KelvoLook()
    : regular (juce::Typeface::createSystemTypefaceFor (KelvoArt::LiberationSansRegular_ttf,
                                                        (size_t) KelvoArt::LiberationSansRegular_ttfSize)),
      bold (juce::Typeface::createSystemTypefaceFor (KelvoArt::LiberationSansBold_ttf,
                                                     (size_t) KelvoArt::LiberationSansBold_ttfSize))
{
    juce::LookAndFeel::setDefaultLookAndFeel (this);
    // Fonts resolved before this look took over keep their system face in JUCE's cache.
    juce::Typeface::clearTypefaceCache();
}

KelvoLook::~KelvoLook()
{
    if (&juce::LookAndFeel::getDefaultLookAndFeel() == this)
        juce::LookAndFeel::setDefaultLookAndFeel (nullptr);
    juce::Typeface::clearTypefaceCache();
}

juce::Typeface::Ptr KelvoLook::getTypefaceForFont (const juce::Font& font)
{
    const auto& name = font.getTypefaceName();
    if (name == arialName || name == juce::Font::getDefaultSansSerifFontName())
        return font.isBold() ? bold : regular;
    return LookAndFeel_V4::getTypefaceForFont (font);
}

juce::Font arialFont (float height, int styleFlags)
{
    return juce::Font (KelvoLook::arialName, height, styleFlags);
}

} // namespace kelvo
