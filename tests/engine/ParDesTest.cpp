#include "model/ParDes.h"
#include "model/ParameterTable.h"

#include <gtest/gtest.h>

using kelvo::ParDes;

TEST (ParDes, ValueTexts)
{
    struct Case { int kind, value; const char* text; };
    const Case cases[] = {
        { 555, 0, "-127" }, { 555, 127, "0" }, { 555, 254, "127" },
        { 888, 0, "-50" }, { 888, 50, "0" }, { 888, 100, "50" },
        { 2, 0, "OFF" }, { 2, 3, "SAW/TRI" }, { 2, 4, "PW 00" }, { 2, 13, "PW 09" }, { 2, 14, "PW 10" }, { 2, 103, "PW 99" },
        { 37, 150, "150" }, { 37, 151, "32 st" }, { 37, 158, "1.5 st" }, { 37, 166, "1/16 st" }, { 37, 167, "167" },
        { 400, 0, "OFF" }, { 400, 47, "Feedback Gain" }, { 400, 48, "" },
        { 4008, 48, "Sequencer 1 Slew" }, { 4008, 49, "" }, { 4010, 48, "Sequencer 2 Slew" }, { 4010, 9, "Low Pass" },
        { 333, 0, "OFF" }, { 333, 1, "ON" }, { 333, 127, "ON" },
        { 444, 120, "120 bpm" },
        { 93, 12, "Range   12" },
        { 567, 127, "127" }, { 222, 64, "64" }, { 0, 5, "5" }, { 12345, 7, "7" },
        { 11, 3, "Fixed Time Auto" }, { 11, 4, "*/*" },
        { 38, 3, "Pulse (square)" }, { 38, 5, "*/*" },
        { 65, 20, "Noise" }, { 65, 21, "Audio In Envelope Follower" }, { 65, 22, "Audio In Peak Hold" }, { 65, 23, "*/*" },
        { 92, 12, "64th N T" }, { 92, 13, "*/*" },
        { 94, 5, "Audio In" }, { 94, 6, "*/*" },
        { 95, 4, "All detune 3" },
        { 96, 0, "Low Note " }, { 96, 2, "High Note " }, { 96, 5, "Last Note Hit RT" },
        { 97, 14, "3 Oct Random" }, { 97, 15, "*/*" },
        { 113, 1, "TOGGLE" }, { 113, 2, "*/*" },
        { 111, 0, "C0" }, { 778, 60, "C5" }, { 778, 61, "C#5" }, { 778, 120, "C10" }, { 111, 127, "G10" },
    };
    for (const auto& c : cases)
        EXPECT_EQ (ParDes::valueToText (c.kind, c.value), juce::String (c.text)) << "kind " << c.kind << " value " << c.value;
}

TEST (ParDes, EveryParameterValueHasAText)
{
    const kelvo::ParameterTable t;
    // Lists that cover their whole range must never fall back to the out-of-list text.
    for (int i = 0; i < kelvo::program::numHostParameters; ++i)
    {
        const auto kind = t.getKind (i);
        if (kind == 113)
            continue; // "PushIt Sw Mode" runs to 2, past its two texts: nothing documents a third
        for (int v = t.getMin (i); v <= t.getMax (i); ++v)
        {
            const auto text = ParDes::valueToText (kind, v);
            ASSERT_NE (text, "*/*") << "index " << i << " value " << v;
            ASSERT_TRUE (text.isNotEmpty()) << "index " << i << " value " << v;
        }
    }
}
