#include "ui/main/WriteSnd.h"

#include "link/MidiCntrState.h"
#include "model/Categories.h"
#include "ui/common/DialogBox.h"
#include "ui/common/RetireChild.h"
#include "ui/widgets/CategoryMenu.h"
#include "ui/widgets/KelvoLook.h"
#include "ui/widgets/LCD_Comp.h"
#include "ui/widgets/RenameCnt.h"
#include "ui/widgets/StsBut.h"
#include "ui/widgets/StsGrid.h"

namespace kelvo
{
namespace
{
const char* const writeBankTexts[] = {"BANK U1", "BANK U2", "BANK U3", "BANK U4"};
constexpr int writeBankIdBase = 1500;
constexpr int writeButtonId = 1510, cancelButtonId = 1511;

constexpr juce::uint32 writeCaptionColour = 0xfff0e8e8;
constexpr int writeBoxMargin = 33, writeBoxTop = 2, writeBoxBottomGap = 8;
constexpr int writeContentWidth = 350;
constexpr int writeButtonWidth = 70, writeButtonHeight = 18;
constexpr int writeBanksLeft = 100, firstBankButtonY = 93, bankButtonPitch = 36;
constexpr int displayY = 12, renameGap = 10;
constexpr int gridY = 87, writeGridHeightMargin = 109, rowHeight = 26;
constexpr int sideButtonsX = 380, writeAboveGridBottom = 54, cancelAboveGridBottom = 18;
constexpr int writeCaptionX = 105, writeCaptionY = 15, writeCaptionWidth = 100, writeCaptionHeight = 20;
constexpr float writeCaptionFontHeight = 13.0f;
const juce::Array<int> writeGridColumns{50, 140, 100};

std::unique_ptr<StsBut> makeButton (const juce::String& text, int id, WriteSnd& owner)
{
    return StsBut::makeBarButton (text, id, writeButtonWidth, writeButtonHeight, owner);
}
} // namespace

WriteSnd::WriteSnd (MidiCntrState& e) : engine (e)
{
    for (int b = 0; b < synthbanks::numUserBanks; ++b)
        bankButtons[(size_t)b] = makeButton (writeBankTexts[b], writeBankIdBase + b, *this);
    writeButton = makeButton ("WRITE", writeButtonId, *this);
    cancelButton = makeButton ("CANCEL", cancelButtonId, *this);

    grid = std::make_unique<StsGrid> (engine);
    grid->setColumns (writeGridColumns);
    grid->setRowHeight (rowHeight);
    grid->addChangeListener (this);
    addAndMakeVisible (*grid);

    display = std::make_unique<LCD_Comp>();
    display->addChangeListener (this);
    addAndMakeVisible (*display);

    // Name and category come from the edit buffer; the destination from the current location, on a
    // user bank (the factory banks cannot be written).
    if (const auto* pluginBank = engine.getPluginBank())
    {
        const auto record = pluginBank->getEditBufferRecord();
        name = decodeProgramName (record.data() + program::nameOffset, program::nameLength);
        categoryNumber = juce::jlimit (0, category::count - 1, (int)record[(size_t)program::categoryIndex]);
    }
    const auto currentBank = engine.getCurrentSynthBank();
    destinationBank = currentBank < synthbanks::numUserBanks ? currentBank : 0;
    destinationProgram = engine.getCurrentSynthProgram();
    showBank (destinationBank);
}

WriteSnd::~WriteSnd()
{
    grid->removeChangeListener (this);
    display->removeChangeListener (this);
}

//==============================================================================
void WriteSnd::layoutFor (int w, int h, float scale)
{
    const auto margin = juce::roundToInt ((float)writeBoxMargin * scale);
    box = {margin, writeBoxTop, w - 2 * margin, h - writeBoxBottomGap};
    const auto x0 = (w - writeContentWidth) / 2;
    for (int b = 0; b < synthbanks::numUserBanks; ++b)
        bankButtons[(size_t)b]->setBounds (x0 - writeBanksLeft, firstBankButtonY + bankButtonPitch * b,
                                           writeButtonWidth, writeButtonHeight);
    display->setBounds (x0, displayY, LCD_Comp::designWidth, LCD_Comp::designHeight);
    display->setScale (1.0f);
    const auto gridHeight = juce::jmax (0, (h - writeGridHeightMargin) / rowHeight * rowHeight);
    grid->setBounds (x0, gridY, writeContentWidth, gridHeight);
    const auto gridBottom = gridY + gridHeight;
    writeButton->setBounds (x0 + sideButtonsX, gridBottom - writeAboveGridBottom, writeButtonWidth, writeButtonHeight);
    cancelButton->setBounds (x0 + sideButtonsX, gridBottom - cancelAboveGridBottom, writeButtonWidth,
                             writeButtonHeight);
    setSize (w, h);
}

void WriteSnd::paint (juce::Graphics& g)
{
    dialogbox::paint (g, box);
    g.setColour (juce::Colour (writeCaptionColour));
    g.setFont (arialFont (writeCaptionFontHeight, juce::Font::bold));
    g.drawText ("Destination:", box.getX() + writeCaptionX, box.getY() + writeCaptionY, writeCaptionWidth, writeCaptionHeight,
                juce::Justification::centredLeft);
}

//==============================================================================
void WriteSnd::showBank (int bank)
{
    if (bank < 0 || bank >= synthbanks::numUserBanks)
        return;
    destinationBank = bank;
    grid->fillList (StsGrid::fillByBank, bank);
    grid->setSelectedRow (destinationProgram);
    showOnDisplay();
}

void WriteSnd::chooseProgram (int programNumber)
{
    if (programNumber < 0 || programNumber >= program::programsPerBank)
        return;
    destinationProgram = programNumber;
    grid->setSelectedRow (programNumber);
    showOnDisplay();
}

void WriteSnd::setProgramName (const juce::String& text)
{
    name = text.substring (0, program::nameLength).paddedRight (' ', program::nameLength);
    showOnDisplay();
}

void WriteSnd::setCategory (int c)
{
    if (c >= 0 && c < category::count)
        categoryNumber = c;
    showOnDisplay();
}

void WriteSnd::showOnDisplay()
{
    display->showProgram (destinationBank, destinationProgram, categoryNumber, name,
                          categoryName (categoryNumber));
}

ProgramRecord WriteSnd::makeRecord() const
{
    auto record =
        engine.getPluginBank() != nullptr ? engine.getPluginBank()->getEditBufferRecord() : initialProgram();
    const auto nameBytes = encodeProgramName (name);
    std::copy (nameBytes.begin(), nameBytes.end(), record.begin() + program::nameOffset);
    record[(size_t)program::categoryIndex] = (uint8_t)categoryNumber;
    return record;
}

void WriteSnd::write()
{
    engine.writeProgram (destinationBank, destinationProgram, makeRecord());
}

//==============================================================================
void WriteSnd::openRenameBox()
{
    closeRenameBox();
    // Beside the display, so that it hides neither the display nor the grid.
    renameBox = std::make_unique<RenameCnt> (display->getRight() + renameGap, display->getY(), name.trimEnd());
    renameBox->getOkButton().addChangeListener (this);
    renameBox->getCancelButton().addChangeListener (this);
    renameBox->getEditor().onReturnKey = [this] { takeTypedName(); };
    renameBox->getEditor().onEscapeKey = [this] { closeRenameBox(); };
    addAndMakeVisible (*renameBox);
    renameBox->getEditor().grabKeyboardFocus();
}

void WriteSnd::closeRenameBox()
{
    // Its button may be reporting to us right now.
    retireChild (*this, renameBox);
}

void WriteSnd::takeTypedName()
{
    if (renameBox == nullptr)
        return;
    setProgramName (renameBox->getText());
    closeRenameBox();
}

void WriteSnd::finish (Result r)
{
    // "WRITE" while the name is being typed writes that name.
    if (r == writeChosen)
        takeTypedName();
    closeRenameBox();
    result = r;
    sendChangeMessage();
}

void WriteSnd::stsbutChanged (StsBut& button)
{
    const auto id = button.getButtonId();
    if (id >= writeBankIdBase && id < writeBankIdBase + synthbanks::numUserBanks)
        showBank (id - writeBankIdBase);
    else if (id == writeButtonId)
        finish (writeChosen);
    else if (id == cancelButtonId)
        finish (cancelled);
    else if (renameBox != nullptr && id == RenameCnt::okButtonId)
        takeTypedName();
    else if (renameBox != nullptr && id == RenameCnt::cancelButtonId)
        closeRenameBox();
}

void WriteSnd::changeListenerCallback (juce::ChangeBroadcaster* source)
{
    if (source == grid.get())
    {
        if (grid->getSelectedRow() >= 0 && grid->getEventCode() == StsGrid::rowSelected)
            chooseProgram (grid->getSelectedProgram());
    }
    else if (source == display.get())
    {
        if (display->getClickRegion() == LCD_Comp::nameRegion)
        {
            openRenameBox();
        }
        else if (display->getClickRegion() == LCD_Comp::categoryRegion)
        {
            juce::Component::SafePointer<WriteSnd> safeThis (this);
            chooseCategory (juce::PopupMenu::Options().withTargetComponent (display.get()),
                            [safeThis] (int chosen)
                            {
                                if (safeThis != nullptr && chosen >= 0)
                                    safeThis->setCategory (chosen);
                            });
        }
    }
}

} // namespace kelvo
