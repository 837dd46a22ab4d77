#include "ui/librarian/CatContainer.h"

#include "model/Categories.h"
#include "ui/librarian/SimpleLabel.h"
#include "ui/librarian/StBut.h"

namespace kelvo
{
namespace
{
constexpr juce::uint32 background = 0xff373535;
constexpr float catFontHeight = 12.0f;
constexpr int keysPerRow = 4, columnStep = 110, rowStep = 46;
constexpr int listAllX = 330, listAllY = 276; // the last cell of the seventh row; the one before stays empty
} // namespace

CatContainer::CatContainer()
{
    for (int i = 0; i < numKeys; ++i)
    {
        const auto caption = i == 0            ? juce::String ("-----")
                             : i == listAllKey ? juce::String ("LIST ALL")
                                               : categoryName (i);
        auto& key = keys[(size_t)i];
        key = std::make_unique<StBut> (caption, i, catFontHeight, juce::Colours::black, juce::Colours::white);
        const bool last = i == listAllKey;
        const int x = last ? listAllX : columnStep * (i % keysPerRow);
        const int y = last ? listAllY : rowStep * (i / keysPerRow);
        key->setBounds (x, y, keyWidth, keyHeight);
        key->addChangeListener (this);
        addAndMakeVisible (*key);

        auto& label = labels[(size_t)i];
        label = std::make_unique<SimpleLabel> (catFontHeight, juce::Font::plain, juce::Colour (background),
                                               juce::Justification::centred);
        label->setBounds (x, y + keyHeight, keyWidth, keyHeight);
        addAndMakeVisible (*label);
    }
}

CatContainer::~CatContainer()
{
    for (auto& key : keys)
        key->removeChangeListener (this);
}

void CatContainer::setLabelText (int index, const juce::String& text)
{
    if (index >= 0 && index < numKeys)
        labels[(size_t)index]->setText (text);
}

void CatContainer::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colour (background));
}

void CatContainer::changeListenerCallback (juce::ChangeBroadcaster* source)
{
    for (int i = 0; i < numKeys; ++i)
        if (source == keys[(size_t)i].get())
        {
            listeners.callLastToFirst (*this, [i] (CatListener& l) { l.categoryChosen (i); });
            return;
        }
}

} // namespace kelvo
