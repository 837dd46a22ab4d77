#include "ui/widgets/Artwork.h"

#include "KelvoArt.h"

namespace kelvo::artwork
{
namespace
{
juce::Image load (const char* data, int size)
{
    return juce::ImageCache::getFromMemory (data, size);
}
} // namespace

juce::Image knobStrip()
{
    return load (KelvoArt::knob_strip_png, KelvoArt::knob_strip_pngSize);
}
juce::Image knobPlate()
{
    return load (KelvoArt::knob_plate_png, KelvoArt::knob_plate_pngSize);
}
juce::Image toggleSwitch()
{
    return load (KelvoArt::switch_png, KelvoArt::switch_pngSize);
}
juce::Image dropDownBody()
{
    return load (KelvoArt::dropdown_body_png, KelvoArt::dropdown_body_pngSize);
}
juce::Image dropDownArrow()
{
    return load (KelvoArt::dropdown_arrow_png, KelvoArt::dropdown_arrow_pngSize);
}
juce::Image dropDownFrame()
{
    return load (KelvoArt::dropdown_frame_png, KelvoArt::dropdown_frame_pngSize);
}
juce::Image led()
{
    return load (KelvoArt::led_png, KelvoArt::led_pngSize);
}
juce::Image envelopeGrid()
{
    return load (KelvoArt::envelope_grid_png, KelvoArt::envelope_grid_pngSize);
}
juce::Image glare()
{
    return load (KelvoArt::glare_png, KelvoArt::glare_pngSize);
}
juce::Image lcdGrid()
{
    return load (KelvoArt::lcd_grid_png, KelvoArt::lcd_grid_pngSize);
}
juce::Image listBackground()
{
    return load (KelvoArt::grid_background_png, KelvoArt::grid_background_pngSize);
}
juce::Image listThumb()
{
    return load (KelvoArt::grid_thumb_png, KelvoArt::grid_thumb_pngSize);
}
juce::Image panelTile()
{
    return load (KelvoArt::panel_tile_png, KelvoArt::panel_tile_pngSize);
}
juce::Image instrumentLogo()
{
    return load (KelvoArt::logo_png, KelvoArt::logo_pngSize);
}
juce::Image frontBadge()
{
    return load (KelvoArt::badge_png, KelvoArt::badge_pngSize);
}
juce::Image leftCheek()
{
    return load (KelvoArt::cheek_left_png, KelvoArt::cheek_left_pngSize);
}
juce::Image rightCheek()
{
    return load (KelvoArt::cheek_right_png, KelvoArt::cheek_right_pngSize);
}
juce::Image libButtonBody()
{
    return load (KelvoArt::lib_button_png, KelvoArt::lib_button_pngSize);
}
juce::Image libButtonCap()
{
    return load (KelvoArt::lib_button_cap_png, KelvoArt::lib_button_cap_pngSize);
}
juce::Image catButtonBody()
{
    return load (KelvoArt::cat_button_png, KelvoArt::cat_button_pngSize);
}

juce::Image whiteKeyUp()
{
    return load (KelvoArt::key_white_up_png, KelvoArt::key_white_up_pngSize);
}
juce::Image whiteKeyDown()
{
    return load (KelvoArt::key_white_down_png, KelvoArt::key_white_down_pngSize);
}
juce::Image blackKeyUp()
{
    return load (KelvoArt::key_black_up_png, KelvoArt::key_black_up_pngSize);
}
juce::Image blackKeyDown()
{
    return load (KelvoArt::key_black_down_png, KelvoArt::key_black_down_pngSize);
}
juce::Image wheelStrip()
{
    return load (KelvoArt::wheel_strip_png, KelvoArt::wheel_strip_pngSize);
}
juce::Image handleBand()
{
    return load (KelvoArt::handle_band_png, KelvoArt::handle_band_pngSize);
}
juce::Image wheelWell()
{
    return load (KelvoArt::wheel_well_png, KelvoArt::wheel_well_pngSize);
}
juce::Image octaveKeyboard()
{
    return load (KelvoArt::octave_keyboard_png, KelvoArt::octave_keyboard_pngSize);
}
juce::Image velocityDisplay()
{
    return load (KelvoArt::velocity_display_png, KelvoArt::velocity_display_pngSize);
}
juce::Image trackBackground()
{
    return load (KelvoArt::track_background_png, KelvoArt::track_background_pngSize);
}

} // namespace kelvo::artwork
