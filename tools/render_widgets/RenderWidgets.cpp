// Paints every widget of ui/widgets in its states into PNG files, without a display.
//
//     render_widgets <output folder>
//
// Each sheet shows one widget kind in several states and scales, as the user will see it.

#include "host/MarvexAudioProcessor.h"
#include "host/MarvexAudioProcessorEditor.h"
#include "host/SoundCompare.h"
#include "host/SoundHistory.h"
#include "instrument/MophoSimulator.h"
#include "link/MidiCntrState.h"
#include "librarian/ProgramLibrary.h"
#include "link/VirtualMidiDevices.h"
#include "model/Categories.h"
#include "model/ParDes.h"
#include "model/ProgramRecord.h"
#include "ui/main/BankComp.h"
#include "ui/main/MainComp.h"
#include "ui/main/WriteSnd.h"
#include "ui/panels/EditorPanel.h"
#include "ui/librarian/CatContainer.h"
#include "ui/librarian/LibClass.h"
#include "ui/librarian/LibFindBar.h"
#include "ui/librarian/Lib_Manager_Comp.h"
#include "ui/librarian/Lib_Manager_Win.h"
#include "ui/librarian/Plugin_Bank.h"
#include "ui/librarian/Plugin_File.h"
#include "ui/librarian/TextSetCurCont.h"
#include "ui/librarian/LibBut.h"
#include "ui/librarian/LibSearchField.h"
#include "ui/librarian/LibraryDialogs.h"
#include "ui/librarian/StsFile.h"
#include "ui/librarian/TextInputCont.h"
#include "ui/panels/FlashPanel.h"
#include "ui/panels/PatchSheet.h"
#include "ui/panels/KeyBrd.h"
#include "ui/panels/SoundToolsPanel.h"
#include "ui/sequencer/SeqClass.h"
#include "ui/sequencer/SeqPanel.h"
#include "ui/main/AboutPanel.h"
#include "ui/main/MainComp.h"
#include "ui/panels/EditorPanel.h"
#include "ui/panels/FlashPanel.h"
#include "ui/setup/GlbCont.h"
#include "ui/setup/Global_Container.h"
#include "ui/setup/MIDI_Setup.h"
#include "ui/setup/MIDI_scan.h"
#include "ui/widgets/Envel.h"
#include "ui/widgets/KeyOverlay.h"
#include "ui/widgets/PianoPad.h"
#include "ui/widgets/WheelCnt.h"
#include "ui/widgets/KelvoLook.h"
#include "ui/widgets/LCD_Comp.h"
#include "ui/widgets/ProgBar.h"
#include "ui/widgets/RenameCnt.h"
#include "ui/widgets/StsBut.h"
#include "ui/widgets/StsCont.h"
#include "ui/widgets/StsGrid.h"
#include "ui/widgets/StsLabel.h"
#include "ui/widgets/SwitchLED.h"
#include "ui/widgets/WidgetColours.h"

#include <iostream>

namespace
{
using namespace kelvo;

constexpr juce::uint32 sheetColour = 0xff525252;
constexpr int margin = 10;

/** What a component paints, at its own size, as a PNG file. */
bool writeComponent (juce::Component& c, const juce::File& file)
{
    const auto image = c.createComponentSnapshot (c.getLocalBounds(), true, 1.0f);
    file.deleteFile();
    juce::FileOutputStream out (file);
    juce::PNGImageFormat png;
    const auto ok = out.openedOk() && png.writeImageToStream (image, out);
    std::cout << (ok ? "wrote " : "FAILED ") << file.getFullPathName() << "\n";
    return ok;
}

/** A page of widgets on the panel's grey, painted into one PNG. */
class Sheet final : public juce::Component
{
public:
    Sheet (int w, int h) { setSize (w, h); }

    template <typename WidgetType> WidgetType& add (std::unique_ptr<WidgetType> widget)
    {
        auto& w = *widget;
        addAndMakeVisible (w);
        widgets.add (widget.release());
        return w;
    }

    /** A caption in small grey type, to say what a row shows. */
    void note (const juce::String& text, int x, int y)
    {
        auto& label = add (std::make_unique<StsLabel>());
        label.setup (text, KelvoLook::arialName, 11.0f, juce::Justification::centredLeft);
        label.textColour = juce::Colour (0xffd0d0d0);
        label.setBounds (x, y, 400, 14);
    }

    void paint (juce::Graphics& g) override { g.fillAll (juce::Colour (sheetColour)); }

    bool write (const juce::File& file) { return writeComponent (*this, file); }

private:
    juce::OwnedArray<juce::Component> widgets;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Sheet)
};

struct ControlSpec
{
    int index;
    const char* caption;
    int kind, width, height, minimum, maximum, display;
};

std::unique_ptr<StsCont> makeControl (MarvexAudioProcessor& processor, const ControlSpec& c, int value,
                                      float scale, int x, int y)
{
    auto control = std::make_unique<StsCont> (processor);
    control->setupControl (c.index, c.caption, 0, 16, c.width, c.height, c.minimum, c.maximum, c.kind,
                           c.display);
    control->setBackgroundFill (true, juce::Colour (colours::panelFace));
    control->setScale (scale);
    control->forgetValue(); // as a panel does before it loads a program
    control->showValue (value, ParDes::valueToText (c.display, value));
    control->setTopLeftPosition (x, y);
    return control;
}

bool renderControls (MarvexAudioProcessor& processor, const juce::File& folder)
{
    const ControlSpec cutoff{20, "Frequency", StsCont::knob, 65, 64, 0, 164, 222};
    const ControlSpec amount{25, "Amount", StsCont::knob, 65, 64, 0, 254, 555};
    const ControlSpec tempo{101, "Tempo", StsCont::knob, 65, 64, 30, 250, 444};
    const ControlSpec sync{46, "Sync", StsCont::toggleSwitch, 66, 20, 0, 1, 333};
    const ControlSpec fourPole{24, "4 Pole", StsCont::centredSwitch, 65, 45, 0, 1, 333};
    const ControlSpec shape{43, "Shape", StsCont::dropDown, 120, 32, 0, 4, 38};
    const ControlSpec destination{62, "Destination", StsCont::dropDown, 115, 32, 0, 47, 400};

    bool ok = true;
    {
        Sheet sheet (620, 330);
        const float scales[] = {0.5f, 1.0f, 1.2f};
        auto y = margin;
        for (auto scale : scales)
        {
            sheet.note ("knobs at scale " + juce::String (scale, 1) +
                            ": min, middle, max; signed amount; tempo",
                        margin, y);
            y += 16;
            auto x = margin;
            for (auto v : {0, 82, 164})
            {
                sheet.add (makeControl (processor, cutoff, v, scale, x, y));
                x += juce::roundToInt (75 * scale);
            }
            sheet.add (makeControl (processor, amount, 60, scale, x, y));
            x += juce::roundToInt (75 * scale);
            sheet.add (makeControl (processor, tempo, 120, scale, x, y));
            y += juce::roundToInt (64 * scale) + margin;
        }
        ok = sheet.write (folder.getChildFile ("knobs.png")) && ok;
    }
    {
        Sheet sheet (640, 260);
        auto y = margin;
        for (auto scale : {1.0f, 1.2f, 0.5f})
        {
            sheet.note ("switches, centred switches and drop-downs at scale " + juce::String (scale, 1),
                        margin, y);
            y += 16;
            auto x = margin;
            for (auto v : {0, 1})
            {
                sheet.add (makeControl (processor, sync, v, scale, x, y));
                x += juce::roundToInt (75 * scale);
            }
            for (auto v : {0, 1})
            {
                sheet.add (makeControl (processor, fourPole, v, scale, x, y));
                x += juce::roundToInt (75 * scale);
            }
            sheet.add (makeControl (processor, shape, 3, scale, x, y));
            x += juce::roundToInt (130 * scale);
            sheet.add (makeControl (processor, destination, 6, scale, x, y));
            y += juce::roundToInt (50 * scale) + margin;
        }
        ok = sheet.write (folder.getChildFile ("switches_dropdowns.png")) && ok;
    }
    return ok;
}

bool renderButtons (const juce::File& folder)
{
    Sheet sheet (480, 150);
    sheet.note ("StsBut kinds 5, 130, 135, 140; kind 5 pressed; labels; LEDs", margin, margin);

    struct Spec
    {
        const char* caption;
        int kind, x, w, h;
    };
    const Spec specs[] = {{"SEQUENCER", StsBut::bevelKind, 10, 96, 24},
                          {"BANK", StsBut::tabKind, 116, 50, 18},
                          {"FILE", StsBut::openTabKind, 176, 50, 18},
                          {"CANCEL", StsBut::barKind, 236, 60, 24},
                          {"PRESSED", StsBut::bevelKind, 306, 96, 24}};
    for (const auto& s : specs)
    {
        auto& b = sheet.add (std::make_unique<StsBut> (s.caption, 1, s.kind));
        b.setupButton (s.x, 30, s.w, s.h, true);
    }
    // Show the last one pressed, as it looks while the mouse is down.
    for (auto* child : sheet.getChildren())
        if (auto* b = dynamic_cast<StsBut*> (child); b != nullptr && b->getCaption() == "PRESSED")
            b->mouseDown (juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(), {}, {},
                                            juce::MouseInputSource::defaultPressure, 0.0f, 0.0f, 0.0f, 0.0f,
                                            b, b, juce::Time(), {}, juce::Time(), 1, false));

    auto& channel = sheet.add (std::make_unique<StsLabel>());
    channel.setup ("MIDI CH 1", KelvoLook::arialName, 12.0f, juce::Justification::centred);
    channel.borderMode = StsLabel::filled;
    channel.fillColour = juce::Colours::black;
    channel.textColour = juce::Colour (0xff9f9f9f);
    channel.setBounds (10, 70, 62, 15);

    auto& status = sheet.add (std::make_unique<StsLabel>());
    status.setup ("DSI:  MOPHO X4 ON-LINE", KelvoLook::arialName, 13.0f, juce::Justification::centredLeft);
    status.borderMode = StsLabel::filledAndOutlined;
    status.fillColour = juce::Colour (0xff404040);
    status.textColour = juce::Colour (0xff9f9f9f);
    status.outlineColour = juce::Colour (0xff9f9f9f);
    status.setBounds (82, 70, 200, 15);

    auto& ledOff = sheet.add (std::make_unique<SwitchLED> ("Use loaded data", 12.0f));
    ledOff.setBounds (10, 100, 160, 20);
    auto& ledOn = sheet.add (std::make_unique<SwitchLED> ("Use loaded data", 12.0f));
    ledOn.setOn (true);
    ledOn.setBounds (180, 100, 160, 20);

    return sheet.write (folder.getChildFile ("buttons_labels_leds.png"));
}

bool renderDisplays (const juce::File& folder)
{
    Sheet sheet (720, 330);
    sheet.note ("envelopes at scale 1 (default, long, short) and 1.5 under the mouse; LCD at scale 1 and 1.5",
                margin, margin);

    struct Adsr
    {
        int a, d, s, r;
    };
    const Adsr shapes[] = {{30, 30, 30, 30}, {127, 127, 0, 127}, {0, 20, 100, 10}};
    auto x = margin;
    for (const auto& shape : shapes)
    {
        auto& env = sheet.add (std::make_unique<Envel>());
        env.setAttack (shape.a);
        env.setDecay (shape.d);
        env.setSustain (shape.s);
        env.setRelease (shape.r);
        env.setBounds (x, 28, 226, 82);
        x += 236;
    }
    auto& big = sheet.add (std::make_unique<Envel>());
    big.setScale (1.5f);
    big.setBounds (margin, 120, 339, 123);
    big.setAttack (40);
    big.setSustain (90);
    // The mouse over the big one, on its sustain stage: the handles show, that one highlighted.
    const auto overSustain = big.handlePosition (Envel::sustainHandle);
    big.mouseEnter (juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(), overSustain, {},
                                      juce::MouseInputSource::defaultPressure, 0.0f, 0.0f, 0.0f, 0.0f, &big,
                                      &big, juce::Time::getCurrentTime(), overSustain,
                                      juce::Time::getCurrentTime(), 0, false));

    auto& lcd = sheet.add (std::make_unique<LCD_Comp>());
    lcd.showProgram (4, 0, 9, "Deep Bass Drone ", categoryName (9));
    lcd.setTopLeftPosition (360, 120);

    auto& lcdBig = sheet.add (std::make_unique<LCD_Comp>());
    lcdBig.showProgram (7, 127, 1, "A long name here", categoryName (1));
    lcdBig.setScale (1.5f);
    lcdBig.setBounds (360, 175, 270, 65);

    return sheet.write (folder.getChildFile ("envelopes_lcd.png"));
}

bool renderLists (MarvexAudioProcessor& processor, const juce::File& folder)
{
    auto& engine = processor.getEngine();
    Sheet sheet (800, 360);
    sheet.note ("program list of bank U1 (row 3 selected, scrolled to 2); rename box; progress overlay",
                margin, margin);

    auto& grid = sheet.add (std::make_unique<StsGrid> (engine));
    grid.setColumns ({50, 140, 100});
    grid.setRowHeight (26);
    grid.setFontHeight (15.0f);
    grid.setBounds (margin, 30, 350, 260);
    grid.fillList (StsGrid::fillByBank, 0);
    grid.setSelectedRow (3);
    grid.setFirstVisibleRow (2);

    sheet.add (std::make_unique<RenameCnt> (380, 30, "Untitled"));

    auto& progress = sheet.add (std::make_unique<ProgBar> (420, 200));
    progress.setTopLeftPosition (370, 100);
    progress.setProgress (1, 63);

    return sheet.write (folder.getChildFile ("lists_progress_rename.png"));
}

/** The librarian's widgets over a real library: the factory banks imported into it. */
bool renderLibrary (MarvexAudioProcessor& processor, const juce::File& folder)
{
    auto& engine = processor.getEngine();
    ProgramLibrary library (ProgramLibrary::defaultFileIn (engine.getSettingsFolder()),
                            processor.getPluginBank(), nullptr);
    library.loadDefaultFile();
    for (int bank = 4; bank < 8; ++bank)
    {
        library.stageBank (*engine.getSynthBank (bank));
        library.commitImport (true);
    }
    auto& store = library.getStore();

    bool ok = true;
    {
        Sheet sheet (1000, 620);
        sheet.note ("library of the four factory banks: all, row 8 selected, scrolled to 4", 20, 4);
        sheet.note ("the same library: category Strings, names searched for \"o\"", 400, 4);
        auto& all = sheet.add (std::make_unique<StsFile> (store));
        all.setBounds (20, 60, 334, 510);
        store.selectRow (7);
        all.scrollTo (3);
        auto& search = sheet.add (std::make_unique<LibSearchField> (store));
        search.setBounds (20, 26, 302, 26);
        auto first = sheet.createComponentSnapshot ({0, 0, 360, 620}, true, 1.0f);

        // The same library narrowed: a category and a search, on a second list beside the first.
        store.setFilterCategory (3);
        store.rebuildView (LibraryStore::FilterMode::category);
        search.setText ("o", false);
        store.setSearchText ("o");
        store.selectRow (1);
        auto& narrowed = sheet.add (std::make_unique<StsFile> (store));
        narrowed.setBounds (400, 60, 334, 510);
        auto& search2 = sheet.add (std::make_unique<LibSearchField> (store));
        search2.setBounds (400, 26, 302, 26);
        all.setVisible (false);
        search.setVisible (false);

        const char* captions[] = {"LOAD", "SAVE", "CLEAR ALL", "ADD CURRENT", "DELETE", "RENAME", "DONE"};
        int y = 60;
        for (auto* caption : captions)
        {
            auto& b = sheet.add (std::make_unique<LibBut> (caption, 0, 12.0f));
            b.place (780, y);
            y += 50;
        }
        auto image = sheet.createComponentSnapshot (sheet.getLocalBounds(), true, 1.0f);
        {
            juce::Graphics g (image);
            g.drawImageAt (first, 0, 0);
        }
        const auto file = folder.getChildFile ("library_list.png");
        file.deleteFile();
        juce::FileOutputStream out (file);
        ok = out.openedOk() && juce::PNGImageFormat().writeImageToStream (image, out);
        std::cout << (ok ? "wrote " : "FAILED ") << file.getFullPathName() << "\n";
    }
    {
        store.setSearchText ({});
        store.rebuildView (LibraryStore::FilterMode::all);
        Sheet sheet (460, 400);
        sheet.note ("category chooser with the library's counts", margin, 4);
        auto& chooser = sheet.add (std::make_unique<CatContainer>());
        chooser.setBounds (10, 24, 440, 380);
        for (int c = 0; c < category::count; ++c)
            chooser.setLabelText (c, store.getCategoryCount (c) > 0
                                         ? juce::String (store.getCategoryCount (c))
                                         : juce::String());
        chooser.setLabelText (CatContainer::listAllKey, "Size: " + juce::String (store.getNumEntries()));
        ok = sheet.write (folder.getChildFile ("library_categories.png")) && ok;
    }
    {
        Sheet sheet (1000, 560);
        sheet.note ("the library's dialog: a prompt with the category box; a question; a message", margin, 4);
        const int w = 490;
        auto& prompt = sheet.add (std::make_unique<TextInputCont>());
        prompt.setBounds (0, 24, w, 190);
        openLibraryDialog (prompt, LibraryDialog::programName, "Velvet Drone", 9);

        auto& question = sheet.add (std::make_unique<TextInputCont>());
        question.setBounds (510, 24, w, 190);
        openLibraryDialog (question, LibraryDialog::appendPrograms);

        auto& message = sheet.add (std::make_unique<TextInputCont>());
        message.setBounds (0, 230, 1000, 190);
        openLibraryDialog (message, LibraryDialog::alreadyInLibrary, "Velvet Drone");
        ok = sheet.write (folder.getChildFile ("library_dialog.png")) && ok;
    }
    return ok;
}

/** A program with the knobs at telling places: ends, middles, a few switches on. */
ProgramRecord showcaseProgram()
{
    auto record = initialProgram();
    const std::pair<int, int> values[] = {
        {0, 36},   {1, 56},  {2, 40},   {3, 12},   {5, 90},   {6, 48},   {7, 44},    {8, 103},  {12, 1},
        {13, 2},   {14, 2},  {16, 70},  {17, 20},  {18, 30},  {19, 100}, {20, 96},   {21, 80},  {22, 64},
        {23, 10},  {24, 1},  {25, 200}, {26, 40},  {28, 5},   {29, 60},  {30, 70},   {31, 40},  {32, 0},
        {33, 127}, {34, 64}, {36, 2},   {37, 90},  {38, 100}, {39, 60},  {40, 30},   {41, 110}, {42, 60},
        {43, 2},   {44, 50}, {45, 9},   {46, 1},   {47, 150}, {48, 3},   {49, 30},   {50, 12},  {62, 9},
        {63, 160}, {66, 60}, {67, 30},  {68, 20},  {69, 90},  {70, 1},   {71, 3},    {72, 180}, {73, 9},
        {74, 7},   {75, 90}, {76, 3},   {83, 150}, {84, 9},   {97, 100}, {101, 128}, {102, 4},  {103, 3},
        {104, 1},  {106, 1},  {117, 9},
    };
    for (const auto& [index, value] : values)
        record[(size_t) index] = (uint8_t) value;
    const auto name = encodeProgramName ("Velvet Drone");
    std::copy (name.begin(), name.end(), record.begin() + program::nameOffset);
    return record;
}

/** The synth panel at full size with a program loaded, and its zoomed LFO section over it, as the
    main window lays them out. */
bool renderPanels (MarvexAudioProcessor& processor, const juce::File& folder)
{
    processor.getEngine().storeProgram (false, 0, 0, showcaseProgram());

    Sheet sheet (EditorPanel::designWidth, EditorPanel::designHeight);
    auto& panel = sheet.add (std::make_unique<EditorPanel> (processor));
    panel.setScale (1.0f);
    panel.refreshFromEditBuffer();
    auto ok = sheet.write (folder.getChildFile ("panel.png"));
    // The patch sheet of the same sound, as FILE ▸ Export Patch Sheet writes it.
    ok = PatchSheet::write (processor, folder.getChildFile ("patch_sheet.png"), PatchSheet::sizes[0].width) &&
         ok;

    auto& zoomed = sheet.add (std::make_unique<FlashPanel> (processor));
    constexpr int lfoSection = 5;
    panel.setShowing (false);
    zoomed.setBounds (sheet.getLocalBounds());
    zoomed.setShowing (true);
    zoomed.showSection (lfoSection, sheet.getWidth());
    zoomed.refreshSection();
    zoomed.setVisible (true);
    ok = sheet.write (folder.getChildFile ("panel_zoomed_lfo.png")) && ok;

    zoomed.showSection (0, sheet.getWidth());
    zoomed.refreshSection();
    zoomed.setVisible (true);
    ok = sheet.write (folder.getChildFile ("panel_zoomed_filter.png")) && ok;

    zoomed.setVisible (false);
    panel.setShowing (true);
    panel.setScale (0.38287154f);
    panel.setSize (456, 268);
    return sheet.write (folder.getChildFile ("panel_thumbnail.png")) && ok;
}

/** The showcase program with a sequence worth looking at: a melody in quarter tones on track 1, a
    filter sweep on track 2, accents with a reset on track 3 and a gated pattern with rests on 4. */
ProgramRecord showcaseSequence()
{
    auto record = showcaseProgram();
    const int melody[16] = { 48, 48, 62, 55, 72, 67, 60, 127, 48, 53, 62, 58, 76, 72, 67, 60 };
    const int sweep[16] = { 10, 18, 26, 34, 42, 50, 58, 66, 74, 82, 90, 98, 106, 114, 122, 125 };
    const int accents[16] = { 120, 30, 60, 30, 110, 30, 70, 40, 120, 30, 60, 30, 110, 126, 0, 0 };
    const int gates[16] = { 100, 0, 100, 100, 0, 100, 0, 100, 100, 0, 100, 0, 100, 100, 126, 0 };
    const int* tracks[4] = { melody, sweep, accents, gates };
    for (int t = 0; t < 4; ++t)
        for (int step = 0; step < 16; ++step)
            record[(size_t) (program::firstStepIndex + 16 * t + step)] = (uint8_t) tracks[t][step];
    const std::pair<int, int> settings[] = { { 107, 3 }, { 108, 9 }, { 109, 17 }, { 110, 12 }, { 101, 118 }, { 102, 6 }, { 105, 1 }, { 106, 1 } };
    for (const auto& [index, value] : settings)
        record[(size_t) index] = (uint8_t) value;
    return record;
}


/** The whole editor: the sequencer page with its synth panel preview, a track being edited with the
    others as thumbnails, and the keyboard drawer pulled open with a key held down. */
bool renderEditorPages (MarvexAudioProcessor& processor, const juce::File& folder)
{
    processor.getEngine().storeProgram (false, 0, 0, showcaseSequence());
    MainComp main (processor);
    main.setSize (MainComp::designWidth, MainComp::designHeight);
    main.drainEvents();

    main.stsbutPressed (EditorPanel::sequencerButtonId);
    auto ok = writeComponent (main, folder.getChildFile ("sequencer_page.png"));

    auto& page = main.getSequencerPanel();
    page.showTrackEditor (0);
    main.resized();
    ok = writeComponent (main, folder.getChildFile ("sequencer_track_editor.png")) && ok;

    // A thumbnail as an editor twice the design size shows it.
    SeqClass thumbnail (processor, 2);
    thumbnail.setDesignBounds (0, 0, 136, 60);
    thumbnail.setScale (2.0f);
    thumbnail.setViewMode (SeqClass::thumbnailView);
    const auto record = showcaseSequence();
    thumbnail.setAllSteps (record.data() + program::firstStepIndex + 2 * SeqClass::numSteps);
    ok = writeComponent (thumbnail, folder.getChildFile ("sequencer_thumbnail.png")) && ok;

    page.showAllTracks();
    main.stsbutPressed (MainComp::synthView);
    auto& drawer = main.getKeyboard();
    drawer.keyPlayMouseDown (450, 8);
    drawer.keyPlayMouseDrag (450, 8 - 152);
    drawer.keyPlayMouseUp (450, 8 - 152);
    drawer.dispatchPendingMessages();
    auto& keys = drawer.getKeyBed().getOverlay();
    const auto held = keys.getLocalPoint (&drawer.getKeyBed(), juce::Point<int> (8 * 25 + 12, 130)).toFloat();
    keys.mouseDown (juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(), held, {}, 1.0f, 0, 0, 0, 0, &keys,
                                      &keys, juce::Time::getCurrentTime(), held, juce::Time::getCurrentTime(), 1, false));
    drawer.getPitchWheel().setWheelValue (100, false);
    drawer.getModWheel().setWheelValue (40, false);
    ok = writeComponent (main, folder.getChildFile ("keyboard_drawer.png")) && ok;
    keys.releaseAll();
    return ok;
}

/** The whole editor, as a host shows it, at its smallest and largest sizes, and the zoomed
    oscillator section at the smallest. */
bool renderEditor (MarvexAudioProcessor& processor, const juce::File& folder)
{
    using Editor = MarvexAudioProcessorEditor;
    processor.getEngine().storeProgram (false, 0, 0, showcaseProgram());

    const auto write = [&folder] (juce::Component& c, const char* name)
    { return writeComponent (c, folder.getChildFile (name)); };

    std::unique_ptr<Editor> editor (dynamic_cast<Editor*> (processor.createEditor()));
    auto& main = editor->getMainComp();
    main.drainEvents();

    const auto largest = Editor::sizeForWidth (Editor::maxWidth);
    editor->setSize (largest.getWidth(), largest.getHeight());
    auto ok = write (*editor, "editor_largest.png");

    const auto smallest = Editor::sizeForWidth (Editor::minWidth);
    editor->setSize (smallest.getWidth(), smallest.getHeight());
    ok = write (*editor, "editor_smallest.png") && ok;

    constexpr int oscillatorSection = 7;
    main.openSectionView (oscillatorSection);
    ok = write (*editor, "editor_smallest_zoomed.png") && ok;
    main.closeSectionView();
    return ok;
}

bool pumpUntil (const std::function<bool()>& condition, int timeoutMs = 3000)
{
    const auto deadline = juce::Time::getMillisecondCounter() + (juce::uint32) timeoutMs;
    while (! condition() && juce::Time::getMillisecondCounter() < deadline)
        juce::MessageManager::getInstance()->runDispatchLoopUntil (5);
    return condition();
}

/** The connection panels over the whole editor, as a user meets them: a machine with one USB MIDI
    interface (silent) and the simulator. */
bool renderConnectionPanels (const juce::File& folder)
{
    juce::TemporaryFile scratch;
    const auto settings = scratch.getFile();
    settings.createDirectory();

    MophoSimulator synth;
    bool ok = true;
    {
        auto devices = std::make_unique<VirtualMidiDevices>();
        devices->addOutput ("USB MIDI Interface", [] (const juce::MidiMessage&) {});
        devices->addInput ("USB MIDI Interface");
        synth.attachTo (*devices);

        MarvexAudioProcessor processor (std::move (devices), settings);
        auto& engine = processor.getEngine();
        engine.firstEditorOpened = true;
        engine.settingsWereReset = false;
        engine.storeProgram (false, 0, 0, showcaseProgram());
        engine.selectInputRow (2);
        engine.selectOutputRow (2);

        MainComp main (processor);
        main.setSize (MainComp::designWidth, MainComp::designHeight);
        const auto online = [&] { return engine.hasGlobalDumpArrived(); };
        pumpUntil (online);
        main.drainEvents();

        main.toggleSetupPanel();
        pumpUntil (online);
        main.drainEvents();
        ok = writeComponent (main, folder.getChildFile ("setup.png")) && ok;

        main.getSetupPanel()->toggleGlobalPanel();
        pumpUntil (online);
        main.drainEvents();
        ok = writeComponent (main, folder.getChildFile ("globals.png")) && ok;

        // A change that would cut the link waits for the user's answer.
        auto& globals = *main.getSetupPanel()->getGlobalPanel();
        globals.getControl (7).setValue (0);
        ok = writeComponent (main, folder.getChildFile ("globals_warning.png")) && ok;
        main.toggleSetupPanel();

        main.showAboutPanel();
        ok = writeComponent (main, folder.getChildFile ("about.png")) && ok;
        main.changeListenerCallback (main.getAboutPanel());

        // The synth answers, but sends its parameters as CC: the scan finds it and warns.
        synth.setGlobal (4, 1);
        main.showScanPanel (100);
        pumpUntil ([&] { return main.getScanPanel()->getScan().getState() == PortScan::State::found; });
        ok = writeComponent (main, folder.getChildFile ("scan_warning.png")) && ok;

        // No synth on the interface, and nothing chosen: nothing answers.
        engine.selectInputRow (0);
        engine.selectOutputRow (0);
        main.showScanPanel (100);
        pumpUntil ([&] { return main.getScanPanel()->isNotConnected(); });
        main.drainEvents();
        ok = writeComponent (main, folder.getChildFile ("scan_not_connected.png")) && ok;
        synth.waitUntilIdle (1000);
    }
    settings.deleteRecursively();
    return ok;
}


/** The main window with the bank view (a bank, then a category across all banks), the write dialog
    and a message box asking a question. */
bool renderBankViewAndDialogs (MarvexAudioProcessor& processor, const juce::File& folder)
{
    MainComp main (processor);
    main.setSize (MainComp::designWidth, MainComp::designHeight);
    const auto snapshot = [&main, &folder] (const char* name) { return writeComponent (main, folder.getChildFile (name)); };

    processor.getEngine().selectProgram (1, 12, false);
    main.toggleBankView();
    main.drainEvents();
    auto ok = snapshot ("bank_view.png");
    main.getBankView().showCategory (24); // Pads
    ok = snapshot ("bank_view_category.png") && ok;
    main.toggleBankView();

    main.toggleWriteDialog();
    if (auto* dialog = main.getWriteDialog())
    {
        dialog->showBank (2);
        dialog->chooseProgram (4);
        dialog->setName ("My New Lead");
        dialog->openRenameBox();
    }
    ok = snapshot ("write_dialog.png") && ok;
    main.toggleWriteDialog();

    main.askQuestion ("Initialize all 128 programs of U2?", [] {});
    ok = snapshot ("message_box.png") && ok;
    return ok;
}

/** The library window on both pages, with the factory banks in the preset bank and the library. */
bool renderLibraryWindow (MarvexAudioProcessor& processor, const juce::File& folder)
{
    Lib_Manager_Win window (processor);
    auto& manager = window.getManager();
    const auto snapshot = [&manager, &folder] (const char* name)
    { return writeComponent (manager, folder.getChildFile (name)); };

    auto& presets = *manager.getPresetPage();
    presets.loadSynthBank (5); // F2
    processor.setCurrentProgram (17);
    presets.showCurrentProgram();
    auto ok = snapshot ("library_window_presets.png");

    presets.openSlotDialog();
    if (auto* slots = presets.getSlotDialog())
        slots->slotMenuChosen (TextSetCurCont::firstSlotItem + 42);
    ok = snapshot ("library_window_set_current.png") && ok;
    if (auto* slots = presets.getSlotDialog())
        slots->getCancelButton().triggerClick();

    manager.showPage (Lib_Manager_Comp::libraryPageId);
    auto& library = *manager.getLibraryPage();
    library.getLibrary().chooseCategory (2); // Basses
    library.getLibrary().getStore().selectRow (3);
    ok = snapshot ("library_window_library.png") && ok;
    library.getSearchField().setText ("no such name");
    auto& store = library.getLibrary().getStore();
    pumpUntil ([&store] { return store.getNumRows() == 0; }); // the field reports its text later
    ok = snapshot ("library_window_no_match.png") && ok;
    library.getSearchField().setText ({});
    pumpUntil ([&store] { return store.getNumRows() > 0; });

    // Marks: starred and hidden sounds, hidden ones shown, sorted by name, a starred one selected.
    auto& programs = library.getLibrary();
    programs.chooseCategory (ProgramLibrary::listAllButton);
    store.setShowHidden (true);
    store.setSortOrder (LibraryStore::SortOrder::name);
    library.getFindBar().refresh();
    for (const int row : {1, 4, 6, 11})
        programs.setMark (store.getRowEntry (row), LibraryStore::Mark::favourite, true);
    for (const int row : {3, 8})
        programs.setMark (store.getRowEntry (row), LibraryStore::Mark::hidden, true);
    store.selectRow (4);
    library.refreshButtons();
    ok = snapshot ("library_window_marks.png") && ok;
    return ok;
}

bool renderSoundTools (MarvexAudioProcessor& processor, const juce::File& folder)
{
    MainComp main (processor);
    main.setSize (MainComp::designWidth, MainComp::designHeight);

    // A stored program with a few edits: the list shows them against the program.
    processor.getEngine().selectProgram (1, 12, false);
    processor.getHistory().forgetAll();
    const std::pair<int, int> edits[] = {{20, 131}, {21, 96}, {43, 4}, {47, 13}, {2, 57}, {117, 3}};
    for (auto [index, value] : edits)
        processor.setParameterFromEditor (index, value, true, false);
    main.toggleSoundTools();
    main.drainEvents();
    auto* tools = main.getSoundTools();
    if (tools == nullptr)
        return false;
    tools->refresh();
    auto ok = writeComponent (main, folder.getChildFile ("editor_sound_tools.png"));
    ok = writeComponent (*tools, folder.getChildFile ("compare_list.png")) && ok;

    // Comparing: the source plays.
    // Their change messages arrive through the message loop, which does not run here.
    processor.getCompare().toggle();
    main.drainEvents();
    tools->refresh();
    ok = writeComponent (*tools, folder.getChildFile ("compare_source.png")) && ok;
    processor.getCompare().toggle();
    main.drainEvents();

    // The morph slider part of the way towards a factory program.
    tools->chooseMorphTarget (4, 4);
    tools->getMorphSlider().setValue (40.0, juce::sendNotificationSync);
    main.drainEvents();
    tools->refresh();
    ok = writeComponent (*tools, folder.getChildFile ("morph_slider.png")) && ok;
    main.toggleSoundTools();
    return ok;
}
} // namespace

int main (int argc, char** argv)
{
    if (argc != 2)
    {
        std::cerr << "usage: render_widgets <output folder>\n";
        return 2;
    }

    const juce::ScopedJuceInitialiser_GUI juceInitialiser;
    const juce::SharedResourcePointer<KelvoLook> look;

    const auto folder = juce::File::getCurrentWorkingDirectory().getChildFile (argv[1]);
    folder.createDirectory();

    // A processor of its own, on virtual MIDI devices, with its settings in a scratch folder.
    juce::TemporaryFile scratch;
    const auto settings = scratch.getFile();
    settings.createDirectory();

    bool ok = true;
    {
        MarvexAudioProcessor processor (std::make_unique<VirtualMidiDevices>(), settings);
        // The about panel of a first opening and the first start's scan would cover the editor
        // pictures; they have their own.
        processor.getEngine().firstEditorOpened = true;
        processor.getEngine().settingsWereReset = false;
        ok = renderControls (processor, folder) && ok;
        ok = renderButtons (folder) && ok;
        ok = renderDisplays (folder) && ok;
        ok = renderLists (processor, folder) && ok;
        ok = renderPanels (processor, folder) && ok;
        ok = renderEditorPages (processor, folder) && ok;
        ok = renderEditor (processor, folder) && ok;
        ok = renderBankViewAndDialogs (processor, folder) && ok;
        ok = renderSoundTools (processor, folder) && ok;
        ok = renderLibrary (processor, folder) && ok;
        ok = renderLibraryWindow (processor, folder) && ok;
    }
    ok = renderConnectionPanels (folder) && ok;
    settings.deleteRecursively();
    return ok ? 0 : 1;
}
