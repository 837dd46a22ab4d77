#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

namespace kelvo
{
class MidiCntrState;
class PianoKey;
class KeyOverlay;

/** The drawer's key bed: 65 keys (C to the E five octaves up) under a mouse overlay. Message thread only. */
class PianoPad : public juce::Component
{
public:
    static constexpr int numKeys = 65;
    static constexpr int numWhiteKeys = 38;
    static constexpr int designX = 210, designY = 20, designHeight = 151;

    explicit PianoPad (MidiCntrState& engine);
    ~PianoPad() override;

    /** Places the bed and its keys for a drawer scale. */
    void setScale (float s);

    PianoKey& getKey (int index) { return *keys[index]; }
    KeyOverlay& getOverlay() { return *overlay; }
    /** Ends every note the bed started. */
    void releaseAll();

    void paint (juce::Graphics& g) override;

private:
    juce::OwnedArray<PianoKey> keys;
    std::unique_ptr<KeyOverlay> overlay;
    float scale = 1.0f;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PianoPad)
};

} // namespace kelvo
