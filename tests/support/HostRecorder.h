#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include <cmath>
#include <string>
#include <vector>

namespace kelvo::test
{

/** What a host hears from a processor: values, gesture begins and ends, in order. */
struct HostRecorder : juce::AudioProcessorListener
{
    struct Call
    {
        char what; // 'b' begin, 'v' value, 'e' end
        int index;
        float value;
    };
    std::vector<Call> calls;

    void audioProcessorParameterChanged (juce::AudioProcessor*, int index, float value) override
    {
        calls.push_back ({ 'v', index, value });
    }
    void audioProcessorParameterChangeGestureBegin (juce::AudioProcessor*, int index) override
    {
        calls.push_back ({ 'b', index, 0 });
    }
    void audioProcessorParameterChangeGestureEnd (juce::AudioProcessor*, int index) override
    {
        calls.push_back ({ 'e', index, 0 });
    }
    void audioProcessorChanged (juce::AudioProcessor*, const ChangeDetails&) override {}

    /** The kinds of the calls in order, "bvve" for a gesture with two values. */
    std::string kinds() const
    {
        std::string s;
        for (auto& c : calls)
            s += c.what;
        return s;
    }

    /** Whether the host heard the parameter change to the value inside a gesture. */
    bool heardInGesture (int index, float value) const
    {
        bool open = false;
        for (const auto& c : calls)
        {
            if (c.index != index)
                continue;
            if (c.what == 'b')
                open = true;
            else if (c.what == 'e')
                open = false;
            else if (open && std::abs (c.value - value) < 1e-5f)
                return true;
        }
        return false;
    }
};

} // namespace kelvo::test
