#pragma once

#include "host/MarvexAudioProcessor.h"
#include "support/TestHelpers.h"
#include "ui/widgets/KelvoLook.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>
#include <utility>
#include <vector>

namespace kelvo::test
{

inline const juce::ModifierKeys leftButton{juce::ModifierKeys::leftButtonModifier};
inline const juce::ModifierKeys rightButton{juce::ModifierKeys::rightButtonModifier};
inline const juce::ModifierKeys shiftKey{juce::ModifierKeys::shiftModifier};
inline const juce::ModifierKeys ctrlKey{juce::ModifierKeys::ctrlModifier};

/** A synthetic mouse event on a component, in its own pixels. */
inline juce::MouseEvent mouseEvent (juce::Component& c, juce::Point<float> position, juce::ModifierKeys mods,
                                    juce::Point<float> downPosition, bool dragged = false)
{
    return juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(), position, mods,
                             juce::MouseInputSource::defaultPressure, 0.0f, 0.0f, 0.0f, 0.0f, &c, &c,
                             juce::Time::getCurrentTime(), downPosition, juce::Time::getCurrentTime(), 1,
                             dragged);
}

/** Drives a component's mouse callbacks in the order a real mouse gives them. */
class MouseDriver
{
public:
    explicit MouseDriver (juce::Component& target) : c (target) {}

    void press (float x, float y, juce::ModifierKeys buttons = leftButton)
    {
        down = {x, y};
        mods = buttons;
        c.mouseDown (mouseEvent (c, down, mods, down));
    }
    void drag (float x, float y) { c.mouseDrag (mouseEvent (c, {x, y}, mods, down, true)); }
    /** A drag with other keys held than at the press (Shift pressed halfway, say). */
    void drag (float x, float y, juce::ModifierKeys keys)
    {
        c.mouseDrag (mouseEvent (c, {x, y}, keys, down, true));
    }
    void doubleClick (float x, float y)
    {
        click (x, y);
        press (x, y);
        c.mouseDoubleClick (mouseEvent (c, down, mods, down));
        release (x, y);
    }
    void release (float x, float y) { c.mouseUp (mouseEvent (c, {x, y}, mods, down)); }
    void click (float x, float y, juce::ModifierKeys buttons = leftButton)
    {
        press (x, y, buttons);
        release (x, y);
    }
    void wheel (float deltaY, juce::ModifierKeys keys = {}, bool smooth = false)
    {
        juce::MouseWheelDetails details{};
        details.deltaY = deltaY;
        details.isSmooth = smooth;
        c.mouseWheelMove (mouseEvent (c, down, keys, down), details);
    }

private:
    juce::Component& c;
    juce::Point<float> down;
    juce::ModifierKeys mods;
};

/**
    A real processor on virtual MIDI devices with a scratch settings folder, standing in for the
    editor's processor. Every setParameterFromEditor posts a parameter event, so sent() tells
    exactly which (index, value) pairs the widgets sent, in order.
*/
struct ProcessorRig
{
    using Sent = std::vector<std::pair<int, int>>;

    juce::SharedResourcePointer<KelvoLook> look;
    UsedSettingsFolder temp;
    VirtualRig rig;
    std::unique_ptr<MarvexAudioProcessor> processor;
    std::unique_ptr<EventCollector> events;

    ProcessorRig()
    {
        processor = std::make_unique<MarvexAudioProcessor> (rig.makeDevices(), temp.folder);
        events = std::make_unique<EventCollector> (processor->getEngine());
        events->take(); // what the processor sent while it was built
    }

    ~ProcessorRig()
    {
        events.reset();
        processor.reset();
    }

    Sent sent()
    {
        Sent pairs;
        for (auto code : events->take())
            if (event::kindOf (code) == event::kindOf (event::parameterChanged))
                pairs.emplace_back (event::parameterOf (code).index, event::parameterOf (code).value);
        return pairs;
    }

    MarvexAudioProcessor& operator*() { return *processor; }
};

/** What a component paints, at its own size. */
inline juce::Image paintComponent (juce::Component& c)
{
    return c.createComponentSnapshot (c.getLocalBounds(), true, 1.0f);
}

/** Counts change messages, after they were delivered. */
struct ChangeCounter : juce::ChangeListener
{
    explicit ChangeCounter (juce::ChangeBroadcaster& b) : broadcaster (b)
    {
        broadcaster.addChangeListener (this);
    }
    ~ChangeCounter() override { broadcaster.removeChangeListener (this); }
    void changeListenerCallback (juce::ChangeBroadcaster*) override { ++count; }

    /** Delivers what is pending and returns how many arrived since the last call. */
    int take()
    {
        broadcaster.dispatchPendingMessages();
        return std::exchange (count, 0);
    }

    juce::ChangeBroadcaster& broadcaster;
    int count = 0;
};

} // namespace kelvo::test
