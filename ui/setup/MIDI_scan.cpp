#include "ui/setup/MIDI_scan.h"
#include "files/SafeFileWrite.h"
#include "link/MidiCntrState.h"
#include "ui/widgets/KelvoLook.h"

namespace kelvo
{
namespace
{
constexpr juce::uint32 scanFill = 0xf815222a, scanningOutline = 0xdd457089, failedOutline = 0xddd0584f,
                       warningOutline = 0xdde0a040;
constexpr float corner = 10.0f, scanOutlineThickness = 3.0f;
constexpr float scanTitleFontHeight = 17.0f, lineFontHeight = 15.0f, headerFontHeight = 14.0f;
constexpr int scanTitleX = 10, titleBaseline = 30, lineX = 30, firstLineBaseline = 55, lineStep = 20;
constexpr int warningHeaderX = 100, warningLineX = 120, warningFirstBaseline = 50, warningHeightBase = 50;
constexpr int linkX = 350, linkY = 10, linkWidth = 150, linkHeight = 24;
constexpr juce::uint32 linkColour = 0xcc8ed3ff, scanTextColour = 0xffffffff, scanQuietText = 0xff8aa3b3;
constexpr juce::uint32 failedTitle = 0xffff8a80, warningTitle = 0xffffc46b;
constexpr int progressRepaintMs = 100;
const char* const choosePortsText = "Click here to choose the synth's MIDI ports.";

const char* const helpPage = R"(<!DOCTYPE html>
<html lang="en"><head><meta charset="utf-8"><title>Kelvo: connecting to the Mopho x4</title>
<style>
body { font-family: Arial, Helvetica, sans-serif; background: #15222a; color: #e8f1f6; max-width: 46em;
       margin: 2em auto; line-height: 1.45; }
h1 { font-size: 1.5em; } h2 { font-size: 1.15em; color: #8ed3ff; margin-top: 1.6em; }
code, td:first-child { color: #ffe2b0; } table { border-collapse: collapse; }
td { padding: 0.2em 1em 0.2em 0; }
</style></head><body>
<h1>Connecting Kelvo to the Mopho x4</h1>
<p>Kelvo talks to the synth over a MIDI input and a MIDI output that it opens itself, not through the
host's MIDI tracks. It is on-line when the synth answers its request for the global settings; the
app bar then reads "DSI:&nbsp; MOPHO X4 ON-LINE".</p>

<h2>1. Cables</h2>
<p>Connect the synth's MIDI OUT to an input of your MIDI interface and the interface's output to the
synth's MIDI IN, or use the synth's USB port. Then choose that input and output in Kelvo's "MIDI" panel;
the light next to each port shows that it is open.</p>

<h2>2. The synth's global settings</h2>
<p>Press GLOBALS on the synth (or use the "GLOBALS" button in Kelvo's "MIDI" panel once it is on-line)
and set:</p>
<table>
<tr><td>MIDI Channel</td><td>All channels</td></tr>
<tr><td>MIDI SysEx</td><td>ON (Kelvo needs it to read and write programs and to find the synth)</td></tr>
<tr><td>MIDI Controller Send / Receive</td><td>ON</td></tr>
<tr><td>MIDI Parameter Send</td><td>NRPN</td></tr>
<tr><td>MIDI Parameter Receive</td><td>ALL</td></tr>
<tr><td>MIDI Out Select</td><td>OUT</td></tr>
</table>

<h2>3. Let the plug-in have the ports</h2>
<p>Many MIDI drivers, Windows' own among them, let only one program open a port at a time. When the
host has already opened the synth's ports, Kelvo cannot open them, and the light next to the port stays
dark. Switch the synth's ports off in the host's MIDI settings and let Kelvo open them:</p>
<table>
<tr><td>Ableton Live</td><td>Preferences &gt; Link, Tempo &amp; MIDI: set Track, Sync and Remote off for the
synth's input and output.</td></tr>
<tr><td>Bitwig Studio</td><td>Settings &gt; Controllers: remove any controller entry that uses the synth's
ports.</td></tr>
<tr><td>Cubase / Nuendo</td><td>Studio &gt; Studio Setup &gt; MIDI Port Setup: clear "Visible" and
"In 'All MIDI Inputs'" for the synth's ports.</td></tr>
<tr><td>REAPER</td><td>Options &gt; Preferences &gt; Audio &gt; MIDI Devices: disable the synth's input and
output.</td></tr>
<tr><td>FL Studio</td><td>Options &gt; MIDI settings: leave the synth's output and input disabled.</td></tr>
<tr><td>Studio One</td><td>Options &gt; External Devices: remove the synth's device entry.</td></tr>
</table>
<p>On macOS and Linux several programs can usually share a port, and nothing needs changing.</p>

<h2>4. Check</h2>
<p>Open Kelvo's "MIDI" panel, choose the ports again and watch the heading: it reads
"DSI:&nbsp; MOPHO X4 ON-LINE" when the synth answers. Without the synth, choose "Mopho x4 Simulator"
for both ports to try the editor.</p>
</body></html>
)";
} // namespace

MIDI_scan::MIDI_scan (MidiCntrState& e, PortScan::Timing timing, PortScan::StandInTest skip)
    : engine (e), scan (e, timing, std::move (skip))
{
    scan.onFinished = [this] { scanFinished(); };

    hostSettings.setButtonText ("Host settings");
    hostSettings.setFont (arialFont (lineFontHeight), false, juce::Justification::centred);
    hostSettings.setColour (juce::HyperlinkButton::textColourId, juce::Colour (linkColour));
    hostSettings.setBounds (linkX, linkY, linkWidth, linkHeight);
    hostSettings.onClick = [this] { openHostSettings(); };
    addChildComponent (hostSettings);

    setSize (designWidth, designHeight);
    savedBounds = getBounds();
}

MIDI_scan::~MIDI_scan()
{
    stopTimer();
    scan.onFinished = nullptr;
}

void MIDI_scan::start()
{
    savedBounds = getBounds();
    startTimer (progressRepaintMs);
    scan.start();
}

void MIDI_scan::scanFinished()
{
    stopTimer();
    if (scan.getState() == PortScan::State::notFound)
    {
        notConnected = true;
        hostSettings.setVisible (true);
        // One line more: what to do next.
        setBounds (savedBounds.withHeight (savedBounds.getHeight() + lineStep));
        repaint();
        return;
    }

    warnings = PortScan::settingWarnings (engine);
    if (warnings.isEmpty())
    {
        sendChangeMessage(); // all is well: nothing to show
        return;
    }
    setSize (getWidth(), lineStep * warnings.size() + warningHeightBase);
    repaint();
}

void MIDI_scan::mouseDown (const juce::MouseEvent&)
{
    portSetupWanted = notConnected;
    stopTimer();
    scan.cancel();
    sendChangeMessage();
}

juce::File MIDI_scan::writeHostSettingsHelp (const juce::File& folder)
{
    const auto file = folder.getChildFile (helpFileName);
    return writeFileSafely (file, helpPage, std::strlen (helpPage)) ? file : juce::File();
}

void MIDI_scan::openHostSettings()
{
    const auto page = writeHostSettingsHelp (engine.getSettingsFolder());
    if (page.existsAsFile())
        juce::URL (page).launchInDefaultBrowser();
}

//==============================================================================
void MIDI_scan::paint (juce::Graphics& g)
{
    const auto failed = notConnected;
    const auto warned = !warnings.isEmpty();
    const auto box = getLocalBounds().toFloat().reduced (scanOutlineThickness / 2.0f);
    g.setColour (juce::Colour (scanFill));
    g.fillRoundedRectangle (box, corner);
    g.setColour (juce::Colour (failed ? failedOutline : warned ? warningOutline : scanningOutline));
    g.drawRoundedRectangle (box, corner, scanOutlineThickness);

    if (failed)
    {
        g.setColour (juce::Colour (failedTitle));
        g.setFont (arialFont (scanTitleFontHeight, juce::Font::bold));
        g.drawSingleLineText ("NOT CONNECTED!", scanTitleX, titleBaseline);
        g.setColour (juce::Colour (scanTextColour));
        g.setFont (arialFont (lineFontHeight));
        g.drawSingleLineText ("- Check USB/MIDI cables.", lineX, firstLineBaseline);
        g.drawSingleLineText ("- Check Mopho global setting: SYSEX send/receive should be set to ON.", lineX,
                              firstLineBaseline + lineStep);
        g.setColour (juce::Colour (linkColour));
        g.drawSingleLineText (choosePortsText, lineX, firstLineBaseline + 2 * lineStep);
        return;
    }

    if (warned)
    {
        g.setColour (juce::Colour (warningTitle));
        g.setFont (arialFont (scanTitleFontHeight, juce::Font::bold));
        g.drawSingleLineText ("WARNING!", scanTitleX, titleBaseline);
        g.setColour (juce::Colour (scanTextColour));
        g.setFont (arialFont (headerFontHeight));
        g.drawSingleLineText ("Mopho global settings should be set MANUALLY as follows:", warningHeaderX,
                              titleBaseline);
        for (int i = 0; i < warnings.size(); ++i)
            g.drawSingleLineText (warnings[i], warningLineX, warningFirstBaseline + lineStep * i);
        return;
    }

    // Scanning.
    g.setColour (juce::Colour (scanTextColour));
    g.setFont (arialFont (scanTitleFontHeight, juce::Font::bold));
    g.drawSingleLineText ("LOOKING FOR THE MOPHO X4...", scanTitleX, titleBaseline);
    g.setFont (arialFont (headerFontHeight));
    const auto in = scan.getInputBeingTried(), out = scan.getOutputBeingTried();
    const auto trying = in.isEmpty() ? juce::String ("Asking the ports in use")
                                     : "Trying in: " + in + "   out: " + out + "   (" +
                                           juce::String (scan.getPairsTried()) + " of " +
                                           juce::String (scan.getNumPairs()) + ")";
    g.drawFittedText (trying, lineX, firstLineBaseline - 14, getWidth() - lineX - 10, 18,
                      juce::Justification::centredLeft, 1, 0.8f);
    g.setColour (juce::Colour (scanQuietText));
    g.drawSingleLineText ("Click here to stop.", lineX, firstLineBaseline + lineStep);
}

} // namespace kelvo
