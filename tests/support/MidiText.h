#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

#include <string>
#include <vector>

namespace kelvo::test
{

/** Short messages as short texts ("on 60 100", "off 60", "pw 8192", "cc 1 5"), so that a test can
    compare what went to the synth with a readable list; a message on a channel other than 1 says
    which ("off 60 ch5"). Other messages are left out. */
inline std::vector<std::string> midiText (const std::vector<std::vector<uint8_t>>& messages)
{
    std::vector<std::string> texts;
    for (const auto& m : messages)
    {
        if (m.size() < 3)
            continue;
        const auto status = m[0] & 0xf0;
        const auto channel = (m[0] & 0x0f) + 1;
        std::string text;
        if (status == 0x90 && m[2] > 0)
            text = "on " + std::to_string (m[1]) + " " + std::to_string (m[2]);
        else if (status == 0x80 || status == 0x90)
            text = "off " + std::to_string (m[1]);
        else if (status == 0xe0)
            text = "pw " + std::to_string (m[2] * 128 + m[1]);
        else if (status == 0xb0 && m[1] < 6)
            text = "cc " + std::to_string (m[1]) + " " + std::to_string (m[2]);
        else
            continue;
        texts.push_back (channel == 1 ? text : text + " ch" + std::to_string (channel));
    }
    return texts;
}

} // namespace kelvo::test
