#pragma once

#include "ui/librarian/CatListener.h"
#include "ui/widgets/ListenerArray.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <array>
#include <memory>

namespace kelvo
{
class StBut;
class SimpleLabel;

/**
    The category chooser: a key for each of the 26 categories and a "LIST ALL" key, four to a row,
    each with a label under it (the owner writes the counts there). A key released inside itself is
    reported as chosen, later on the message thread. Message thread only.
*/
class CatContainer : public juce::Component, private juce::ChangeListener
{
public:
    static constexpr int numKeys = 27;
    static constexpr int listAllKey = 26;
    static constexpr int keyWidth = 100, keyHeight = 18;

    CatContainer();
    ~CatContainer() override;

    StBut& getKey (int index) const { return *keys[(size_t)index]; }
    SimpleLabel& getLabel (int index) const { return *labels[(size_t)index]; }
    /** The label under a key (nothing for an index outside 0..26). */
    void setLabelText (int index, const juce::String& text);

    void addListener (CatListener* l) { listeners.add (l); }
    void removeListener (CatListener* l) { listeners.remove (l); }

    void paint (juce::Graphics& g) override;

private:
    void changeListenerCallback (juce::ChangeBroadcaster* source) override;

    std::array<std::unique_ptr<StBut>, numKeys> keys;
    std::array<std::unique_ptr<SimpleLabel>, numKeys> labels;
    ListenerArray<CatListener> listeners;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CatContainer)
};

} // namespace kelvo
