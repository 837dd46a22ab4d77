#include "ui/main/BankComp.h"

#include "link/MidiCntrState.h"
#include "model/Categories.h"
#include "model/ProgramPacking.h"
#include "model/SynthBanks.h"
#include "ui/common/DialogBox.h"
#include "ui/widgets/CategoryMenu.h"
#include "ui/widgets/StsBut.h"
#include "ui/widgets/StsGrid.h"
#include "ui/widgets/SwitchLED.h"

namespace kelvo
{
namespace
{
const char* const bankButtonTexts[] = {"BANK U1", "BANK U2", "BANK U3", "BANK U4",
                                       "BANK F1", "BANK F2", "BANK F3", "BANK F4"};
constexpr int bankButtonIdBase = 1300;
constexpr int categoryButtonIdBase = 1400;

constexpr int boxMargin = 33, boxTop = 165, boxBottomGap = 6;
constexpr int contentWidth = 550, firstRowBelowBox = 40;
constexpr int bankButtonWidth = 70, bankButtonHeight = 18, rowPitch = 36;
constexpr int bankButtonsLeft = 100;
constexpr int menuButtonsAbove = 36, menuButtonPitch = 78, switchX = 244, switchAbove = 30;
constexpr int switchWidth = 160, switchHeight = 20;
constexpr int gridWidth = 350, gridHeightMargin = 60;
constexpr int categoriesLeft = 380, categoryColumns = 4, categoryPitch = 78;
const juce::Array<int> gridColumns{50, 140, 100};
constexpr float switchFontHeight = 13.0f;

std::unique_ptr<StsBut> makeButton (const juce::String& text, int id, BankComp& owner)
{
    return StsBut::makeBarButton (text, id, bankButtonWidth, bankButtonHeight, owner);
}
} // namespace

BankComp::BankComp (MidiCntrState& e) : engine (e)
{
    for (int b = 0; b < synthbanks::numSynthBanks; ++b)
        bankButtons[(size_t)b] = makeButton (bankButtonTexts[b], bankButtonIdBase + b, *this);
    for (int c = 0; c < numCategories; ++c)
        categoryButtons[(size_t)c] = makeButton (categoryName (c), categoryButtonIdBase + c, *this);
    fileButton = makeButton ("FILE", bankFilesMenu, *this);
    midiButton = makeButton ("MIDI", transfersMenu, *this);
    presetsButton = makeButton ("PRESETS", presetsMenu, *this);

    useLoadedDataSwitch = std::make_unique<SwitchLED> ("Use Loaded Data", switchFontHeight);
    useLoadedDataSwitch->addChangeListener (this);
    addAndMakeVisible (*useLoadedDataSwitch);

    grid = std::make_unique<StsGrid> (engine);
    grid->setColumns (gridColumns);
    grid->setRowHeight (rowHeight);
    grid->addChangeListener (this);
    addAndMakeVisible (*grid);
    grid->fillList (StsGrid::fillByBank, engine.getCurrentSynthBank());
    lightListedButton();
}

BankComp::~BankComp()
{
    grid->removeChangeListener (this);
    useLoadedDataSwitch->removeChangeListener (this);
}

//==============================================================================
void BankComp::layoutFor (int w, int h, float scale)
{
    const auto margin = juce::roundToInt ((float)boxMargin * scale);
    const auto d = juce::roundToInt ((float)boxTop * scale);
    box = {margin, d, w - 2 * margin, h - d - boxBottomGap};

    const auto e = (w - contentWidth) / 2;
    const auto y0 = d + firstRowBelowBox;
    for (int b = 0; b < synthbanks::numSynthBanks; ++b)
        bankButtons[(size_t)b]->setBounds (e - bankButtonsLeft, y0 + rowPitch * b, bankButtonWidth, bankButtonHeight);

    fileButton->setBounds (e, y0 - menuButtonsAbove, bankButtonWidth, bankButtonHeight);
    midiButton->setBounds (e + menuButtonPitch, y0 - menuButtonsAbove, bankButtonWidth, bankButtonHeight);
    presetsButton->setBounds (e + 2 * menuButtonPitch, y0 - menuButtonsAbove, bankButtonWidth, bankButtonHeight);
    useLoadedDataSwitch->setBounds (e + switchX, y0 - switchAbove, switchWidth, switchHeight);

    const auto gridHeight = juce::jmax (0, (h - d - gridHeightMargin) / rowHeight * rowHeight);
    grid->setBounds (e, y0, gridWidth, gridHeight);

    for (int n = 0; n < numCategories; ++n)
        categoryButtons[(size_t)n]->setBounds (e + categoriesLeft + categoryPitch * (n % categoryColumns),
                                               y0 + rowPitch * (n / categoryColumns), bankButtonWidth,
                                               bankButtonHeight);
    setSize (w, h);
}

void BankComp::paint (juce::Graphics& g)
{
    dialogbox::paint (g, box);
}

//==============================================================================
void BankComp::showCurrent()
{
    useLoadedDataSwitch->setOn (engine.useLoadedData.load());
    showBank (engine.getCurrentSynthBank());
    grid->setSelectedRow (engine.getCurrentSynthProgram());
}

void BankComp::showBank (int bank)
{
    if (bank >= 0 && bank < synthbanks::numSynthBanks)
        grid->fillList (StsGrid::fillByBank, bank);
    lightListedButton();
}

void BankComp::showCategory (int categoryNumber)
{
    if (categoryNumber >= 0 && categoryNumber < numCategories)
        grid->fillList (StsGrid::fillByCategory, categoryNumber);
    lightListedButton();
}

void BankComp::lightListedButton()
{
    const auto byCategory = isShowingCategory();
    const auto listed = grid->getFillValue();
    for (int b = 0; b < synthbanks::numSynthBanks; ++b)
        bankButtons[(size_t)b]->setLit (!byCategory && b == listed);
    for (int c = 0; c < numCategories; ++c)
        categoryButtons[(size_t)c]->setLit (byCategory && c == listed);
}

bool BankComp::isShowingCategory() const noexcept
{
    return grid->getFillMode() == StsGrid::fillByCategory;
}

int BankComp::getShownBank() const noexcept
{
    return isShowingCategory() ? engine.getCurrentSynthBank() : grid->getFillValue();
}

void BankComp::followCurrentProgram()
{
    if (!isShowingCategory() && grid->getFillValue() == engine.getCurrentSynthBank() &&
        grid->getSelectedRow() != engine.getCurrentSynthProgram())
        grid->setSelectedRow (engine.getCurrentSynthProgram());
}

void BankComp::refreshGrid()
{
    const auto selected = grid->getSelectedRow();
    const auto first = grid->getFirstVisibleRow();
    grid->fillList (grid->getFillMode(), grid->getFillValue());
    grid->setFirstVisibleRow (first);
    if (selected >= 0 && selected < grid->getNumRows())
        grid->setSelectedRow (selected);
}

//==============================================================================
void BankComp::programClicked (int bank, int program)
{
    auto* source = engine.getSynthBank (bank);
    if (source == nullptr || program < 0 || program >= program::programsPerBank)
        return;

    if (engine.useLoadedData.load())
    {
        engine.storeProgram (false, bank, program, source->getProgramRecord (program));
        return;
    }

    engine.selectProgram (bank, program, true);
    // Our factory banks may not be the synth's: let the synth say what it now plays.
    if (bank >= synthbanks::numUserBanks && !engine.factoryBanksMatchSynth.load())
        engine.requestDump (sysex::requestEditBuffer, 0, 0);
}

void BankComp::setProgramCategory (int bank, int program, int categoryNumber)
{
    engine.setProgramCategory (bank, program, categoryNumber);
    refreshGrid();
}

void BankComp::showCategoryMenu (int bank, int program)
{
    juce::Component::SafePointer<BankComp> safeThis (this);
    chooseCategory (juce::PopupMenu::Options().withMousePosition(),
                    [safeThis, bank, program] (int chosen)
                    {
                        if (safeThis != nullptr && chosen >= 0)
                            safeThis->setProgramCategory (bank, program, chosen);
                    });
}

//==============================================================================
void BankComp::report (int action)
{
    actionCode = action;
    sendChangeMessage();
}

void BankComp::stsbutChanged (StsBut& button)
{
    const auto id = button.getButtonId();
    if (id >= bankButtonIdBase && id < bankButtonIdBase + synthbanks::numSynthBanks)
        showBank (id - bankButtonIdBase);
    else if (id >= categoryButtonIdBase && id < categoryButtonIdBase + numCategories)
        showCategory (id - categoryButtonIdBase);
    else if (id == bankFilesMenu || id == transfersMenu || id == presetsMenu)
        report (id);
}

void BankComp::changeListenerCallback (juce::ChangeBroadcaster* source)
{
    if (source == useLoadedDataSwitch.get())
    {
        engine.useLoadedData = useLoadedDataSwitch->isOn();
        report (useLoadedDataToggled);
    }
    else if (source == grid.get())
    {
        gridChanged();
    }
}

void BankComp::gridChanged()
{
    if (grid->getSelectedRow() < 0)
        return;
    const auto bank = grid->getSelectedBank();
    const auto program = grid->getSelectedProgram();

    switch (grid->getEventCode())
    {
    case StsGrid::rowSelected:
        programClicked (bank, program);
        break;
    case StsGrid::rightClickedRow:
        cellBank = bank;
        cellProgram = program;
        report (cellMenu);
        break;
    case StsGrid::rightClickedCategory:
        showCategoryMenu (bank, program);
        break;
    default:
        break;
    }
}

} // namespace kelvo
